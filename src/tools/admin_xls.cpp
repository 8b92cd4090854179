// export-xls: a whole DBF table into an Excel workbook, through the program's own .xls writer.
#include "AdminCommand.h"

#include "CodePage.h"
#include "UtilDBF.h"
#include "XlsWriter.h"
#include "XlsFieldKind.h"

#include <QFileInfo>

namespace {


// Width in characters from the field length, wide enough for what the cell shows: the caption,
// digit-group blanks of numbers, "yyyy. MM. dd." dates, "false".
int ColumnWidth(const TDbfFieldInfo& f)
{
    int width = f.Length;
    switch (f.FieldType) {
    case TFieldType::Integer:
    case TFieldType::Float: width += f.Length / 3; break;
    case TFieldType::Date:
    case TFieldType::DateTime: width = qMax(width, 13); break;
    case TFieldType::Boolean: width = qMax(width, 5); break;
    case TFieldType::String: break;
    }
    return qBound(1, qMax(width, int(f.Name.size())) + 1, 255);
}

int RunExportXls(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList files;
    int codePage = 0;  // the table's own
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--codepage")) {
            bool ok = false;
            codePage = i + 1 < args.size() ? args[i + 1].toInt(&ok) : 0;
            if (!ok || !TCodePage::Get(codePage)) {
                err << "Ismeretlen kódlap: " << (i + 1 < args.size() ? args[i + 1] : QString()) << "\n";
                return 1;
            }
            ++i;
        } else {
            files << args[i];
        }
    }
    if (files.size() != 2) {
        err << "Használat: export-xls DBF OUT.xls [--codepage N]\n";
        return 1;
    }
    TDbf dbf;
    if (!dbf.Open(files[0], codePage)) {
        err << "A tábla nem nyitható meg: " << files[0] << " (" << dbf.LastError() << ")\n";
        return 1;
    }
    const QVector<TDbfFieldInfo>& info = dbf.DbfFields();
    QList<TXlsColumn> columns;
    for (const TDbfFieldInfo& f : info) {
        TXlsColumn c;
        c.Caption = f.Name;
        c.Kind = f.Memo ? TXlsKind::Text : XlsKindOf(f.FieldType);
        c.Width = ColumnWidth(f);
        c.Total = c.Kind == TXlsKind::Integer || c.Kind == TXlsKind::Float;
        columns << c;
    }
    TXlsWriter writer;
    writer.SetColumns(columns);
    const int rows = dbf.RecordCount();
    const int fields = dbf.FieldCount();
    QList<QVariant> values(fields);
    for (int r = 0; r < rows; ++r) {
        for (int f = 0; f < fields; ++f)
            values[f] = dbf.ValueAt(r, f);
        writer.AddRow(values);
    }
    dbf.Close();
    if (!writer.WriteFile(files[1])) {
        err << "A munkafüzet nem írható: " << files[1] << " (" << writer.ErrorString() << ")\n";
        return 1;
    }
    out << rows << " sor, " << fields << " oszlop: " << QFileInfo(files[1]).fileName() << "\n";
    return 0;
}

}  // namespace

KB_ADMIN_COMMAND("export-xls", "export-xls DBF OUT.xls [--codepage N]",
                 "Egy DBF tábla összes sora Excel munkafüzetbe (mezőnevek a fejlécben, összeg a számoszlopok alatt).",
                 RunExportXls);
