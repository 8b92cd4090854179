#pragma once
// The sync client's settings file (KeloFtpSync.ini in the program folder): the desktop
// behaviour and the FTP items with their folder pairs. The client only reads it.
#include <QString>
#include <QStringList>
#include <QVector>
#include <stdexcept>

struct TFTPSyncDirItem {
    QString LocalDir;  // up to 255 characters; ".." stands for the program folder
    QString FtpDir;    // up to 255 characters
    QString FileMask;  // up to 255 characters, masks separated by ";"
    bool Active = false;
};
using TListFTPSyncDirItem = QVector<TFTPSyncDirItem>;

struct TFTPSyncItem {
    QString Server;    // up to 128 characters
    QString User;      // up to 128 characters
    QString Password;  // deciphered, up to 128 characters
    int Port = 21;
    bool Passive = false;
    int MaxSizeInKBytes = 0;  // download budget of one run; 0 = no limit
    TListFTPSyncDirItem Dirs;
    bool Active = false;
};
using TListFTPSyncItem = QVector<TFTPSyncItem>;

struct TBeallitas {
    bool AutoStart = false;
    bool AutoTray = false;  // loaded only
    int RefreshSec = 0;     // seconds between two runs; 0 or less: no run ever
    TListFTPSyncItem Items;
};

// The settings file could not be read; what() and Message() say why, in Hungarian.
class ESyncConfigError : public std::runtime_error {
public:
    explicit ESyncConfigError(const QString& message) : std::runtime_error(message.toStdString()), FMessage(message) {}
    QString Message() const { return FMessage; }

private:
    QString FMessage;
};

// The settings file for these command-line arguments (without the program's own name): the
// one argument when it is a bare name of a file in the program folder, else
// "KeloFtpSync.ini"; joined with the program folder. Names are looked up without regard to
// letter case.
QString SyncConfigFileName(const QStringList& arguments);
// The same for the running program's arguments.
QString SyncConfigFileName();

// A fresh TBeallitas from the file. A missing file reads as all defaults (no items).
// Throws ESyncConfigError when the file exists but cannot be read, or when a "Password" is not
// a stored cipher text; nothing is returned then.
TBeallitas ReadSyncConfig(const QString& fileName);
TBeallitas ReadSyncConfig();  // from SyncConfigFileName()

// The items whose Active is on, in their order (copies).
TListFTPSyncItem ActiveItems(const TBeallitas& beallitas);
