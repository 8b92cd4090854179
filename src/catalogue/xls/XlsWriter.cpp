#include "XlsWriter.h"

#include "OleStorage.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QSaveFile>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxRows = 65536;      // rows of a BIFF8 sheet
constexpr int kMaxCols = 256;        // columns of a BIFF8 sheet
constexpr int kMaxRecordData = 8224; // data bytes of one record
constexpr int kMaxText = 32767;      // characters of a cell text
constexpr int kRowBlock = 32;        // rows whose ROW records go before their cells
constexpr int kMaxSumArgs = 30;      // arguments of one SUM

constexpr int kFirstCustomFormat = 164;
constexpr int kFirstCellXf = 16;     // 0..14 style records, 15 the default cell format
constexpr int kDefaultXf = 15;
constexpr int kNormalFont = 0;
constexpr int kBoldFont = 5;         // font index 4 does not exist in BIFF
constexpr quint16 kDefaultRowHeight = 255;  // twips: 12.75 points for 10-point Arial

// Record types.
constexpr quint16 rtEof = 0x000A, rtBof = 0x0809, rtCodePage = 0x0042, rtWindow1 = 0x003D,
                  rtDateMode = 0x0022, rtPrecision = 0x000E, rtFont = 0x0031, rtFormat = 0x041E,
                  rtXf = 0x00E0, rtStyle = 0x0293, rtBoundSheet = 0x0085, rtSupBook = 0x01AE,
                  rtExternSheet = 0x0017, rtSst = 0x00FC, rtContinue = 0x003C, rtExtSst = 0x00FF,
                  rtFooter = 0x0015, rtColInfo = 0x007D, rtDimensions = 0x0200, rtRow = 0x0208,
                  rtWindow2 = 0x023E, rtLabelSst = 0x00FD, rtNumber = 0x0203, rtRk = 0x027E,
                  rtFormula = 0x0006, rtSetup = 0x00A1,
                  rtCalcMode = 0x000D, rtCalcCount = 0x000C, rtRefMode = 0x000F, rtIteration = 0x0011,
                  rtDelta = 0x0010, rtSaveRecalc = 0x005F, rtInterfaceHdr = 0x00E1, rtMms = 0x00C1,
                  rtInterfaceEnd = 0x00E2;

inline void Add8(QByteArray& b, quint8 v) { b.append(char(v)); }
inline void Add16(QByteArray& b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
inline void Add32(QByteArray& b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
inline void AddDouble(QByteArray& b, double v)
{
    quint64 u;
    memcpy(&u, &v, 8);
    char c[8];
    qToLittleEndian(u, c);
    b.append(c, 8);
}
inline void AddHeader(QByteArray& b, quint16 type, int length)
{
    Add16(b, type);
    Add16(b, quint16(length));
}
void AddRecord(QByteArray& out, quint16 type, const QByteArray& data)
{
    AddHeader(out, type, int(data.size()));
    out += data;
}

bool FitsLatin1(const QString& s)
{
    for (QChar ch : s)
        if (ch.unicode() > 0xFF)
            return false;
    return true;
}
void AddChars(QByteArray& b, const QString& s, qsizetype from, qsizetype count, bool latin1)
{
    const QChar* p = s.constData() + from;
    if (latin1) {
        for (qsizetype i = 0; i < count; ++i)
            b.append(char(p[i].unicode()));
    } else {
        for (qsizetype i = 0; i < count; ++i)
            Add16(b, p[i].unicode());
    }
}
// Unicode string with a 16-bit (wide) or 8-bit character count, compressed when it fits Latin-1.
void AddText(QByteArray& b, const QString& s, bool wideCount)
{
    const bool latin1 = FitsLatin1(s);
    if (wideCount)
        Add16(b, quint16(s.size()));
    else
        Add8(b, quint8(s.size()));
    Add8(b, latin1 ? 0 : 1);
    AddChars(b, s, 0, s.size(), latin1);
}

// The compact RK form of a number, when the number has one.
bool ToRk(double v, quint32* rk)
{
    constexpr double kLow = -536870912.0, kHigh = 536870911.0;  // 30-bit signed
    if (v == std::floor(v) && v >= kLow && v <= kHigh) {
        *rk = (quint32(qint32(v)) << 2) | 0x2;
        return true;
    }
    const double h = v * 100.0;
    if (h == std::floor(h) && h >= kLow && h <= kHigh && double(qint32(h)) / 100.0 == v) {
        *rk = (quint32(qint32(h)) << 2) | 0x3;
        return true;
    }
    quint64 bits;
    memcpy(&bits, &v, 8);
    if ((bits & 0x3FFFFFFFFull) == 0) {
        *rk = quint32(bits >> 32);
        return true;
    }
    return false;
}

// Days since 1899-12-30 in the 1900 date system (which counts a 29 February 1900); 0 when the
// date lies before 1900.
int DateSerial(const QDate& d)
{
    static const QDate kBase(1899, 12, 30);
    static const QDate kMarch1900(1900, 3, 1);
    if (!d.isValid() || d.year() < 1900 || d.year() > 9999)
        return 0;
    qint64 serial = kBase.daysTo(d);
    if (d < kMarch1900)
        serial -= 1;
    return int(serial);
}

quint16 RowHeightForPoints(int points)
{
    return quint16(qMax<int>(kDefaultRowHeight, 30 * points - 45));  // 12 points: 15.75 points
}

QString SheetNameAt(const QString& first, int index)
{
    QString name;
    if (index == 0)
        name = first;
    else if (first.endsWith(QLatin1String(" 1")))
        name = first.chopped(1) + QString::number(index + 1);
    else
        name = first + QLatin1Char(' ') + QString::number(index + 1);
    for (QChar& ch : name)
        if (QStringLiteral("[]:*?/\\").contains(ch))
            ch = QLatin1Char('_');
    name = name.left(31);
    return name.isEmpty() ? QStringLiteral("Sheet %1").arg(index + 1) : name;
}

}  // namespace

struct TXlsWriter::TImpl {
    struct TCol {
        TXlsColumn def;
        int dataXf = kDefaultXf;
        int totalXf = kDefaultXf;
        bool total = false;
        double sum = 0;
    };
    struct TXf {
        int font;
        int format;
    };
    struct TSheet {
        QByteArray body;   // ROW and cell records
        int rows = 0;      // rows used
        int firstDataRow = 0;
        int lastDataRow = -1;
    };

    TXlsSettings settings;
    std::vector<TCol> cols;
    QStringList formats;  // custom number formats from index 164
    std::vector<TXf> xfs; // cell formats from index 16
    int captionXf = kDefaultXf;
    QHash<QString, quint32> sstIndex;
    QStringList sst;
    quint32 sstTotal = 0;
    std::vector<TSheet> sheets;
    QByteArray blockRows, blockCells;
    int blockFirst = -1;
    int rowColMic = 0, rowColMac = 0;
    qint64 rowCount = 0;
    bool hasTotals = false;
    bool closed = false;
    bool uses3dRefs = false;
    QByteArray workbook;
    QString error;

    int FormatIndex(const QString& format)
    {
        if (format.isEmpty())
            return 0;
        qsizetype i = formats.indexOf(format);
        if (i < 0) {
            formats.append(format);
            i = formats.size() - 1;
        }
        return kFirstCustomFormat + int(i);
    }
    int Xf(int font, const QString& format)
    {
        const int fmt = FormatIndex(format);
        if (font == kNormalFont && fmt == 0)
            return kDefaultXf;
        for (size_t i = 0; i < xfs.size(); ++i)
            if (xfs[i].font == font && xfs[i].format == fmt)
                return kFirstCellXf + int(i);
        xfs.push_back({font, fmt});
        return kFirstCellXf + int(xfs.size()) - 1;
    }
    QString KindFormat(const TXlsColumn& c) const
    {
        switch (c.Kind) {
        case TXlsKind::Integer: return c.Format.isEmpty() ? settings.IntegerFormat : c.Format;
        case TXlsKind::Float: return c.Format.isEmpty() ? settings.FloatFormat : c.Format;
        case TXlsKind::Date: return c.Format.isEmpty() ? settings.DateFormat : c.Format;
        case TXlsKind::DateTime: return c.Format.isEmpty() ? settings.DateTimeFormat : c.Format;
        case TXlsKind::Text:
        case TXlsKind::Boolean: break;
        }
        return QString();
    }

    void Reset()
    {
        cols.clear();
        formats.clear();
        xfs.clear();
        sstIndex.clear();
        sst.clear();
        sstTotal = 0;
        sheets.clear();
        blockRows.clear();
        blockCells.clear();
        blockFirst = -1;
        rowCount = 0;
        hasTotals = false;
        closed = false;
        uses3dRefs = false;
        workbook.clear();
        error.clear();
    }

    // Rows and blocks -------------------------------------------------------------------------
    void FlushBlock()
    {
        if (blockFirst < 0)
            return;
        TSheet& sh = sheets.back();
        sh.body += blockRows;
        sh.body += blockCells;
        blockRows.clear();
        blockCells.clear();
        blockFirst = -1;
    }
    void BeginRow(int row)
    {
        if (blockFirst >= 0 && row / kRowBlock != blockFirst / kRowBlock)
            FlushBlock();
        if (blockFirst < 0)
            blockFirst = row;
        rowColMic = kMaxCols;
        rowColMac = 0;
    }
    void NoteCell(int col)
    {
        rowColMic = qMin(rowColMic, col);
        rowColMac = qMax(rowColMac, col + 1);
    }
    void EndRow(int row, quint16 height)
    {
        const bool custom = height != kDefaultRowHeight;
        if (rowColMac == 0 && !custom)
            return;  // an empty row of default height needs no record
        if (rowColMac == 0)
            rowColMic = 0;
        AddHeader(blockRows, rtRow, 16);
        Add16(blockRows, quint16(row));
        Add16(blockRows, quint16(rowColMic));
        Add16(blockRows, quint16(rowColMac));
        Add16(blockRows, height);
        Add16(blockRows, 0);
        Add16(blockRows, 0);
        Add16(blockRows, quint16(0x0100 | (custom ? 0x0040 : 0)));  // 0x40: height set, not from the font
        Add16(blockRows, kDefaultXf);
    }

    // Cells -------------------------------------------------------------------------------
    void Label(int row, int col, int xf, QString text)
    {
        if (text.size() > kMaxText)
            text.truncate(kMaxText);
        auto it = sstIndex.constFind(text);
        quint32 index;
        if (it == sstIndex.constEnd()) {
            index = quint32(sst.size());
            sstIndex.insert(text, index);
            sst.append(text);
        } else {
            index = it.value();
        }
        ++sstTotal;
        AddHeader(blockCells, rtLabelSst, 10);
        Add16(blockCells, quint16(row));
        Add16(blockCells, quint16(col));
        Add16(blockCells, quint16(xf));
        Add32(blockCells, index);
        NoteCell(col);
    }
    void Number(int row, int col, int xf, double v)
    {
        quint32 rk;
        if (ToRk(v, &rk)) {
            AddHeader(blockCells, rtRk, 10);
            Add16(blockCells, quint16(row));
            Add16(blockCells, quint16(col));
            Add16(blockCells, quint16(xf));
            Add32(blockCells, rk);
        } else {
            AddHeader(blockCells, rtNumber, 14);
            Add16(blockCells, quint16(row));
            Add16(blockCells, quint16(col));
            Add16(blockCells, quint16(xf));
            AddDouble(blockCells, v);
        }
        NoteCell(col);
    }
    void Formula(int row, int col, int xf, double cached, const QByteArray& tokens)
    {
        AddHeader(blockCells, rtFormula, 22 + int(tokens.size()));
        Add16(blockCells, quint16(row));
        Add16(blockCells, quint16(col));
        Add16(blockCells, quint16(xf));
        AddDouble(blockCells, cached);
        Add16(blockCells, 0);  // options
        Add32(blockCells, 0);
        Add16(blockCells, quint16(tokens.size()));
        blockCells += tokens;
        NoteCell(col);
    }

    void WriteValue(int row, int c, const QVariant& v)
    {
        if (!v.isValid() || v.isNull())
            return;
        TCol& col = cols[size_t(c)];
        const bool isText = v.typeId() == QMetaType::QString;
        auto asText = [&] {
            const QString s = v.toString();
            if (!s.isEmpty())
                Label(row, c, kDefaultXf, s);
        };
        switch (col.def.Kind) {
        case TXlsKind::Text:
            asText();
            return;
        case TXlsKind::Boolean:
            if (isText && v.toString().isEmpty())
                return;
            Label(row, c, kDefaultXf, v.toBool() ? settings.TrueText : settings.FalseText);
            return;
        case TXlsKind::Integer:
        case TXlsKind::Float: {
            if (isText && v.toString().trimmed().isEmpty())
                return;
            bool ok = false;
            const double d = isText ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
            if (!ok || !std::isfinite(d)) {
                asText();
                return;
            }
            Number(row, c, col.dataXf, d);
            col.sum += d;
            return;
        }
        case TXlsKind::Date:
        case TXlsKind::DateTime: {
            QDateTime dt;
            if (v.typeId() == QMetaType::QDate)
                dt = QDateTime(v.toDate(), QTime(0, 0));
            else if (v.typeId() == QMetaType::QDateTime)
                dt = v.toDateTime();
            else if (isText)
                dt = QDateTime::fromString(v.toString().trimmed(), Qt::ISODate);
            if (!dt.isValid() && isText) {
                const QDate d = QDate::fromString(v.toString().trimmed(), Qt::ISODate);
                if (d.isValid())
                    dt = QDateTime(d, QTime(0, 0));
            }
            const int serial = dt.isValid() ? DateSerial(dt.date()) : 0;
            if (serial <= 0) {
                if (isText)
                    asText();
                else if (dt.isValid())  // before 1900: Excel has no date for it
                    Label(row, c, kDefaultXf, dt.date().toString(QStringLiteral("yyyy. MM. dd.")));
                return;
            }
            double value = serial;
            if (col.def.Kind == TXlsKind::DateTime)
                value += dt.time().msecsSinceStartOfDay() / 86400000.0;
            Number(row, c, col.dataXf, value);
            return;
        }
        }
    }

    // Sheets ------------------------------------------------------------------------------
    void BeginSheet()
    {
        sheets.emplace_back();
        TSheet& sh = sheets.back();
        const quint16 bigRow = RowHeightForPoints(settings.CaptionPoints);
        if (!settings.Title.isEmpty()) {
            BeginRow(sh.rows);
            Label(sh.rows, 0, captionXf, settings.Title);
            EndRow(sh.rows, bigRow);
            ++sh.rows;
        }
        if (settings.ShowCaptions) {
            BeginRow(sh.rows);
            for (size_t c = 0; c < cols.size(); ++c)
                if (!cols[c].def.Caption.isEmpty())
                    Label(sh.rows, int(c), captionXf, cols[c].def.Caption);
            EndRow(sh.rows, bigRow);
            ++sh.rows;
        }
        sh.firstDataRow = sh.rows;
    }
    void NextRowSpace()
    {
        if (sheets.back().rows >= kMaxRows) {
            FlushBlock();
            BeginSheet();
        }
    }

    QByteArray SumTokens(int col, int ownSheet, int* args, bool* otherSheets) const
    {
        QByteArray t;
        *args = 0;
        *otherSheets = false;
        for (size_t s = 0; s < sheets.size(); ++s) {
            const TSheet& sh = sheets[s];
            if (sh.lastDataRow < sh.firstDataRow)
                continue;
            if (int(s) == ownSheet) {
                Add8(t, 0x25);  // area reference
            } else {
                Add8(t, 0x3B);  // area reference on another sheet
                Add16(t, quint16(s));
                *otherSheets = true;
            }
            Add16(t, quint16(sh.firstDataRow));
            Add16(t, quint16(sh.lastDataRow));
            const quint16 relative = int(s) == ownSheet ? 0xC000 : 0;
            Add16(t, quint16(col) | relative);
            Add16(t, quint16(col) | relative);
            ++*args;
        }
        Add8(t, 0x42);  // function with a variable number of arguments, value class
        Add8(t, quint8(*args));
        Add16(t, 0x0004);  // SUM
        return t;
    }

    void Close()
    {
        if (closed)
            return;
        closed = true;
        if (sheets.empty())
            BeginSheet();
        if (hasTotals) {
            NextRowSpace();
            TSheet& sh = sheets.back();
            const int row = sh.rows++;
            const int own = int(sheets.size()) - 1;
            BeginRow(row);
            for (size_t c = 0; c < cols.size(); ++c) {
                const TCol& col = cols[c];
                if (!col.total)
                    continue;
                int args = 0;
                bool otherSheets = false;
                const QByteArray tokens = SumTokens(int(c), own, &args, &otherSheets);
                if (args == 0 || args > kMaxSumArgs) {
                    Number(row, int(c), col.totalXf, col.sum);
                } else {
                    Formula(row, int(c), col.totalXf, col.sum, tokens);
                    uses3dRefs = uses3dRefs || otherSheets;
                }
            }
            EndRow(row, RowHeightForPoints(settings.CaptionPoints));
        }
        FlushBlock();
    }

    // Workbook --------------------------------------------------------------------------------
    static void AddBof(QByteArray& out, quint16 kind)
    {
        AddHeader(out, rtBof, 16);
        Add16(out, 0x0600);  // BIFF8
        Add16(out, kind);    // 0x0005 workbook globals, 0x0010 worksheet
        Add16(out, 0x0DBB);  // build
        Add16(out, 0x07CC);  // year
        Add32(out, 0);       // file history
        Add32(out, 0x0006);  // lowest version that can read the file
    }
    static void AddFont(QByteArray& out, int points, bool bold)
    {
        QByteArray d;
        Add16(d, quint16(points * 20));
        Add16(d, bold ? 0x0001 : 0x0000);
        Add16(d, 0x7FFF);  // automatic colour
        Add16(d, bold ? 700 : 400);
        Add16(d, 0);  // no super- or subscript
        Add8(d, 0);   // not underlined
        Add8(d, 2);   // family: swiss
        Add8(d, 0);   // character set: ANSI
        Add8(d, 0);
        AddText(d, QStringLiteral("Arial"), false);
        AddRecord(out, rtFont, d);
    }
    static void AddXf(QByteArray& out, int font, int format, bool style)
    {
        QByteArray d;
        Add16(d, quint16(font));
        Add16(d, quint16(format));
        Add16(d, style ? 0xFFF5 : 0x0001);  // locked; style records have no parent
        Add8(d, 0x20);                      // bottom aligned
        Add8(d, 0);
        Add8(d, 0);
        Add8(d, style ? 0xF4 : 0xFC);       // which attribute groups the record sets
        Add32(d, 0);                        // no borders
        Add32(d, 0);
        Add16(d, 0x20C0);                   // pattern colours: window text on window
        AddRecord(out, rtXf, d);
    }

    // Shared string table with CONTINUE records, and its index EXTSST.
    void AddSst(QByteArray& out) const
    {
        const int n = int(sst.size());
        const int perBucket = qMax(8, n / 128 + 1);
        QByteArray ext;
        Add16(ext, quint16(perBucket));

        qsizetype recordStart = out.size();
        QByteArray rec;
        Add32(rec, sstTotal);
        Add32(rec, quint32(n));
        bool first = true;
        auto flush = [&] {
            AddRecord(out, first ? rtSst : rtContinue, rec);
            first = false;
            rec.clear();
            recordStart = out.size();
        };
        for (int i = 0; i < n; ++i) {
            const QString& s = sst.at(i);
            const bool latin1 = FitsLatin1(s);
            const int charSize = latin1 ? 1 : 2;
            if (rec.size() + 3 + charSize > kMaxRecordData)
                flush();
            if (i % perBucket == 0) {
                Add32(ext, quint32(recordStart + 4 + rec.size()));
                Add16(ext, quint16(4 + rec.size()));
                Add16(ext, 0);
            }
            Add16(rec, quint16(s.size()));
            Add8(rec, latin1 ? 0 : 1);
            qsizetype done = 0;
            while (done < s.size()) {
                const qsizetype room = (kMaxRecordData - rec.size()) / charSize;
                if (room <= 0) {
                    flush();
                    Add8(rec, latin1 ? 0 : 1);  // a continued string repeats its encoding
                    continue;
                }
                const qsizetype take = qMin(room, s.size() - done);
                AddChars(rec, s, done, take, latin1);
                done += take;
            }
        }
        flush();
        AddRecord(out, rtExtSst, ext);
    }

    QByteArray SheetStream(size_t index) const
    {
        const TSheet& sh = sheets[index];
        const int ncols = int(cols.size());
        QByteArray out;
        AddBof(out, 0x0010);
        // Calculation settings, as a spreadsheet program writes them: automatic, 100 iterations
        // at most, A1 references, no iteration, change 0.001, recalculation before saving.
        // (Readers expect a record between the BOF and the page settings.)
        QByteArray d;
        Add16(d, 1);
        AddRecord(out, rtCalcMode, d);
        d.clear();
        Add16(d, 100);
        AddRecord(out, rtCalcCount, d);
        d.clear();
        Add16(d, 1);
        AddRecord(out, rtRefMode, d);
        d.clear();
        Add16(d, 0);
        AddRecord(out, rtIteration, d);
        d.clear();
        AddDouble(d, 0.001);
        AddRecord(out, rtDelta, d);
        d.clear();
        Add16(d, 1);
        AddRecord(out, rtSaveRecalc, d);
        if (!settings.Footer.isEmpty()) {
            QByteArray d;
            AddText(d, (settings.FooterBold ? QStringLiteral("&\"Arial,Bold\"") : QString()) + settings.Footer.left(250), true);
            AddRecord(out, rtFooter, d);
        }
        {
            QByteArray d;  // page set-up: A4 portrait, 100 %, default margins of the header and footer
            Add16(d, 9);
            Add16(d, 100);
            Add16(d, 1);
            Add16(d, 1);
            Add16(d, 1);
            Add16(d, 0x0002);
            Add16(d, 600);
            Add16(d, 600);
            AddDouble(d, 0.5);
            AddDouble(d, 0.5);
            Add16(d, 1);
            AddRecord(out, rtSetup, d);
        }
        for (int c = 0; c < ncols; ++c) {
            const int width = cols[size_t(c)].def.Width;
            if (width <= 0)
                continue;
            QByteArray d;
            Add16(d, quint16(c));
            Add16(d, quint16(c));
            Add16(d, quint16(qMin(width, 255) * 256));
            Add16(d, kDefaultXf);
            Add16(d, 0);
            Add16(d, 0);
            AddRecord(out, rtColInfo, d);
        }
        QByteArray dim;
        Add32(dim, 0);
        Add32(dim, quint32(sh.rows));
        Add16(dim, 0);
        Add16(dim, quint16(sh.rows ? ncols : 0));
        Add16(dim, 0);
        AddRecord(out, rtDimensions, dim);
        out += sh.body;
        QByteArray w2;
        Add16(w2, index == 0 ? 0x06B6 : 0x00B6);  // grid, headings, zeros, outline; the first is selected
        Add16(w2, 0);
        Add16(w2, 0);
        Add16(w2, 0x0040);  // automatic grid colour
        Add16(w2, 0);
        Add16(w2, 0);
        Add16(w2, 0);
        Add32(w2, 0);
        AddRecord(out, rtWindow2, w2);
        AddHeader(out, rtEof, 0);
        return out;
    }

    void Compose()
    {
        QByteArray g;
        AddBof(g, 0x0005);
        QByteArray d;
        Add16(d, 1200);
        AddRecord(g, rtInterfaceHdr, d);
        d.clear();
        Add16(d, 0);
        AddRecord(g, rtMms, d);
        AddHeader(g, rtInterfaceEnd, 0);
        d.clear();
        Add16(d, 1200);  // texts are UTF-16
        AddRecord(g, rtCodePage, d);
        d.clear();
        Add16(d, 0);
        Add16(d, 0);
        Add16(d, 0x4000);
        Add16(d, 0x2000);
        Add16(d, 0x0038);  // scroll bars and sheet tabs shown
        Add16(d, 0);       // active sheet
        Add16(d, 0);       // first visible tab
        Add16(d, 1);       // selected sheets
        Add16(d, 600);     // tab bar width ratio
        AddRecord(g, rtWindow1, d);
        d.clear();
        Add16(d, 0);  // 1900 date system
        AddRecord(g, rtDateMode, d);
        d.clear();
        Add16(d, 1);  // full precision
        AddRecord(g, rtPrecision, d);
        for (int i = 0; i < 4; ++i)
            AddFont(g, 10, false);
        AddFont(g, settings.CaptionPoints, true);  // index 5
        for (int i = 0; i < formats.size(); ++i) {
            d.clear();
            Add16(d, quint16(kFirstCustomFormat + i));
            AddText(d, formats.at(i), true);
            AddRecord(g, rtFormat, d);
        }
        for (int i = 0; i < 15; ++i)
            AddXf(g, 0, 0, true);
        AddXf(g, 0, 0, false);
        for (const TXf& xf : xfs)
            AddXf(g, xf.font, xf.format, false);
        d.clear();
        Add16(d, 0x8000);  // built-in style "Normal" on record 0
        Add8(d, 0);
        Add8(d, 0xFF);
        AddRecord(g, rtStyle, d);
        std::vector<qsizetype> sheetOffsetAt;
        for (size_t s = 0; s < sheets.size(); ++s) {
            sheetOffsetAt.push_back(g.size() + 4);
            d.clear();
            Add32(d, 0);  // stream offset of the sheet, filled in below
            Add8(d, 0);   // visible
            Add8(d, 0);   // worksheet
            AddText(d, SheetNameAt(settings.SheetName, int(s)), false);
            AddRecord(g, rtBoundSheet, d);
        }
        if (uses3dRefs) {
            d.clear();
            Add16(d, quint16(sheets.size()));
            Add16(d, 0x0401);  // references into this workbook
            AddRecord(g, rtSupBook, d);
            d.clear();
            Add16(d, quint16(sheets.size()));
            for (size_t s = 0; s < sheets.size(); ++s) {
                Add16(d, 0);
                Add16(d, quint16(s));
                Add16(d, quint16(s));
            }
            AddRecord(g, rtExternSheet, d);
        }
        AddSst(g);
        AddHeader(g, rtEof, 0);

        workbook = g;
        for (size_t s = 0; s < sheets.size(); ++s) {
            qToLittleEndian(quint32(workbook.size()), workbook.data() + sheetOffsetAt[s]);
            workbook += SheetStream(s);
        }
        for (TSheet& sh : sheets)
            sh.body = QByteArray();  // the workbook holds them now
    }
};

TXlsWriter::TXlsWriter(const TXlsSettings& settings)
    : F(std::make_unique<TImpl>())
{
    F->settings = settings;
}

TXlsWriter::~TXlsWriter() = default;

const TXlsSettings& TXlsWriter::Settings() const { return F->settings; }

void TXlsWriter::SetColumns(const QList<TXlsColumn>& columns)
{
    F->Reset();
    F->captionXf = F->Xf(kBoldFont, QString());
    for (const TXlsColumn& c : columns.mid(0, kMaxCols)) {
        TImpl::TCol col;
        col.def = c;
        const QString format = F->KindFormat(c);
        col.dataXf = F->Xf(kNormalFont, format);
        col.total = c.Total && (c.Kind == TXlsKind::Integer || c.Kind == TXlsKind::Float);
        if (col.total) {
            col.totalXf = F->Xf(kBoldFont, format);
            F->hasTotals = true;
        }
        F->cols.push_back(col);
    }
    F->BeginSheet();
}

void TXlsWriter::AddRow(const QList<QVariant>& values)
{
    if (F->closed)
        return;
    if (F->sheets.empty())
        F->BeginSheet();
    F->NextRowSpace();
    TImpl::TSheet& sh = F->sheets.back();
    const int row = sh.rows++;
    F->BeginRow(row);
    const qsizetype n = qMin<qsizetype>(values.size(), qsizetype(F->cols.size()));
    for (qsizetype c = 0; c < n; ++c)
        F->WriteValue(row, int(c), values.at(c));
    F->EndRow(row, kDefaultRowHeight);
    sh.lastDataRow = row;
    ++F->rowCount;
}

qint64 TXlsWriter::RowCount() const { return F->rowCount; }

int TXlsWriter::SheetCount() const { return qMax(1, int(F->sheets.size())); }

bool TXlsWriter::Write(QIODevice* device)
{
    F->error.clear();
    if (!device || !device->isOpen() || !device->isWritable()) {
        F->error = QStringLiteral("A célfájl nincs írásra megnyitva.");
        return false;
    }
    if (F->workbook.isEmpty()) {
        F->Close();
        F->Compose();
    }
    return WriteOleStorage(device, QStringLiteral("Workbook"), F->workbook, &F->error);
}

bool TXlsWriter::WriteFile(const QString& fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        F->error = file.errorString();
        return false;
    }
    if (!Write(&file)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        F->error = file.errorString();
        return false;
    }
    return true;
}

QString TXlsWriter::ErrorString() const { return F->error; }
