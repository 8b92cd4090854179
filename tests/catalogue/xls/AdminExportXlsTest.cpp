// kelobolt-admin export-xls over a DBF table written by another program (python3-dbf).
#include "CodePage.h"
#include "TestSupport.h"
#include "XlsDump.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct TRun {
    int exitCode = -1;
    QString out, err;
};

TRun RunAdmin(const QStringList& args)
{
    QProcess p;
    p.start(BuiltProgram("kelobolt-admin"), args);
    TRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A code page 1250 table with a deleted record and empty values, written by python3-dbf.
void WriteShopTable(const QString& fileName)
{
    const QString script = QStringLiteral(R"(
import dbf, datetime, sys
t = dbf.Table(sys.argv[1], "NEV C(30); DB N(6,0); AR N(10,2); KELT D; AKCIOS L", codepage="cp1250", dbf_type="db3")
t.open(dbf.READ_WRITE)
t.append(("Őszibarack befőtt", 12, 1234.5, datetime.date(2024, 2, 29), True))
t.append(("Törölt sor", 5, 1.0, datetime.date(2024, 1, 1), False))
t.append(("Kávé", None, None, None, None))
t.append(("", -2, -0.25, datetime.date(1999, 12, 31), False))
dbf.delete(t[1])
t.close()
)");
    QProcess p;
    p.start("/usr/bin/python3", {"-c", script, fileName});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

QJsonObject Cell(const QJsonObject& sheet, int row, int col)
{
    return DumpedRow(sheet, row).at(col).toObject();
}

}  // namespace

TEST(AdminExportXls, WholeTableWithFieldNamesWidthsAndTotals)
{
    TTempProgramDir dir;
    WriteShopTable(dir.File("termek.dbf"));
    const TRun run = RunAdmin({"export-xls", dir.File("termek.dbf"), dir.File("termek.xls")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(), "3 sor, 5 oszlop: termek.xls\n");

    const QJsonObject dump = DumpXls(dir.File("termek.xls"));
    ExpectSoundFile(dump);
    const QJsonObject sheet = dump.value("sheets").toArray().at(0).toObject();
    EXPECT_EQ(sheet.value("name").toString(), "Sheet 1");
    ASSERT_EQ(sheet.value("nrows").toInt(), 5);  // captions, three live records, totals
    const QStringList names = {"NEV", "DB", "AR", "KELT", "AKCIOS"};
    for (int c = 0; c < names.size(); ++c) {
        EXPECT_EQ(Cell(sheet, 0, c).value("v").toString(), names[c]);
        EXPECT_TRUE(Cell(sheet, 0, c).value("bold").toBool());
    }
    // Field length (plus digit-group room for numbers, a date's display width), and one more.
    EXPECT_EQ(JsonText(sheet.value("widths")), R"({"0":7936,"1":2304,"2":3584,"3":3584,"4":1792})");

    EXPECT_EQ(Cell(sheet, 1, 0).value("v").toString(), "Őszibarack befőtt");
    EXPECT_EQ(Cell(sheet, 1, 1).value("v").toDouble(), 12);
    EXPECT_EQ(Cell(sheet, 1, 1).value("fmt").toString(), "#,###,##0");
    EXPECT_EQ(Cell(sheet, 1, 2).value("v").toDouble(), 1234.5);
    EXPECT_EQ(Cell(sheet, 1, 2).value("fmt").toString(), "#,###,##0.00");
    EXPECT_EQ(Cell(sheet, 1, 3).value("v").toString(), "2024-02-29T00:00:00");
    EXPECT_EQ(Cell(sheet, 1, 3).value("fmt").toString(), "yyyy. MM. dd.");
    EXPECT_EQ(Cell(sheet, 1, 4).value("v").toString(), "true");
    // The deleted record is left out; empty values give empty cells.
    EXPECT_EQ(Cell(sheet, 2, 0).value("v").toString(), "Kávé");
    for (int c = 1; c < 5; ++c)
        EXPECT_EQ(Cell(sheet, 2, c).value("t").toInt(), 0) << "column " << c;
    EXPECT_EQ(Cell(sheet, 3, 0).value("t").toInt(), 0);
    EXPECT_EQ(Cell(sheet, 3, 4).value("v").toString(), "false");

    EXPECT_EQ(Cell(sheet, 4, 1).value("v").toDouble(), 10);
    EXPECT_EQ(Cell(sheet, 4, 1).value("formula").toString(), "SUM(B2:B4)");
    EXPECT_EQ(Cell(sheet, 4, 2).value("v").toDouble(), 1234.25);
    EXPECT_EQ(Cell(sheet, 4, 3).value("t").toInt(), 0);
}

TEST(AdminExportXls, CodePageOptionDecodesTheTexts)
{
    TTempProgramDir dir;
    WriteShopTable(dir.File("vevo.dbf"));
    const TRun run = RunAdmin({"export-xls", dir.File("vevo.dbf"), dir.File("vevo.xls"), "--codepage", "852"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject sheet = DumpXls(dir.File("vevo.xls")).value("sheets").toArray().at(0).toObject();
    const QString as852 = TCodePage::Get(852)->Decode(TCodePage::Get(1250)->Encode("Őszibarack befőtt"));
    ASSERT_NE(as852, QString("Őszibarack befőtt"));
    EXPECT_EQ(Cell(sheet, 1, 0).value("v").toString(), as852);
}

TEST(AdminExportXls, BadArgumentsAndFilesFailWithAMessage)
{
    TTempProgramDir dir;
    WriteShopTable(dir.File("t.dbf"));
    dir.Write("serult.dbf", QByteArray("\x03\x7e\x0c\x0b garbage", 14));
    struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{dir.File("t.dbf")}, "Használat: export-xls"},
        {{dir.File("nincs.dbf"), dir.File("x.xls")}, "A tábla nem nyitható meg"},
        {{dir.File("serult.dbf"), dir.File("x.xls")}, "A tábla nem nyitható meg"},
        {{dir.File("t.dbf"), dir.File("x.xls"), "--codepage", "abc"}, "Ismeretlen kódlap: abc"},
        {{dir.File("t.dbf"), dir.File("x.xls"), "--codepage"}, "Ismeretlen kódlap"},
        {{dir.File("t.dbf"), dir.File("nincs-mappa/x.xls")}, "A munkafüzet nem írható"},
    };
    for (const auto& c : cases) {
        const TRun run = RunAdmin(QStringList{"export-xls"} + c.args);
        EXPECT_EQ(run.exitCode, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.File("x.xls")));
}
