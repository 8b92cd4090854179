#include "CodePage.h"

#include <QStringDecoder>
#include <map>
#include <memory>
#include <mutex>

namespace {
QByteArray CodecName(int cp)
{
    switch (cp) {
    case 437: case 737: case 775: case 850: case 852: case 855: case 857: case 858:
    case 860: case 861: case 862: case 863: case 864: case 865: case 866: case 869:
        return "IBM" + QByteArray::number(cp);
    case 874: return "windows-874";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    default:
        if (cp >= 1250 && cp <= 1258) return "windows-" + QByteArray::number(cp);
        return QByteArray();
    }
}
}

TCodePage::TCodePage(int number) : FNumber(number)
{
    QStringDecoder dec(CodecName(number).constData());
    for (int b = 0; b < 256; ++b) {
        const char ch = static_cast<char>(b);
        QString s = dec.isValid() ? dec.decode(QByteArrayView(&ch, 1)) : QString(QChar(b));
        dec.resetState();
        char16_t u = s.isEmpty() ? u'?' : s.at(0).unicode();
        if (u == 0xFFFD) u = static_cast<char16_t>(b < 128 ? b : '?');
        FToUnicode[b] = u;
    }
    // Lower bytes win over higher ones where two bytes decode to the same character.
    for (int b = 255; b >= 1; --b) FFromUnicode[FToUnicode[b]] = static_cast<unsigned char>(b);
}

const TCodePage* TCodePage::Get(int codePage)
{
    static std::mutex lock;
    static std::map<int, std::unique_ptr<TCodePage>> tables;
    if (CodecName(codePage).isEmpty()) return nullptr;
    std::lock_guard<std::mutex> guard(lock);
    auto& slot = tables[codePage];
    if (!slot) slot.reset(new TCodePage(codePage));
    return slot.get();
}

QString TCodePage::Decode(const char* data, qsizetype len) const
{
    QString out(len, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < len; ++i)
        dst[i] = QChar(FToUnicode[static_cast<unsigned char>(data[i])]);
    return out;
}

char TCodePage::EncodeChar(QChar c) const
{
    const char16_t u = c.unicode();
    if (u == 0) return 0;
    const unsigned char b = FFromUnicode[u];
    return b ? static_cast<char>(b) : '?';
}

QByteArray TCodePage::Encode(const QString& text) const
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char* dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) dst[i] = EncodeChar(text.at(i));
    return out;
}

QString DecodeCodePage(const QByteArray& bytes, int codePage)
{
    if (const TCodePage* cp = TCodePage::Get(codePage)) return cp->Decode(bytes);
    return QString::fromLatin1(bytes);
}

QByteArray EncodeCodePage(const QString& text, int codePage)
{
    if (const TCodePage* cp = TCodePage::Get(codePage)) return cp->Encode(text);
    return text.toLatin1();
}
