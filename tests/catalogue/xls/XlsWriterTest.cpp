// The .xls writer, checked by reading its files back with independent readers (XlsDump.h).
#include "XlsDump.h"
#include "XlsWriter.h"

#include <QBuffer>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

enum { Empty = 0, Text = 1, Number = 2, Date = 3 };  // xlrd's cell types

QByteArray WriteToBuffer(TXlsWriter& writer)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writer.Write(&buffer)) << writer.ErrorString().toStdString();
    return buffer.data();
}

QJsonObject Sheet(const QJsonObject& dump, int index)
{
    return dump.value(QStringLiteral("sheets")).toArray().at(index).toObject();
}

struct TCellCheck {
    int col;
    int type;
    QVariant value;  // text, number or "yyyy-mm-ddThh:mm:ss" for dates
    QString format;
    bool boldCaptionFont;  // bold and 12 point, else plain 10 point
};

void ExpectCells(const QJsonArray& cells, const QList<TCellCheck>& checks, const char* where)
{
    for (const TCellCheck& c : checks) {
        SCOPED_TRACE(std::string(where) + " column " + std::to_string(c.col));
        const QJsonObject cell = cells.at(c.col).toObject();
        ASSERT_EQ(cell.value("t").toInt(-1), c.type) << JsonText(cell);
        if (c.type == Empty)
            continue;
        if (c.type == Number)
            EXPECT_DOUBLE_EQ(cell.value("v").toDouble(), c.value.toDouble());
        else
            EXPECT_EQ(cell.value("v").toString().toStdString(), c.value.toString().toStdString());
        EXPECT_EQ(cell.value("fmt").toString().toStdString(), c.format.toStdString());
        EXPECT_EQ(cell.value("bold").toBool(), c.boldCaptionFont);
        EXPECT_EQ(cell.value("height").toInt(), c.boldCaptionFont ? 240 : 200);
    }
}

QList<TXlsColumn> ShopColumns()
{
    return {
        {"Cikknév", TXlsKind::Text, 50, false, {}},
        {"Rendelt db", TXlsKind::Integer, 6, true, {}},
        {"Nettó", TXlsKind::Float, 12, true, {}},
        {"Kelt", TXlsKind::Date, 14, false, {}},
        {"Módosítva", TXlsKind::DateTime, 16, false, {}},
        {"Akciós", TXlsKind::Boolean, 0, false, {}},
        {"Kód", TXlsKind::Integer, 8, false, {}},      // a number without totals
        {"Súly", TXlsKind::Float, 9, true, "0.000"},  // a column's own format
    };
}

}  // namespace

TEST(XlsWriter, WritesCaptionsValuesFormatsEmptyCellsAndTotals)
{
    TXlsWriter writer;
    writer.SetColumns(ShopColumns());
    writer.AddRow({"Őszibarack befőtt", 12, 1234.5, QDate(2024, 2, 29), QDateTime(QDate(2024, 3, 1), QTime(13, 45, 30)),
                   true, 7, 0.25});
    writer.AddRow({"", QVariant(), -10.125, QVariant(), QVariant(), false, QVariant(), QVariant()});
    writer.AddRow({"Kávé \"Arany\"", "n/a", QString(), QDate(1900, 3, 1), QDate(1899, 12, 31), QVariant(), 1000000,
                   "2.5"});
    writer.AddRow({QVariant(), 30});  // short row: the rest stays empty
    const QByteArray file = WriteToBuffer(writer);

    const QJsonObject dump = DumpXls(file);
    ExpectSoundFile(dump);
    EXPECT_TRUE(dump.value("ole").toObject().value("mini").toBool()) << "a small workbook lives in the mini stream";
    ASSERT_EQ(dump.value("sheets").toArray().size(), 1);
    const QJsonObject sheet = Sheet(dump, 0);
    EXPECT_EQ(sheet.value("name").toString(), "Sheet 1");
    EXPECT_EQ(sheet.value("nrows").toInt(), 6);
    EXPECT_EQ(sheet.value("ncols").toInt(), 8);
    // Bold through the font code of the footer (font Arial, style Bold), then the footer text.
    EXPECT_EQ(sheet.value("footer").toString(), "&\"Arial,Bold\"Page &P of &N");
    EXPECT_EQ(JsonText(sheet.value("widths")),
              R"({"0":12800,"1":1536,"2":3072,"3":3584,"4":4096,"6":2048,"7":2304})");

    const QStringList captions = {"Cikknév", "Rendelt db", "Nettó", "Kelt", "Módosítva", "Akciós", "Kód", "Súly"};
    QList<TCellCheck> captionChecks;
    for (int c = 0; c < captions.size(); ++c)
        captionChecks.append({c, Text, captions[c], "General", true});
    ExpectCells(DumpedRow(sheet, 0), captionChecks, "captions");

    const QString date = "yyyy. MM. dd.", integer = "#,###,##0", real = "#,###,##0.00";
    ExpectCells(DumpedRow(sheet, 1),
                {{0, Text, "Őszibarack befőtt", "General", false},
                 {1, Number, 12, integer, false},
                 {2, Number, 1234.5, real, false},
                 {3, Date, "2024-02-29T00:00:00", date, false},
                 {4, Date, "2024-03-01T13:45:30", date, false},
                 {5, Text, "true", "General", false},
                 {6, Number, 7, integer, false},
                 {7, Number, 0.25, "0.000", false}},
                "row 1");
    ExpectCells(DumpedRow(sheet, 2),
                {{0, Empty, {}, {}, false},
                 {1, Empty, {}, {}, false},
                 {2, Number, -10.125, real, false},
                 {3, Empty, {}, {}, false},
                 {4, Empty, {}, {}, false},
                 {5, Text, "false", "General", false},
                 {6, Empty, {}, {}, false},
                 {7, Empty, {}, {}, false}},
                "row 2");
    // A text that is no number stays text; a date before 1900 has no Excel date and is written as text.
    ExpectCells(DumpedRow(sheet, 3),
                {{0, Text, "Kávé \"Arany\"", "General", false},
                 {1, Text, "n/a", "General", false},
                 {2, Empty, {}, {}, false},
                 {3, Date, "1900-03-01T00:00:00", date, false},
                 {4, Text, "1899. 12. 31.", "General", false},
                 {5, Empty, {}, {}, false},
                 {6, Number, 1000000, integer, false},
                 {7, Number, 2.5, "0.000", false}},
                "row 3");
    ExpectCells(DumpedRow(sheet, 4), {{1, Number, 30, integer, false}, {2, Empty, {}, {}, false}}, "row 4");

    const QJsonArray totals = DumpedRow(sheet, 5);
    ExpectCells(totals,
                {{0, Empty, {}, {}, false},
                 {1, Number, 42, integer, true},
                 {2, Number, 1224.375, real, true},
                 {3, Empty, {}, {}, false},
                 {6, Empty, {}, {}, false},
                 {7, Number, 2.75, "0.000", true}},
                "totals");
    EXPECT_EQ(totals.at(1).toObject().value("formula").toString(), "SUM(B2:B5)");
    EXPECT_EQ(totals.at(2).toObject().value("formula").toString(), "SUM(C2:C5)");
    EXPECT_EQ(totals.at(7).toObject().value("formula").toString(), "SUM(H2:H5)");

    // The first Write closes the workbook; a second one writes the same file, later rows are ignored.
    writer.AddRow({"late", 1});
    EXPECT_EQ(WriteToBuffer(writer), file);
    EXPECT_EQ(writer.RowCount(), 4);
}

TEST(XlsWriter, TitleCaptionAndTotalsRowsWithoutDataRows)
{
    struct {
        const char* name;
        QString title;
        bool captions;
        int rows;
        QStringList firstCells;  // column 0 from the top
        int totalsRow;
        const char* formula;     // empty: the total is a plain 0
    } cases[] = {
        {"title, captions, no rows", "Rendelések", true, 0, {"Rendelések", "Összeg"}, 2, ""},
        {"no captions", {}, false, 2, {}, 2, "SUM(A1:A2)"},
        {"title, no captions", "Lista", false, 1, {"Lista"}, 2, "SUM(A2:A2)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TXlsSettings settings;
        settings.Title = c.title;
        settings.ShowCaptions = c.captions;
        TXlsWriter writer(settings);
        writer.SetColumns({{"Összeg", TXlsKind::Float, 10, true, {}}, {"Megjegyzés", TXlsKind::Text, 20, false, {}}});
        for (int i = 0; i < c.rows; ++i)
            writer.AddRow({1.5, "x"});
        const QJsonObject dump = DumpXls(WriteToBuffer(writer));
        ExpectSoundFile(dump);
        const QJsonObject sheet = Sheet(dump, 0);
        for (int r = 0; r < c.firstCells.size(); ++r)
            ExpectCells(DumpedRow(sheet, r), {{0, Text, c.firstCells[r], "General", true}}, "top rows");
        ASSERT_EQ(sheet.value("nrows").toInt(), c.totalsRow + 1);
        const QJsonObject total = DumpedRow(sheet, c.totalsRow).at(0).toObject();
        EXPECT_DOUBLE_EQ(total.value("v").toDouble(), 1.5 * c.rows);
        EXPECT_TRUE(total.value("bold").toBool());
        EXPECT_EQ(total.value("formula").toString().toStdString(), c.formula);
    }
}

// Enough shared strings for several CONTINUE records, strings split across them (compressed and
// UTF-16), and a stream beyond the mini stream's limit.
TEST(XlsWriter, ManyAndLongTextsReadBackWhole)
{
    QStringList texts;
    for (int i = 0; i < 3000; ++i)
        texts << QStringLiteral("%1 cikk %2").arg(i % 3 ? "Tűzőgép" : "Radiator", QString::number(i).repeated(3));
    texts << QString(9000, QLatin1Char('a')) << QString(20000, QChar(0x0171)) << QString(32767 + 10, QLatin1Char('z'));
    TXlsWriter writer;
    writer.SetColumns({{"Szöveg", TXlsKind::Text, 40, false, {}}, {"Ismét", TXlsKind::Text, 40, false, {}}});
    for (const QString& t : texts)
        writer.AddRow({t, texts.first()});
    const QJsonObject dump = DumpXls(WriteToBuffer(writer));
    ExpectSoundFile(dump);
    EXPECT_FALSE(dump.value("ole").toObject().value("mini").toBool());
    const QJsonObject sheet = Sheet(dump, 0);
    ASSERT_EQ(sheet.value("nrows").toInt(), texts.size() + 1);
    const QJsonArray rows = sheet.value("rows").toArray();
    ASSERT_EQ(rows.size(), texts.size() + 1);
    for (int i = 0; i < texts.size(); ++i) {
        const QJsonArray cells = rows.at(i + 1).toObject().value("cells").toArray();
        const QString expected = texts[i].left(32767);  // the longest text a cell holds
        ASSERT_EQ(cells.at(0).toObject().value("v").toString(), expected) << "row " << i + 1;
        ASSERT_EQ(cells.at(1).toObject().value("v").toString(), texts.first()) << "row " << i + 1;
    }
}

// 70,000 rows: a second sheet, and a stream whose sector table needs extension (DIFAT) sectors.
TEST(XlsWriter, RowsBeyondOneSheetGoOnTheNextAndTheTotalsSumAll)
{
    QList<TXlsColumn> columns = {{"Sorszám", TXlsKind::Integer, 8, true, {}}};
    for (int c = 1; c < 6; ++c)
        columns.append({QStringLiteral("Érték %1").arg(c), TXlsKind::Float, 10, c == 1, {}});
    TXlsWriter writer;
    writer.SetColumns(columns);
    const int rows = 70000;
    for (int r = 1; r <= rows; ++r)
        writer.AddRow({r, r / 3.0, r / 7.0, r / 11.0, r / 13.0, r / 17.0});
    EXPECT_EQ(writer.SheetCount(), 2);
    const QJsonObject dump = DumpXls(WriteToBuffer(writer), {"--head", "2", "--tail", "2"});
    ExpectSoundFile(dump);
    EXPECT_GE(dump.value("ole").toObject().value("difat_sectors").toInt(), 1);
    ASSERT_EQ(dump.value("sheets").toArray().size(), 2);
    const QJsonObject first = Sheet(dump, 0), second = Sheet(dump, 1);
    EXPECT_EQ(first.value("name").toString(), "Sheet 1");
    EXPECT_EQ(second.value("name").toString(), "Sheet 2");
    EXPECT_EQ(first.value("nrows").toInt(), 65536);
    EXPECT_EQ(DumpedRow(first, 65535).at(0).toObject().value("v").toDouble(), 65535);
    // The second sheet starts with the captions again, then row 65,536 of the data.
    ExpectCells(DumpedRow(second, 0), {{0, Text, "Sorszám", "General", true}, {5, Text, "Érték 5", "General", true}},
                "second captions");
    EXPECT_EQ(DumpedRow(second, 1).at(0).toObject().value("v").toDouble(), 65536);
    const int totalsRow = rows - 65535 + 1;
    ASSERT_EQ(second.value("nrows").toInt(), totalsRow + 1);
    const QJsonArray totals = DumpedRow(second, totalsRow);
    EXPECT_DOUBLE_EQ(totals.at(0).toObject().value("v").toDouble(), 70000.0 * 70001 / 2);
    EXPECT_EQ(totals.at(0).toObject().value("formula").toString(),
              QStringLiteral("SUM('Sheet 1'!$A$2:$A$65536,A2:A%1)").arg(totalsRow));
    EXPECT_NEAR(totals.at(1).toObject().value("v").toDouble(), 70000.0 * 70001 / 6, 1e-3);
    EXPECT_EQ(totals.at(2).toObject().value("t").toInt(), Empty);
}

TEST(XlsWriter, TotalsOfAFullSheetGoOnANewSheet)
{
    TXlsWriter writer;
    writer.SetColumns({{"Db", TXlsKind::Integer, 8, true, {}}});
    for (int r = 0; r < 65535; ++r)  // with the caption row the first sheet is full
        writer.AddRow({2});
    const QJsonObject dump = DumpXls(WriteToBuffer(writer), {"--head", "2", "--tail", "1"});
    ExpectSoundFile(dump);
    ASSERT_EQ(dump.value("sheets").toArray().size(), 2);
    const QJsonObject second = Sheet(dump, 1);
    ASSERT_EQ(second.value("nrows").toInt(), 2);
    const QJsonObject total = DumpedRow(second, 1).at(0).toObject();
    EXPECT_DOUBLE_EQ(total.value("v").toDouble(), 131070);
    EXPECT_EQ(total.value("formula").toString(), "SUM('Sheet 1'!$A$2:$A$65536)");
}

TEST(XlsWriter, FailedWritesSayWhyAndLeaveNoFile)
{
    TXlsWriter writer;
    writer.SetColumns({{"A", TXlsKind::Text, 5, false, {}}});
    writer.AddRow({"x"});

    QBuffer closed;
    EXPECT_FALSE(writer.Write(&closed));
    EXPECT_FALSE(writer.ErrorString().isEmpty());
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(writer.Write(&readOnly));

    QTemporaryDir dir;
    EXPECT_FALSE(writer.WriteFile(dir.filePath("missing-folder/lista.xls")));
    EXPECT_FALSE(writer.ErrorString().isEmpty());

    // An existing file is replaced whole.
    const QString target = dir.filePath("lista.xls");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    ASSERT_TRUE(writer.WriteFile(target)) << writer.ErrorString().toStdString();
    const QJsonObject dump = DumpXls(target);
    ExpectSoundFile(dump);
    EXPECT_EQ(DumpedRow(Sheet(dump, 0), 1).at(0).toObject().value("v").toString(), "x");
}
