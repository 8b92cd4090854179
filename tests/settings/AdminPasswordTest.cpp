#include "AdminPassword.h"

#include <gtest/gtest.h>

TEST(AdminPassword, MinuteHourDayMonthYear)
{
    struct { QDateTime at; const char* expected; } cases[] = {
        {QDateTime(QDate(2026, 12, 11), QTime(9, 5)), "050911122026"},
        {QDateTime(QDate(2026, 12, 11), QTime(9, 5, 59, 999)), "050911122026"},
        {QDateTime(QDate(2027, 1, 2), QTime(23, 59)), "592302012027"},
        {QDateTime(QDate(2030, 7, 31), QTime(0, 0)), "000031072030"},
    };
    for (const auto& c : cases) {
        const QString p = BuildAdminPassword(c.at);
        EXPECT_EQ(p.toStdString(), c.expected);
        EXPECT_EQ(p.size(), 12);
    }
    // The next minute has another password.
    EXPECT_NE(BuildAdminPassword(QDateTime(QDate(2026, 12, 11), QTime(9, 6))), QStringLiteral("050911122026"));
    // A moment given in UTC counts in local time.
    const QDateTime local(QDate(2026, 6, 1), QTime(12, 30));
    EXPECT_EQ(BuildAdminPassword(local.toUTC()), BuildAdminPassword(local));
}
