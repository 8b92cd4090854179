#include "ProcessList.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ProcessList, NameMatchingRules)
{
    struct { const char* exe; const char* name; bool match; } cases[] = {
        {"/opt/kelo/KeloFtp", "KeloFtp.exe", true},
        {"/opt/kelo/KeloFtp", "keloftp.exe", true},
        {"/opt/kelo/KELOFTP.EXE", "KeloFtp", true},
        {"/opt/kelo/KeloFtp", "/opt/kelo/keloftp", true},
        {"/opt/kelo/KeloFtp", "/opt/other/keloftp", false},
        {"/opt/kelo/KeloFtpSyncClient", "KeloFtp.exe", false},
        {"/opt/kelo/KeloFtp", "", false},
        {"/opt/kelo/xKeloFtp", "KeloFtp", false},
    };
    for (const auto& c : cases) EXPECT_EQ(ExecutableMatches(c.exe, c.name), c.match) << c.exe << " / " << c.name;
}

TEST(ProcessList, FindsARunningProcessByItsExecutableName)
{
    QProcess sleeper;
    sleeper.start("/bin/sleep", {"30"});
    ASSERT_TRUE(sleeper.waitForStarted());
    EXPECT_TRUE(IsProcessRunning("sleep.exe"));
    EXPECT_TRUE(IsProcessRunning("SLEEP"));
    sleeper.kill();
    sleeper.waitForFinished();
    EXPECT_FALSE(IsProcessRunning("no-such-program-kelobolt.exe"));
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstReleases)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    // flock locks belong to open file descriptions, so two objects in one process behave like
    // two processes.
    TSingleInstanceLock first("KeloBolt"), second("KeloBolt");
    EXPECT_TRUE(first.Acquire());
    EXPECT_FALSE(second.Acquire());
    EXPECT_EQ(first.LockFileName(), runtime.path() + "/KeloBolt.lock");
    first.Release();
    EXPECT_TRUE(second.Acquire());
    qunsetenv("XDG_RUNTIME_DIR");
}
