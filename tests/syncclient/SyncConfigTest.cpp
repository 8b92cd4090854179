#include "CodePage.h"
#include "SyncTestSupport.h"
#include "TestSupport.h"
#include "UtilConsoleSync.h"
#include "UtilSyncConfig.h"

#include <QDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
QByteArray Crlf(QByteArray text) { return text.replace("\n", "\r\n"); }
}

TEST(SyncConfig, ReadsItemsInFileOrderWithTheirPairs)
{
    TTempProgramDir prog;
    const QByteArray pw = SyncPassword(QStringLiteral("titok")).toLatin1();
    prog.Write("KeloFtpSync.ini", Crlf("[Desktop]\nAutoStart=1\nAutoTray=7\nRefreshSec=30\n"
                                       "[FTPITEM2]\nServer=second\nUser=u2\nPassword=" + pw + "\nPort=2121\nPassive=1\n"
                                       "MaxSizeInKBytes=100\nActive=1\nDirCount=3\n"
                                       "FileMask1=*.zip;*.dbf\nActive1=1\nFtpDir1=/pub\nLocalDir1=..Data\n"
                                       "FileMask2=*.txt\nFtpDir2=doc\nLocalDir2=/tmp/doc\n"
                                       "[MYFTPITEM]\nServer=notanitem\n"
                                       "[other]\nServer=ignored\n"
                                       "[FTPITEM1]\nServer=first\nActive=x\nPassive=abc\n"
                                       "[FtpItemX]\nServer=third\nActive=-1\n"));
    const TBeallitas b = ReadSyncConfig(prog.File("KeloFtpSync.ini"));
    EXPECT_TRUE(b.AutoStart);
    EXPECT_TRUE(b.AutoTray);
    EXPECT_EQ(b.RefreshSec, 30);
    ASSERT_EQ(b.Items.size(), 3);
    EXPECT_EQ(b.Items[0].Server, QStringLiteral("second"));
    EXPECT_EQ(b.Items[1].Server, QStringLiteral("first"));
    EXPECT_EQ(b.Items[2].Server, QStringLiteral("third"));

    const TFTPSyncItem& s = b.Items[0];
    EXPECT_EQ(s.User, QStringLiteral("u2"));
    EXPECT_EQ(s.Password, QStringLiteral("titok"));
    EXPECT_EQ(s.Port, 2121);
    EXPECT_TRUE(s.Passive);
    EXPECT_EQ(s.MaxSizeInKBytes, 100);
    EXPECT_TRUE(s.Active);
    ASSERT_EQ(s.Dirs.size(), 3);
    EXPECT_EQ(s.Dirs[0].FileMask, QStringLiteral("*.zip;*.dbf"));
    EXPECT_TRUE(s.Dirs[0].Active);
    EXPECT_EQ(s.Dirs[0].FtpDir, QStringLiteral("/pub"));
    EXPECT_EQ(s.Dirs[0].LocalDir, QStringLiteral("..Data"));
    EXPECT_FALSE(s.Dirs[1].Active);  // "Active2" missing
    EXPECT_EQ(s.Dirs[1].FtpDir, QStringLiteral("doc"));
    EXPECT_TRUE(s.Dirs[2].FileMask.isEmpty());  // past the pairs present
    EXPECT_FALSE(s.Dirs[2].Active);

    const TFTPSyncItem& f = b.Items[1];  // defaults, also for values that are not whole numbers
    EXPECT_EQ(f.Port, 21);
    EXPECT_FALSE(f.Passive);
    EXPECT_FALSE(f.Active);
    EXPECT_TRUE(f.Password.isEmpty());
    EXPECT_TRUE(f.Dirs.isEmpty());

    const TListFTPSyncItem active = ActiveItems(b);
    ASSERT_EQ(active.size(), 2);
    EXPECT_EQ(active[0].Server, QStringLiteral("second"));
    EXPECT_EQ(active[1].Server, QStringLiteral("third"));
}

TEST(SyncConfig, MissingFileDefaultsAndLongTextsAreCut)
{
    TTempProgramDir prog;
    const TBeallitas none = ReadSyncConfig(prog.File("KeloFtpSync.ini"));
    EXPECT_FALSE(none.AutoStart);
    EXPECT_EQ(none.RefreshSec, 0);
    EXPECT_TRUE(none.Items.isEmpty());

    prog.Write("KeloFtpSync.ini", "[FTPITEM1]\r\nServer=" + QByteArray(300, 's') + "\r\nDirCount=1\r\nLocalDir1=" +
                                      QByteArray(300, 'l') + "\r\n");
    const TBeallitas b = ReadSyncConfig(prog.File("KeloFtpSync.ini"));
    ASSERT_EQ(b.Items.size(), 1);
    EXPECT_EQ(b.Items[0].Server.size(), 128);
    EXPECT_EQ(b.Items[0].Dirs[0].LocalDir.size(), 255);
}

TEST(SyncConfig, PasswordThatCannotBeDecipheredFailsTheRead)
{
    TTempProgramDir prog;
    prog.Write("KeloFtpSync.ini", "[FTPITEM1]\r\nServer=a\r\n[FTPITEM_shop]\r\nPassword=NOTHEX!\r\n");
    try {
        ReadSyncConfig(prog.File("KeloFtpSync.ini"));
        FAIL() << "no error";
    } catch (const ESyncConfigError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("[FTPITEM_shop]"))) << e.what();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("nem fejthető vissza"))) << e.what();
    }
}

TEST(SyncConfig, FileNameFromTheArguments)
{
    TTempProgramDir prog;
    prog.Write("Other.ini", "");
    const QString def = prog.File("KeloFtpSync.ini");
    struct {
        QStringList args;
        QString expected;
    } cases[] = {
        {{}, def},
        {{QStringLiteral("Other.ini")}, prog.File("Other.ini")},
        {{QStringLiteral("OTHER.INI")}, prog.File("Other.ini")},         // letter case folded
        {{QStringLiteral("Missing.ini")}, def},
        {{QStringLiteral("Other.ini"), QStringLiteral("x")}, def},       // two arguments
        {{prog.File("Other.ini")}, def},                                  // a full path is not a bare name
        {{QStringLiteral("../") + QFileInfo(prog.Path()).dir().dirName() + QStringLiteral("/Other.ini")}, def},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(SyncConfigFileName(c.args), c.expected);
    }
}

TEST(SyncConfig, StartWithUnreadableConfigLogsAndStaysOff)
{
    TTempProgramDir prog;
    SetSyncClock([] { return QDateTime(QDate(2026, 5, 6), QTime(7, 8, 9)); });
    prog.Write("KeloFtpSync.ini", "[Desktop]\r\nRefreshSec=1\r\n[FTPITEM1]\r\nPassword=ZZ\r\nActive=1\r\n");
    TConsoleSync sync;
    sync.SetConfigFileName(prog.File("KeloFtpSync.ini"));
    QString error;
    EXPECT_FALSE(sync.SetActive(true, &error));
    EXPECT_FALSE(sync.Active());
    EXPECT_FALSE(sync.Timer()->isActive());
    EXPECT_FALSE(error.isEmpty());
    const QString log = DecodeCodePage(prog.Read("FtpSync/20260506.log"), 1250);
    EXPECT_TRUE(log.startsWith(QStringLiteral("[2026.05.06. 07:08:09] Beállítási hiba, a szinkronizálás nem indul: "))) << log.toStdString();
    EXPECT_TRUE(log.endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(log.count(QStringLiteral("\r\n")), 1);

    // Mended file: the next Start reads it again and arms the schedule.
    prog.Write("KeloFtpSync.ini", "[Desktop]\r\nRefreshSec=1\r\n[FTPITEM1]\r\nActive=1\r\n");
    EXPECT_TRUE(sync.SetActive(true));
    EXPECT_TRUE(sync.Timer()->isActive());
    EXPECT_EQ(sync.Timer()->interval(), 1000);
    EXPECT_EQ(sync.Items().size(), 1);
    SetSyncClock({});
}

TEST(SyncPaths, NormalizePathAndLocalFolders)
{
    const struct {
        const char* in;
        const char* out;
    } normalize[] = {
        {"C:\\Kelo Bolt\\\\Data\\", "C:\\KeloBolt\\Data"}, {"\\", "\\"}, {"\\\\\\", "\\"}, {"/a//b/", "/a/b"}, {"", ""}, {"a", "a"},
    };
    for (const auto& c : normalize) EXPECT_EQ(NormalizePath(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;

    TTempProgramDir prog;
    const QString base = QDir::cleanPath(prog.Path());
    const struct {
        QString in;
        QString out;
    } folders[] = {
        {QStringLiteral("..Data\\Pic"), base + QStringLiteral("/Data/Pic")},
        {QStringLiteral("..\\Data\\"), base + QStringLiteral("/Data")},
        {QStringLiteral("Relative\\Sub"), base + QStringLiteral("/Relative/Sub")},
        {QStringLiteral("/srv/shop//in/"), QStringLiteral("/srv/shop/in")},
    };
    for (const auto& c : folders) EXPECT_EQ(SyncLocalFolder(c.in), c.out) << c.in.toStdString();
}
