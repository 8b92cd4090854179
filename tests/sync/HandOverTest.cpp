#include "FtpFileInfo.h"
#include "FtpTransfer.h"
#include "Launcher.h"
#include "TestSupport.h"
#include "Upgrade.h"
#include "WebLinks.h"

#include <gtest/gtest.h>

TEST(FtpFileInfo, ReadsTheInfFileAndRendersItsTimestamp)
{
    TTempProgramDir dir;
    dir.Write("Data/termek.inf", "[File]\r\nFileName=termek.zip\r\nSize=123456\r\nDateTime=46000,5\r\n");
    dir.Write("Data/dot.inf", "[file]\r\nfilename=x\r\nDATETIME=46000.75\r\n");
    dir.Write("Data/bad.inf", "[File]\r\nFileName=x\r\nSize=abc\r\nDateTime=tegnap\r\n");
    const TFtpFileInfo a = ReadFtpFileInfo(dir.File("Data/termek.inf"));
    EXPECT_EQ(a.FileName, "termek.zip");
    EXPECT_EQ(a.Size, 123456);
    EXPECT_DOUBLE_EQ(a.DateTime, 46000.5);
    EXPECT_DOUBLE_EQ(ReadFtpFileInfo(dir.File("Data/dot.inf")).DateTime, 46000.75);
    const TFtpFileInfo bad = ReadFtpFileInfo(dir.File("Data/bad.inf"));
    EXPECT_EQ(bad.Size, 0);
    EXPECT_EQ(bad.DateTime, 0);
    const TFtpFileInfo missing = ReadFtpFileInfo(dir.File("Data/vevo.inf"));
    EXPECT_TRUE(missing.FileName.isEmpty());
    EXPECT_EQ(missing.Size, 0);
    EXPECT_EQ(missing.DateTime, 0);

    struct { double v; const char* text; } cases[] = {
        {0, " - "}, {46000.5, "2025.12.09. 12:00"}, {2, "1900.01.01. 00:00"}, {46000.999999, "2025.12.09. 23:59"},
        {46000.9999999999, "2025.12.10. 00:00"}, {1.0 / 1440 * 61, "1899.12.30. 01:01"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatInfoTimestamp(c.v), c.text) << c.v;
}

TEST(WebLinks, SplitAtTheFirstSemicolonNothingTrimmed)
{
    TTempProgramDir dir;
    EXPECT_TRUE(ReadWebLinks().isEmpty());
    dir.Write("WebLink.TXT", "Árlista;https://example.com/a;b\r\nno separator\r\n Kézikönyv ; /docs/k.pdf \n;\r\n" +
                                 QByteArray(130, 'n') + ";" + QByteArray(300, 'u') + "\r\n");
    // The file is found whatever its letter case; texts are code page 1250.
    dir.Write("weblink.txt", "\xC1rlista;https://example.com/a;b\r\nno separator\r\n K\xE9zik\xF6nyv ; /docs/k.pdf \n;\r\n" +
                                 QByteArray(130, 'n') + ";" + QByteArray(300, 'u') + "\r\n");
    const TListWebLink links = ReadWebLinks();
    ASSERT_EQ(links.size(), 4);
    EXPECT_EQ(links[0].Name, QString::fromUtf8("Árlista"));
    EXPECT_EQ(links[0].Url, "https://example.com/a;b");
    EXPECT_EQ(links[1].Name, QString::fromUtf8(" Kézikönyv "));
    EXPECT_EQ(links[1].Url, " /docs/k.pdf ");
    EXPECT_TRUE(links[2].Name.isEmpty());
    EXPECT_EQ(links[3].Name.size(), 128);
    EXPECT_EQ(links[3].Url.size(), 255);
}

namespace {
struct TStartRecorder {
    QVector<TStartRequest> started;
    TStartRecorder()
    {
        SetStartHandler([this](const TStartRequest& r) {
            started << r;
            return true;
        });
    }
    ~TStartRecorder() { SetStartHandler(nullptr); }
};
}

TEST(FtpTransfer, CommandLinesOfTheTransferTool)
{
    TTempProgramDir dir;
    TStartRecorder rec;
    EXPECT_EQ(FtpTransferParameters(true, true), "\\useinifile \\cmdfile=get.txt;put.txt;");
    EXPECT_EQ(FtpTransferParameters(false, true), "\\useinifile \\cmdfile=put.txt;");
    EXPECT_EQ(FtpTransferParameters(true, false), "\\useinifile \\cmdfile=get.txt;");
    StartFtpTransfer(false, false);
    EXPECT_TRUE(rec.started.isEmpty());
    StartFtpTransfer(true, true);
    ASSERT_EQ(rec.started.size(), 1);
    EXPECT_EQ(rec.started[0].program, dir.File("KeloFtp"));
    EXPECT_EQ(rec.started[0].parameters, "\\useinifile \\cmdfile=get.txt;put.txt;");
    EXPECT_EQ(SplitParameters(rec.started[0].parameters), QStringList({"\\useinifile", "\\cmdfile=get.txt;put.txt;"}));
}

TEST(Upgrade, MissingUpdaterShowsTheMessageElseWritesTheCommandFileAndStartsIt)
{
    TTempProgramDir dir;
    TStartRecorder rec;
    TRecordingMessages msgs;
    EXPECT_FALSE(StartUpgrade("/opt/kelo/KeloBolt"));
    ASSERT_EQ(msgs.shown.size(), 1);
    EXPECT_EQ(msgs.shown[0].title, QString::fromUtf8("Frissítés"));
    EXPECT_EQ(msgs.shown[0].text, QString::fromUtf8("Nem található az vavodedere.exe!"));
    EXPECT_TRUE(rec.started.isEmpty());

    dir.Write("vavodedere", "#!/bin/sh\n");
    EXPECT_TRUE(StartUpgrade("/opt/kelo/KeloBolt"));
    EXPECT_EQ(dir.Read("VavOdedere.cmd"), QByteArray("/opt/kelo/KeloBolt\r\n/vavodedere\r\n"));
    ASSERT_EQ(rec.started.size(), 1);
    EXPECT_EQ(rec.started[0].program, dir.File("vavodedere"));
    EXPECT_EQ(rec.started[0].parameters, "/M=AUTO /E={cmd}");
}
