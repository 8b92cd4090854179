// grids.ini: the layout store as an FDB text table file.
#include "UtilDisplayFields.h"

#include "Paths.h"
#include "UtilFileDB.h"
#include "Utils.h"

#include <QFile>
#include <cmath>

namespace {
const QString KFejlec = QStringLiteral("FEJLEC");
const QString KTetel = QStringLiteral("TETEL");
// A column position beyond this comes only from a damaged or hand-edited file; such a record is
// skipped rather than lengthening the list without bound.
constexpr int KMaxColumnIndex = 4095;

qint32 IntOf(const QVariant& v)
{
    if (!v.isValid()) return 0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d) || std::fabs(d) > 2147483647.0) return 0;
    return qint32(d);
}

QString TextOf(const QVariant& v) { return v.isValid() ? CutText(v.toString(), 128) : QString(); }

void Declare(TFDBFile& f)
{
    const int fejlec = f.AddTable(KFejlec);
    const int tetel = f.AddTable(KTetel);
    const QString none;
    f.AddField(QStringLiteral("FORMNAME"), TFDBDataType::String, none, 0, none, fejlec);
    f.AddField(QStringLiteral("GRIDNAME"), TFDBDataType::String, none, 0, none, fejlec);
    f.AddField(QStringLiteral("FORMTAG"), TFDBDataType::Integer, none, 0, none, fejlec);
    f.AddField(QStringLiteral("GRIDTAG"), TFDBDataType::Integer, none, 0, none, fejlec);
    f.AddField(QStringLiteral("GRIDHEIGHT"), TFDBDataType::Integer, none, 0, none, fejlec);
    f.AddField(QStringLiteral("INDEX"), TFDBDataType::Integer, none, 0, none, tetel);
    f.AddField(QStringLiteral("FIELDNAME"), TFDBDataType::String, none, 0, none, tetel);
    f.AddField(QStringLiteral("FORMAT"), TFDBDataType::String, none, 0, none, tetel);
    f.AddField(QStringLiteral("DISPLAY"), TFDBDataType::String, none, 0, none, tetel);
    f.AddField(QStringLiteral("WIDTH"), TFDBDataType::Integer, none, 0, none, tetel);
    f.AddField(QStringLiteral("VISIBLE"), TFDBDataType::Boolean, none, 0, none, tetel);
    f.AddField(QStringLiteral("TAG"), TFDBDataType::Integer, none, 0, none, tetel);
}
}  // namespace

void LoadGridFormats(TListGridFormatItem& store, const QString& fileName)
{
    store.clear();
    TFDBFile f;
    try {
        if (!f.LoadFromFile(fileName)) return;
    } catch (const std::exception&) {
        // A date that cannot be read (a hand-edited file): what was parsed before it is used.
    }
    for (int r = 0; r < f.RecordCount(); ++r) {
        const QString table = f.RecordTableName(r);
        if (table == KFejlec) {
            TGridFormatItem g;
            g.FormName = TextOf(f.GetValue(r, QStringLiteral("FORMNAME")));
            g.GridName = TextOf(f.GetValue(r, QStringLiteral("GRIDNAME")));
            g.FormTag = IntOf(f.GetValue(r, QStringLiteral("FORMTAG")));
            g.GridTag = IntOf(f.GetValue(r, QStringLiteral("GRIDTAG")));
            g.GridHeight = IntOf(f.GetValue(r, QStringLiteral("GRIDHEIGHT")));
            store.append(g);
        } else if (table == KTetel) {
            if (store.isEmpty()) continue;  // no layout to belong to
            const qint32 index = IntOf(f.GetValue(r, QStringLiteral("INDEX")));
            if (index < 0 || index > KMaxColumnIndex) continue;
            TDisplayFields& cols = store.last().Columns;
            while (cols.size() <= index) {
                cols.append(TDisplayField());
                cols.last().Visible = false;  // an entry skipped over stays empty
            }
            TDisplayField& c = cols[index];
            c.FieldName = TextOf(f.GetValue(r, QStringLiteral("FIELDNAME")));
            c.Display = TextOf(f.GetValue(r, QStringLiteral("DISPLAY")));
            c.Format = TextOf(f.GetValue(r, QStringLiteral("FORMAT")));
            const QVariant visible = f.GetValue(r, QStringLiteral("VISIBLE"));
            c.Visible = visible.isValid() && visible.toBool();
            c.Width = IntOf(f.GetValue(r, QStringLiteral("WIDTH")));
            c.Tag = IntOf(f.GetValue(r, QStringLiteral("TAG")));
        }
    }
}

bool SaveGridFormats(const TListGridFormatItem& store, const QString& fileName)
{
    TFDBFile f;
    Declare(f);
    for (const TGridFormatItem& g : store) {
        f.AddRecord(KFejlec);
        f.AddValue(QStringLiteral("FORMNAME"), g.FormName, KFejlec);
        f.AddValue(QStringLiteral("GRIDNAME"), g.GridName, KFejlec);
        f.AddValue(QStringLiteral("FORMTAG"), qlonglong(g.FormTag), KFejlec);
        f.AddValue(QStringLiteral("GRIDTAG"), qlonglong(g.GridTag), KFejlec);
        f.AddValue(QStringLiteral("GRIDHEIGHT"), qlonglong(g.GridHeight), KFejlec);
        for (int i = 0; i < g.Columns.size(); ++i) {
            const TDisplayField& c = g.Columns[i];
            f.AddRecord(KTetel);
            f.AddValue(QStringLiteral("INDEX"), qlonglong(i), KTetel);
            f.AddValue(QStringLiteral("FIELDNAME"), c.FieldName, KTetel);
            f.AddValue(QStringLiteral("FORMAT"), c.Format, KTetel);
            f.AddValue(QStringLiteral("DISPLAY"), c.Display, KTetel);
            f.AddValue(QStringLiteral("WIDTH"), qlonglong(c.Width), KTetel);
            f.AddValue(QStringLiteral("VISIBLE"), c.Visible, KTetel);
            f.AddValue(QStringLiteral("TAG"), qlonglong(c.Tag), KTetel);
        }
    }
    return f.SaveToFile(fileName);
}

QString GridFormatsFileName() { return GetDataDir() + QStringLiteral("grids.ini"); }

void LoadGridFormats() { LoadGridFormats(GridFormats, GridFormatsFileName()); }

bool SaveGridFormats() { return SaveGridFormats(GridFormats, GridFormatsFileName()); }

void ClearGridFormats()
{
    QFile::remove(GridFormatsFileName());
    GridFormats.clear();
}
