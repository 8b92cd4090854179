#include "UtilSyncConfig.h"

#include "FileLookup.h"
#include "IniFile.h"
#include "ProgramDir.h"
#include "ValueCipher.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
const char* const kDefaultName = "KeloFtpSync.ini";
const int kMaxDirCount = 10000;

QString Cut(const QString& s, int len) { return s.left(len); }

bool ReadFlag(const TIniFile& ini, const QString& section, const QString& key, bool def)
{
    return ini.ReadBool(section, key, def);
}
}

QString SyncConfigFileName(const QStringList& arguments)
{
    const QString dir = ProgramDir();
    if (arguments.size() == 1) {
        const QString name = arguments.first();
        const bool bare = !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
                          && name != QLatin1String(".") && name != QLatin1String("..");
        if (bare && FileExistsCI(dir + name)) return FindFileCI(dir + name);
    }
    return FindFileCI(dir + QLatin1String(kDefaultName));
}

QString SyncConfigFileName()
{
    QStringList args = QCoreApplication::instance() ? QCoreApplication::arguments() : QStringList();
    if (!args.isEmpty()) args.removeFirst();
    return SyncConfigFileName(args);
}

TBeallitas ReadSyncConfig(const QString& fileName)
{
    TBeallitas b;
    TIniFile ini(fileName);
    if (!ini.Load())
        throw ESyncConfigError(QStringLiteral("A beállítási fájl nem olvasható: %1").arg(QFileInfo(fileName).fileName()));

    const QString desktop = QStringLiteral("Desktop");
    b.AutoStart = ReadFlag(ini, desktop, QStringLiteral("AutoStart"), false);
    b.AutoTray = ReadFlag(ini, desktop, QStringLiteral("AutoTray"), false);
    b.RefreshSec = ini.ReadInteger(desktop, QStringLiteral("RefreshSec"), 0);

    QStringList seen;
    for (const QString& section : ini.Sections()) {
        if (!section.toUpper().startsWith(QLatin1String("FTPITEM"))) continue;
        // The profile rules give the first of two same-named sections; read each name once.
        if (seen.contains(section, Qt::CaseInsensitive)) continue;
        seen.append(section);

        TFTPSyncItem item;
        item.Server = Cut(ini.ReadString(section, QStringLiteral("Server")), 128);
        item.User = Cut(ini.ReadString(section, QStringLiteral("User")), 128);
        const QString stored = ini.ReadString(section, QStringLiteral("Password"));
        try {
            item.Password = Cut(DecryptValueRaising(stored, KeySync), 128);
        } catch (const std::exception&) {
            throw ESyncConfigError(
                QStringLiteral("A(z) [%1] szakasz jelszava (Password) nem fejthető vissza, a beállítási fájl (%2) hibás.")
                    .arg(section, QFileInfo(fileName).fileName()));
        }
        item.Port = ini.ReadInteger(section, QStringLiteral("Port"), 21);
        item.Passive = ReadFlag(ini, section, QStringLiteral("Passive"), false);
        item.MaxSizeInKBytes = ini.ReadInteger(section, QStringLiteral("MaxSizeInKBytes"), 0);
        item.Active = ReadFlag(ini, section, QStringLiteral("Active"), false);
        // Pairs past the keys present are empty and off; a mistyped huge count must not hang
        // the client, so it is capped.
        const int count = qMin(ini.ReadInteger(section, QStringLiteral("DirCount"), 0), kMaxDirCount);
        for (int n = 1; n <= count; ++n) {
            const QString num = QString::number(n);
            TFTPSyncDirItem dir;
            dir.FileMask = Cut(ini.ReadString(section, QStringLiteral("FileMask") + num), 255);
            dir.Active = ReadFlag(ini, section, QStringLiteral("Active") + num, false);
            dir.FtpDir = Cut(ini.ReadString(section, QStringLiteral("FtpDir") + num), 255);
            dir.LocalDir = Cut(ini.ReadString(section, QStringLiteral("LocalDir") + num), 255);
            item.Dirs.append(dir);
        }
        b.Items.append(item);
    }
    return b;
}

TBeallitas ReadSyncConfig()
{
    return ReadSyncConfig(SyncConfigFileName());
}

TListFTPSyncItem ActiveItems(const TBeallitas& beallitas)
{
    TListFTPSyncItem out;
    for (const TFTPSyncItem& item : beallitas.Items)
        if (item.Active) out.append(item);
    return out;
}
