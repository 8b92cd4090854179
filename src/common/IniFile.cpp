#include "IniFile.h"

#include "CodePage.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <cstdint>

namespace {
const int kIniCodePage = 1250;

bool IsSectionLine(const QString& trimmed, QString* name)
{
    if (!trimmed.startsWith(QLatin1Char('['))) return false;
    const int close = trimmed.indexOf(QLatin1Char(']'));
    if (name) *name = (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
    return true;
}

QString Unquote(const QString& v)
{
    if (v.size() >= 2) {
        const QChar f = v.front();
        if ((f == QLatin1Char('"') || f == QLatin1Char('\'')) && v.back() == f) return v.mid(1, v.size() - 2);
    }
    return v;
}

// A written name or value stays on its one line.
QString OneLine(const QString& s)
{
    if (!s.contains(QLatin1Char('\r')) && !s.contains(QLatin1Char('\n'))) return s;
    QString t = s;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t;
}

QString DecodeFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) return QStringDecoder(QStringConverter::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF")) return QStringDecoder(QStringConverter::Utf16BE).decode(bytes.mid(2));
    return DecodeCodePage(bytes, kIniCodePage);
}

bool ParseInteger(const QString& s, int* out)
{
    if (s.isEmpty()) return false;
    int pos = 0;
    bool negative = false;
    if (s.at(0) == QLatin1Char('-') || s.at(0) == QLatin1Char('+')) {
        negative = s.at(0) == QLatin1Char('-');
        pos = 1;
    }
    bool hex = false;
    if (s.mid(pos, 1) == QLatin1String("$")) {
        hex = true;
        pos += 1;
    } else if (s.mid(pos, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) {
        hex = true;
        pos += 2;
    }
    const QString digits = s.mid(pos);
    if (digits.isEmpty()) return false;
    qint64 v = 0;
    for (QChar c : digits) {
        int d = -1;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) d = c.unicode() - '0';
        else if (hex && c >= QLatin1Char('a') && c <= QLatin1Char('f')) d = c.unicode() - 'a' + 10;
        else if (hex && c >= QLatin1Char('A') && c <= QLatin1Char('F')) d = c.unicode() - 'A' + 10;
        if (d < 0) return false;
        v = v * (hex ? 16 : 10) + d;
        if (v > qint64(UINT32_MAX)) return false;
    }
    if (hex) {
        // 32 bits of hexadecimal are the integer's bit pattern.
        const qint32 bits = static_cast<qint32>(static_cast<quint32>(v));
        *out = static_cast<qint32>(negative ? -qint64(bits) : qint64(bits));
        return true;
    }
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    *out = static_cast<int>(v);
    return true;
}
}

bool SplitIniLine(const QString& line, QString* name, QString* value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('['))) return false;
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) return false;
    if (name) *name = t.left(eq).trimmed();
    if (value) *value = t.mid(eq + 1).trimmed();
    return true;
}

TIniFile::TIniFile(const QString& fileName) : FFileName(fileName)
{
    Load();
}

void TIniFile::SetText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    FLines = t.split(QLatin1Char('\n'));
    if (!FLines.isEmpty() && FLines.back().isEmpty()) FLines.removeLast();
}

bool TIniFile::Load()
{
    FLines.clear();
    QFile f(FFileName);
    if (!f.exists()) return true;
    if (!f.open(QIODevice::ReadOnly)) return false;
    SetText(DecodeFile(f.readAll()));
    return true;
}

bool TIniFile::Write(QIODevice& device) const
{
    QByteArray data;
    for (const QString& l : FLines) {
        data += EncodeCodePage(l, kIniCodePage);
        data += "\r\n";
    }
    return device.write(data) == data.size();
}

bool TIniFile::Save() const
{
    QSaveFile f(FFileName);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (!Write(f)) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

TIniFile::Range TIniFile::FindSection(const QString& section) const
{
    Range r;
    for (int i = 0; i < FLines.size(); ++i) {
        QString name;
        if (!IsSectionLine(FLines.at(i).trimmed(), &name)) continue;
        if (r.header >= 0) {
            r.end = i;
            return r;
        }
        if (name.compare(section, Qt::CaseInsensitive) == 0) r.header = i;
    }
    if (r.header >= 0) r.end = FLines.size();
    return r;
}

int TIniFile::FindKey(const Range& r, const QString& key) const
{
    if (r.header < 0) return -1;
    for (int i = r.header + 1; i < r.end; ++i) {
        QString name;
        if (SplitIniLine(FLines.at(i), &name, nullptr) && name.compare(key, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

QString TIniFile::ReadRawString(const QString& section, const QString& key, const QString& def) const
{
    const int i = FindKey(FindSection(section), key);
    if (i < 0) return def;
    QString value;
    SplitIniLine(FLines.at(i), nullptr, &value);
    return value;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    const int i = FindKey(FindSection(section), key);
    if (i < 0) return def;
    QString value;
    SplitIniLine(FLines.at(i), nullptr, &value);
    return Unquote(value);
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const
{
    int v = 0;
    return ParseInteger(ReadString(section, key, QString()), &v) ? v : def;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(const QString& section) const
{
    return FindSection(section).header >= 0;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const
{
    return FindKey(FindSection(section), key) >= 0;
}

QStringList TIniFile::Sections() const
{
    QStringList out;
    for (const QString& l : FLines) {
        QString name;
        if (IsSectionLine(l.trimmed(), &name) && !out.contains(name, Qt::CaseInsensitive)) out << name;
    }
    return out;
}

QStringList TIniFile::Keys(const QString& section) const
{
    QStringList out;
    const Range r = FindSection(section);
    if (r.header < 0) return out;
    for (int i = r.header + 1; i < r.end; ++i) {
        QString name;
        if (SplitIniLine(FLines.at(i), &name, nullptr) && !out.contains(name, Qt::CaseInsensitive)) out << name;
    }
    return out;
}

QVector<TIniEntry> TIniFile::Entries() const
{
    QVector<TIniEntry> out;
    QString section;
    bool inSection = false;
    for (const QString& l : FLines) {
        QString name, value;
        if (IsSectionLine(l.trimmed(), &name)) {
            section = name;
            inSection = true;
        } else if (inSection && SplitIniLine(l, &name, &value)) {
            out.push_back({section, name, value});
        }
    }
    return out;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString sec = OneLine(section);
    const QString k = OneLine(key);
    const QString v = OneLine(value);
    Range r = FindSection(sec);
    if (r.header < 0) {
        if (!FLines.isEmpty() && !FLines.back().trimmed().isEmpty()) FLines << QString();
        FLines << QLatin1Char('[') + sec + QLatin1Char(']');
        FLines << k + QLatin1Char('=') + v;
        return;
    }
    const int i = FindKey(r, k);
    if (i >= 0) {
        QString name;
        SplitIniLine(FLines.at(i), &name, nullptr);
        FLines[i] = name + QLatin1Char('=') + v;
        return;
    }
    // After the section's last key, so that blank lines and the comments in front of the next
    // section stay where they were; a section without keys gets it after its last non-blank line.
    int at = -1;
    for (int j = r.header + 1; j < r.end; ++j)
        if (SplitIniLine(FLines.at(j), nullptr, nullptr)) at = j + 1;
    if (at < 0) {
        at = r.end;
        while (at - 1 > r.header && FLines.at(at - 1).trimmed().isEmpty()) --at;
    }
    FLines.insert(at, k + QLatin1Char('=') + v);
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::DeleteKey(const QString& section, const QString& key)
{
    const int i = FindKey(FindSection(section), key);
    if (i >= 0) FLines.removeAt(i);
}

void TIniFile::EraseSection(const QString& section)
{
    for (;;) {
        const Range r = FindSection(section);
        if (r.header < 0) return;
        FLines.erase(FLines.begin() + r.header, FLines.begin() + r.end);
    }
}
