#pragma once
// The program's folder tree. Every path is built from the program folder (the executable's
// folder), never from the working directory; folder functions end in one separator.
// The functions create nothing: start-up creates the folders once.
#include <QString>
#include <QStringList>

QString GetProgramDir();
QString GetDataDir();        // Data/
QString GetTetelDir();       // Data/Tetel/
QString GetTetelArhivDir();  // Data/Tetel/Arhiv/
QString GetPicDir();         // Data/Pic/
QString GetSyncDir();        // Data/Sync/
QString GetSendDir();        // Ftp/Send/
QString GetArchivDataDir();  // ArchivData/
QString GetMainIniFileName();  // KeloBoltiRendelo.ini
QString GetSyncIniFileName();  // KeloFtpSyncIni.ini

// The folders start-up creates, in the order it creates them.
QStringList StartupFolders();
// Creates each missing folder of StartupFolders() with its parents. Failures are not reported:
// whoever writes into the folder later meets them.
void CreateStartupFolders();
