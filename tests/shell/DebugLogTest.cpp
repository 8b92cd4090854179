#include "DebugLog.h"
#include "Paths.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(Paths, FolderTreeUnderTheProgramFolder)
{
    TTempProgramDir dir;
    const QString p = dir.Path();
    EXPECT_EQ(GetProgramDir(), p);
    EXPECT_EQ(GetDataDir(), p + "Data/");
    EXPECT_EQ(GetTetelDir(), p + "Data/Tetel/");
    EXPECT_EQ(GetTetelArhivDir(), p + "Data/Tetel/Arhiv/");
    EXPECT_EQ(GetPicDir(), p + "Data/Pic/");
    EXPECT_EQ(GetSyncDir(), p + "Data/Sync/");
    EXPECT_EQ(GetSendDir(), p + "Ftp/Send/");
    EXPECT_EQ(GetArchivDataDir(), p + "ArchivData/");
    EXPECT_EQ(GetMainIniFileName(), p + "KeloBoltiRendelo.ini");
    EXPECT_EQ(GetSyncIniFileName(), p + "KeloFtpSyncIni.ini");
    EXPECT_FALSE(QDir(GetDataDir()).exists());  // the path functions create nothing
    CreateStartupFolders();
    for (const QString& f : StartupFolders()) EXPECT_TRUE(QDir(f).exists()) << f.toStdString();
}

TEST(DebugLog, ExactLineAndNothingWithoutTheDataFolder)
{
    TTempProgramDir dir;
    SetDebugLogClock([] { return QDateTime(QDate(2026, 3, 7), QTime(9, 5, 4, 32)); });
    WriteDebugLog("start");  // no Data folder: nothing, no error
    EXPECT_FALSE(QFileInfo::exists(dir.File("Data/debug.txt")));
    CreateStartupFolders();
    WriteDebugLog("start");
    WriteDebugLog("Exception:árvíztűrő");
    SetDebugLogClock(nullptr);
    EXPECT_EQ(dir.Read("Data/debug.txt"),
              QByteArray("[2026.03.07 09:05:04.032] start \r\n[2026.03.07 09:05:04.032] Exception:\xE1rv\xEDzt\xFBr\xF5 \r\n"));
}

TEST(DebugLog, WriteFailureReachesTheCaller)
{
    TTempProgramDir dir;
    CreateStartupFolders();
    QDir().mkpath(dir.File("Data/debug.txt"));  // a folder where the file should be
    EXPECT_THROW(WriteDebugLog("x"), EFileWriteError);
}
