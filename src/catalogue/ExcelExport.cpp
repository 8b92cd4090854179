#include "ExcelExport.h"

#include "DBGrid.h"
#include "Dataset.h"
#include "DebugLog.h"
#include "Launcher.h"
#include "Messages.h"
#include "UtilGridColumns.h"
#include "XlsWriter.h"
#include "XlsFieldKind.h"

#include <QFileDialog>
#include <QFileInfo>

QString ExcelFileName(const QString& chosen)
{
    const QFileInfo info(chosen);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;  // ".xls" alone is a name, not an extension
    const QString folder = chosen.left(chosen.size() - name.size());
    return folder + base + QStringLiteral(".xls");
}

QString AskExcelFileName(QWidget* parent)
{
    QString start;
    for (;;) {
        QFileDialog dialog(parent, QStringLiteral("Excel fájl mentése"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Our own overwrite question comes after the extension is replaced.
        dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
        dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Hely:"));
        dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Fájlnév:"));
        dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Fájltípus:"));
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Mentés"));
        dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Mégsem"));
        dialog.setNameFilters({QStringLiteral("Excel munkafüzet (*.xls)"), QStringLiteral("Minden fájl (*)")});
        dialog.selectNameFilter(dialog.nameFilters().first());
        // Back after "no" to the overwrite question: the dialog opens in that file's folder. The
        // file itself is not preselected, as a preselected existing file would win over a name
        // typed afterwards.
        if (!start.isEmpty()) dialog.setDirectory(QFileInfo(start).absolutePath());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
        const QString fileName = ExcelFileName(dialog.selectedFiles().first());
        if (!QFileInfo::exists(fileName)) return fileName;
        if (ConfirmMsg(QStringLiteral("Excel"), QStringLiteral("Létező fájl. Felülírja?"))) return fileName;
        start = fileName;
    }
}

namespace {
// Whether the table behind the dataset holds any row at all, whatever its filter lets through.
bool HasStoredRows(TDataSet* ds)
{
    if (ds->RecordCount() > 0) return true;
    if (!ds->Filtered()) return false;
    TDisableControls disabled(ds);
    ds->SetFiltered(false);
    const bool any = ds->RecordCount() > 0;
    ds->SetFiltered(true);
    return any;
}

}  // namespace

bool WriteGridWorkbook(TDBGrid* grid, const QString& fileName, QString* error)
{
    TDataSet* ds = grid ? grid->DataSet() : nullptr;
    if (!ds || !ds->Active()) {
        if (error) *error = QStringLiteral("nincs megnyitott adathalmaz");
        return false;
    }
    TDisplayFields columns;
    ReadGridColumns(grid, columns);
    QList<TXlsColumn> xlsColumns;
    QVector<int> fields;
    for (const TDisplayField& c : columns) {
        const int f = ds->FieldIndex(c.FieldName);
        if (f < 0) continue;
        TXlsColumn x;
        x.Caption = c.Display;
        x.Kind = XlsKindOf(ds->Fields()[f].Type);
        x.Width = int(c.Width * 0.2);  // characters: the whole part of pixels x 0.2
        x.Total = x.Kind == TXlsKind::Integer || x.Kind == TXlsKind::Float;
        xlsColumns.append(x);
        fields.append(f);
    }
    TXlsWriter writer;
    writer.SetColumns(xlsColumns);
    const TBookmark current = ds->GetBookmark();
    const int rows = ds->RecordCount();
    QList<QVariant> values;
    values.reserve(fields.size());
    for (int r = 0; r < rows; ++r) {
        values.clear();
        for (int f : fields) values.append(ds->ValueAt(r, f));
        writer.AddRow(values);
    }
    if (current >= 0 && ds->GetBookmark() != current) ds->GotoBookmark(current);
    if (!writer.WriteFile(fileName)) {
        if (error) *error = writer.ErrorString();
        return false;
    }
    return true;
}

bool ExportGridToExcel(TDBGrid* grid)
{
    if (!grid) return false;
    TDataSet* ds = grid->DataSet();
    if (!ds || !ds->Active() || !HasStoredRows(ds)) return false;

    const QString fileName = AskExcelFileName(grid->window());
    if (fileName.isEmpty()) return false;

    ProcessMessages();
    const bool show = ConfirmMsg(QStringLiteral("Excel"), QStringLiteral("Megjelenítse az excel táblát?"));
    QString error;
    if (!WriteGridWorkbook(grid, fileName, &error)) {
        WriteDebugLog(QStringLiteral("Exception:") + error);
        ShowMsg(QStringLiteral("Excel"), QStringLiteral("Az Excel fájl nem írható:\n") + fileName);
        return false;
    }
    if (show) OpenDocument(fileName);
    return true;
}
