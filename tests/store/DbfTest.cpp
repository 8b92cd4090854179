#include "GTestQt.h"
#include "TestSupport.h"
#include "UtilDBF.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
TListDBFField ThreeFields()
{
    TListDBFField l;
    AddDBFField(l, "NEV", TFieldType::String, false, 0, 30);
    AddDBFField(l, "AR", TFieldType::Float, false, 2, 10);
    AddDBFField(l, "DB", TFieldType::Float, false, 0, 6);
    AddDBFField(l, "NAP", TFieldType::Date, false, 0, 99);
    AddDBFField(l, "OK", TFieldType::Boolean, false, 0, 1);
    return l;
}

void AddRow(TDbf& t, const QVariantList& v)
{
    t.Append();
    for (int i = 0; i < v.size(); ++i) t.SetValue(i, v[i]);
    t.Post();
}

QStringList Names(const QString& file, int cp = 1250)
{
    TDbf t;
    QStringList out;
    if (!t.Open(file, cp)) return {"<nem nyílt meg>"};
    for (t.First(); !t.Eof(); t.Next()) out << t.AsString(0);
    return out;
}

struct DbfFixture : ::testing::Test {
    TTempProgramDir dir;
    QString file;
    void SetUp() override
    {
        file = dir.File("t.dbf");
        ASSERT_TRUE(CreateDBFTable(file, ThreeFields(), 1250));
        TDbf t;
        ASSERT_TRUE(t.Open(file, 1250));
        AddRow(t, {QStringLiteral("Őrült Űrhajó"), 1234.5, 3, QDate(2024, 2, 29), true});
        AddRow(t, {"alma", QVariant(), QVariant(), QVariant(), QVariant()});
        AddRow(t, {"körte", -0.125, -7, QDate(1999, 12, 31), false});
    }
    QByteArray Bytes() const
    {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    void WriteBytes(const QByteArray& b) const
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(b);
    }
};
}

TEST_F(DbfFixture, HeaderLayoutAndValues)
{
    const QByteArray b = Bytes();
    const int recLen = 1 + 30 + 10 + 6 + 8 + 1;
    EXPECT_EQ(uchar(b[0]), 0x03);
    EXPECT_EQ(uchar(b[29]), 0xC8);
    EXPECT_EQ(uchar(b[4]), 3);
    EXPECT_EQ(uchar(b[8]) | (uchar(b[9]) << 8), 32 + 5 * 32 + 1);
    EXPECT_EQ(uchar(b[10]) | (uchar(b[11]) << 8), recLen);
    EXPECT_EQ(b.size(), 32 + 5 * 32 + 1 + 3 * recLen + 1);
    EXPECT_EQ(uchar(b.back()), 0x1A);
    const QByteArray rec1 = b.mid(32 + 5 * 32 + 1, recLen);
    EXPECT_EQ(rec1, QByteArray(" ") + QByteArray("\xD5r\xFClt \xDBrhaj\xF3").leftJustified(30, ' ') + "   1234.50" + "     3" + "20240229" + "T");

    TDbf t;
    ASSERT_TRUE(t.Open(file, 0));  // the file's own code page
    EXPECT_EQ(t.CodePage(), 1250);
    ASSERT_EQ(t.FieldCount(), 5);
    EXPECT_EQ(t.Fields()[1].Type, TFieldType::Float);
    EXPECT_EQ(t.Fields()[2].Type, TFieldType::Integer);
    EXPECT_EQ(t.FieldValue("NEV").toString(), QStringLiteral("Őrült Űrhajó"));
    EXPECT_EQ(t.FieldValue("DB").toLongLong(), 3);
    EXPECT_EQ(t.FieldValue("NAP").toDate(), QDate(2024, 2, 29));
    t.Next();
    for (int f = 1; f < 5; ++f) EXPECT_FALSE(t.Value(f).isValid()) << f;
    t.Next();
    EXPECT_EQ(t.FieldValue("AR").toDouble(), -0.13);  // two decimals, half away from zero
    EXPECT_EQ(t.FieldValue("OK").toBool(), false);
}

TEST_F(DbfFixture, EveryWriteLeavesAValidFile)
{
    TDbf t;
    ASSERT_TRUE(t.Open(file, 1250));
    ASSERT_TRUE(t.Locate("NEV", "alma"));
    t.Edit();
    t.SetFieldValue("NEV", QStringLiteral("alma és szilva, ami hosszabb harminc karakternél"));
    t.Post();
    EXPECT_EQ(Names(file), QStringList({QStringLiteral("Őrült Űrhajó"), QStringLiteral("alma és szilva, ami hosszabb h"), "körte"}));
    t.First();
    t.Delete();
    EXPECT_EQ(Names(file), QStringList({QStringLiteral("alma és szilva, ami hosszabb h"), "körte"}));
    AddRow(t, {"új", 1, 1, QDate(2025, 1, 1), true});
    EXPECT_EQ(Names(file).size(), 3);
    TDbf other;
    ASSERT_TRUE(other.Open(file));
    EXPECT_EQ(other.PhysicalRecordCount(), 4);  // the deleted row stays until packed
    // A number too wide for its column is refused; nothing reaches the file.
    const QByteArray before = Bytes();
    t.Append();
    t.SetFieldValue("NEV", "túl nagy");
    t.SetFieldValue("DB", 1234567);
    EXPECT_THROW(t.Post(), EDataSetError);
    t.Cancel();
    EXPECT_EQ(Bytes(), before);
    t.Close();
    EXPECT_FALSE(PackDBFTable(file));  // another user still has it open
    other.Close();
    EXPECT_TRUE(PackDBFTable(file));
    TDbf packed;
    ASSERT_TRUE(packed.Open(file));
    EXPECT_EQ(packed.PhysicalRecordCount(), 3);
    EXPECT_EQ(packed.RecordCount(), 3);
}

TEST_F(DbfFixture, SharedAndExclusiveOpening)
{
    TDbf shared, exclusive, second;
    ASSERT_TRUE(shared.Open(file));
    EXPECT_FALSE(exclusive.Open(file, 0, TDbfOpenMode::Exclusive));
    EXPECT_FALSE(exclusive.Active());
    EXPECT_FALSE(exclusive.LastError().isEmpty());
    EXPECT_TRUE(second.Open(file));
    EXPECT_THROW(shared.Pack(), EDataSetError);  // packing needs the table alone
    shared.Close();
    second.Close();
    ASSERT_TRUE(exclusive.Open(file, 0, TDbfOpenMode::Exclusive));
    EXPECT_FALSE(shared.Open(file));
    EXPECT_FALSE(PackDBFTable(file));
    EXPECT_FALSE(RestructureDBFTable(file, ThreeFields().mid(0, 2), 1250));
    exclusive.Close();
    EXPECT_TRUE(shared.Open(file));
}

TEST_F(DbfFixture, RestructureKeepsSameNamedFields)
{
    {
        TDbf t;
        ASSERT_TRUE(t.Open(file));
        t.Last();
        t.Delete();
    }
    TListDBFField l;
    AddDBFField(l, "ar", TFieldType::Float, false, 3, 12);  // same name, other width
    AddDBFField(l, "NEV", TFieldType::String, false, 0, 5);
    AddDBFField(l, "UJ", TFieldType::Date, false, 0, 0);
    ASSERT_TRUE(RestructureDBFTable(file, l, 1250));
    TDbf t;
    ASSERT_TRUE(t.Open(file));
    ASSERT_EQ(t.FieldCount(), 3);
    EXPECT_EQ(t.DbfFields()[0].Name, "AR");
    EXPECT_EQ(t.DbfFields()[0].Length, 12);
    EXPECT_EQ(t.PhysicalRecordCount(), 3);  // the deleted record is kept, still deleted
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(t.FieldValue("AR").toDouble(), 1234.5);
    EXPECT_EQ(t.FieldValue("NEV").toString(), QStringLiteral("Őrült"));
    EXPECT_FALSE(t.FieldValue("UJ").isValid());
    EXPECT_FALSE(t.HasField("DB"));
}

TEST_F(DbfFixture, EnsureCreatesOnceAndCountsFields)
{
    const QString fresh = dir.File("uj.dbf");
    ASSERT_TRUE(EnsureDBFTable(fresh, ThreeFields(), 1250));
    const QByteArray created = [&] { QFile f(fresh); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    ASSERT_TRUE(EnsureDBFTable(fresh, ThreeFields(), 1250));
    QFile f(fresh);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), created);

    TListDBFField renamed = ThreeFields();
    renamed[0].FieldName = "MAS";  // same count: left as it is
    const QByteArray before = Bytes();
    EXPECT_TRUE(EnsureDBFTable(file, renamed, 1250));
    EXPECT_EQ(Bytes(), before);
    TListDBFField more = ThreeFields();
    AddDBFField(more, "UJMEZO", TFieldType::String, false, 0, 10);
    EXPECT_TRUE(EnsureDBFTable(dir.File("T.DBF"), more, 1250));  // found without regard to case
    TListDBFField read;
    ReadDBFFields(file, read);
    ASSERT_EQ(read.size(), 6);
    EXPECT_EQ(read[5].FieldName, "UJMEZO");
    EXPECT_EQ(read[3].FieldType, TFieldType::Date);
    EXPECT_EQ(read[3].Size, 0);
    EXPECT_EQ(read[1].Precision, 2);
    EXPECT_EQ(Names(file).size(), 3);

    TListDBFField l;
    AddDBFField(l, QString(70, 'X'), TFieldType::Date, false, 0, 12);
    EXPECT_EQ(l[0].FieldName.size(), 64);
    EXPECT_EQ(l[0].Size, 0);
    EXPECT_EQ(FindDBFField(more, "ujmezo"), 5);
    EXPECT_EQ(FindDBFField(more, "nincs"), -1);
    TDbf t;
    EXPECT_FALSE(OpenDBF(t, dir.File("nincs.dbf"), 1250));
    EXPECT_FALSE(t.Active());
    ReadDBFFields(dir.File("nincs.dbf"), read);
    EXPECT_TRUE(read.isEmpty());
    EXPECT_FALSE(CreateDBFTable(dir.File("rossz.dbf"), {}, 1250));
    EXPECT_FALSE(QFileInfo::exists(dir.File("rossz.dbf")));
}

TEST_F(DbfFixture, DamagedFilesFailCleanly)
{
    const QByteArray good = Bytes();
    const int hdr = 32 + 5 * 32 + 1;
    auto with = [&](int pos, char c) { QByteArray b = good; b[pos] = c; return b; };
    struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"header only half", good.left(20)},
        {"truncated records", good.left(hdr + 40)},
        {"record count too high", with(4, char(200))},
        {"record count huge", with(7, char(0x7F))},
        {"header length past the end", with(9, char(0x70))},
        {"record length disagrees", with(10, char(50))},
        {"unknown field type", with(32 + 11, 'Q')},
        {"zero-length field", with(32 + 16, 0)},
        {"no field descriptors", with(32, char(0x0D))},
    };
    for (const auto& c : cases) {
        WriteBytes(c.bytes);
        TDbf t;
        EXPECT_FALSE(t.Open(file)) << c.name;
        EXPECT_FALSE(t.Active()) << c.name;
        EXPECT_EQ(t.RecordCount(), 0) << c.name;
        TListDBFField l;
        ReadDBFFields(file, l);
        EXPECT_TRUE(l.isEmpty()) << c.name;
        EXPECT_FALSE(EnsureDBFTable(file, ThreeFields(), 1250)) << c.name;
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        EXPECT_EQ(f.readAll(), c.bytes) << c.name << ": a damaged table must not be rewritten";
    }
    // Garbage in numeric, date and logical fields reads as null.
    QByteArray b = good;
    const int rec = hdr;
    b.replace(rec + 31, 10, "  12x.5   ");
    b.replace(rec + 41, 6, "******");
    b.replace(rec + 47, 8, "20241341");
    b[rec + 55] = '?';
    WriteBytes(b);
    TDbf t;
    ASSERT_TRUE(t.Open(file));
    for (int f = 1; f < 5; ++f) EXPECT_FALSE(t.Value(f).isValid()) << f;
    EXPECT_EQ(t.AsFloat(1), 0.0);
    // A memo field reads as empty text and is left alone by writes.
    b = good;
    b[32 + 11] = 'M';
    WriteBytes(b);
    ASSERT_TRUE(t.Open(file));
    EXPECT_FALSE(t.FieldValue("NEV").isValid());
    EXPECT_TRUE(t.Fields()[0].ReadOnly);
}

TEST_F(DbfFixture, FilterAndCopyIntoMemory)
{
    TDbf t;
    t.SetOnFilterRecord([](TDataSet& ds) { return ds.FieldValue("OK").toBool() == false; });
    t.SetFiltered(true);
    ASSERT_TRUE(OpenDBF(t, file, 1250));  // the filter survives the reopen
    EXPECT_EQ(t.RecordCount(), 2);
    TRxMemoryData m;
    EXPECT_EQ(CopyDbfToMemory(t, m), 2);
    EXPECT_EQ(m.FieldCount(), 5);
    m.First();
    EXPECT_EQ(m.FieldValue("NEV").toString(), "alma");
    EXPECT_FALSE(m.FieldValue("AR").isValid());
    m.Next();
    EXPECT_EQ(m.FieldValue("NEV").toString(), "körte");
    EXPECT_EQ(m.FieldValue("DB").toLongLong(), -7);
    EXPECT_EQ(m.FieldValue("NAP").toDate(), QDate(1999, 12, 31));
    EXPECT_EQ(m.FieldValue("OK").toBool(), false);
    EXPECT_TRUE(m.FieldValue("OK").isValid());

    TRxMemoryData dst;
    dst.CreateTable({{"NEV", TFieldType::String, 50}, {"DB", TFieldType::Float}, {"MAS", TFieldType::String, 5}});
    dst.Append();
    CopyMatchingFields(t, dst);
    dst.Post();
    EXPECT_EQ(dst.FieldValue("NEV").toString(), "alma");
    EXPECT_FALSE(dst.FieldValue("DB").isValid());
}

TEST_F(DbfFixture, TextsInCodePage852)
{
    const QString f852 = dir.File("v.dbf");
    TListDBFField l;
    AddDBFField(l, "VNEV", TFieldType::String, false, 0, 20);
    ASSERT_TRUE(CreateDBFTable(f852, l, 852));
    {
        TDbf t;
        ASSERT_TRUE(t.Open(f852, 852));
        AddRow(t, {QStringLiteral("ŐŰőű Árvíz €")});
    }
    QFile raw(f852);
    raw.open(QIODevice::ReadOnly);
    const QByteArray b = raw.readAll();
    EXPECT_EQ(uchar(b[29]), 0x64);
    EXPECT_EQ(b.mid(32 + 32 + 1 + 1, 12), QByteArray("\x8A\xEB\x8B\xFB \xB5rv\xA1z ?"));
    EXPECT_EQ(Names(f852, 0), QStringList({QStringLiteral("ŐŰőű Árvíz ?")}));
    EXPECT_NE(Names(f852, 1250), QStringList({QStringLiteral("ŐŰőű Árvíz ?")}));
}
