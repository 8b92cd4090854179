#pragma once
// The sync engine of KeloFtpSyncClient: on each tick of its timer it mirrors the next active
// FTP item one way, from the server into the item's local folders, within the item's download
// budget, and writes the run to the day's log (program folder + "FtpSync/yyyymmdd.log").
//
// Safety rules the engine keeps whatever a server answers:
// - a download goes into a temporary file in the target folder and replaces the local file
//   only when the transfer completed with the listed size; a failed or cut-off transfer
//   leaves the previous copy untouched;
// - a remote name that is not IsSafeFileName() is neither downloaded nor used to delete;
//   nothing outside a pair's local folder is written or deleted, and a missing local folder
//   is never created;
// - a listing with a line that cannot be read deletes nothing for its folder pair.
#include "UtilFtpClient.h"
#include "UtilSyncConfig.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class QTimer;

enum : quint8 { hfDownload = 0, hfDelete = 2, hfListed = 3 };

struct THashFile {
    QString Dir;       // the listing's folder; for a planned action the local folder
    QString FileName;  // for a planned action the local spelling of the name
    qint64 Size = 0;
    QString FtpDir;    // remote folder of a planned action; empty for a listed file
    QDateTime DateTime;
    quint8 State = hfListed;
    QByteArray FtpName;  // the remote name as the server sends it (empty for local entries)
};
using TListHashFile = QVector<THashFile>;

// On while the client is stopped; the window sets it, the transfer loop honours it between files.
extern bool StopRequested;

// Path helpers.
QString NormalizePath(const QString& path);  // no blanks, no doubled "\", no trailing "\"
// The local folder of a pair: every ".." replaced by the program folder, "\" as "/", cleaned.
QString SyncLocalFolder(const QString& localDir);

// Appends text (split into lines) to the day's log; with time each line gets
// "[yyyy.mm.dd. hh:nn:ss] ". Lines end with CR LF; the file is code page 1250. Errors are swallowed.
void WriteSyncLog(const QString& text, bool withTime);
// Also hands every log line to this function (the command-line companion prints them).
void SetSyncLogEcho(std::function<void(const QString& line)> echo);
// The clock of the log (tests pin it); an empty function restores the system clock.
void SetSyncClock(std::function<QDateTime()> clock);

class TConsoleSync : public QObject {
    Q_OBJECT
public:
    TConsoleSync();
    ~TConsoleSync() override;

    // Re-reads the configuration and arms (Value on) or disarms the timer. False, with the
    // reason in the log and in *error, when the configuration cannot be read; the timer then
    // stays off, FActive is off and the previous configuration is kept.
    bool SetActive(bool value, QString* error = nullptr);
    bool Active() const { return FActive; }

    // One run of the next active item, round robin; errors are swallowed.
    void SyncNext();
    // One run of this item; answers the completed actions.
    TListHashFile SyncItem(const TFTPSyncItem& item);

    // Steps of a run, usable on their own once connected.
    bool FtpConnect(const TFTPSyncItem& item);
    // PWD, CDUP unless at "/", CWD ftpDir, on the remote folder kept here (CurrentRemoteDir);
    // throws for an empty folder.
    void FtpChangeDir(const QString& ftpDir);
    // The plan of the item's active pairs within its budget; errors end only their own pair.
    TListHashFile BuildSyncList(const TFTPSyncItem& item);
    // The actions for one mask; throws when the remote folder cannot be listed. *mayDelete is
    // false when the listing held a line that could not be read (no deletions are planned then).
    TListHashFile CompareFolder(const QString& localFolder, const QString& ftpDir, const QString& mask, bool* mayDelete);
    // Carries out the plan while connected and not StopRequested; answers what succeeded.
    TListHashFile ExecuteSyncList(const TListHashFile& plan);

    TFtpClient& Ftp() { return *FFtp; }
    QString CurrentRemoteDir() const { return FRemoteDir; }
    int Index() const { return FIndex; }
    const TBeallitas& Beallitas() const { return FBeallitas; }
    const TListFTPSyncItem& Items() const { return FItems; }
    QTimer* Timer() const { return FTimer; }
    // The configuration file read by SetActive (default: SyncConfigFileName()).
    void SetConfigFileName(const QString& fileName) { FConfigFileName = fileName; }

public slots:
    void TimerTick();

private:
    bool ListRemote(const QString& absDir, TListHashFile* files, bool* readable);
    bool DownloadFile(const THashFile& entry);

    int FIndex = 0;
    bool FActive = false;
    TBeallitas FBeallitas;
    QTimer* FTimer = nullptr;
    TListFTPSyncItem FItems;

    std::unique_ptr<TFtpClient> FFtp;
    QString FConfigFileName;
    bool FBusy = false;
    QString FRemoteDir = QStringLiteral("/");
    QString FRemoteDirBeforeCwd = QStringLiteral("/");
    // Remote listings of this run, by absolute folder, so several masks list a folder once.
    struct TCachedListing {
        QString dir;
        TListHashFile files;
        bool readable = true;
    };
    QVector<TCachedListing> FListings;
};
