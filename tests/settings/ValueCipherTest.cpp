#include "ValueCipher.h"

#include "CodePage.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>

#include <thread>

#include <ostream>

// Readable failures: gtest shows QString as its text.

namespace {
const QString* const AllKeys[] = {&KeySettings, &KeyFtp, &KeySync};

QByteArray Bytes(QRandomGenerator& rng, int n)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i) b[i] = static_cast<char>(rng.bounded(256));
    return b;
}
}

TEST(ValueCipher, KeysAreTheBuiltInTexts)
{
    EXPECT_EQ(KeySettings.size(), 35);
    EXPECT_EQ(KeyFtp.size(), 31);
    EXPECT_EQ(KeySync.size(), 30);
    EXPECT_NE(EncryptValue("jelszo", KeySettings), EncryptValue("jelszo", KeyFtp));
    EXPECT_NE(EncryptValue("jelszo", KeyFtp), EncryptValue("jelszo", KeySync));
}

TEST(ValueCipher, EveryLengthUpTo200RoundTripsUnderEachKey)
{
    QRandomGenerator rng(4711);
    for (const QString* key : AllKeys) {
        const QByteArray k = EncodeCodePage(*key, 1250);
        for (int n = 0; n <= 200; ++n) {
            const QByteArray plain = Bytes(rng, n);
            const QByteArray cipher = EncipherBytes(plain, k);
            ASSERT_EQ(cipher.size(), n);
            if (n >= 4) {
                EXPECT_NE(cipher, plain) << n;
            }
            ASSERT_EQ(DecipherBytes(cipher, k), plain) << "length " << n << " key " << key->toStdString();

            // The same through the text interface, on a text of cp1250 letters of this length.
            QString text;
            const QString letters = QStringLiteral("aáeéiíoóöőuúüűAÁEÉIÍOÓÖŐUÚÜŰ09 _=;[]\"'");
            for (int i = 0; i < n; ++i) text += letters.at(rng.bounded(letters.size()));
            const QString stored = EncryptValue(text, *key);
            ASSERT_EQ(stored.size(), 2 * n);
            ASSERT_EQ(DecryptValue(stored, *key), text) << n;
            ASSERT_EQ(DecryptValueRaising(stored, *key), text) << n;
        }
    }
}

TEST(ValueCipher, StoredFormIsUpperCaseHexTwiceAsLong)
{
    EXPECT_EQ(EncryptValue(QString(), KeySettings), QString());
    EXPECT_EQ(DecryptValue(QString(), KeySettings), QString());
    EXPECT_EQ(DecryptValueRaising(QString(), KeySync), QString());

    const QString five = EncryptValue("abcde", KeySettings);
    EXPECT_EQ(five.size(), 10);
    for (int n : {1, 7, 8, 9, 11, 16, 17, 64}) {
        const QString stored = EncryptValue(QString(n, QChar(u'ő')), KeyFtp);
        EXPECT_EQ(stored.size(), 2 * n);
        for (QChar c : stored) EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')) << stored.toStdString();
    }
}

TEST(ValueCipher, SameValueSameTextAndSharedPrefixes)
{
    EXPECT_EQ(EncryptValue("1_UseMinRend", KeySettings), EncryptValue("1_UseMinRend", KeySettings));

    // Values sharing their first 8 bytes share their first 16 digits, and differ after.
    const QString a = EncryptValue("12345678", KeySettings);
    const QString b = EncryptValue("12345678abc", KeySettings);
    const QString c = EncryptValue("12345678abd", KeySettings);
    EXPECT_EQ(b.left(16), a);
    EXPECT_EQ(c.left(16), a);
    EXPECT_EQ(b.left(20), c.left(20));
    EXPECT_NE(b, c);
    // One differing byte in the first block changes the whole block and all that follows.
    const QString d = EncryptValue("12345679abc", KeySettings);
    EXPECT_NE(d.left(16), a);
    EXPECT_NE(d.mid(16), b.mid(16));

    // The byte step also keeps prefixes: "1_Use" is the start of "1_UseMi".
    EXPECT_EQ(EncryptValue("1_UseMi", KeySettings).left(10), EncryptValue("1_Use", KeySettings));
}

TEST(ValueCipher, LowerCaseAndOddLengthTextsDecipher)
{
    const QString value = QStringLiteral("Árvíztűrő tükörfúrógép");
    for (const QString* key : AllKeys) {
        const QString stored = EncryptValue(value, *key);
        EXPECT_EQ(DecryptValue(stored.toLower(), *key), value);
        EXPECT_EQ(DecryptValue(stored + QLatin1Char('7'), *key), value);
        EXPECT_EQ(DecryptValue(stored.toLower() + QLatin1Char('f'), *key), value);
        EXPECT_EQ(DecryptValueRaising(stored + QLatin1Char('A'), *key), value);
        // One digit dropped from a whole pair: the last byte is gone.
        EXPECT_EQ(DecryptValue(stored.left(stored.size() - 1), *key), value.left(value.size() - 1));
    }
    EXPECT_EQ(DecryptValue(QStringLiteral("7"), KeySettings), QString());
}

TEST(ValueCipher, BadTextsAndKeysAreRefused)
{
    const QString good = EncryptValue("titok", KeyFtp);
    const QString bad[] = {
        good + QLatin1Char('G'), QLatin1Char(' ') + good, good.left(4) + QLatin1Char('X') + good.mid(4),
        QLatin1Char('$') + good, good + QLatin1Char('-'), QStringLiteral("0x12"), QStringLiteral("é1"),
        good.left(6) + QStringLiteral("\u0151") + good.mid(6),
    };
    for (const QString& s : bad) {
        EXPECT_EQ(DecryptValue(s, KeyFtp), QString()) << s.toStdString();
        EXPECT_THROW(DecryptValueRaising(s, KeyFtp), EDecryptError) << s.toStdString();
    }

    const QString key56(56, QLatin1Char('k'));
    const QString key57(57, QLatin1Char('k'));
    const QString at56 = EncryptValue("titok", key56);
    EXPECT_EQ(at56.size(), 10);
    EXPECT_EQ(DecryptValue(at56, key56), QStringLiteral("titok"));
    EXPECT_EQ(EncryptValue("titok", key57), QString());
    EXPECT_EQ(DecryptValue(at56, key57), QString());
    EXPECT_THROW(DecryptValueRaising(at56, key57), EDecryptError);
    EXPECT_THROW(DecryptValueRaising(at56, QString()), EDecryptError);
    // A key counts in bytes of code page 1250: 56 accented letters are 56 bytes.
    EXPECT_EQ(DecryptValue(EncryptValue("titok", QString(56, QChar(u'ű'))), QString(56, QChar(u'ű'))), QStringLiteral("titok"));
}

TEST(ValueCipher, WrongKeyGivesTextOfTheRightLength)
{
    const QString stored = EncryptValue("Jelszó123", KeyFtp);
    const QString wrong = DecryptValue(stored, KeySync);
    EXPECT_EQ(wrong.size(), 9);
    EXPECT_NE(wrong, QStringLiteral("Jelszó123"));
}

TEST(ValueCipher, ManyKeysInTurnAndFromTwoThreads)
{
    // More keys in turn than the schedules kept, and each answer stays that key's.
    QStringList keys{KeySettings, KeyFtp, KeySync};
    for (int i = 0; i < 5; ++i) keys << QStringLiteral("kulcs-%1").arg(i);
    QStringList first;
    for (const QString& k : keys) first << EncryptValue("Jelszó", k);
    EXPECT_EQ(first.removeDuplicates(), 0);
    for (int round = 0; round < 3; ++round)
        for (int i = keys.size() - 1; i >= 0; --i) {
            EXPECT_EQ(EncryptValue("Jelszó", keys.at(i)), first.at(i)) << i;
            EXPECT_EQ(DecryptValue(first.at(i), keys.at(i)), QStringLiteral("Jelszó")) << i;
        }

    bool otherOk = true;
    std::thread other([&] {
        for (int n = 0; n < 300; ++n)
            otherOk = otherOk && DecryptValueRaising(first.at(n % keys.size()), keys.at(n % keys.size())) == QStringLiteral("Jelszó");
    });
    for (int n = 0; n < 300; ++n) EXPECT_EQ(EncryptValue("Jelszó", keys.at((n * 5) % keys.size())), first.at((n * 5) % keys.size()));
    other.join();
    EXPECT_TRUE(otherOk);
}
