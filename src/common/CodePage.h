#pragma once
// Single-byte code pages at the file boundary.
// Texts live as QString inside the programs; files and tables hold code page 1250
// (the customer master 852). A character the code page cannot hold is written as "?".
#include <QByteArray>
#include <QString>
#include <array>

class TCodePage {
public:
    // The table for a Windows/DOS code page number (1250, 852, 1252, 437, 850, ...).
    // Answers nullptr for a code page we do not know. The object lives for the whole run.
    static const TCodePage* Get(int codePage);

    int Number() const { return FNumber; }
    QString Decode(const char* data, qsizetype len) const;
    QString Decode(const QByteArray& bytes) const { return Decode(bytes.constData(), bytes.size()); }
    // Unrepresentable characters become '?'.
    QByteArray Encode(const QString& text) const;
    char EncodeChar(QChar c) const;

private:
    explicit TCodePage(int number);
    int FNumber;
    std::array<char16_t, 256> FToUnicode{};
    std::array<unsigned char, 65536> FFromUnicode{};  // 0 = not representable (except U+0000)
};

// Convenience wrappers; an unknown code page falls back to Latin-1.
QString DecodeCodePage(const QByteArray& bytes, int codePage);
QByteArray EncodeCodePage(const QString& text, int codePage);
