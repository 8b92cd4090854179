#include "GTestQt.h"
#include "MemData.h"
#include "TestSupport.h"
#include "UtilFileDB.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>

namespace {
QByteArray Fixture(const QString& name)
{
    QFile f(FixturePath(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

TFDBFile Parsed(const QByteArray& bytes)
{
    TFDBFile f;
    f.LoadFromBytes(bytes);
    return f;
}

// A store with one String, Float, Integer, Boolean and DateTime field of table T.
TFDBFile Typed()
{
    TFDBFile f;
    f.AddTableField("T", "S", "", 0, "", TFDBDataType::String);
    f.AddTableField("T", "F", "", 0, "", TFDBDataType::Float);
    f.AddTableField("T", "I", "", 0, "", TFDBDataType::Integer);
    f.AddTableField("T", "B", "", 0, "", TFDBDataType::Boolean);
    f.AddTableField("T", "D", "", 0, "", TFDBDataType::DateTime);
    return f;
}
}

TEST(FDBFile, OneTableExampleByteForByte)
{
    TFDBFile f;
    f.AddTableField("TETEL", "KOD", "", 0, "", TFDBDataType::String);
    f.AddTableField("TETEL", "RENDMENNY", "", 0, "", TFDBDataType::Float);
    f.AddRecord("TETEL");
    f.AddValue("KOD", QStringLiteral("A12345"), "TETEL");
    f.AddValue("RENDMENNY", 12.5, "TETEL");
    EXPECT_EQ(f.SaveToBytes(), Fixture("store-fdb-one-table.fdb"));
    f.TrailerText = "vége";
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(f.SaveToDevice(buf));
    EXPECT_TRUE(buf.data().endsWith("RENDMENNY=12.5\r\nv\xE9ge"));

    const TFDBFile back = Parsed(Fixture("store-fdb-one-table.fdb"));
    EXPECT_EQ(back.SaveToBytes(), Fixture("store-fdb-one-table.fdb"));
    EXPECT_EQ(back.GetValue(0, "kod").toString(), "A12345");
    EXPECT_EQ(back.GetValue(0, "RENDMENNY").toDouble(), 12.5);
}

TEST(FDBFile, OrderDocumentRecordsPartByteForByte)
{
    TFDBFile f;
    const struct {
        const char* table;
        const char* name;
        TFDBDataType type;
    } fields[] = {
        {"FEJ", "BIZSORSZAM", TFDBDataType::String}, {"FEJ", "EV", TFDBDataType::Integer}, {"FEJ", "SORSZAM", TFDBDataType::Integer},
        {"FEJ", "UGYFELKOD", TFDBDataType::String}, {"FEJ", "UGYFELNEV", TFDBDataType::String}, {"FEJ", "IRSZAM", TFDBDataType::String},
        {"FEJ", "VAROS", TFDBDataType::String}, {"FEJ", "UTCA", TFDBDataType::String}, {"FEJ", "BOLTKOD", TFDBDataType::String},
        {"FEJ", "UGYNOKKOD", TFDBDataType::String}, {"FEJ", "MEGJ1", TFDBDataType::String}, {"FEJ", "MEGJ2", TFDBDataType::String},
        {"FEJ", "KELT", TFDBDataType::DateTime}, {"FEJ", "IDO", TFDBDataType::String}, {"FEJ", "SZALLHAT", TFDBDataType::DateTime},
        {"FEJ", "NETTO", TFDBDataType::Float}, {"FEJ", "BRUTTO", TFDBDataType::Float}, {"FEJ", "STATE", TFDBDataType::Integer},
        {"FEJ", "SRCKOD", TFDBDataType::String}, {"FEJ", "SRCNEV", TFDBDataType::String},
        {"TETEL", "KOD", TFDBDataType::String}, {"TETEL", "NEV", TFDBDataType::String}, {"TETEL", "RENDMENNY", TFDBDataType::Float},
        {"TETEL", "EAR", TFDBDataType::Float}, {"TETEL", "BRUTTOEAR", TFDBDataType::Float}, {"TETEL", "NETTO", TFDBDataType::Float},
        {"TETEL", "BRUTTO", TFDBDataType::Float}, {"TETEL", "CEGKOD", TFDBDataType::String}, {"TETEL", "CEGNEV", TFDBDataType::String},
    };
    f.AddTable("FEJ");
    f.AddTable("TETEL");
    for (const auto& d : fields) f.AddTableField(d.table, d.name, "", 0, "", d.type);
    f.AddRecord("FEJ");
    const QVariantList fej = {"BOLT01-24-00007", 2024, 7, "V0012", "Minta Kft.", "1111", "Budapest", QStringLiteral("Fő utca 1."),
                              "B1", "U07", "", "", QDateTime(QDate(2024, 3, 15), QTime(0, 0)), "14:05",
                              QDateTime(QDate(2024, 3, 20), QTime(0, 0)), 1200.0, 1524.0, "C01", QStringLiteral("Szállító")};
    const QStringList fejNames = {"BIZSORSZAM", "EV", "SORSZAM", "UGYFELKOD", "UGYFELNEV", "IRSZAM", "VAROS", "UTCA", "BOLTKOD",
                                  "UGYNOKKOD", "MEGJ1", "MEGJ2", "KELT", "IDO", "SZALLHAT", "NETTO", "BRUTTO", "SRCKOD", "SRCNEV"};
    for (int i = 0; i < fejNames.size(); ++i) f.AddValue(fejNames[i], fej[i], "FEJ");
    f.AddRecord("TETEL");
    const QVariantList tetel = {"123456", QStringLiteral("Termék neve"), 12.0, 100.0, 127.0, 1200.0, 1524.0, "C01", QStringLiteral("Szállító")};
    const QStringList tetelNames = {"KOD", "NEV", "RENDMENNY", "EAR", "BRUTTOEAR", "NETTO", "BRUTTO", "CEGKOD", "CEGNEV"};
    for (int i = 0; i < tetelNames.size(); ++i) f.AddValue(tetelNames[i], tetel[i], "TETEL");
    f.TrailerText = "[<MEGRENDELES_VEGE>]";
    const QByteArray out = f.SaveToBytes();
    const QByteArray records = Fixture("store-fdb-order-records.txt");
    EXPECT_TRUE(out.endsWith(records)) << out.right(records.size() + 40).toStdString();
    // The declarations come first and the end marker is read as an unknown section.
    EXPECT_EQ(out.indexOf("\r\n[REC.FEJ]"), out.size() - records.size());

    const TFDBFile back = Parsed(out);
    EXPECT_EQ(back.RecordCount(), 2);
    EXPECT_EQ(back.RecordTableName(1), "TETEL");
    EXPECT_EQ(back.GetValue(0, "UTCA").toString(), QStringLiteral("Fő utca 1."));
    EXPECT_EQ(back.GetValue(0, "KELT").toDateTime(), QDateTime(QDate(2024, 3, 15), QTime(0, 0)));
    EXPECT_EQ(back.GetValue(1, "BRUTTO").toDouble(), 1524.0);
    EXPECT_EQ(back.TrailerText, "");  // the end marker is not content
    EXPECT_EQ(back.SaveToBytes() + "[<MEGRENDELES_VEGE>]", out);

    TRxMemoryData items;
    items.CreateTable({{"KOD", TFieldType::String, 10}, {"RENDMENNY", TFieldType::Float}, {"NEV", TFieldType::String, 50}});
    EXPECT_EQ(back.AppendRecordsToDataSet(items, {}, ";", "TETEL"), 1);
    EXPECT_EQ(items.FieldValue("NEV").toString(), QStringLiteral("Termék neve"));
    EXPECT_EQ(items.FieldValue("RENDMENNY").toDouble(), 12.0);
}

TEST(FDBFile, ValueTextsRoundTrip)
{
    TFDBFile f = Typed();
    f.AddRecord("T");
    f.AddValue("S", QStringLiteral("két sor\r\n[REC.T]\r\nX=1"), "T");
    f.AddValue("F", 0.1, "T");
    f.AddValue("I", -42, "T");
    f.AddValue("B", true, "T");
    f.AddValue("D", QDateTime(QDate(2024, 2, 29), QTime(14, 5, 59)), "T");
    f.AddRecord("T");
    f.AddValue("S", QString(), "T");
    f.AddValue("F", QVariant(), "T");
    const QByteArray out = f.SaveToBytes();
    EXPECT_NE(out.indexOf("S(21)=k\xE9t sor\r\n[REC.T]\r\nX=1\r\n"), -1);
    EXPECT_NE(out.indexOf("F=0.100000000000000006\r\n"), -1);
    EXPECT_NE(out.indexOf("D=2024.02.29 14:05\r\n"), -1);
    EXPECT_NE(out.indexOf("S(0)=\r\nF=\r\n"), -1);
    const TFDBFile back = Parsed(out);
    ASSERT_EQ(back.RecordCount(), 2);
    EXPECT_EQ(back.GetValue(0, "S").toString(), QStringLiteral("két sor\r\n[REC.T]\r\nX=1"));
    EXPECT_EQ(back.GetValue(0, "F").toDouble(), 0.1);
    EXPECT_EQ(back.GetValue(0, "I").toDouble(), -42.0);
    EXPECT_EQ(back.GetValue(0, "B").toBool(), true);
    EXPECT_EQ(back.GetValue(0, "D").toDateTime(), QDateTime(QDate(2024, 2, 29), QTime(14, 5)));
    EXPECT_EQ(back.GetValue(1, "S").toString(), "");
    EXPECT_FALSE(back.GetValue(1, "F").isValid());
}

TEST(FDBFile, ParserCornerCases)
{
    const QByteArray head = Typed().SaveToBytes() + "\r\n[REC.T]\r\n";
    struct {
        const char* name;
        QByteArray body;
        int records;
        const char* field;
        QVariant expect;  // value of field in the last record; invalid = empty
    } cases[] = {
        {"empty length", "S(0)=\r\n", 1, "S", QString("")},
        {"empty integer is empty, not 0", "I=\r\n", 1, "I", QVariant()},
        {"comma decimal", "F=12,5\r\n", 1, "F", 12.5},
        {"bad number is empty", "F=12.5x\r\n", 1, "F", QVariant()},
        {"boolean TRUE", "B= true \r\n", 1, "B", true},
        {"boolean other", "B=yes\r\n", 1, "B", false},
        {"length takes line breaks", "S(5)=a\r\nbcX=1\r\n", 1, "S", QString("a\r\nbc")},
        {"length past the end", "S(99)=abc", 1, "S", QString("abc")},
        {"lower-case key", "s=abc\r\n", 1, "S", QString("abc")},
        {"blanks around the length", "  S( 3 ) =abcdef\r\n", 1, "S", QString("abc")},
        {"key before ( is not trimmed again", "S (3)=abcdef\r\n", 1, "S", QVariant()},
        {"Ö skipped before a key", "\xD6S=x\r\n", 1, "S", QString("x")},
        {"semicolon ends parsing", "S=a\r\n;comment\r\n[REC.T]\r\nS=b\r\n", 1, "S", QString("a")},
        {"hash ends parsing", "#x\r\nS=a\r\n", 1, "S", QVariant()},
        {"key without = ends parsing", "S=a\r\nNOEQUALS\r\n", 1, "S", QString("a")},
        {"end marker is an unknown section", "S=a\r\n[<MEGRENDELES_VEGE>]\r\nS=b\r\n", 1, "S", QString("a")},
        {"underscore dropped from table name", "[REC.T_]\r\nS=u\r\n", 2, "S", QString("u")},
        {"unknown table: record of no table", "[REC.NINCS]\r\nS=n\r\n", 2, "S", QString("n")},
        {"undeclared field dropped", "XYZ=1\r\n", 1, "XYZ", QVariant()},
        {"date with seconds and ms", "D=2024-03-15T14:05:59.123\r\n", 1, "D", QDateTime(QDate(2024, 3, 15), QTime(14, 5, 59, 123))},
        {"date only", "D=2024.3.5\r\n", 1, "D", QDateTime(QDate(2024, 3, 5), QTime(0, 0))},
        {"four numbers: zero date", "D=2024.03.15 14\r\n", 1, "D", FDBZeroDateTime()},
        {"bare time: zero date", "D=14:05\r\n", 1, "D", QDateTime(QDate(1899, 12, 30), QTime(14, 5))},
        {"section token at the very end is empty", "S=a\r\n[REC.T]", 1, "S", QString("a")},
    };
    for (const auto& c : cases) {
        const TFDBFile f = Parsed(head + c.body);
        EXPECT_EQ(f.RecordCount(), c.records) << c.name;
        EXPECT_EQ(f.GetValue(f.RecordCount() - 1, c.field), c.expect) << c.name;
    }
    EXPECT_THROW(Parsed(head + "D=2024.02.30\r\n"), EFDBConvertError);
    EXPECT_THROW(Parsed(head + "D=2024.01.01 25:00\r\n"), EFDBConvertError);
}

TEST(FDBFile, DeclarationsAndFilters)
{
    TFDBFile f;
    EXPECT_EQ(f.AddTableField("T", "A", "m", 5, "q", TFDBDataType::Float), 0);
    EXPECT_EQ(f.AddTableField("t", "a", "", 7, "", TFDBDataType::Integer), 0);  // updated, not added
    EXPECT_EQ(f.DB.Fields[0].Size, 7);
    EXPECT_EQ(f.AddField("X", TFDBDataType::String, "", 0, "", -1), 1);
    EXPECT_EQ(f.AddField("X", TFDBDataType::String, "", 0, "", -1), 2);  // fields of no table are never found
    EXPECT_EQ(f.FindTableField("NINCS", "A"), -1);
    EXPECT_EQ(f.TableNameOf(5), "");
    f.AddValue("A", 1, "NINCS");
    EXPECT_EQ(f.DB.ValueCount, 0);
    f.AddRecord("");
    f.AddValue("X", "v");
    EXPECT_EQ(f.RecordTableName(0), "");
    EXPECT_EQ(f.GetRecordFields(1).size(), 0);

    EXPECT_TRUE(TFDBFile::FieldPassesFilter("KOD", "  ", true, ";"));
    EXPECT_TRUE(TFDBFile::FieldPassesFilter("KOD", "nev;kod", true, ";"));
    EXPECT_FALSE(TFDBFile::FieldPassesFilter("KOD", "nev;kod", false, ";"));
    EXPECT_FALSE(TFDBFile::FieldPassesFilter("OD", "NEV;KODX", true, ";"));
    EXPECT_FALSE(TFDBFile::FieldPassesFilter("kod", "KOD", true, ";"));  // the name is not upper-cased
    // Filtered-out fields are not declared, their values are still written.
    const QByteArray out = f.SaveToBytes("A", false);
    EXPECT_EQ(out.indexOf("Name=A\r\n"), -1);
    EXPECT_NE(out.indexOf("[REC]\r\nX(1)=v\r\n"), -1);
}

TEST(FDBFile, FilesAndDataSets)
{
    TTempProgramDir dir;
    TFDBFile f;
    f.AddTableField("T", "A", "", 0, "", TFDBDataType::String);
    f.AddRecord("T");
    f.AddValue("A", "x", "T");
    EXPECT_FALSE(f.LoadFromFile(dir.File("nincs.fdb")));
    EXPECT_EQ(f.RecordCount(), 1);  // unchanged
    ASSERT_TRUE(f.SaveToFile(dir.File("a.fdb")));
    EXPECT_FALSE(f.SaveToFile(dir.File("nincs/mappa/a.fdb")));

    TRxMemoryData t;
    t.CreateTable({{"KOD", TFieldType::String, 10}, {"MENNY", TFieldType::Integer}, {"AR", TFieldType::Float},
                   {"OK", TFieldType::Boolean}, {"NAP", TFieldType::Date}});
    for (int i = 0; i < 3; ++i) {
        t.Append();
        t.SetFieldValue("KOD", QStringLiteral("K%1ő").arg(i));
        t.SetFieldValue("MENNY", i);
        if (i != 1) t.SetFieldValue("AR", i * 1.25);
        t.SetFieldValue("OK", i == 2);
        t.SetFieldValue("NAP", QDate(2024, 1, i + 1));
        t.Post();
    }
    t.SetRecNo(1);
    TFDBFile g;
    EXPECT_EQ(g.LoadFromDataSet(t, "TETEL"), 3);
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_EQ(g.DB.Id, "TETEL");
    EXPECT_EQ(g.DB.Fields[0].Size, 10);
    EXPECT_EQ(g.DB.Fields[4].DataType, TFDBDataType::DateTime);
    ASSERT_TRUE(g.SaveToFile(dir.File("t.fdb")));
    TFDBFile h;
    ASSERT_TRUE(h.LoadFromFile(dir.File("T.FDB")));  // names match without case
    TRxMemoryData u;
    u.CreateTable(t.Fields());
    EXPECT_EQ(h.AppendRecordsToDataSet(u), 3);
    u.First();
    EXPECT_EQ(u.FieldValue("KOD").toString(), QStringLiteral("K0ő"));
    u.Next();
    EXPECT_FALSE(u.FieldValue("AR").isValid());
    EXPECT_EQ(u.FieldValue("MENNY").toLongLong(), 1);
    u.Next();
    EXPECT_EQ(u.FieldValue("AR").toDouble(), 2.5);
    EXPECT_EQ(u.FieldValue("OK").toBool(), true);
    EXPECT_EQ(u.FieldValue("NAP").toDate(), QDate(2024, 1, 3));
    // A record with no field the dataset knows is not appended.
    TRxMemoryData other;
    other.CreateTable({{"MAS", TFieldType::String, 5}});
    EXPECT_EQ(h.AppendRecordsToDataSet(other), 0);
    EXPECT_EQ(other.RecordCount(), 0);
}
