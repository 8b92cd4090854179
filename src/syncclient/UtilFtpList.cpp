#include "UtilFtpList.h"

#include "CodePage.h"

#include <QTimeZone>
#include <functional>

namespace {

struct TToken {
    QByteArray text;
    qsizetype end = 0;  // one past the token's last byte in the line
};

QVector<TToken> Tokenize(const QByteArray& line, int maxTokens)
{
    QVector<TToken> out;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n && out.size() < maxTokens) {
        while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= n) break;
        qsizetype start = i;
        while (i < n && line[i] != ' ' && line[i] != '\t') ++i;
        out.append({line.mid(start, i - start), i});
    }
    return out;
}

bool AllDigits(const QByteArray& s)
{
    if (s.isEmpty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

QString DecodeName(const QByteArray& raw)
{
    const QString utf = QString::fromUtf8(raw);
    if (utf.toUtf8() == raw) return utf;
    return DecodeCodePage(raw, 1250);
}

// What a layout collects while it reads a line's fields.
struct TParsed {
    TFtpEntryKind kind = TFtpEntryKind::File;
    bool kindSet = false;
    qint64 size = -1;
    int year = -1, month = 0, day = 0, hour = 0, minute = 0;
    bool yearFromClock = false;
};

enum class TField { Perm, Num, Any, Size, Month, Day, TimeOrYear, DosDate, DosTime, DosSize };

bool ReadSize(const QByteArray& t, TParsed& p)
{
    if (!AllDigits(t) || t.size() > 18) return false;
    p.size = t.toLongLong();
    return true;
}

bool ReadField(TField f, const QByteArray& t, TParsed& p)
{
    switch (f) {
    case TField::Perm: {
        if (t.size() < 10 || t.size() > 11) return false;
        const char k = t[0];
        if (!QByteArray("-dlbcpsD").contains(k)) return false;
        for (int i = 1; i < 10; ++i)
            if (!QByteArray("-rwxsStTlL").contains(t[i])) return false;
        if (t.size() == 11 && !QByteArray("+@.").contains(t[10])) return false;
        p.kind = k == 'd' || k == 'D' ? TFtpEntryKind::Folder : k == 'l' ? TFtpEntryKind::Link : TFtpEntryKind::File;
        // Devices, pipes and sockets are not files to fetch.
        if (k == 'b' || k == 'c' || k == 'p' || k == 's') p.kind = TFtpEntryKind::Link;
        p.kindSet = true;
        return true;
    }
    case TField::Num: return AllDigits(t);
    case TField::Any: return !t.isEmpty();
    case TField::Size: return ReadSize(t, p);
    case TField::Month: {
        static const char* names[] = {"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
        const QByteArray low = t.toLower();
        for (int i = 0; i < 12; ++i)
            if (low == names[i]) { p.month = i + 1; return true; }
        return false;
    }
    case TField::Day: {
        if (!AllDigits(t) || t.size() > 2) return false;
        p.day = t.toInt();
        return p.day >= 1 && p.day <= 31;
    }
    case TField::TimeOrYear: {
        if (t.size() == 4 && AllDigits(t)) {
            p.year = t.toInt();
            return true;
        }
        const int colon = t.indexOf(':');
        if (colon < 1 || colon > 2 || t.size() != colon + 3) return false;
        const QByteArray h = t.left(colon), m = t.mid(colon + 1);
        if (!AllDigits(h) || !AllDigits(m)) return false;
        p.hour = h.toInt();
        p.minute = m.toInt();
        p.yearFromClock = true;
        return p.hour < 24 && p.minute < 60;
    }
    case TField::DosDate: {
        const QList<QByteArray> parts = t.split(t.contains('-') ? '-' : '/');
        if (parts.size() != 3) return false;
        for (const QByteArray& x : parts)
            if (!AllDigits(x)) return false;
        if (parts[0].size() > 2 || parts[1].size() > 2) return false;
        p.month = parts[0].toInt();
        p.day = parts[1].toInt();
        if (parts[2].size() == 2) {
            const int y = parts[2].toInt();
            p.year = y < 70 ? 2000 + y : 1900 + y;
        } else if (parts[2].size() == 4) {
            p.year = parts[2].toInt();
        } else {
            return false;
        }
        return true;
    }
    case TField::DosTime: {
        QByteArray s = t.toUpper();
        int ampm = 0;
        if (s.endsWith("AM")) ampm = 1;
        else if (s.endsWith("PM")) ampm = 2;
        if (ampm) s.chop(2);
        const int colon = s.indexOf(':');
        if (colon < 1 || colon > 2 || s.size() != colon + 3) return false;
        const QByteArray h = s.left(colon), m = s.mid(colon + 1);
        if (!AllDigits(h) || !AllDigits(m)) return false;
        int hour = h.toInt();
        p.minute = m.toInt();
        if (p.minute > 59) return false;
        if (ampm) {
            if (hour < 1 || hour > 12) return false;
            if (hour == 12) hour = 0;
            if (ampm == 2) hour += 12;
        } else if (hour > 23) {
            return false;
        }
        p.hour = hour;
        return true;
    }
    case TField::DosSize:
        if (t.toUpper() == "<DIR>") {
            p.kind = TFtpEntryKind::Folder;
            p.kindSet = true;
            p.size = 0;
            return true;
        }
        return ReadSize(t, p);
    }
    return false;
}

struct TLayout {
    const char* name;
    std::initializer_list<TField> fields;  // followed by the name, the rest of the line
};

// The line layouts, tried in this order; the first that reads every field wins.
const TLayout kLayouts[] = {
    {"unix", {TField::Perm, TField::Num, TField::Any, TField::Any, TField::Size, TField::Month, TField::Day, TField::TimeOrYear}},
    {"unix-nogroup", {TField::Perm, TField::Num, TField::Any, TField::Size, TField::Month, TField::Day, TField::TimeOrYear}},
    {"unix-nolinks", {TField::Perm, TField::Any, TField::Any, TField::Size, TField::Month, TField::Day, TField::TimeOrYear}},
    {"dos", {TField::DosDate, TField::DosTime, TField::DosSize}},
};

bool BuildDateTime(TParsed& p, const QDateTime& now, QDateTime* out)
{
    int year = p.year;
    if (p.yearFromClock) {
        year = now.date().year();
        QDate d(year, p.month, p.day);
        if (d.isValid() && d > now.date().addDays(1)) year -= 1;
    }
    const QDate d(year, p.month, p.day);
    if (!d.isValid()) return false;
    *out = QDateTime(d, QTime(p.hour, p.minute));
    return out->isValid();
}

} // namespace

bool ParseListLine(const QByteArray& rawLine, const QDateTime& now, TFtpListEntry* entry, bool* skip)
{
    *skip = false;
    QByteArray line = rawLine;
    while (line.endsWith('\r') || line.endsWith('\n')) line.chop(1);
    if (line.trimmed().isEmpty()) { *skip = true; return false; }
    {
        const QVector<TToken> head = Tokenize(line, 3);
        if (head.size() == 2 && head[0].text.toLower() == "total" && AllDigits(head[1].text)) { *skip = true; return false; }
    }
    for (const TLayout& layout : kLayouts) {
        const int count = int(layout.fields.size());
        const QVector<TToken> tokens = Tokenize(line, count);
        if (tokens.size() < count) continue;
        TParsed p;
        bool ok = true;
        int i = 0;
        for (TField f : layout.fields) {
            if (!ReadField(f, tokens[i].text, p)) { ok = false; break; }
            ++i;
        }
        if (!ok) continue;
        const qsizetype nameStart = tokens[count - 1].end + 1;
        if (nameStart > line.size()) continue;
        QByteArray name = line.mid(nameStart);
        if (p.kind == TFtpEntryKind::Folder) name = name.trimmed();
        if (p.kind == TFtpEntryKind::Link) {
            const qsizetype arrow = name.indexOf(" -> ");
            if (arrow >= 0) name = name.left(arrow);
        }
        if (name.isEmpty()) continue;
        QDateTime dt;
        if (!BuildDateTime(p, now, &dt)) continue;
        if (name == "." || name == "..") { *skip = true; return false; }
        entry->RawName = name;
        entry->Name = DecodeName(name);
        entry->Kind = p.kind;
        entry->Size = p.size < 0 ? 0 : p.size;
        entry->DateTime = dt;
        return true;
    }
    return false;
}

bool ParseMlsdLine(const QByteArray& rawLine, TFtpListEntry* entry, bool* skip)
{
    *skip = false;
    QByteArray line = rawLine;
    while (line.endsWith('\r') || line.endsWith('\n')) line.chop(1);
    if (line.trimmed().isEmpty()) { *skip = true; return false; }
    const qsizetype space = line.indexOf(' ');
    if (space < 0) return false;
    const QByteArray facts = line.left(space);
    const QByteArray name = line.mid(space + 1);
    if (name.isEmpty()) return false;
    QByteArray type;
    qint64 size = -1;
    QDateTime dt;
    bool badFact = false;
    for (const QByteArray& fact : facts.split(';')) {
        if (fact.isEmpty()) continue;
        const qsizetype eq = fact.indexOf('=');
        if (eq <= 0) { badFact = true; continue; }
        const QByteArray key = fact.left(eq).toLower();
        const QByteArray value = fact.mid(eq + 1);
        if (key == "type") {
            type = value.toLower();
        } else if (key == "size") {
            if (!AllDigits(value) || value.size() > 18) badFact = true;
            else size = value.toLongLong();
        } else if (key == "modify") {
            const QByteArray whole = value.left(14);
            if (whole.size() != 14 || !AllDigits(whole)) { badFact = true; continue; }
            const QDate d(whole.left(4).toInt(), whole.mid(4, 2).toInt(), whole.mid(6, 2).toInt());
            const QTime t(whole.mid(8, 2).toInt(), whole.mid(10, 2).toInt(), whole.mid(12, 2).toInt());
            if (!d.isValid() || !t.isValid()) { badFact = true; continue; }
            dt = QDateTime(d, t, QTimeZone::utc()).toLocalTime();
        }
    }
    if (type == "cdir" || type == "pdir") { *skip = true; return false; }
    if (badFact || type.isEmpty()) return false;
    if (name == "." || name == "..") { *skip = true; return false; }
    if (type == "file") {
        if (size < 0) return false;
        entry->Kind = TFtpEntryKind::File;
    } else if (type == "dir") {
        entry->Kind = TFtpEntryKind::Folder;
    } else {
        entry->Kind = TFtpEntryKind::Link;  // OS.unix=symlink and the like: never fetched
    }
    entry->RawName = name;
    entry->Name = DecodeName(name);
    entry->Size = size < 0 ? 0 : size;
    entry->DateTime = dt;
    return true;
}

TFtpListing ParseFtpListing(const QByteArray& text, bool mlsd, const QDateTime& now)
{
    TFtpListing out;
    for (const QByteArray& line : text.split('\n')) {
        TFtpListEntry e;
        bool skip = false;
        const bool ok = mlsd ? ParseMlsdLine(line, &e, &skip) : ParseListLine(line, now, &e, &skip);
        if (ok) out.Entries.append(e);
        else if (!skip) ++out.UnreadableLines;
    }
    return out;
}

namespace {
QChar Fold(QChar c) { return c.toLower(); }

// Reads a bracketed set at mask[i] ('['); answers the index after ']' or -1 when unclosed.
qsizetype MatchSet(const QString& mask, qsizetype i, QChar c, bool* matched)
{
    qsizetype j = i + 1;
    bool negate = false;
    if (j < mask.size() && mask[j] == QLatin1Char('!')) { negate = true; ++j; }
    bool hit = false;
    bool first = true;
    while (j < mask.size() && (mask[j] != QLatin1Char(']') || first)) {
        first = false;
        QChar lo = Fold(mask[j]);
        QChar hi = lo;
        if (j + 2 < mask.size() && mask[j + 1] == QLatin1Char('-') && mask[j + 2] != QLatin1Char(']')) {
            hi = Fold(mask[j + 2]);
            j += 2;
        }
        const QChar fc = Fold(c);
        if (fc >= lo && fc <= hi) hit = true;
        ++j;
    }
    if (j >= mask.size()) return -1;
    *matched = hit != negate;
    return j + 1;
}

bool MatchFrom(const QString& name, qsizetype n, const QString& mask, qsizetype m)
{
    while (m < mask.size()) {
        const QChar mc = mask[m];
        if (mc == QLatin1Char('*')) {
            while (m < mask.size() && mask[m] == QLatin1Char('*')) ++m;
            if (m == mask.size()) return true;
            for (qsizetype k = n; k <= name.size(); ++k)
                if (MatchFrom(name, k, mask, m)) return true;
            return false;
        }
        if (n >= name.size()) return false;
        if (mc == QLatin1Char('?')) {
            ++n; ++m;
            continue;
        }
        if (mc == QLatin1Char('[')) {
            bool matched = false;
            const qsizetype next = MatchSet(mask, m, name[n], &matched);
            if (next >= 0) {
                if (!matched) return false;
                ++n;
                m = next;
                continue;
            }
        }
        if (Fold(mc) != Fold(name[n])) return false;
        ++n; ++m;
    }
    return n == name.size();
}
} // namespace

bool MatchesMask(const QString& name, const QString& mask)
{
    return MatchFrom(name, 0, mask, 0);
}

bool IsSafeFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u == '/' || u == '\\' || u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0)) return false;
    }
    return true;
}
