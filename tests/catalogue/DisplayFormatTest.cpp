#include "DisplayFormat.h"

#include <gtest/gtest.h>

namespace {
const QLocale KHu(QLocale::Hungarian, QLocale::Hungary);
const QLocale KUs(QLocale::English, QLocale::UnitedStates);

TEST(DisplayFormat, NumberPatternsAsAHungarianReadsThem)
{
    struct {
        const char* pattern;
        double value;
        const char* expected;
    } cases[] = {
        {"### ### ##0.00", 1234.5, "1 234,50"},
        {"### ### ##0.00", 1234567.891, "1 234 567,89"},
        {"### ### ##0.00", 12, "12,00"},
        {"### ### ##0.00", 0, "0,00"},
        {"### ### ##0.00", 0.5, "0,50"},
        {"### ### ##0.00", -1234.5, "-1 234,50"},
        {"### ### ##0.00", -0.001, "0,00"},  // rounds to zero: no minus sign
        {"### ### ##0.00", 0.125, "0,13"},   // halves away from zero, not to even
        {"### ### ##0.00", 123456789012.0, "123456 789 012,00"},  // more digits than places go in front
        {"### ### ### ##0.00", 123456789012.0, "123 456 789 012,00"},
        {"### ### ### ##0.00", 100, "100,00"},
        {"0.00", 12.5, "12,50"},
        {"0.00", -2.5, "-2,50"},
        {"0.00", 1234.567, "1234,57"},
        {"########0", 1234567, "1234567"},
        {"########0", 0, "0"},
        {"########0", 2.5, "3"},
        {"########0", -2.5, "-3"},
        {"0", 36, "36"},
        {"#.##", 0.5, ",5"},
        {"0.0#", 1.5, "1,5"},
        {"0.0#", 1.234, "1,23"},
        {"000", 7, "007"},
        {"#,##0", 1234567, "1\u00a0234\u00a0567"},  // "," groups with the locale's separator
        {"0.00 Ft", 3, "3,00 Ft"},
        {"0.00;(0.00)", -3, "(3,00)"},
        {"0.00;-0.00;\"nincs\"", 0, "nincs"},
        {"", 12.5, "12,5"},
        {"", 1234567, "1234567"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatFloatDisplay(QString::fromUtf8(c.pattern), c.value, KHu), QString::fromUtf8(c.expected))
            << c.pattern << " " << c.value;
    }
}

TEST(DisplayFormat, DecimalSeparatorFollowsTheLocale)
{
    EXPECT_EQ(FormatFloatDisplay("### ### ##0.00", 1234.5, KUs), "1 234.50");
    EXPECT_EQ(FormatFloatDisplay("#,##0.00", 1234.5, KUs), "1,234.50");
}

TEST(DisplayFormat, DatePatterns)
{
    const QDateTime t(QDate(2026, 3, 7), QTime(14, 5, 9, 42));
    struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"yyyy.mm.dd", "2026.03.07"},
        {"yyyy.mm.dd hh:nn", "2026.03.07 14:05"},
        {"yyyy.mm.dd hh:mm:ss", "2026.03.07 14:05:09"},  // mm right after an hour is minutes
        {"yy.m.d", "26.3.7"},
        {"dd/mm/yyyy", "07/03/2026"},
        {"yyyy. mmmm d.", "2026. március 7."},
        {"hh:nn:ss.zzz", "14:05:09.042"},
        {"\"kelt: \"yyyy", "kelt: 2026"},
        {"", "2026.03.07 14:05:09"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTimeDisplay(QString::fromUtf8(c.pattern), t, KHu), QString::fromUtf8(c.expected))
            << c.pattern;
    EXPECT_EQ(FormatDateTimeDisplay("", QDateTime(QDate(2026, 3, 7), QTime(0, 0)), KHu), "2026.03.07");
    EXPECT_EQ(FormatDateTimeDisplay("yyyy.mm.dd", QDateTime(), KHu), "");
}

TEST(DisplayFormat, FieldValuesByType)
{
    EXPECT_EQ(FormatDisplayValue("### ### ##0.00", QVariant(1234.5), KHu), "1 234,50");
    EXPECT_EQ(FormatDisplayValue("### ### ##0.00", QVariant(1234), KHu), "1 234,00");
    EXPECT_EQ(FormatDisplayValue("", QVariant(1234), KHu), "1234");
    EXPECT_EQ(FormatDisplayValue("yyyy.mm.dd", QVariant(QDate(2026, 12, 1)), KHu), "2026.12.01");
    EXPECT_EQ(FormatDisplayValue("0.00", QVariant(QStringLiteral("A12")), KHu), "A12");
    EXPECT_EQ(FormatDisplayValue("0.00", QVariant(), KHu), "");
    EXPECT_EQ(FormatDisplayValue("0.00", QVariant(QMetaType(QMetaType::Double)), KHu), "");
    EXPECT_EQ(FormatDisplayValue("", QVariant(true), KHu), "Igen");
}
}  // namespace
