#include "Utils.h"

#include <gtest/gtest.h>

TEST(Utils, RoundDecHalvesAwayFromZero)
{
    struct { int n; double x; double want; } cases[] = {
        {2, 0.125, 0.13}, {2, -0.125, -0.13}, {0, 2.5, 3}, {0, -2.5, -3}, {0, 2.4999, 2},
        {2, 1.005, 1.01},          // 1.005 * 100 lands at 100.49999999999999
        {2, 0.29 * 0.5, 0.15},     // a product a representation error below the half
        {2, 1.15 * 3, 3.45},       // 3.4499999999999997
        {2, 2.675, 2.68}, {2, -2.675, -2.68}, {2, 0.0049, 0}, {2, -0.0049, 0},
        {0, 0.5, 1}, {0, -0.5, -1}, {3, 1234.56789, 1234.568}, {2, 123456789.125, 123456789.13},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(RoundDec(c.n, c.x), c.want) << c.n << " " << c.x;
    EXPECT_FALSE(std::signbit(RoundDec(2, -0.001)));
}

TEST(Utils, ProductAndPercentRounding)
{
    EXPECT_DOUBLE_EQ(RoundProduct(2, 0.29, 0.5), 0.15);
    EXPECT_DOUBLE_EQ(RoundProduct(2, 3, 1.15), 3.45);
    EXPECT_DOUBLE_EQ(AddPercentRounded(2, 100, 27), 127);
    EXPECT_DOUBLE_EQ(AddPercentRounded(2, 0.1, 27), 0.13);   // 0.027 rounds to 0.03
    EXPECT_DOUBLE_EQ(AddPercentRounded(2, 1234.56, 27), 1567.89);  // 333.3312 -> 333.33
    EXPECT_DOUBLE_EQ(AddPercentRounded(2, -10, 27), -12.7);
}

TEST(Utils, TextAndNumberHelpers)
{
    EXPECT_TRUE(StrIsOne("1"));
    for (const char* s : {"", "0", " 1", "1 ", "01", "true"}) EXPECT_FALSE(StrIsOne(s)) << s;
    EXPECT_EQ(BoolToDigit(true), "1");
    EXPECT_EQ(BoolToDigit(false), "0");
    struct { const char* text; qint32 want32; qint64 want64; } cases[] = {
        {"42", 42, 42}, {"-17", -17, -17}, {"+5", 5, 5}, {"", 0, 0}, {"12a", 0, 0}, {"1.5", 0, 0},
        {"2147483647", 2147483647, 2147483647LL}, {"2147483648", 0, 2147483648LL},
        {"-2147483648", INT32_MIN, -2147483648LL}, {"9223372036854775808", 0, 0}, {"-", 0, 0}, {"0x10", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrToIntSafe(c.text), c.want32) << c.text;
        EXPECT_EQ(StrToInt64Safe(c.text), c.want64) << c.text;
    }
}

TEST(Utils, CommandLineSwitchInAnyCaseAndInsideLongerArguments)
{
    EXPECT_TRUE(HasCommandLineSwitch({"/VavOdedere"}, "/vavodedere"));
    EXPECT_TRUE(HasCommandLineSwitch({"x", "--/VAVODEDERE=1"}, "/vavodedere"));
    EXPECT_FALSE(HasCommandLineSwitch({"/vav", "odedere"}, "/vavodedere"));
    EXPECT_FALSE(HasCommandLineSwitch({}, "/vavodedere"));
}

TEST(Utils, SimpleIDList)
{
    TListSimpleID list;
    AddSimpleID(list, "G1", "Első");
    AddSimpleID(list, "G1", "Második");
    AddSimpleID(list, "", "x");
    AddSimpleID(list, "G2", "");
    AddSimpleID(list, "G12345678901", QString(60, 'n'));
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].Name, "Második");
    EXPECT_EQ(list[1].ID, "G123456789");
    EXPECT_EQ(list[1].Name.size(), 50);
    EXPECT_EQ(FindSimpleID(list, "g1"), -1);
    EXPECT_EQ(FindSimpleID(list, "G1"), 0);

    TListSimpleID names;
    for (const char* n : {"b", "a", "ab", "Á", "Z"}) AddSimpleID(names, QString::fromUtf8(n) + "id", QString::fromUtf8(n));
    SortSimpleIDByName(names);
    QStringList got;
    SimpleIDNamesToStrings(names, got);
    // Byte order of code page 1250: upper-case ASCII, lower-case ASCII, then accented letters.
    EXPECT_EQ(got, QStringList({"Z", "a", "ab", "b", QString::fromUtf8("Á")}));
}

TEST(Utils, DictionaryAndBarcodeLists)
{
    TListSzotarTetel items{{1, "Akció"}, {2, "AKCIÓ"}, {3, "Újdonság"}};
    QStringList strings{"újdonság"};
    SzotarTetelNamesToStrings(items, strings, false);
    EXPECT_EQ(strings, QStringList({"újdonság", "Akció"}));
    SzotarTetelNamesToStrings(items, strings, true);
    EXPECT_EQ(strings, QStringList({"Akció", "Újdonság"}));

    TListVonalkod codes{MakeVonalkod("K1", "Termék", 1, "db", 1, "abc123"), MakeVonalkod("K2", "", 1, "", 1, QString(60, '9'))};
    EXPECT_EQ(codes[1].VONALKOD.size(), 50);
    EXPECT_EQ(FindVonalkodByText(codes, "ABC123"), 0);
    EXPECT_EQ(FindVonalkodByText(codes, " abc123"), -1);
    EXPECT_EQ(FindVonalkodByText(codes, "nincs"), -1);
}
