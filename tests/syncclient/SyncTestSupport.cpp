#include "SyncTestSupport.h"

#include "TestSupport.h"
#include "ValueCipher.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>
#include <ctime>
#include <stdexcept>

namespace {
class TQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        qputenv("TZ", "UTC");
        tzset();
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "syncclient-test";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
    }
};
const auto* kEnvironment = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);
}

bool TTestFtpServer::Start(const QStringList& args)
{
    const QString portFile = FDir.filePath(QStringLiteral("port"));
    QStringList all{SourceFile(QStringLiteral("tests/syncclient/ftp_test_servers.py"))};
    all += args;
    all.replaceInStrings(QStringLiteral("@PORTFILE@"), portFile);
    all.replaceInStrings(QStringLiteral("@DIR@"), FDir.path());
    FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    FProcess.start(QStringLiteral("/usr/bin/python3"), all);
    if (!FProcess.waitForStarted(10000)) return false;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 15000) {
        QFile f(portFile);
        if (f.open(QIODevice::ReadOnly)) {
            FPort = f.readAll().trimmed().toInt();
            if (FPort > 0) return true;
        }
        if (FProcess.state() == QProcess::NotRunning) return false;
        QThread::msleep(20);
    }
    return false;
}

std::unique_ptr<TTestFtpServer> TTestFtpServer::StartPyftpd(const QString& root, const QStringList& users, bool mlsd)
{
    std::unique_ptr<TTestFtpServer> s(new TTestFtpServer);
    QStringList args{QStringLiteral("pyftpd"), root, users.join(QLatin1Char(',')), QStringLiteral("p"), QStringLiteral("@PORTFILE@")};
    if (!mlsd) args << QStringLiteral("--no-mlsd");
    if (!s->Start(args)) throw std::runtime_error("pyftpdlib did not start");
    return s;
}

std::unique_ptr<TTestFtpServer> TTestFtpServer::StartFake(const QByteArray& scriptJson)
{
    std::unique_ptr<TTestFtpServer> s(new TTestFtpServer);
    QFile f(s->FDir.filePath(QStringLiteral("script.json")));
    if (!f.open(QIODevice::WriteOnly) || f.write(scriptJson) != scriptJson.size()) throw std::runtime_error("script");
    f.close();
    if (!s->Start({QStringLiteral("fake"), f.fileName(), QStringLiteral("@PORTFILE@"), QStringLiteral("@DIR@/commands.log")}))
        throw std::runtime_error("fake FTP server did not start");
    return s;
}

TTestFtpServer::~TTestFtpServer()
{
    if (FProcess.state() != QProcess::NotRunning) {
        FProcess.terminate();
        if (!FProcess.waitForFinished(5000)) {
            FProcess.kill();
            FProcess.waitForFinished(5000);
        }
    }
}

QList<QByteArray> TTestFtpServer::Commands() const
{
    return ReadWholeFile(FDir.filePath(QStringLiteral("commands.log"))).split('\n');
}

void WriteFileAt(const QString& path, const QByteArray& bytes, const QDateTime& mtime)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    f.flush();  // a later flush would set the time again
    if (mtime.isValid()) f.setFileTime(mtime, QFileDevice::FileModificationTime);
}

QByteArray ReadWholeFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

QDateTime FileMTime(const QString& path)
{
    return QFileInfo(path).lastModified();
}

QString SyncPassword(const QString& plain)
{
    return EncryptValue(plain, KeySync);
}

QMap<QString, QByteArray> SnapshotTree(const QString& root)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        out.insert(QDir(root).relativeFilePath(p), ReadWholeFile(p));
    }
    return out;
}
