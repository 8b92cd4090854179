#pragma once
// The Excel (.xls) writer: a BIFF8 workbook in an OLE2 compound file, written by our own code.
//
// Contract:
// - SetColumns starts a new workbook (it drops rows added before); AddRow appends one row with one
//   value per column, in column order. Null values and empty texts give empty cells; missing
//   trailing values are empty, values beyond the last column are ignored.
// - Values by kind: Integer and Float take numbers or numeric texts; Date and DateTime take QDate,
//   QDateTime or ISO texts (a date before 1900, which Excel cannot hold, is written as the text
//   "yyyy. MM. dd."); Boolean gives the TrueText / FalseText texts; Text takes anything. A value
//   that does not fit its column's kind (a text in an integer column) is written as text, never
//   dropped.
// - The sheet holds an optional title row (bold), the caption row (bold, 12 point; can be left out),
//   the data rows and, when any column asks for it, a totals row (bold, 12 point) with a SUM of
//   every integer and float column marked Total. A sheet holds 65,536 rows; longer exports go on
//   in "Sheet 2", "Sheet 3", ..., each starting with the title and caption rows again, and the
//   totals row, on the last sheet, sums all of them (a formula with the sum as its cached result;
//   a plain number when there are no data rows, or more sheets than one SUM takes, 30).
// - Write puts the whole file into an open, writable device and answers true; on a write error it
//   answers false with ErrorString() set (what was written so far is not a valid file; WriteFile
//   uses QSaveFile, so a failed write leaves no file). The first Write closes the workbook: later
//   AddRow calls are ignored until the next SetColumns; Write may be called again for a copy.
// - BIFF8 limits: 256 columns (further columns are left out), 32,767 characters per text (cut).
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class QIODevice;

enum class TXlsKind { Text, Integer, Float, Date, DateTime, Boolean };

struct TXlsColumn {
    QString Caption;
    TXlsKind Kind = TXlsKind::Text;
    int Width = 0;        // in Excel character units; 0 or less leaves the sheet's default width
    bool Total = false;   // a "sum" under the column; honoured for Integer and Float columns
    QString Format;       // Excel number format; empty = the writer's format for the kind
};

// The writer's settings; the defaults are the program's design values.
struct TXlsSettings {
    QString DateFormat = QStringLiteral("yyyy. MM. dd.");
    QString DateTimeFormat = QStringLiteral("yyyy. MM. dd.");
    QString IntegerFormat = QStringLiteral("#,###,##0");
    QString FloatFormat = QStringLiteral("#,###,##0.00");
    QString TrueText = QStringLiteral("true");
    QString FalseText = QStringLiteral("false");
    QString Footer = QStringLiteral("Page &P of &N");  // page number of page count
    bool FooterBold = true;                              // written as the font code &"Arial,Bold"
    QString SheetName = QStringLiteral("Sheet 1");      // further sheets: "Sheet 2", ...
    int CaptionPoints = 12;                              // caption and totals rows, bold
    bool ShowCaptions = true;
    QString Title;                                       // empty = no title row
};

class TXlsWriter {
public:
    explicit TXlsWriter(const TXlsSettings& settings = TXlsSettings());
    ~TXlsWriter();
    TXlsWriter(const TXlsWriter&) = delete;
    TXlsWriter& operator=(const TXlsWriter&) = delete;

    const TXlsSettings& Settings() const;
    void SetColumns(const QList<TXlsColumn>& columns);
    void AddRow(const QList<QVariant>& values);
    qint64 RowCount() const;     // data rows added since SetColumns
    int SheetCount() const;      // sheets the workbook has with the rows added so far

    bool Write(QIODevice* device);
    bool WriteFile(const QString& fileName);  // whole or not at all (QSaveFile)
    QString ErrorString() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> F;
};
