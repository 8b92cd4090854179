#include "FileLookup.h"
#include "ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(FileLookup, FoldsCaseOfEveryComponentAndPrefersTheExactName)
{
    QTemporaryDir tmp;
    const QString root = tmp.path() + QLatin1Char('/');
    QDir().mkpath(root + "Data/Sync");
    QFile(root + "Data/termek.zip").open(QIODevice::WriteOnly);
    QFile(root + "Data/MEGFEJ.DBF").open(QIODevice::WriteOnly);
    QFile(root + "Data/megfej.dbf").open(QIODevice::WriteOnly);

    EXPECT_EQ(FindFileCI(root + "DATA/TERMEK.ZIP"), root + "Data/termek.zip");
    EXPECT_EQ(FindFileCI(root + "Data/megfej.dbf"), root + "Data/megfej.dbf");
    EXPECT_EQ(FindFileCI(root + "data/sync/"), root + "Data/Sync/");
    EXPECT_TRUE(FileExistsCI(root + "data/Termek.Zip"));
    EXPECT_FALSE(FileExistsCI(root + "data/sync"));
    EXPECT_TRUE(DirExistsCI(root + "data/sync"));
    // Nothing matches: the path comes back as given, ready to be created.
    EXPECT_EQ(FindFileCI(root + "Data/vevo.zip"), root + "Data/vevo.zip");
    EXPECT_FALSE(FileExistsCI(root + "Data/vevo.zip"));
}

TEST(ProgramDir, OverrideEndsInOneSeparatorAndExecutableNames)
{
    QTemporaryDir tmp;
    SetProgramDirOverride(tmp.path() + "//");
    EXPECT_EQ(ProgramDir(), QDir::cleanPath(tmp.path()) + "/");
    EXPECT_EQ(JoinDir(ProgramDir(), {"Data", "Tetel"}), ProgramDir() + "Data/Tetel/");
    SetProgramDirOverride(QString());
    EXPECT_TRUE(ProgramDir().endsWith('/'));
    EXPECT_NE(ProgramDir(), QDir::cleanPath(tmp.path()) + "/");
#ifndef Q_OS_WIN
    EXPECT_EQ(ExecutableName("KeloFtp.exe"), "KeloFtp");
    EXPECT_EQ(ExecutableName("KeloFtpSyncClient"), "KeloFtpSyncClient");
#endif
}

#include "ZipArchive.h"

TEST(ZipArchive, AddsAndExtractsOverwritingAndRefusesMembersThatLeaveTheFolder)
{
    QTemporaryDir tmp;
    const QString root = tmp.path() + "/";
    {
        QFile f(root + "termek.dbf");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(10000, 'x'));
    }
    ASSERT_TRUE(ZipAddFiles(root + "termek.zip", {{root + "termek.dbf", "termek.dbf"}, {root + "termek.dbf", "../evil.dbf"}}));
    EXPECT_EQ(ZipMemberNames(root + "termek.zip"), QStringList({"termek.dbf", "../evil.dbf"}));
    QDir().mkpath(root + "out");
    {
        QFile old(root + "out/termek.dbf");
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QStringList got;
    EXPECT_TRUE(ZipExtractAll(root + "termek.zip", root + "out", &got));
    EXPECT_EQ(got, QStringList({"termek.dbf"}));
    EXPECT_EQ(QFileInfo(root + "out/termek.dbf").size(), 10000);
    EXPECT_FALSE(QFileInfo::exists(root + "evil.dbf"));
    EXPECT_FALSE(ZipExtractAll(root + "missing.zip", root + "out"));
}
