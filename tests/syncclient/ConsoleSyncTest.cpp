// The engine against Debian's pyftpdlib on loopback.
#include "CodePage.h"
#include "SyncTestSupport.h"
#include "TestSupport.h"
#include "UtilConsoleSync.h"

#include <QDir>
#include <QEventLoop>
#include <QSet>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QDateTime kClock(QDate(2026, 6, 15), QTime(10, 20, 30));
const QString kStamp = QStringLiteral("[2026.06.15. 10:20:30] ");

TFTPSyncDirItem Pair(const QString& local, const QString& ftp, const QString& mask, bool active = true)
{
    TFTPSyncDirItem d;
    d.LocalDir = local;
    d.FtpDir = ftp;
    d.FileMask = mask;
    d.Active = active;
    return d;
}

TFTPSyncItem Item(int port, const QString& user, const TListFTPSyncDirItem& dirs, int maxKb = 0, bool passive = true)
{
    TFTPSyncItem i;
    i.Server = QStringLiteral("127.0.0.1");
    i.User = user;
    i.Password = QStringLiteral("p");
    i.Port = port;
    i.Passive = passive;
    i.MaxSizeInKBytes = maxKb;
    i.Dirs = dirs;
    i.Active = true;
    return i;
}

QStringList LogLines(const TTempProgramDir& prog)
{
    QStringList lines = DecodeCodePage(prog.Read("FtpSync/20260615.log"), 1250).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QSet<QString> Names(const TListHashFile& list)
{
    QSet<QString> out;
    for (const THashFile& f : list) out.insert(f.FileName + (f.State == hfDelete ? QStringLiteral(" (delete)") : QString()));
    return out;
}

enum class TMode { MlsdPassive, ListPassive, MlsdActive };

class ConsoleSyncFtp : public ::testing::TestWithParam<TMode> {
protected:
    static void SetUpTestSuite()
    {
        FRoot = new QTemporaryDir;
        const QStringList users{QStringLiteral("u"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        FMlsd = TTestFtpServer::StartPyftpd(FRoot->path(), users, true).release();
        FList = TTestFtpServer::StartPyftpd(FRoot->path(), users, false).release();
    }
    static void TearDownTestSuite()
    {
        delete FMlsd;
        delete FList;
        delete FRoot;
    }
    void SetUp() override
    {
        SetSyncClock([] { return kClock; });
        StopRequested = false;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        FRemoteName = QString::fromLatin1(info->name()).replace(QLatin1Char('/'), QLatin1Char('_'));
        FRemote = FRoot->path() + QLatin1Char('/') + FRemoteName;
        QDir(FRemote).removeRecursively();
        QDir().mkpath(FRemote);
    }
    void TearDown() override
    {
        SetSyncClock({});
        StopRequested = true;
    }
    int Port() const { return GetParam() == TMode::ListPassive ? FList->Port() : FMlsd->Port(); }
    bool Passive() const { return GetParam() != TMode::MlsdActive; }
    TFTPSyncItem MakeItem(const TListFTPSyncDirItem& dirs, int maxKb = 0) const
    {
        return Item(Port(), QStringLiteral("u"), dirs, maxKb, Passive());
    }

    static inline QTemporaryDir* FRoot = nullptr;
    static inline TTestFtpServer* FMlsd = nullptr;
    static inline TTestFtpServer* FList = nullptr;
    QString FRemoteName, FRemote;
    TTempProgramDir FProg;
};

} // namespace

TEST_P(ConsoleSyncFtp, MirrorsNewChangedAndOlderFilesDeletesExtraneousOnes)
{
    const QDate day(2026, 3, 1);
    WriteFileAt(FRemote + "/new.txt", "brand new", QDateTime(day, QTime(10, 0, 4)));
    WriteFileAt(FRemote + "/changed.txt", "twenty bytes long!!!", QDateTime(day, QTime(10, 0)));
    WriteFileAt(FRemote + "/sameday.txt", "same", QDateTime(day, QTime(8, 0)));
    WriteFileAt(FRemote + "/older.txt", "fresh", QDateTime(day, QTime(12, 0)));
    WriteFileAt(FRemote + "/skip.dat", "not my mask", QDateTime(day, QTime(12, 0)));
    WriteFileAt(FRemote + "/sub/inner.txt", "subfolders are not visited", QDateTime(day, QTime(12, 0)));
    const QString local = FProg.File("Data/Pic");
    WriteFileAt(local + "/changed.txt", "ten bytes!", QDateTime(day, QTime(10, 0)));
    WriteFileAt(local + "/sameday.txt", "SAME", QDateTime(day, QTime(18, 0)));  // same size, same day: kept
    WriteFileAt(local + "/older.txt", "stale", QDateTime(day.addDays(-1), QTime(12, 0)));
    WriteFileAt(local + "/extra.txt", "gone on the server", QDateTime(day, QTime(9, 0)));
    WriteFileAt(local + "/keep.dat", "other mask", QDateTime(day, QTime(9, 0)));

    TConsoleSync sync;
    const TFTPSyncItem item = MakeItem({Pair(QStringLiteral("..Data\\Pic"), QLatin1Char('/') + FRemoteName, QStringLiteral("*.txt"))});
    const TListHashFile done = sync.SyncItem(item);

    EXPECT_EQ(Names(done), (QSet<QString>{QStringLiteral("new.txt"), QStringLiteral("changed.txt"), QStringLiteral("older.txt"),
                                          QStringLiteral("extra.txt (delete)")}));
    EXPECT_EQ(ReadWholeFile(local + "/new.txt"), QByteArray("brand new"));
    EXPECT_EQ(ReadWholeFile(local + "/changed.txt"), QByteArray("twenty bytes long!!!"));
    EXPECT_EQ(ReadWholeFile(local + "/older.txt"), QByteArray("fresh"));
    EXPECT_EQ(ReadWholeFile(local + "/sameday.txt"), QByteArray("SAME"));
    EXPECT_EQ(ReadWholeFile(local + "/keep.dat"), QByteArray("other mask"));
    EXPECT_FALSE(QFile::exists(local + "/extra.txt"));
    EXPECT_FALSE(QFile::exists(local + "/skip.dat"));
    EXPECT_FALSE(QFile::exists(local + "/inner.txt"));
    EXPECT_FALSE(QDir(local + "/sub").exists());
    // The downloaded copy carries the listed time: to the (even) second from MLSD, the day from
    // pyftpdlib's LIST of an older file.
    if (GetParam() == TMode::ListPassive) EXPECT_EQ(FileMTime(local + "/new.txt").date(), day);
    else EXPECT_EQ(FileMTime(local + "/new.txt"), QDateTime(day, QTime(10, 0, 4)));
    const QStringList entries = QDir(local).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(entries.size(), 5) << entries.join(QLatin1Char(' ')).toStdString();  // no temporaries left

    QStringList log = LogLines(FProg);
    ASSERT_EQ(log.size(), 9) << log.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(log[0], QString(74, QLatin1Char('-')));
    EXPECT_EQ(log[1], kStamp + QStringLiteral("Connect to FTP (server: 127.0.0.1 user: u)"));
    EXPECT_EQ(log[2], kStamp + QStringLiteral("OK"));
    EXPECT_EQ(log[3], kStamp + QStringLiteral("Files: 4"));
    const QString dir = QDir::cleanPath(local) + QLatin1Char('/');
    EXPECT_EQ((QSet<QString>{log[4], log[5], log[6]}),
              (QSet<QString>{kStamp + dir + "new.txt", kStamp + dir + "changed.txt", kStamp + dir + "older.txt"}));
    EXPECT_EQ(log[7], kStamp + dir + "extra.txt");  // deletions come after the downloads
    EXPECT_EQ(log[8], QStringLiteral(" "));

    // Nothing changed: the rerun fetches and deletes nothing and logs four lines.
    EXPECT_TRUE(sync.SyncItem(item).isEmpty());
    log = LogLines(FProg);
    ASSERT_EQ(log.size(), 13);
    EXPECT_EQ(log.mid(9), (QStringList{QString(74, QLatin1Char('-')), kStamp + "Connect to FTP (server: 127.0.0.1 user: u)",
                                       kStamp + "OK", QStringLiteral(" ")}));
}

TEST_P(ConsoleSyncFtp, BudgetTakesTheCrossingFileAndLeavesTheRestForLater)
{
    for (int i = 1; i <= 3; ++i) WriteFileAt(FRemote + QStringLiteral("/big%1.bin").arg(i), QByteArray(60 * 1024, char('0' + i)));
    const QString local = FProg.File("budget");
    WriteFileAt(local + "/extra.bin", "to be deleted");
    TConsoleSync sync;
    const TFTPSyncItem item = MakeItem({Pair(local, FRemoteName, QStringLiteral("*.bin"))}, 100);

    TListHashFile done = sync.SyncItem(item);  // T: 0, 60, 120 -> two downloads, the deletion waits
    ASSERT_EQ(done.size(), 2);
    EXPECT_EQ(done[0].State, hfDownload);
    EXPECT_EQ(done[1].State, hfDownload);
    EXPECT_TRUE(QFile::exists(local + "/extra.bin"));
    done = sync.SyncItem(item);
    ASSERT_EQ(done.size(), 2);
    EXPECT_EQ(done[0].State, hfDownload);
    EXPECT_EQ(Names(done).contains(QStringLiteral("extra.bin (delete)")), true);
    EXPECT_TRUE(sync.SyncItem(item).isEmpty());
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(ReadWholeFile(local + QStringLiteral("/big%1.bin").arg(i)), QByteArray(60 * 1024, char('0' + i)));

    // Files under 1 KB add nothing to the total.
    for (int i = 1; i <= 5; ++i) WriteFileAt(FRemote + QStringLiteral("/small%1.txt").arg(i), QByteArray(1023, 's'));
    const TFTPSyncItem tiny = MakeItem({Pair(local, FRemoteName, QStringLiteral("small*"))}, 1);
    EXPECT_EQ(sync.SyncItem(tiny).size(), 5);
}

TEST_P(ConsoleSyncFtp, SameMaskTwiceInOtherCasePlansEachFileOnce)
{
    for (const char* n : {"a.txt", "B.TXT", "c.Txt"}) WriteFileAt(FRemote + QLatin1Char('/') + QLatin1String(n), n);
    TConsoleSync sync;
    const TFTPSyncItem item = MakeItem({Pair(FProg.File("dup"), FRemoteName, QStringLiteral("*.txt;*.TXT"))});
    QDir().mkpath(FProg.File("dup"));
    ASSERT_TRUE(sync.FtpConnect(item));
    const TListHashFile plan = sync.BuildSyncList(item);
    sync.Ftp().Disconnect();
    EXPECT_EQ(plan.size(), 3);
    EXPECT_EQ(sync.SyncItem(item).size(), 3);
}

TEST_P(ConsoleSyncFtp, MissingRemoteFolderDeletesNothingAndOtherPairsGoOn)
{
    WriteFileAt(FRemote + "/x.txt", "x");
    const QString keep = FProg.File("keep");
    WriteFileAt(keep + "/precious.txt", "must stay");
    const QString second = FProg.File("second");
    QDir().mkpath(second);
    TConsoleSync sync;
    // The second pair's folder is relative: one level below the root login folder.
    const TFTPSyncItem item = MakeItem({Pair(keep, QStringLiteral("/no/such/folder"), QStringLiteral("*")),
                                        Pair(second, FRemoteName, QStringLiteral("*"))});
    const TListHashFile done = sync.SyncItem(item);
    EXPECT_EQ(Names(done), QSet<QString>{QStringLiteral("x.txt")});
    EXPECT_EQ(ReadWholeFile(keep + "/precious.txt"), QByteArray("must stay"));
    EXPECT_EQ(ReadWholeFile(second + "/x.txt"), QByteArray("x"));
}

TEST_P(ConsoleSyncFtp, MissingLocalFolderIsNeverCreated)
{
    WriteFileAt(FRemote + "/a.txt", "a");
    WriteFileAt(FRemote + "/b.txt", "b");
    TConsoleSync sync;
    const QString local = FProg.File("not/there");
    const TFTPSyncItem item = MakeItem({Pair(local, FRemoteName, QStringLiteral("*.txt"))});
    EXPECT_TRUE(sync.SyncItem(item).isEmpty());
    EXPECT_FALSE(QDir(FProg.File("not")).exists());
    EXPECT_EQ(LogLines(FProg).size(), 4);  // dash, connect, OK, blank: nothing for the folder
    ASSERT_TRUE(sync.FtpConnect(item));
    EXPECT_EQ(sync.BuildSyncList(item).size(), 2);  // the same downloads are planned again
    sync.Ftp().Disconnect();
}

TEST_P(ConsoleSyncFtp, StopBetweenFilesEndsTheRun)
{
    for (int i = 1; i <= 3; ++i) WriteFileAt(FRemote + QStringLiteral("/f%1.txt").arg(i), "data");
    const QString local = FProg.File("stop");
    QDir().mkpath(local);
    TConsoleSync sync;
    QTimer::singleShot(0, [] { StopRequested = true; });  // as a Stop pressed during the first file
    EXPECT_EQ(sync.SyncItem(MakeItem({Pair(local, FRemoteName, QStringLiteral("*"))})).size(), 1);
    EXPECT_EQ(QDir(local).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, ConsoleSyncFtp, ::testing::Values(TMode::MlsdPassive, TMode::ListPassive, TMode::MlsdActive),
                         [](const auto& info) {
                             switch (info.param) {
                             case TMode::MlsdPassive: return std::string("MlsdPassive");
                             case TMode::ListPassive: return std::string("ListPassive");
                             default: return std::string("MlsdActive");
                             }
                         });

class ConsoleSyncSchedule : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetSyncClock([] { return kClock; });
        FServer = TTestFtpServer::StartPyftpd(FRoot.path(), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    }
    void TearDown() override { SetSyncClock({}); }
    void WriteConfig(int refreshSec, const QStringList& users, const QString& badUser = QString())
    {
        QByteArray ini = "[Desktop]\r\nRefreshSec=" + QByteArray::number(refreshSec) + "\r\n";
        int n = 0;
        for (const QString& u : users) {
            ini += "[FTPITEM" + QByteArray::number(++n) + "]\r\nServer=127.0.0.1\r\nPassive=1\r\nPort=" +
                   QByteArray::number(FServer->Port()) + "\r\nUser=" + u.toLatin1() + "\r\nPassword=" +
                   SyncPassword(u == badUser ? QStringLiteral("wrong") : QStringLiteral("p")).toLatin1() + "\r\nActive=1\r\n";
        }
        ini += "[FTPITEM_off]\r\nServer=127.0.0.1\r\nUser=off\r\nActive=0\r\n";
        FProg.Write("KeloFtpSync.ini", ini);
    }
    QStringList ConnectedUsers() const
    {
        QStringList users;
        for (const QString& line : LogLines(FProg))
            if (line.contains(QStringLiteral("Connect to FTP"))) users << line.section(QStringLiteral("user: "), 1).chopped(1);
        return users;
    }

    QTemporaryDir FRoot;
    std::unique_ptr<TTestFtpServer> FServer;
    TTempProgramDir FProg;
};

TEST_F(ConsoleSyncSchedule, RoundRobinStartsWithTheSecondItemAndWrapsOnShorterLists)
{
    WriteConfig(0, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    TConsoleSync sync;
    sync.SetConfigFileName(FProg.File("KeloFtpSync.ini"));
    ASSERT_TRUE(sync.SetActive(true));
    EXPECT_TRUE(sync.Active());
    EXPECT_FALSE(sync.Timer()->isActive());  // RefreshSec 0: started, but no run ever comes
    for (int i = 0; i < 4; ++i) sync.SyncNext();
    EXPECT_EQ(ConnectedUsers(), (QStringList{"b", "c", "a", "b"}));

    WriteConfig(0, {QStringLiteral("a")});
    ASSERT_TRUE(sync.SetActive(true));
    sync.SyncNext();
    sync.SyncNext();
    EXPECT_EQ(ConnectedUsers().mid(4), (QStringList{"a", "a"}));
}

TEST_F(ConsoleSyncSchedule, LoginFailureLogsErrorAndTheTimerRunsTheNextItem)
{
    WriteConfig(1, {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("b"));
    TConsoleSync sync;
    sync.SetConfigFileName(FProg.File("KeloFtpSync.ini"));
    ASSERT_TRUE(sync.SetActive(true));
    EXPECT_TRUE(sync.Timer()->isActive());
    EXPECT_EQ(sync.Timer()->interval(), 1000);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (ConnectedUsers().size() >= 2) loop.quit();
    });
    poll.start(50);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(sync.Timer()->isActive());  // re-armed after each run
    sync.SetActive(false);
    EXPECT_FALSE(sync.Timer()->isActive());
    const QStringList log = LogLines(FProg);
    ASSERT_GE(log.size(), 8);
    EXPECT_EQ(log.mid(0, 8), (QStringList{QString(74, QLatin1Char('-')), kStamp + "Connect to FTP (server: 127.0.0.1 user: b)",
                                          kStamp + "ERROR", " ", QString(74, QLatin1Char('-')),
                                          kStamp + "Connect to FTP (server: 127.0.0.1 user: a)", kStamp + "OK", " "}));
}
