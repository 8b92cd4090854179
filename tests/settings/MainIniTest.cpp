#include "MainIni.h"

#include "CodePage.h"
#include "IniFile.h"
#include "Paths.h"
#include "TestSupport.h"
#include "ValueCipher.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <ostream>

inline void PrintTo(const TMainIni& ini, std::ostream* os)
{
    for (int i = 0; i < MainIniFields().size(); ++i)
        *os << "\n  " << MainIniFields().at(i).key.toStdString() << "=" << MainIniFieldValue(ini, i).toStdString();
}

namespace {
const QString& S = KeySettings;

// Writes the program folder's settings file from lines (code page 1250, CR LF).
void WriteSettings(const QStringList& lines)
{
    TIniFile ini;
    ini.SetFileName(GetMainIniFileName());
    ini.SetText(lines.join(QLatin1Char('\n')));
    ASSERT_TRUE(ini.Save());
}

TMainIni Read()
{
    TMainIni ini;
    ReadMainIni(ini);
    return ini;
}

}

TEST(MainIni, MissingFileGivesTheDefaults)
{
    TTempProgramDir dir;
    TMainIni ini;
    ini.RendeloID = "marad?";
    ini.ArhivNap = 5;
    ReadMainIni(ini);
    EXPECT_EQ(ini, TMainIni());
    EXPECT_EQ(ini.RendeloID, QString());
    EXPECT_EQ(ini.CheckKarton, 0);
    EXPECT_EQ(ini.CheckKeszlet, 1);
    EXPECT_EQ(ini.ArhivNap, 60);
    EXPECT_EQ(ini.DefState, -1);
    EXPECT_EQ(ini.PicWidth, 220);
    EXPECT_EQ(ini.TermekTipus, 0);
    EXPECT_TRUE(ini.UseKartonAr);
    EXPECT_FALSE(ini.UseUgyfelKod || ini.UseUgynokKod || ini.UseMinRend || ini.KotelezoUgyfelkod || ini.AutoProgramSync);
    EXPECT_FALSE(ini.AutoDataSync || ini.Passive || ini.Active);
    EXPECT_EQ(ini.Port, 21);
    EXPECT_FALSE(QFile::exists(GetMainIniFileName()));
}

TEST(MainIni, WriteStoresEveryFormAndReadsItBack)
{
    TTempProgramDir dir;
    TMainIni ini;
    ini.RendeloID = "BOLT42";
    ini.DefBoltKod = "Kőbánya";
    ini.DefUgynokKod = "ÜGY-07";
    ini.UseUgyfelKod = true;
    ini.UseUgynokKod = true;
    ini.CheckKarton = 2;
    ini.CheckKeszlet = 0;
    ini.UseMinRend = true;
    ini.ArhivNap = 30;
    ini.KotelezoUgyfelkod = true;
    ini.AutoDataSync = true;
    ini.DefState = 1;
    ini.PicWidth = 400;
    ini.TermekTipus = 6;
    ini.AutoProgramSync = true;
    ini.UseKartonAr = false;
    ini.Server = "ftp.nagyker.hu";
    ini.User = "bolt";
    ini.Password = "Jelszó=1;[x]";
    ini.Port = 2121;
    ini.Passive = true;
    ini.Active = true;
    ini.IniFilePath = "/sync/";
    ini.IniFileName = "KeloFtpSync.ini";
    ASSERT_TRUE(WriteMainIni(ini));
    EXPECT_EQ(Read(), ini);

    const TIniFile file(GetMainIniFileName());
    EXPECT_EQ(file.Sections(), (QStringList{"Main", "User", "FTPSync"}));
    EXPECT_EQ(file.Keys("Main"), (QStringList{"RendeloID", "DefBoltKod", "DefUgynokKod", "UseUgyfelKod", "UseUgynokKod",
                                              "CheckKarton", "CheckKeszlet", "UseMinRend", "ArhivNap", "KotelezoUgyfelkod",
                                              "AutoProgramSync", "UseKartonAr"}));
    EXPECT_EQ(file.Keys("User"), (QStringList{"AutoDataSync", "DefState", "PicWidth", "TermekTipus"}));
    EXPECT_EQ(file.Keys("FTPSync"), (QStringList{"Server", "User", "Password", "Port", "Passive", "Active", "IniFilePath", "IniFileName"}));

    struct { const char* key; const char* plain; } protectedForms[] = {
        {"RendeloID", "BOLT42"}, {"DefBoltKod", "Kőbánya"}, {"DefUgynokKod", "ÜGY-07"},
        {"UseUgyfelKod", "1_UseBoltKod"}, {"UseUgynokKod", "1_UseUgynokKod"}, {"CheckKarton", "2_CheckKarton"},
        {"CheckKeszlet", "0_CheckKeszlet"}, {"UseMinRend", "1_UseMinRend"}, {"KotelezoUgyfelkod", "1_KotelezoUgyfelkod"},
        {"AutoProgramSync", "1_AutoProgramSync"}, {"UseKartonAr", "0_UseKartonAr"},
    };
    for (const auto& p : protectedForms) {
        const QString stored = file.ReadString("Main", p.key);
        EXPECT_EQ(stored, EncryptValue(QString::fromUtf8(p.plain), S)) << p.key;
        EXPECT_EQ(DecryptValue(stored, S), QString::fromUtf8(p.plain)) << p.key;
    }
    EXPECT_EQ(file.ReadString("Main", "ArhivNap"), QStringLiteral("30"));
    EXPECT_EQ(file.ReadString("User", "AutoDataSync"), QStringLiteral("1"));
    EXPECT_EQ(file.ReadString("User", "DefState"), QStringLiteral("1"));
    EXPECT_EQ(file.ReadString("FTPSync", "Server"), QStringLiteral("ftp.nagyker.hu"));
    EXPECT_EQ(file.ReadString("FTPSync", "Password"), EncryptValue("Jelszó=1;[x]", KeyFtp));
    EXPECT_EQ(file.ReadString("FTPSync", "Passive"), QStringLiteral("1"));

    // Written again unchanged, the file stays byte for byte the same.
    const QByteArray before = dir.Read("KeloBoltiRendelo.ini");
    ASSERT_TRUE(WriteMainIni(Read()));
    EXPECT_EQ(dir.Read("KeloBoltiRendelo.ini"), before);
}

TEST(MainIni, HandWrittenQuirks)
{
    const QString minRendTrue = EncryptBoolValue(true, S, "_UseMinRend");
    const QString minRendFalse = EncryptBoolValue(false, S, "_UseMinRend");
    const QString karton2 = EncryptIntValue(2, S, "_CheckKarton");
    const QString long200 = QString(200, QLatin1Char('s'));
    struct TCase {
        const char* name;
        QStringList lines;
        std::function<void(const TMainIni&)> check;
    };
    const TCase cases[] = {
        {"foreign boolean counts by its first character", {"[Main]", "KotelezoUgyfelkod=" + minRendTrue},
         [](const TMainIni& i) { EXPECT_TRUE(i.KotelezoUgyfelkod); }},
        {"foreign false boolean", {"[Main]", "UseKartonAr=" + minRendFalse}, [](const TMainIni& i) { EXPECT_FALSE(i.UseKartonAr); }},
        {"foreign integer suffix spoils the number", {"[Main]", "CheckKeszlet=" + karton2, "CheckKarton=" + karton2},
         [](const TMainIni& i) { EXPECT_EQ(i.CheckKeszlet, 0); EXPECT_EQ(i.CheckKarton, 2); }},
        {"CheckKeszlet missing", {"[Main]", "CheckKarton=" + karton2}, [](const TMainIni& i) { EXPECT_EQ(i.CheckKeszlet, 1); }},
        {"CheckKeszlet empty", {"[Main]", "CheckKeszlet="}, [](const TMainIni& i) { EXPECT_EQ(i.CheckKeszlet, 0); }},
        {"CheckKeszlet not cipher text", {"[Main]", "CheckKeszlet=nem hex"}, [](const TMainIni& i) { EXPECT_EQ(i.CheckKeszlet, 0); }},
        {"integer without its suffix", {"[Main]", "CheckKarton=" + EncryptValue("1", S)}, [](const TMainIni& i) { EXPECT_EQ(i.CheckKarton, 1); }},
        {"UseKartonAr empty", {"[Main]", "UseKartonAr="}, [](const TMainIni& i) { EXPECT_TRUE(i.UseKartonAr); }},
        {"UseKartonAr not cipher text", {"[Main]", "UseKartonAr=IGEN"}, [](const TMainIni& i) { EXPECT_TRUE(i.UseKartonAr); }},
        {"boolean digit 2 is false", {"[Main]", "UseMinRend=" + EncryptValue("2_UseMinRend", S)},
         [](const TMainIni& i) { EXPECT_FALSE(i.UseMinRend); }},
        {"UseUgyfelKod carries _UseBoltKod, but any suffix reads",
         {"[Main]", "UseUgyfelKod=" + EncryptValue("1_UseUgyfelKod", S), "UseUgynokKod=" + EncryptValue("1", S)},
         [](const TMainIni& i) { EXPECT_TRUE(i.UseUgyfelKod); EXPECT_TRUE(i.UseUgynokKod); }},
        {"protected text in lower case and padded", {"[main]", "rendeloid =  " + EncryptValue("AB12", S).toLower() + "  "},
         [](const TMainIni& i) { EXPECT_EQ(i.RendeloID, QStringLiteral("AB12")); }},
        {"protected text not cipher text", {"[Main]", "RendeloID=AB12!", "DefBoltKod=XY"},
         [](const TMainIni& i) { EXPECT_EQ(i.RendeloID, QString()); EXPECT_EQ(i.DefBoltKod, QString()); }},
        {"plain integers that are not numbers", {"[Main]", "ArhivNap=sok", "[User]", "PicWidth=12px", "DefState=", "[FTPSync]", "Port=x"},
         [](const TMainIni& i) { EXPECT_EQ(i.ArhivNap, 60); EXPECT_EQ(i.PicWidth, 220); EXPECT_EQ(i.DefState, -1); EXPECT_EQ(i.Port, 21); }},
        {"plain booleans: any non-zero integer", {"[User]", "AutoDataSync=5", "[FTPSync]", "Passive=0", "Active=-1"},
         [](const TMainIni& i) { EXPECT_TRUE(i.AutoDataSync); EXPECT_FALSE(i.Passive); EXPECT_TRUE(i.Active); }},
        {"FTPSync texts cut to 128", {"[FTPSync]", "Server=" + long200, "User=" + long200, "Password=" + EncryptValue(long200, KeyFtp),
                                      "IniFilePath=" + long200},
         [long200](const TMainIni& i) {
             EXPECT_EQ(i.Server, long200.left(128));
             EXPECT_EQ(i.User, long200.left(128));
             EXPECT_EQ(i.Password, long200.left(128));
             EXPECT_EQ(i.IniFilePath, long200);
         }},
        {"FTP password under the settings key means nothing", {"[FTPSync]", "Password=" + EncryptValue("titok", S)},
         [](const TMainIni& i) { EXPECT_EQ(i.Password.size(), 5); EXPECT_NE(i.Password, QStringLiteral("titok")); }},
        {"keys in the wrong section are not seen", {"[User]", "ArhivNap=1", "[Main]", "DefState=2"},
         [](const TMainIni& i) { EXPECT_EQ(i.ArhivNap, 60); EXPECT_EQ(i.DefState, -1); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTempProgramDir dir;
        WriteSettings(c.lines);
        c.check(Read());
    }
}

TEST(MainIni, ProtectedBooleansAndIntegers)
{
    EXPECT_EQ(DecryptValue(EncryptBoolValue(true, S, "_UseMinRend"), S), QStringLiteral("1_UseMinRend"));
    EXPECT_EQ(DecryptValue(EncryptBoolValue(false, S, "_X"), S), QStringLiteral("0_X"));
    EXPECT_EQ(DecryptValue(EncryptIntValue(-12, S, "_CheckKarton"), S), QStringLiteral("-12_CheckKarton"));
    EXPECT_TRUE(DecryptBoolValue(QString(), S, "_X", true));
    EXPECT_FALSE(DecryptBoolValue(QString(), S, "_X", false));
    EXPECT_TRUE(DecryptBoolValue("G0", S, "_X", true));

    struct { QString plain; const char* suffix; int expected; } ints[] = {
        {"2_CheckKarton", "_CheckKarton", 2},       {"-1_CheckKarton", "_CheckKarton", -1},
        {"_CheckKarton7", "_CheckKarton", 7},       {"2_checkkarton", "_CheckKarton", 0},
        {"2_CheckKarton_CheckKarton", "_CheckKarton", 0}, {"1_CheckKarton", "_CheckKeszlet", 0},
        {"42", "", 42},                              {"x_S", "_S", 0},
        {" 5_S", "_S", 0},                           {"99999999999_S", "_S", 0},
        {"2147483647_S", "_S", 2147483647},
    };
    for (const auto& c : ints)
        EXPECT_EQ(DecryptIntValue(EncryptValue(c.plain, S), S, c.suffix), c.expected) << c.plain.toStdString();
    EXPECT_EQ(DecryptIntValue(QString(), S, "_S"), 0);
    EXPECT_EQ(DecryptIntValue("nem hex", S, "_S"), 0);
}

TEST(MainIni, HandEditedFileKeepsItsOtherLines)
{
    TTempProgramDir dir;
    QFile::copy(FixturePath("settings-hand-edited.ini"), dir.File("KeloBoltiRendelo.ini"));
    const TIniFile original(dir.File("KeloBoltiRendelo.ini"));

    TMainIni ini = Read();
    EXPECT_EQ(ini.RendeloID, QStringLiteral("AB12"));
    EXPECT_TRUE(ini.UseMinRend);
    EXPECT_TRUE(ini.KotelezoUgyfelkod);
    EXPECT_EQ(ini.CheckKarton, 2);
    EXPECT_EQ(ini.CheckKeszlet, 0);
    EXPECT_TRUE(ini.UseKartonAr);
    EXPECT_EQ(ini.ArhivNap, 45);
    EXPECT_EQ(ini.PicWidth, 220);
    EXPECT_EQ(ini.Server, QStringLiteral("ftp.kelo.hu"));
    EXPECT_EQ(ini.Port, 2121);

    ini.ArhivNap = 10;
    ASSERT_TRUE(WriteMainIni(ini));
    const TIniFile written(dir.File("KeloBoltiRendelo.ini"));
    TMainIni again = Read();
    EXPECT_EQ(again, ini);

    // Every line that is not one of the record's keys is still there, unchanged and in order.
    auto foreign = [](const TIniFile& f) {
        QStringList out;
        for (const QString& l : f.Lines()) {
            QString name;
            if (!SplitIniLine(l, &name, nullptr) || FindMainIniField(name) < 0) out << l;
        }
        return out;
    };
    EXPECT_EQ(foreign(written), foreign(original));
    EXPECT_TRUE(foreign(original).contains("Régi kulcs=megmarad"));
    EXPECT_TRUE(foreign(original).contains("  ; az ügynök kódja még nincs meg"));
    EXPECT_EQ(written.ReadString("Egyéb", "Valami"), QStringLiteral("érték ; megjegyzés"));
    EXPECT_EQ(written.ReadString("Main", "VanEgyenlo"), QStringLiteral("a=b=c"));
    // The record's keys that were there are replaced where they stood.
    EXPECT_EQ(written.Lines().indexOf("RendeloID=" + EncryptValue("AB12", S)), original.Lines().indexOf("RendeloID = 3561FFB0"));
}

TEST(MainIni, FileNameIsMatchedWithoutRegardToCase)
{
    TTempProgramDir dir;
    dir.Write("keloboltirendelo.INI", "[MAIN]\r\nArhivNap=7\r\n");
    TMainIni ini = Read();
    EXPECT_EQ(ini.ArhivNap, 7);
    ini.PicWidth = 300;
    ASSERT_TRUE(WriteMainIni(ini));
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList{"keloboltirendelo.INI"});
    EXPECT_EQ(Read().PicWidth, 300);
}

TEST(MainIni, FailedWriteIsReported)
{
    TTempProgramDir dir;
    QDir(dir.Path()).mkdir("KeloBoltiRendelo.ini");
    EXPECT_FALSE(WriteMainIni(TMainIni()));
}

TEST(MainIni, UpgradeMergeChangesOnlyItsKeys)
{
    TTempProgramDir dir;
    TMainIni ini;
    ini.RendeloID = "R1";
    ASSERT_TRUE(WriteMainIni(ini));
    const QStringList before = TIniFile(GetMainIniFileName()).Lines();

    dir.Write("iniupgrade.ini", "[Main]\r\nArhivNap=30\r\n");
    EXPECT_TRUE(ApplyIniUpgrade());
    EXPECT_FALSE(QFile::exists(dir.File("iniupgrade.ini")));
    const QStringList after = TIniFile(GetMainIniFileName()).Lines();
    ASSERT_EQ(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i)
        if (!before.at(i).startsWith("ArhivNap=")) {
            EXPECT_EQ(after.at(i), before.at(i));
        }
    EXPECT_EQ(Read().ArhivNap, 30);
    EXPECT_EQ(Read().RendeloID, QStringLiteral("R1"));

    // Values go over as written: enciphered ones, ones with "=", new keys and sections.
    dir.Write("IniUpgrade.INI", EncodeCodePage("[main]\r\n; megjegyzés\r\nUseMinRend=" + EncryptBoolValue(true, S, "_UseMinRend") +
                                                   "\r\nÚj kulcs = a=b \r\n\r\n[Frissítés]\r\nVerzió=\"1120\"\r\n", 1250));
    EXPECT_TRUE(ApplyIniUpgrade());
    EXPECT_FALSE(QFile::exists(dir.File("IniUpgrade.INI")));
    const TIniFile file(GetMainIniFileName());
    EXPECT_TRUE(Read().UseMinRend);
    EXPECT_EQ(file.ReadString("Main", "Új kulcs"), QStringLiteral("a=b"));
    EXPECT_EQ(file.ReadRawString("Frissítés", "Verzió"), QStringLiteral("\"1120\""));
    EXPECT_EQ(file.Keys("Main").size(), 13);

    // Upgrade lines appended one after another: the repeated section counts, a repeated key keeps
    // its first value.
    dir.Write("iniupgrade.ini", "[Main]\r\nArhivNap=45\r\n[User]\r\nPicWidth=500\r\n[MAIN]\r\nArhivNap=99\r\nDefBoltKod=" +
                                    EncryptValue("B7", S).toLatin1() + "\r\n");
    EXPECT_TRUE(ApplyIniUpgrade());
    EXPECT_EQ(Read().ArhivNap, 45);
    EXPECT_EQ(Read().PicWidth, 500);
    EXPECT_EQ(Read().DefBoltKod, QStringLiteral("B7"));

    // Without a settings file nothing happens and the upgrade waits.
    TTempProgramDir fresh;
    fresh.Write("iniupgrade.ini", "[Main]\r\nArhivNap=30\r\n");
    EXPECT_FALSE(ApplyIniUpgrade());
    EXPECT_TRUE(QFile::exists(fresh.File("iniupgrade.ini")));
    EXPECT_FALSE(QFile::exists(GetMainIniFileName()));
    QFile::remove(fresh.File("iniupgrade.ini"));
    fresh.Write("KeloBoltiRendelo.ini", "[Main]\r\n");
    EXPECT_FALSE(ApplyIniUpgrade());
    EXPECT_EQ(fresh.Read("KeloBoltiRendelo.ini"), QByteArray("[Main]\r\n"));

    // MergeIniFile on its own: the delete flag, a target that cannot be written.
    fresh.Write("a.ini", "[X]\r\nK=1\r\n");
    EXPECT_TRUE(MergeIniFile(fresh.File("a.ini"), fresh.File("KeloBoltiRendelo.ini"), false));
    EXPECT_TRUE(QFile::exists(fresh.File("a.ini")));
    EXPECT_EQ(fresh.Read("KeloBoltiRendelo.ini"), QByteArray("[Main]\r\n\r\n[X]\r\nK=1\r\n"));
    EXPECT_FALSE(MergeIniFile(fresh.File("a.ini"), fresh.Path(), true));
    EXPECT_TRUE(QFile::exists(fresh.File("a.ini")));
}
