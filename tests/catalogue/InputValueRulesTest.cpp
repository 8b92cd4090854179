#include "InputValueRules.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {
TEST(InputValueRules, CartonKeySwitchesOnlyWithAFactorAndNeverReachesTheBox)
{
    InputCartonFactor = 12;
    InputUnitLabel = "darab";
    TInputValueRules r;
    EXPECT_EQ(r.Start(TInputKind::Number), "darab");
    QString label;
    EXPECT_TRUE(r.CartonKey("k", &label));
    EXPECT_EQ(label, "karton");
    EXPECT_EQ(r.EnterNumber(3), TInputValueRules::Accepted);
    EXPECT_EQ(InputResult, QVariant(36.0));
    EXPECT_TRUE(r.CartonKey("K", &label));
    EXPECT_EQ(label, "darab");
    EXPECT_EQ(r.EnterNumber(3), TInputValueRules::Accepted);
    EXPECT_EQ(InputResult, QVariant(3.0));
    EXPECT_FALSE(r.CartonKey("3", &label));

    r.Close();
    EXPECT_EQ(InputCartonFactor, 0);
    EXPECT_EQ(InputUnitLabel, "");
    label = "unchanged";
    EXPECT_TRUE(r.CartonKey("k", &label));  // swallowed, but no switch without a factor
    EXPECT_EQ(label, "unchanged");
    EXPECT_FALSE(r.CartonMode());
}

TEST(InputValueRules, EveryStartIsInPieceModeWithNoResult)
{
    InputCartonFactor = 6;
    TInputValueRules r;
    r.Start(TInputKind::Number);
    r.CartonKey("k", nullptr);
    ASSERT_TRUE(r.CartonMode());
    r.EnterNumber(2);
    r.Start(TInputKind::Number);
    EXPECT_FALSE(r.CartonMode());
    EXPECT_FALSE(InputResult.isValid());
    r.Close();
}

TEST(InputValueRules, NegativeNumberResetsTheBoxThenShowsTooSmall)
{
    TRecordingMessages messages;
    TInputValueRules r;
    r.Start(TInputKind::Number);
    int shownWhenReset = -1;
    EXPECT_EQ(r.EnterNumber(-1, [&] { shownWhenReset = int(messages.shown.size()); }), TInputValueRules::TooSmall);
    EXPECT_EQ(shownWhenReset, 0);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, "ShowMsg");
    EXPECT_EQ(messages.shown[0].title, "Hiba");
    EXPECT_EQ(messages.shown[0].text, "Túl kicsi szám");
    EXPECT_FALSE(InputResult.isValid());
    EXPECT_EQ(r.EnterNumber(0), TInputValueRules::Accepted);
    EXPECT_EQ(InputResult, QVariant(0.0));
}

TEST(InputValueRules, TextKindIgnoresAnEmptyText)
{
    TInputValueRules r;
    r.Start(TInputKind::Text);
    EXPECT_EQ(r.EnterText(""), TInputValueRules::Ignored);
    EXPECT_FALSE(InputResult.isValid());
    EXPECT_EQ(r.EnterText("5990001"), TInputValueRules::Accepted);
    EXPECT_EQ(InputResult, QVariant(QStringLiteral("5990001")));
}
}  // namespace
