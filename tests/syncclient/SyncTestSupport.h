#pragma once
// Helpers of the sync client's tests: FTP servers on loopback started by the test (Debian's
// pyftpdlib, or the scripted fake of ftp_test_servers.py), files with a given time, and the
// process-wide set-up (a QCoreApplication for timers and events; TZ pinned to UTC so that
// listed GMT times and local times fall on the same day).
#include <QDateTime>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class TTestFtpServer {
public:
    // pyftpdlib serving root read-only for each user (password "p"); mlsd off hides MLSD/MLST.
    static std::unique_ptr<TTestFtpServer> StartPyftpd(const QString& root, const QStringList& users, bool mlsd = true);
    // The fake server playing this JSON script (see ftp_test_servers.py).
    static std::unique_ptr<TTestFtpServer> StartFake(const QByteArray& scriptJson);
    ~TTestFtpServer();  // SIGTERM, then waits

    int Port() const { return FPort; }
    // The commands the fake server received so far, one per line, as raw bytes.
    QList<QByteArray> Commands() const;

private:
    TTestFtpServer() = default;
    bool Start(const QStringList& args);
    QTemporaryDir FDir;
    QProcess FProcess;
    int FPort = 0;
};

// Writes a file (creating its folders) and sets its modification time when given.
void WriteFileAt(const QString& path, const QByteArray& bytes, const QDateTime& mtime = QDateTime());
QByteArray ReadWholeFile(const QString& path);
QDateTime FileMTime(const QString& path);
// A stored password for the sync client's settings (the sync key).
QString SyncPassword(const QString& plain);
// Every file below root (relative path -> content), for checking that nothing changed.
QMap<QString, QByteArray> SnapshotTree(const QString& root);
