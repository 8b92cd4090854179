#include "ValueCipher.h"

#include "CodePage.h"

#include <nettle/blowfish.h>

#include <array>
#include <cstdint>
#include <cstring>

const QString KeySettings = QStringLiteral("HaZeLnUtFoReStGl_Plk246WSX819Vcd357");
const QString KeyFtp = QStringLiteral("VarmFtpzxc864MNB231POI975Lkj208");
const QString KeySync = QStringLiteral("VttlLynIlax_y1X8e7D4h1S8x3C4a4");

namespace {
using TBlock = std::array<uint8_t, BLOWFISH_BLOCK_SIZE>;

const TCodePage& Cp1250()
{
    static const TCodePage* cp = TCodePage::Get(1250);
    return *cp;
}

// One keyed cipher with its chaining value F, which starts as E(eight bytes 0xFF).
class TChain {
public:
    explicit TChain(const QByteArray& key)
    {
        if (key.isEmpty() || key.size() > BLOWFISH_MAX_KEY_SIZE)
            throw EDecryptError(key.isEmpty() ? "A kulcs üres." : "A kulcs hosszabb 56 bájtnál.");
        FCtx = &Schedule(key);
        F.fill(0xFF);
        F = Encipher(F);
    }

    TBlock Encipher(const TBlock& in) const
    {
        TBlock out;
        blowfish_encrypt(FCtx, out.size(), out.data(), in.data());
        return out;
    }
    TBlock Decipher(const TBlock& in) const
    {
        TBlock out;
        blowfish_decrypt(FCtx, out.size(), out.data(), in.data());
        return out;
    }

    // Byte step: the keystream byte for the next single byte, then F moves on by cipher byte c.
    uint8_t KeyByte() const { return Encipher(F)[0]; }
    void ShiftIn(uint8_t c)
    {
        const uint8_t last = F[7];
        std::memmove(F.data(), F.data() + 1, F.size() - 1);
        F[7] = last ^ c;
    }

    TBlock F;

private:
    // The key schedule depends on the key bytes alone, and nettle's takes some 150 µs (its
    // weak-key test included), so the schedules of the last few keys are kept per thread. The
    // chaining value starts afresh for every value: nothing else carries over between calls.
    static const blowfish_ctx& Schedule(const QByteArray& key)
    {
        struct TEntry {
            QByteArray key;
            blowfish_ctx ctx;
        };
        thread_local std::array<TEntry, 4> cache;
        thread_local size_t next = 0;
        for (const TEntry& e : cache)
            if (!e.key.isEmpty() && e.key == key) return e.ctx;
        TEntry& e = cache[next];
        next = (next + 1) % cache.size();
        // nettle answers 0 for a weak key; the schedule is complete all the same, and the
        // stored forms must not depend on the weakness test.
        blowfish_set_key(&e.ctx, static_cast<size_t>(key.size()), reinterpret_cast<const uint8_t*>(key.constData()));
        e.key = key;
        return e.ctx;
    }

    const blowfish_ctx* FCtx = nullptr;
};

TBlock Xor(const TBlock& a, const TBlock& b)
{
    TBlock r;
    for (size_t i = 0; i < r.size(); ++i) r[i] = a[i] ^ b[i];
    return r;
}

TBlock BlockAt(const QByteArray& data, qsizetype pos)
{
    TBlock b;
    std::memcpy(b.data(), data.constData() + pos, b.size());
    return b;
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    return -1;
}

QByteArray HexToBytes(const QString& stored)
{
    for (QChar c : stored)
        if (HexDigit(c) < 0) throw EDecryptError("A titkosított érték nem hexadecimális szöveg.");
    QByteArray out;
    out.reserve(stored.size() / 2);
    for (qsizetype i = 0; i + 1 < stored.size(); i += 2)
        out.append(static_cast<char>(HexDigit(stored.at(i)) << 4 | HexDigit(stored.at(i + 1))));
    return out;
}
}

QByteArray EncipherBytes(const QByteArray& plain, const QByteArray& key)
{
    TChain chain(key);
    QByteArray out(plain.size(), Qt::Uninitialized);
    const qsizetype whole = plain.size() / BLOWFISH_BLOCK_SIZE * BLOWFISH_BLOCK_SIZE;
    for (qsizetype pos = 0; pos < whole; pos += BLOWFISH_BLOCK_SIZE) {
        const TBlock c = chain.Encipher(Xor(BlockAt(plain, pos), chain.F));
        chain.F = Xor(c, chain.F);
        std::memcpy(out.data() + pos, c.data(), c.size());
    }
    for (qsizetype pos = whole; pos < plain.size(); ++pos) {
        const uint8_t c = static_cast<uint8_t>(plain.at(pos)) ^ chain.KeyByte();
        chain.ShiftIn(c);
        out[pos] = static_cast<char>(c);
    }
    return out;
}

QByteArray DecipherBytes(const QByteArray& cipher, const QByteArray& key)
{
    TChain chain(key);
    QByteArray out(cipher.size(), Qt::Uninitialized);
    const qsizetype whole = cipher.size() / BLOWFISH_BLOCK_SIZE * BLOWFISH_BLOCK_SIZE;
    for (qsizetype pos = 0; pos < whole; pos += BLOWFISH_BLOCK_SIZE) {
        const TBlock c = BlockAt(cipher, pos);
        const TBlock p = Xor(chain.Decipher(c), chain.F);
        chain.F = Xor(c, chain.F);
        std::memcpy(out.data() + pos, p.data(), p.size());
    }
    for (qsizetype pos = whole; pos < cipher.size(); ++pos) {
        const uint8_t c = static_cast<uint8_t>(cipher.at(pos));
        const uint8_t k = chain.KeyByte();
        chain.ShiftIn(c);
        out[pos] = static_cast<char>(c ^ k);
    }
    return out;
}

QString EncryptValue(const QString& value, const QString& key)
{
    try {
        return QString::fromLatin1(EncipherBytes(Cp1250().Encode(value), Cp1250().Encode(key)).toHex().toUpper());
    } catch (const EDecryptError&) {
        return QString();
    }
}

QString DecryptValueRaising(const QString& stored, const QString& key)
{
    const QByteArray bytes = HexToBytes(stored);
    return Cp1250().Decode(DecipherBytes(bytes, Cp1250().Encode(key)));
}

QString DecryptValue(const QString& stored, const QString& key)
{
    try {
        return DecryptValueRaising(stored, key);
    } catch (const EDecryptError&) {
        return QString();
    }
}
