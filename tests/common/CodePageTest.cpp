#include "CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, HungarianLettersRoundTripIn1250And852)
{
    const QString text = QStringLiteral("árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP");
    for (int cp : {1250, 852}) {
        const QByteArray bytes = EncodeCodePage(text, cp);
        EXPECT_EQ(bytes.size(), text.size()) << cp;
        EXPECT_EQ(DecodeCodePage(bytes, cp), text) << cp;
    }
}

TEST(CodePage, KnownBytes)
{
    struct { int cp; QChar ch; unsigned char byte; } cases[] = {
        {1250, QChar(0x0151), 0xF5}, {1250, QChar(0x0150), 0xD5}, {1250, QChar(0x0171), 0xFB}, {1250, QChar(0x0170), 0xDB},
        {852, QChar(0x0151), 0x8B},  {852, QChar(0x0150), 0x8A},  {852, QChar(0x0171), 0xFB},  {852, QChar(0x0170), 0xEB},
        {1250, QChar(0x00E1), 0xE1}, {852, QChar(0x00E1), 0xA0},
    };
    for (const auto& c : cases) {
        const QByteArray b = EncodeCodePage(QString(c.ch), c.cp);
        ASSERT_EQ(b.size(), 1);
        EXPECT_EQ(static_cast<unsigned char>(b.at(0)), c.byte) << c.cp << " U+" << std::hex << int(c.ch.unicode());
        EXPECT_EQ(DecodeCodePage(b, c.cp), QString(c.ch));
    }
}

TEST(CodePage, UnrepresentableBecomesQuestionMark)
{
    EXPECT_EQ(EncodeCodePage(QStringLiteral("a\u20ACb\u4E2D"), 852), QByteArray("a?b?"));
    EXPECT_EQ(EncodeCodePage(QStringLiteral("\u4E2D"), 1250), QByteArray("?"));
    EXPECT_EQ(EncodeCodePage(QStringLiteral("\u20AC"), 1250), QByteArray("\x80"));
}
