#pragma once
// The sync client's FTP access, over libcurl: one control connection per run, reused for every
// listing and transfer. Folders are always addressed by absolute path; which folder counts as
// "current" is kept by the caller (see FtpChangeDir in UtilConsoleSync.h).
//
// Every call answers false on failure and leaves the client usable; Connected() turns false
// when the server can no longer be reached or refused the login.
#include <QByteArray>
#include <QIODevice>
#include <QString>

class TFtpClient {
public:
    TFtpClient();
    ~TFtpClient();
    TFtpClient(const TFtpClient&) = delete;
    TFtpClient& operator=(const TFtpClient&) = delete;

    void SetHost(const QString& host) { FHost = host; }
    void SetUser(const QString& user) { FUser = user; }
    void SetPassword(const QString& password) { FPassword = password; }
    void SetPort(int port) { FPort = port; }
    void SetPassive(bool passive) { FPassive = passive; }
    // Seconds to wait for the connection and the login, and for a stalled transfer.
    void SetTimeouts(int connectSec, int stallSec);

    // Connects and logs in; learns the login folder and whether MLSD is offered.
    bool Connect(QString* error = nullptr);
    bool Connected() const { return FConnected; }
    void Disconnect();  // sends QUIT; not an error when not connected

    QString LoginDir() const { return FLoginDir; }
    bool HasMlsd() const { return FMlsd; }

    // The detailed listing of the folder absDir (MLSD when offered, else LIST).
    bool List(const QString& absDir, QByteArray* text, bool* mlsd);
    // Fetches absDir/rawName into out; *received counts the bytes written there.
    bool Download(const QString& absDir, const QByteArray& rawName, QIODevice* out, qint64* received);

    // The FTP commands sent since the last reset (for measurements).
    int CommandCount() const { return FCommands; }
    void ResetCommandCount() { FCommands = 0; }
    QString LastError() const { return FLastError; }

private:
    QByteArray FolderUrl(const QString& absDir) const;
    bool Perform(const QByteArray& url);
    void ApplyCommonOptions();
    void Judge(int code);

    void* FCurl = nullptr;   // the easy handle of the run
    void* FMulti = nullptr;  // drives it and keeps its connection
    QString FHost, FUser, FPassword;
    int FPort = 21;
    bool FPassive = false;
    int FConnectTimeout = 30;
    int FStallTimeout = 60;
    bool FConnected = false;
    bool FMlsd = false;
    QString FLoginDir;
    QString FLastError;
    int FCommands = 0;
    QByteArray FHeaders;
    char FErrorBuffer[256] = {};

    friend struct TFtpCallbacks;
};
