#include "IniFile.h"

#include "CodePage.h"

#include <QFile>
#include <QSaveFile>

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
    SetText(DecodeCodePage(f.readAll(), kIniCodePage));
    return true;
}

bool TIniFile::Save() const
{
    QByteArray data;
    for (const QString& l : FLines) {
        data += EncodeCodePage(l, kIniCodePage);
        data += "\r\n";
    }
    QSaveFile f(FFileName);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(data) != data.size()) {
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
    QString s = ReadString(section, key, QString());
    if (s.isEmpty()) return def;
    bool ok = false;
    qint64 v = 0;
    if (s.size() > 2 && s.at(0) == QLatin1Char('0') && (s.at(1) == QLatin1Char('x') || s.at(1) == QLatin1Char('X')))
        v = s.mid(2).toLongLong(&ok, 16);
    else if (s.size() > 1 && s.at(0) == QLatin1Char('$'))
        v = s.mid(1).toLongLong(&ok, 16);
    else
        v = s.toLongLong(&ok, 10);
    if (!ok) return def;
    const bool hex = !s.at(0).isDigit() || (s.size() > 2 && (s.at(1) == QLatin1Char('x') || s.at(1) == QLatin1Char('X')));
    if (v < INT32_MIN || v > (hex ? qint64(UINT32_MAX) : qint64(INT32_MAX))) return def;
    return static_cast<int>(static_cast<qint32>(v));
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
        if (IsSectionLine(l.trimmed(), &name)) {
            bool dup = false;
            for (const QString& s : out) dup = dup || s.compare(name, Qt::CaseInsensitive) == 0;
            if (!dup) out << name;
        }
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
        if (SplitIniLine(FLines.at(i), &name, nullptr)) out << name;
    }
    return out;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    Range r = FindSection(section);
    if (r.header < 0) {
        if (!FLines.isEmpty() && !FLines.back().trimmed().isEmpty()) FLines << QString();
        FLines << QLatin1Char('[') + section + QLatin1Char(']');
        FLines << key + QLatin1Char('=') + value;
        return;
    }
    const int i = FindKey(r, key);
    if (i >= 0) {
        QString name;
        SplitIniLine(FLines.at(i), &name, nullptr);
        FLines[i] = name + QLatin1Char('=') + value;
        return;
    }
    // After the last non-blank line of the section, so blank separators stay where they were.
    int at = r.end;
    while (at - 1 > r.header && FLines.at(at - 1).trimmed().isEmpty()) --at;
    FLines.insert(at, key + QLatin1Char('=') + value);
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
