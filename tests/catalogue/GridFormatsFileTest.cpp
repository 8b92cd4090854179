#include "TestSupport.h"
#include "UtilDisplayFields.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
QByteArray Declarations()
{
    QByteArray t = "\r\n[Options]\r\nId=\r\nHashCode=\r\n";
    for (const char* table : {"FEJLEC", "TETEL"})
        t += QByteArray("\r\n[Table]\r\nNAME=") + table + "\r\nSQLTABLENAME=\r\nKEYFIELDNAMES=\r\nSRCFILENAME=\r\n";
    const char* fields[][3] = {
        {"FEJLEC", "FORMNAME", "String"}, {"FEJLEC", "GRIDNAME", "String"}, {"FEJLEC", "FORMTAG", "Integer"},
        {"FEJLEC", "GRIDTAG", "Integer"}, {"FEJLEC", "GRIDHEIGHT", "Integer"}, {"TETEL", "INDEX", "Integer"},
        {"TETEL", "FIELDNAME", "String"}, {"TETEL", "FORMAT", "String"},      {"TETEL", "DISPLAY", "String"},
        {"TETEL", "WIDTH", "Integer"},    {"TETEL", "VISIBLE", "Boolean"},    {"TETEL", "TAG", "Integer"},
    };
    for (const auto& f : fields)
        t += QByteArray("\r\n[Field]\r\nTable=") + f[0] + "\r\nName=" + f[1] + "\r\nDataType=" + f[2] +
             "\r\nMemo=\r\nSize=0\r\nSqlFieldName=\r\n";
    return t;
}

// Byte equality, with the first difference shown as text when they differ.
::testing::AssertionResult SameBytes(const QByteArray& actual, const QByteArray& expected)
{
    if (actual == expected) return ::testing::AssertionSuccess();
    int i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
    auto around = [i](const QByteArray& b) {
        return QString::fromLatin1(b.mid(qMax(0, i - 40), 80)).replace("\r", "\\r").replace("\n", "\\n").toStdString();
    };
    return ::testing::AssertionFailure() << "first difference at byte " << i << "\n  actual:   " << around(actual)
                                         << "\n  expected: " << around(expected);
}

TListGridFormatItem SampleStore()
{
    TListGridFormatItem store;
    TDisplayFields a;
    AddDisplayField(a, "KOD", "Kód", 80, "", true, 1);
    AddDisplayField(a, "AR", "Ár", 70, "### ##0.00", false, 0);
    StoreGridFormat(store, "FormTeszt", "grdMaster", 0, a, 0, 1);
    TDisplayFields b;
    AddDisplayField(b, "NETTO", "Nettó\r\n[össz]", -5, "0.00", true, 2);
    StoreGridFormat(store, "FormTeszt", "grdDetail", 150, b, 3, 1);
    return store;
}

TEST(GridFormatsFile, WrittenInTheFdbFormByteForByte)
{
    TTempProgramDir dir;
    const QString file = dir.File("Data/grids.ini");
    dir.Write("Data/.keep", "");
    ASSERT_TRUE(SaveGridFormats(SampleStore(), file));
    const QByteArray expected =
        Declarations() +
        "\r\n[REC.FEJLEC]\r\nFORMNAME(9)=FormTeszt\r\nGRIDNAME(9)=grdMaster\r\nFORMTAG=1\r\nGRIDTAG=0\r\nGRIDHEIGHT=0\r\n"
        "\r\n[REC.TETEL]\r\nINDEX=0\r\nFIELDNAME(3)=KOD\r\nFORMAT(0)=\r\nDISPLAY(3)=K\xf3" "d\r\nWIDTH=80\r\nVISIBLE=1\r\nTAG=1\r\n"
        "\r\n[REC.TETEL]\r\nINDEX=1\r\nFIELDNAME(2)=AR\r\nFORMAT(10)=### ##0.00\r\nDISPLAY(2)=\xc1r\r\nWIDTH=70\r\nVISIBLE=0\r\nTAG=0\r\n"
        "\r\n[REC.FEJLEC]\r\nFORMNAME(9)=FormTeszt\r\nGRIDNAME(9)=grdDetail\r\nFORMTAG=1\r\nGRIDTAG=3\r\nGRIDHEIGHT=150\r\n"
        "\r\n[REC.TETEL]\r\nINDEX=0\r\nFIELDNAME(5)=NETTO\r\nFORMAT(4)=0.00\r\nDISPLAY(13)=Nett\xf3\r\n[\xf6ssz]\r\nWIDTH=-5\r\nVISIBLE=1\r\nTAG=2\r\n";
    EXPECT_TRUE(SameBytes(dir.Read("Data/grids.ini"), expected));

    // Read back: the same layouts, and written again the same bytes.
    TListGridFormatItem loaded;
    LoadGridFormats(loaded, file);
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded[1].GridName, "grdDetail");
    EXPECT_EQ(loaded[1].GridTag, 3);
    EXPECT_EQ(loaded[1].GridHeight, 150);
    ASSERT_EQ(loaded[1].Columns.size(), 1);
    EXPECT_EQ(loaded[1].Columns[0].Display, "Nettó\r\n[össz]");
    EXPECT_EQ(loaded[1].Columns[0].Width, -5);
    EXPECT_EQ(loaded[1].Columns[0].Tag, 2);
    EXPECT_FALSE(loaded[0].Columns[1].Visible);
    EXPECT_EQ(loaded[0].Columns[1].Format, "### ##0.00");
    ASSERT_TRUE(SaveGridFormats(loaded, dir.File("Data/again.ini")));
    EXPECT_TRUE(SameBytes(dir.Read("Data/again.ini"), expected));

    // An empty store is the declarations alone.
    ASSERT_TRUE(SaveGridFormats({}, file));
    EXPECT_TRUE(SameBytes(dir.Read("Data/grids.ini"), Declarations()));
}

TEST(GridFormatsFile, MissingFileGivesAnEmptyStore)
{
    TTempProgramDir dir;
    TListGridFormatItem store = SampleStore();
    LoadGridFormats(store, dir.File("Data/grids.ini"));
    EXPECT_TRUE(store.isEmpty());
}

TEST(GridFormatsFile, HandEditedFileIsReadAsFarAsItMakesSense)
{
    // A column before any layout, a gap in the positions, a table of another name (and one in
    // other letter case), an empty height and an absurd position.
    TListGridFormatItem store;
    LoadGridFormats(store, FixturePath("lists-grids-hand-edited.ini"));
    ASSERT_EQ(store.size(), 1);
    EXPECT_EQ(store[0].FormName, "FormCikkLista");
    EXPECT_EQ(store[0].FormTag, 1);
    EXPECT_EQ(store[0].GridHeight, 0);
    ASSERT_EQ(store[0].Columns.size(), 3);
    EXPECT_EQ(store[0].Columns[0].FieldName, "KOD");
    EXPECT_EQ(store[0].Columns[1].FieldName, "");  // skipped over: stays empty
    EXPECT_FALSE(store[0].Columns[1].Visible);
    EXPECT_EQ(store[0].Columns[2].FieldName, "NEV");
    EXPECT_EQ(store[0].Columns[2].Display, "Név");
    EXPECT_TRUE(store[0].Columns[2].Visible);
    EXPECT_EQ(store[0].Columns[2].Width, 250);
}

TEST(GridFormatsFile, ProgramWideStoreLivesInTheDataFolder)
{
    TTempProgramDir dir;
    dir.Write("Data/.keep", "");
    GridFormats = SampleStore();
    ASSERT_TRUE(SaveGridFormats());
    EXPECT_TRUE(QFile::exists(dir.File("Data/grids.ini")));
    GridFormats.clear();
    LoadGridFormats();
    EXPECT_EQ(GridFormats.size(), 2);
    ClearGridFormats();
    EXPECT_TRUE(GridFormats.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.File("Data/grids.ini")));
}
}  // namespace
