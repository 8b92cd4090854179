// The engine against the scripted fake server: what a well-behaved server never does.
#include "SyncTestSupport.h"
#include "TestSupport.h"
#include "UtilConsoleSync.h"

#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

TFTPSyncItem FakeItem(int port, const QString& local, const QString& ftpDir, const QString& mask)
{
    TFTPSyncItem i;
    i.Server = QStringLiteral("127.0.0.1");
    i.User = QStringLiteral("u");
    i.Password = QStringLiteral("p");
    i.Port = port;
    i.Passive = true;
    TFTPSyncDirItem d;
    d.LocalDir = local;
    d.FtpDir = ftpDir;
    d.FileMask = mask;
    d.Active = true;
    i.Dirs = {d};
    i.Active = true;
    return i;
}

QString UnixLine(const QString& name, qint64 size) { return QStringLiteral("-rw-r--r--   1 ftp      ftp  %1 Mar  1  2026 %2").arg(size, 10).arg(name); }

QByteArray Script(const QJsonArray& listing, const QJsonObject& files)
{
    QJsonObject folder{{"listing", listing}, {"files", files}};
    QJsonObject root{{"user", "u"}, {"password", "p"}, {"login_dir", "/"}, {"folders", QJsonObject{{"/pub", folder}}}};
    return QJsonDocument(root).toJson();
}

bool Retrieved(const TTestFtpServer& s, const QByteArray& name)
{
    for (const QByteArray& c : s.Commands())
        if (c == "RETR " + name) return true;
    return false;
}

class ConsoleSyncHostile : public ::testing::Test {
protected:
    void SetUp() override { StopRequested = false; }
    void TearDown() override { StopRequested = true; }
    TTempProgramDir FProg;
};

} // namespace

TEST_F(ConsoleSyncHostile, CutOffDownloadKeepsThePreviousCopyAndTheRunGoesOn)
{
    const QByteArray old = "the previous copy, still good";
    QJsonObject files{{"cut426.dat", QJsonObject{{"size", 5000}, {"cut", 1000}}},
                      {"cut226.dat", QJsonObject{{"size", 5000}, {"cut", 1200}, {"reply", "226 Transfer complete."}}},
                      {"fine.dat", QJsonObject{{"data", "complete"}}}};
    QJsonArray listing{UnixLine("cut426.dat", 5000), UnixLine("cut226.dat", 5000), UnixLine("fine.dat", 8)};
    auto server = TTestFtpServer::StartFake(Script(listing, files));
    const QString local = FProg.File("local");
    WriteFileAt(local + "/cut426.dat", old);
    WriteFileAt(local + "/cut226.dat", old);

    TConsoleSync sync;
    const TFTPSyncItem item = FakeItem(server->Port(), local, "/pub", "*");
    const TListHashFile done = sync.SyncItem(item);
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done[0].FileName, QStringLiteral("fine.dat"));
    EXPECT_EQ(ReadWholeFile(local + "/cut426.dat"), old);
    EXPECT_EQ(ReadWholeFile(local + "/cut226.dat"), old);  // the server claimed success: the size says otherwise
    EXPECT_EQ(ReadWholeFile(local + "/fine.dat"), QByteArray("complete"));
    EXPECT_EQ(QDir(local).entryList(QDir::Files | QDir::Hidden).size(), 3);  // no temporaries left

    // The next run tries the cut files again (they still differ), and only those.
    ASSERT_TRUE(sync.FtpConnect(item));
    const TListHashFile plan = sync.BuildSyncList(item);
    sync.Ftp().Disconnect();
    ASSERT_EQ(plan.size(), 2);
    EXPECT_EQ(plan[0].FileName, QStringLiteral("cut426.dat"));
    EXPECT_EQ(plan[1].FileName, QStringLiteral("cut226.dat"));
}

TEST_F(ConsoleSyncHostile, UnreadableListingLineDeletesNothing)
{
    QJsonArray listing{UnixLine("new.txt", 3), "?? garbled line the parser cannot read ??"};
    auto server = TTestFtpServer::StartFake(Script(listing, QJsonObject{{"new.txt", QJsonObject{{"data", "new"}}}}));
    const QString local = FProg.File("local");
    WriteFileAt(local + "/perhaps-listed.txt", "keep me");
    TConsoleSync sync;
    const TListHashFile done = sync.SyncItem(FakeItem(server->Port(), local, "/pub", "*.txt"));
    ASSERT_EQ(done.size(), 1);  // the readable entry is still fetched
    EXPECT_EQ(done[0].State, hfDownload);
    EXPECT_EQ(ReadWholeFile(local + "/perhaps-listed.txt"), QByteArray("keep me"));
}

TEST_F(ConsoleSyncHostile, HostileNamesAreNeverFetchedNorWrittenOutside)
{
    // Unsafe names, and a hidden one (a hidden local file is never listed, so it would come again every run).
    const QStringList hostile{"../escape.txt", "../../escape2.txt", "a/b.txt", "back\\slash.txt", "ctl\x01name.txt", "..", ".",
                              ".profile"};
    QJsonArray listing;
    QJsonObject files;
    for (const QString& n : hostile) {
        listing.append(UnixLine(n, 4));
        files.insert(n, QJsonObject{{"data", "evil"}});
    }
    listing.append(QStringLiteral("02-14-26  03:04PM                    4 dos name.txt"));  // IIS form, blank in the name
    files.insert("dos name.txt", QJsonObject{{"data", "good"}});
    auto server = TTestFtpServer::StartFake(Script(listing, files));

    const QString local = FProg.File("shop/local");
    QDir().mkpath(local);
    FProg.Write("shop/escape.txt", "outside, untouched");
    const QMap<QString, QByteArray> before = SnapshotTree(FProg.Path());
    TConsoleSync sync;
    const TListHashFile done = sync.SyncItem(FakeItem(server->Port(), local, "/pub", "*"));
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done[0].FileName, QStringLiteral("dos name.txt"));
    EXPECT_EQ(ReadWholeFile(local + "/dos name.txt"), QByteArray("good"));
    for (const QString& n : hostile) EXPECT_FALSE(Retrieved(*server, n.toUtf8())) << n.toStdString();
    EXPECT_TRUE(Retrieved(*server, "dos name.txt"));

    QMap<QString, QByteArray> after = SnapshotTree(FProg.Path());
    after.remove(QStringLiteral("shop/local/dos name.txt"));
    for (auto it = after.begin(); it != after.end();)
        it = it.key().startsWith(QLatin1String("FtpSync/")) ? after.erase(it) : std::next(it);
    EXPECT_EQ(after, before);
    for (const QString& c : QStringList{"STOR", "DELE", "RNFR", "MKD", "RMD"})
        for (const QByteArray& line : server->Commands()) EXPECT_FALSE(line.toUpper().startsWith(c.toLatin1())) << line.constData();
}

TEST_F(ConsoleSyncHostile, LeftoverTemporariesAreCleaned)
{
    auto server = TTestFtpServer::StartFake(Script(QJsonArray{}, QJsonObject{}));
    const QString local = FProg.File("local");
    WriteFileAt(local + "/.~kfsync-abc.part", "left by a crash", QDateTime::currentDateTime().addSecs(-3600));
    WriteFileAt(local + "/.~kfsync-new.part", "another copy is writing it", QDateTime::currentDateTime());
    WriteFileAt(local + "/.hidden", "not ours, hidden: left alone");
    TConsoleSync sync;
    sync.SyncItem(FakeItem(server->Port(), local, "/pub", "*"));
    EXPECT_FALSE(QFile::exists(local + "/.~kfsync-abc.part"));
    EXPECT_TRUE(QFile::exists(local + "/.~kfsync-new.part"));
    EXPECT_TRUE(QFile::exists(local + "/.hidden"));
}

TEST_F(ConsoleSyncHostile, ChangeDirClimbsOneLevelOnly)
{
    // Login folder /home/shop: "pub" is reached as /home/pub, again and again; "a/b" drifts.
    QJsonObject root{{"login_dir", "/home/shop"}, {"folders", QJsonObject{}}};
    auto server = TTestFtpServer::StartFake(QJsonDocument(root).toJson());
    TConsoleSync sync;
    ASSERT_TRUE(sync.FtpConnect(FakeItem(server->Port(), FProg.Path(), "/pub", "*")));
    EXPECT_EQ(sync.CurrentRemoteDir(), QStringLiteral("/home/shop"));
    sync.FtpChangeDir(QStringLiteral("pub"));
    EXPECT_EQ(sync.CurrentRemoteDir(), QStringLiteral("/home/pub"));
    sync.FtpChangeDir(QStringLiteral("pub"));
    EXPECT_EQ(sync.CurrentRemoteDir(), QStringLiteral("/home/pub"));
    sync.FtpChangeDir(QStringLiteral("/abs/dir"));
    EXPECT_EQ(sync.CurrentRemoteDir(), QStringLiteral("/abs/dir"));
    sync.FtpChangeDir(QStringLiteral("/abs/dir"));
    EXPECT_EQ(sync.CurrentRemoteDir(), QStringLiteral("/abs/dir"));
    sync.FtpChangeDir(QStringLiteral("a/b"));
    EXPECT_EQ(sync.CurrentRemoteDir(), QStringLiteral("/abs/a/b"));
    sync.FtpChangeDir(QStringLiteral("a/b"));
    EXPECT_EQ(sync.CurrentRemoteDir(), QStringLiteral("/abs/a/a/b"));
    sync.Ftp().Disconnect();
}

TEST_F(ConsoleSyncHostile, LinksInTheLocalFolderAreNeverFollowed)
{
    QJsonArray listing{UnixLine("linked.txt", 3)};
    auto server = TTestFtpServer::StartFake(Script(listing, QJsonObject{{"linked.txt", QJsonObject{{"data", "new"}}}}));
    const QString local = FProg.File("local");
    FProg.Write("outside.txt", "outside");
    FProg.Write("outside2.txt", "outside too");
    QDir().mkpath(local);
    ASSERT_TRUE(QFile::link(FProg.File("outside.txt"), local + "/linked.txt"));
    ASSERT_TRUE(QFile::link(FProg.File("outside2.txt"), local + "/gone.txt"));
    TConsoleSync sync;
    const TListHashFile done = sync.SyncItem(FakeItem(server->Port(), local, "/pub", "*.txt"));
    ASSERT_EQ(done.size(), 1);  // linked.txt fetched; gone.txt is no plain file: not deleted
    EXPECT_EQ(ReadWholeFile(FProg.File("outside.txt")), QByteArray("outside"));
    EXPECT_EQ(ReadWholeFile(FProg.File("outside2.txt")), QByteArray("outside too"));
    EXPECT_FALSE(QFileInfo(local + "/linked.txt").isSymLink());  // the link itself was replaced
    EXPECT_EQ(ReadWholeFile(local + "/linked.txt"), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(local + "/gone.txt").isSymLink());
}

namespace {
// A device that refuses everything after its first few bytes, as a full disk does.
class TFullDisk : public QBuffer {
public:
    qint64 writeData(const char* data, qint64 len) override
    {
        if (size() + len > 100) return -1;
        return QBuffer::writeData(data, len);
    }
};
}

TEST_F(ConsoleSyncHostile, FailedLocalWriteFailsTheTransferAndTheClientGoesOn)
{
    QJsonObject files{{"big.dat", QJsonObject{{"size", 50000}}}, {"small.dat", QJsonObject{{"data", "ok"}}}};
    auto server = TTestFtpServer::StartFake(Script(QJsonArray{}, files));
    TFtpClient ftp;
    ftp.SetHost(QStringLiteral("127.0.0.1"));
    ftp.SetPort(server->Port());
    ftp.SetUser(QStringLiteral("u"));
    ftp.SetPassword(QStringLiteral("p"));
    ftp.SetPassive(true);
    ASSERT_TRUE(ftp.Connect());
    TFullDisk full;
    full.open(QIODevice::WriteOnly);
    qint64 received = 0;
    EXPECT_FALSE(ftp.Download(QStringLiteral("/pub"), "big.dat", &full, &received));
    EXPECT_LE(received, 100);
    QBuffer good;
    good.open(QIODevice::WriteOnly);
    EXPECT_TRUE(ftp.Download(QStringLiteral("/pub"), "small.dat", &good, &received));
    EXPECT_EQ(good.data(), QByteArray("ok"));
    EXPECT_TRUE(ftp.Connected());

    ftp.SetPassword(QStringLiteral("wrong"));
    QString error;
    EXPECT_FALSE(ftp.Connect(&error));
    EXPECT_FALSE(ftp.Connected());
    EXPECT_FALSE(error.isEmpty());
}
