#include "IniFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <ostream>
#include <unistd.h>


namespace {
TIniFile FromText(const char* text)
{
    TIniFile ini;
    ini.SetText(QString::fromUtf8(text));
    return ini;
}

QByteArray Bytes(const TIniFile& ini)
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    ini.Write(buf);
    return buf.data();
}
}

TEST(IniFile, ReadingFollowsTheProfileRules)
{
    const TIniFile ini = FromText(
        "Lost=before any section\n"
        "; Comment=not a key\n"
        "[Main]\n"
        "  ArhivNap  =  30  \n"
        "arhivnap=99\n"
        "Server=ftp.example.hu=21\n"
        "Quoted=\"  spaced  \"\n"
        "Single='x'\n"
        "Half=\"x\n"
        "#Hash=a key, not a comment\n"
        "\tTabbed\t=\tt\t\n"
        "NoEquals\n"
        "Empty=\n"
        "[ User ]\n"
        "DefState=2\n"
        "[MAIN]\n"
        "ArhivNap=1\n"
        "Later=only in the second section\n");
    struct { const char* section; const char* key; const char* expected; } cases[] = {
        {"Main", "ArhivNap", "30"},      {"MAIN", "ARHIVNAP", "30"},     {"main", "Server", "ftp.example.hu=21"},
        {"Main", "Quoted", "  spaced  "}, {"Main", "Single", "x"},        {"Main", "Half", "\"x"},
        {"Main", "#Hash", "a key, not a comment"}, {"Main", "Tabbed", "t"}, {"Main", "Empty", ""},
        {"User", "DefState", "2"},       {"user", "defstate", "2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "DEF"), QString::fromUtf8(c.expected)) << c.section << "/" << c.key;

    for (auto [section, key] : {std::pair{"Main", "Later"}, {"Main", "Lost"}, {"", "Lost"}, {"Main", "NoEquals"},
                                 {"Main", "; Comment"}, {"Main", "Comment"}, {"Nincs", "ArhivNap"}}) {
        EXPECT_EQ(ini.ReadString(section, key, "DEF"), QStringLiteral("DEF")) << section << "/" << key;
        EXPECT_FALSE(ini.ValueExists(section, key)) << section << "/" << key;
    }
    EXPECT_TRUE(ini.ValueExists("main", "EMPTY"));
    EXPECT_EQ(ini.ReadRawString("Main", "Quoted"), QStringLiteral("\"  spaced  \""));
    EXPECT_TRUE(ini.SectionExists("uSeR"));
    EXPECT_EQ(ini.Sections(), (QStringList{"Main", "User"}));
    EXPECT_EQ(ini.Keys("main"), (QStringList{"ArhivNap", "Server", "Quoted", "Single", "Half", "#Hash", "Tabbed", "Empty"}));
    EXPECT_EQ(ini.Keys("Nincs"), QStringList());

    // Every key line under a section, also where lookups never reach.
    QStringList entries;
    for (const TIniEntry& e : ini.Entries()) entries << e.section + "/" + e.key + "=" + e.value;
    EXPECT_EQ(entries, (QStringList{"Main/ArhivNap=30", "Main/arhivnap=99", "Main/Server=ftp.example.hu=21",
                                    "Main/Quoted=\"  spaced  \"", "Main/Single='x'", "Main/Half=\"x", "Main/#Hash=a key, not a comment",
                                    "Main/Tabbed=t", "Main/Empty=", "User/DefState=2", "MAIN/ArhivNap=1",
                                    "MAIN/Later=only in the second section"}));
}

TEST(IniFile, IntegersAndBooleans)
{
    struct { const char* text; int expected; } cases[] = {
        {"60", 60},          {" 60 ", 60},        {"-5", -5},          {"+7", 7},          {"0x1F", 31},
        {"0X1f", 31},        {"$1F", 31},         {"$FFFFFFFF", -1},   {"-$10", -16},      {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},         {"\"12\"", 12},
        // Not integers: the default.
        {"abc", -99}, {"12abc", -99}, {"1.5", -99}, {"", -99}, {"-", -99}, {"0x", -99}, {"$", -99},
        {"2147483648", -99}, {"+3000000000", -99}, {"-2147483649", -99}, {"$100000000", -99}, {"1 2", -99},
    };
    for (const auto& c : cases) {
        TIniFile ini;
        ini.WriteString("S", "K", QString::fromUtf8(c.text));
        EXPECT_EQ(ini.ReadInteger("S", "K", -99), c.expected) << c.text;
    }

    struct { const char* text; bool def; bool expected; } bools[] = {
        {"1", false, true}, {"0", true, false}, {"2", false, true}, {"-1", false, true},
        {"True", false, false}, {"True", true, true}, {"", true, true}, {"", false, false}, {"x", true, true},
    };
    for (const auto& c : bools) {
        TIniFile ini;
        ini.WriteString("S", "K", QString::fromUtf8(c.text));
        EXPECT_EQ(ini.ReadBool("S", "K", c.def), c.expected) << c.text << " def " << c.def;
    }
    TIniFile ini;
    ini.WriteBool("S", "B", true);
    ini.WriteBool("S", "C", false);
    ini.WriteInteger("S", "I", -12);
    EXPECT_EQ(ini.Lines(), (QStringList{"[S]", "B=1", "C=0", "I=-12"}));
    EXPECT_EQ(ini.ReadBool("S", "Missing", true), true);
    EXPECT_EQ(ini.ReadInteger("S", "Missing", 21), 21);
}

TEST(IniFile, WritingTouchesOnlyItsOwnLine)
{
    TIniFile ini = FromText(
        "; KeloBolt beállításai\n"
        "[Main]\n"
        "  ArhivNap = 60 ; régi\n"
        "Ismeretlen=marad\n"
        "\n"
        "; felhasználói rész\n"
        "[User]\n"
        "\n"
        "[Csak megjegyzes]\n"
        "; nincs kulcsa\n"
        "sor egyenlőségjel nélkül\n"
        "\n"
        "[FTPSync]\n"
        "Server=ftp\n");
    ini.WriteInteger("main", "ARHIVNAP", 30);       // in place, the file's spelling kept
    ini.WriteString("Main", "RendeloID", "AB12");   // after the section's last key
    ini.WriteString("User", "PicWidth", "220");     // a section with no keys
    ini.WriteString("Uj", "Kulcs", "érték");        // a new section at the end
    ini.WriteString("ftpsync", "server", "masik");
    ini.WriteString("csak MEGJEGYZES", "K", "v");  // after its last non-blank line
    EXPECT_EQ(ini.Lines(), (QStringList{
        "; KeloBolt beállításai",
        "[Main]",
        "ArhivNap=30",
        "Ismeretlen=marad",
        "RendeloID=AB12",
        "",
        "; felhasználói rész",
        "[User]",
        "PicWidth=220",
        "",
        "[Csak megjegyzes]",
        "; nincs kulcsa",
        "sor egyenlőségjel nélkül",
        "K=v",
        "",
        "[FTPSync]",
        "Server=masik",
        "",
        "[Uj]",
        "Kulcs=érték",
    }));

    // Into an empty profile, and a value that tries to add lines of its own.
    TIniFile empty;
    empty.WriteString("Main", "RendeloID", "x\r\n[Main]\r\nArhivNap=1\nvége");
    EXPECT_EQ(empty.Lines(), (QStringList{"[Main]", "RendeloID=x [Main] ArhivNap=1 vége"}));
    EXPECT_FALSE(empty.ValueExists("Main", "ArhivNap"));

    ini.DeleteKey("MAIN", "ismeretlen");
    EXPECT_FALSE(ini.ValueExists("Main", "Ismeretlen"));
    ini.EraseSection("uj");
    EXPECT_FALSE(ini.SectionExists("Uj"));
    EXPECT_EQ(ini.Lines().back(), QString());
}

TEST(IniFile, FileIsCodePage1250WithCrLf)
{
    TTempProgramDir dir;
    // LF-only lines and a last line without a line end, as a hand edit may leave them.
    dir.Write("a.ini", QByteArray("[Main]\nN\xe9v=\xc1rv\xedzt\xfbr\xf5\n; megjegyz\xe9s\n\n[User]\nX=1"));
    TIniFile ini(dir.File("a.ini"));
    EXPECT_EQ(ini.ReadString("main", "név"), QStringLiteral("Árvíztűrő"));
    ini.WriteString("User", "Y", QStringLiteral("tükörfúrógép €"));
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(dir.Read("a.ini"),
              QByteArray("[Main]\r\nN\xe9v=\xc1rv\xedzt\xfbr\xf5\r\n; megjegyz\xe9s\r\n\r\n[User]\r\nX=1\r\n"
                         "Y=t\xfck\xf6rf\xfar\xf3g\xe9p \x80\r\n"));
    // A character code page 1250 cannot hold is written as "?".
    ini.WriteString("User", "Y", QStringLiteral("\u4e2d"));
    ASSERT_TRUE(ini.Save());
    EXPECT_TRUE(dir.Read("a.ini").endsWith("Y=?\r\n"));
    EXPECT_EQ(Bytes(ini), dir.Read("a.ini"));
    // A device that refuses the bytes is reported.
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(ini.Write(readOnly));
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.ini"});
}

TEST(IniFile, ByteOrderMarkedFilesAreReadAndSavedAsCodePage1250)
{
    TTempProgramDir dir;
    dir.Write("utf8.ini", QByteArray("\xEF\xBB\xBF[Main]\r\nR=\xC5\x91\r\n"));
    dir.Write("utf16.ini", QByteArray("\xFF\xFE[\0M\0]\0\r\0\n\0R\0=\0\x51\x01", 18));
    for (auto [name, section] : {std::pair{"utf8.ini", "Main"}, {"utf16.ini", "M"}}) {
        TIniFile ini(dir.File(name));
        EXPECT_EQ(ini.ReadString(section, "R"), QStringLiteral("ő")) << name;
        ASSERT_TRUE(ini.Save());
    }
    EXPECT_EQ(dir.Read("utf8.ini"), QByteArray("[Main]\r\nR=\xf5\r\n"));
    EXPECT_EQ(dir.Read("utf16.ini"), QByteArray("[M]\r\nR=\xf5\r\n"));
}

TEST(IniFile, MissingFileIsEmptyAndFailedSaveKeepsThePreviousFile)
{
    TTempProgramDir dir;
    TIniFile missing(dir.File("nincs.ini"));
    EXPECT_TRUE(missing.Load());
    EXPECT_TRUE(missing.Lines().isEmpty());
    EXPECT_EQ(missing.ReadString("Main", "RendeloID", "def"), QStringLiteral("def"));

    TIniFile noFolder(dir.File("nincs/ilyen/mappa.ini"));
    noFolder.WriteString("Main", "A", "1");
    EXPECT_FALSE(noFolder.Save());

    // A folder in the file's place cannot be replaced.
    QDir(dir.Path()).mkdir("mappa.ini");
    TIniFile onFolder(dir.File("mappa.ini"));
    onFolder.WriteString("Main", "A", "1");
    EXPECT_FALSE(onFolder.Save());
    EXPECT_TRUE(QFileInfo(dir.File("mappa.ini")).isDir());

    // A read-only file stays as it was (root may write anything, so only for other users).
    if (geteuid() != 0) {
        dir.Write("ro.ini", "[Main]\r\nA=0\r\n");
        QFile::setPermissions(dir.File("ro.ini"), QFileDevice::ReadOwner);
        TIniFile ro(dir.File("ro.ini"));
        ro.WriteString("Main", "A", "1");
        EXPECT_FALSE(ro.Save());
        EXPECT_EQ(dir.Read("ro.ini"), QByteArray("[Main]\r\nA=0\r\n"));
    }
}
