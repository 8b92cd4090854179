#include "UtilFtpList.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {
const QDateTime kNow(QDate(2026, 3, 10), QTime(12, 0));

struct TLineCase {
    const char* line;
    bool readable;
    const char* name;
    TFtpEntryKind kind;
    qint64 size;
    QDateTime dateTime;
};
}

TEST(FtpList, ListLinesOfUnixAndDosServers)
{
    const TLineCase cases[] = {
        {"-rw-r--r--   1 owner    group        1234 Mar  9 08:15 plain.txt", true, "plain.txt", TFtpEntryKind::File, 1234,
         QDateTime(QDate(2026, 3, 9), QTime(8, 15))},
        // A year-less date after "now" belongs to the year before.
        {"-rw-r--r--   1 owner    group          10 Dec 24 23:59 lastyear.txt", true, "lastyear.txt", TFtpEntryKind::File, 10,
         QDateTime(QDate(2025, 12, 24), QTime(23, 59))},
        {"-rw-r--r--   1 owner    group        4096 Jan  5  2019 old.dbf", true, "old.dbf", TFtpEntryKind::File, 4096,
         QDateTime(QDate(2019, 1, 5), QTime(0, 0))},
        {"-rw-r--r--+  1 owner    group           7 Mar  1 10:00 acl.txt", true, "acl.txt", TFtpEntryKind::File, 7,
         QDateTime(QDate(2026, 3, 1), QTime(10, 0))},
        {"-rw-r--r--@  1 owner    staff           8 Mar  1 10:00 mac.txt", true, "mac.txt", TFtpEntryKind::File, 8,
         QDateTime(QDate(2026, 3, 1), QTime(10, 0))},
        {"-rw-r--r--   1 owner            5000000000 Feb 28 2025 nogroup.zip", true, "nogroup.zip", TFtpEntryKind::File, 5000000000LL,
         QDateTime(QDate(2025, 2, 28), QTime(0, 0))},
        {"-rw-r--r--   1 owner    group          12 Mar  2 09:00 two  spaces.txt", true, "two  spaces.txt", TFtpEntryKind::File, 12,
         QDateTime(QDate(2026, 3, 2), QTime(9, 0))},
        {"drwxr-xr-x   2 owner    group        4096 Mar  2 09:00 folder", true, "folder", TFtpEntryKind::Folder, 4096,
         QDateTime(QDate(2026, 3, 2), QTime(9, 0))},
        {"lrwxrwxrwx   1 owner    group          11 Mar  2 09:00 link.txt -> target.txt", true, "link.txt", TFtpEntryKind::Link, 11,
         QDateTime(QDate(2026, 3, 2), QTime(9, 0))},
        {"02-14-26  03:04PM                 1234 dos.txt", true, "dos.txt", TFtpEntryKind::File, 1234,
         QDateTime(QDate(2026, 2, 14), QTime(15, 4))},
        {"02-14-2026  12:30AM               99 midnight.txt", true, "midnight.txt", TFtpEntryKind::File, 99,
         QDateTime(QDate(2026, 2, 14), QTime(0, 30))},
        {"11-30-99  17:45                    5 y2k.txt", true, "y2k.txt", TFtpEntryKind::File, 5,
         QDateTime(QDate(1999, 11, 30), QTime(17, 45))},
        {"02-14-26  10:00AM       <DIR>          Sub Folder", true, "Sub Folder", TFtpEntryKind::Folder, 0,
         QDateTime(QDate(2026, 2, 14), QTime(10, 0))},
        {"-rw-r--r--   1 owner    group        1234 Feb 30 08:15 baddate.txt", false, "", TFtpEntryKind::File, 0, QDateTime()},
        {"-rw-r--r--   1 owner    group        12x4 Mar  9 08:15 badsize.txt", false, "", TFtpEntryKind::File, 0, QDateTime()},
        {"13-01-26  10:00AM                 1 badmonth.txt", false, "", TFtpEntryKind::File, 0, QDateTime()},
        {"this is not a listing line", false, "", TFtpEntryKind::File, 0, QDateTime()},
    };
    for (const TLineCase& c : cases) {
        SCOPED_TRACE(c.line);
        TFtpListEntry e;
        bool skip = true;
        EXPECT_EQ(ParseListLine(c.line, kNow, &e, &skip), c.readable);
        EXPECT_FALSE(skip);
        if (!c.readable) continue;
        EXPECT_EQ(e.Name, QString::fromUtf8(c.name));
        EXPECT_EQ(int(e.Kind), int(c.kind));
        EXPECT_EQ(e.Size, c.size);
        EXPECT_EQ(e.DateTime, c.dateTime);
    }
}

TEST(FtpList, ListingCountsUnreadableLinesAndSkipsNoise)
{
    const QByteArray text = "total 12\r\n"
                            "drwxr-xr-x   2 o g 4096 Mar  2 09:00 .\r\n"
                            "drwxr-xr-x   2 o g 4096 Mar  2 09:00 ..\r\n"
                            "-rw-r--r--   1 o g    3 Mar  2 09:00 \xc3\xa1rlista.txt\r\n"   // UTF-8
                            "-rw-r--r--   1 o g    3 Mar  2 09:00 \xe1rlista2.txt\r\n"      // code page 1250
                            "garbage line\r\n"
                            "\r\n";
    const TFtpListing l = ParseFtpListing(text, false, kNow);
    ASSERT_EQ(l.Entries.size(), 2);
    EXPECT_EQ(l.Entries[0].Name, QString::fromUtf8("árlista.txt"));
    EXPECT_EQ(l.Entries[1].Name, QString::fromUtf8("árlista2.txt"));
    EXPECT_EQ(l.Entries[1].RawName, QByteArray("\xe1rlista2.txt"));
    EXPECT_EQ(l.UnreadableLines, 1);
}

TEST(FtpList, MlsdFacts)
{
    const QByteArray text = "type=cdir;modify=20260301101010; .\r\n"
                            "type=pdir;modify=20260301101010; ..\r\n"
                            "modify=20260301101010;perm=r;size=42;type=file;unique=1; a b.txt\r\n"
                            "Type=dir;Modify=20260301101010; folder\r\n"
                            "type=OS.unix=symlink;size=3;modify=20260301101010; link\r\n"
                            "type=file;modify=20260301101010; nosize.txt\r\n"
                            "type=file;size=1;modify=2026bad; badtime.txt\r\n";
    const TFtpListing l = ParseFtpListing(text, true);
    ASSERT_EQ(l.Entries.size(), 3);
    EXPECT_EQ(l.Entries[0].Name, QStringLiteral("a b.txt"));
    EXPECT_EQ(l.Entries[0].Size, 42);
    EXPECT_EQ(l.Entries[0].DateTime.toUTC(), QDateTime(QDate(2026, 3, 1), QTime(10, 10, 10), QTimeZone::utc()));
    EXPECT_EQ(int(l.Entries[1].Kind), int(TFtpEntryKind::Folder));
    EXPECT_EQ(int(l.Entries[2].Kind), int(TFtpEntryKind::Link));
    EXPECT_EQ(l.UnreadableLines, 2);
}

TEST(FtpList, Masks)
{
    struct {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"termek.zip", "*.zip", true},    {"TERMEK.ZIP", "*.zip", true},   {"termek.zip.ftp", "*.zip", false},
        {"a.txt", "?.txt", true},         {"ab.txt", "?.txt", false},      {"x", "*", true},
        {"", "*", true},                  {"b1.dbf", "[abc]1.dbf", true},  {"B1.dbf", "[abc]1.dbf", true},
        {"d1.dbf", "[abc]1.dbf", false},  {"k7.txt", "k[0-9].txt", true},  {"kx.txt", "k[!0-9].txt", true},
        {"k7.txt", "k[!0-9].txt", false}, {"[x.txt", "[x.txt", true},      {"árlista.TXT", "Á*.txt", true},
        {"abcabd", "*ab?", true},         {"aaa", "a*a*a*a", false},       {"data.tar.gz", "*.*.gz", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " ~ " + c.mask);
        EXPECT_EQ(MatchesMask(QString::fromUtf8(c.name), QString::fromUtf8(c.mask)), c.match);
    }
}

TEST(FtpList, SafeNames)
{
    for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", "tab\there", "nl\nx", "del\x7f"})
        EXPECT_FALSE(IsSafeFileName(QString::fromLatin1(bad))) << bad;
    for (const char* good : {"a.txt", "..x", "a..b", " lead", "#%&?.txt", ".hidden"})
        EXPECT_TRUE(IsSafeFileName(QString::fromLatin1(good))) << good;
}
