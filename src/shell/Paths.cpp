#include "Paths.h"

#include "ProgramDir.h"

#include <QDir>

QString GetProgramDir() { return ProgramDir(); }
QString GetDataDir() { return JoinDir(ProgramDir(), {"Data"}); }
QString GetTetelDir() { return JoinDir(ProgramDir(), {"Data", "Tetel"}); }
QString GetTetelArhivDir() { return JoinDir(ProgramDir(), {"Data", "Tetel", "Arhiv"}); }
QString GetPicDir() { return JoinDir(ProgramDir(), {"Data", "Pic"}); }
QString GetSyncDir() { return JoinDir(ProgramDir(), {"Data", "Sync"}); }
QString GetSendDir() { return JoinDir(ProgramDir(), {"Ftp", "Send"}); }
QString GetArchivDataDir() { return JoinDir(ProgramDir(), {"ArchivData"}); }
QString GetMainIniFileName() { return ProgramDir() + QStringLiteral("KeloBoltiRendelo.ini"); }
QString GetSyncIniFileName() { return ProgramDir() + QStringLiteral("KeloFtpSyncIni.ini"); }

QStringList StartupFolders()
{
    return {GetDataDir(), GetTetelDir(), GetTetelArhivDir(), GetPicDir(), GetSendDir(), GetSyncDir(), GetArchivDataDir()};
}

void CreateStartupFolders()
{
    for (const QString& dir : StartupFolders())
        if (!QDir(dir).exists()) QDir().mkpath(dir);
}
