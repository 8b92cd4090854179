#include "DisplayFormat.h"

#include "Utils.h"

#include <QVector>
#include <cmath>

namespace {

// One piece of a number pattern's section.
struct TPatternItem {
    enum Kind { Digit, Zero, Point, Literal } kind;
    QString text;  // Literal only
};

struct TNumberSection {
    QString prefix;                 // literals before the first digit place
    QVector<TPatternItem> integer;  // digit places and literals of the integer part
    QVector<TPatternItem> fraction; // digit places and literals after the decimal point
    QString suffix;                 // literals after the last digit place
    bool grouping = false;          // a "," in the integer part
    bool hasPoint = false;
};

// Splits a pattern into its ";" sections, leaving quoted text alone.
QStringList SplitSections(const QString& pattern)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            current += c;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            current += c;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

TNumberSection ParseSection(const QString& s)
{
    QVector<TPatternItem> items;
    bool grouping = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int end = s.indexOf(c, i + 1);
            const QString lit = end < 0 ? s.mid(i + 1) : s.mid(i + 1, end - i - 1);
            items.append({TPatternItem::Literal, lit});
            i = end < 0 ? s.size() : end;
        } else if (c == QLatin1Char('0')) {
            items.append({TPatternItem::Zero, QString()});
        } else if (c == QLatin1Char('#')) {
            items.append({TPatternItem::Digit, QString()});
        } else if (c == QLatin1Char('.')) {
            items.append({TPatternItem::Point, QString()});
        } else if (c == QLatin1Char(',')) {
            grouping = true;  // a flag only: the digits are grouped by three
        } else {
            items.append({TPatternItem::Literal, QString(c)});
        }
    }
    int first = -1, last = -1;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].kind == TPatternItem::Digit || items[i].kind == TPatternItem::Zero ||
            items[i].kind == TPatternItem::Point) {
            if (first < 0) first = i;
            last = i;
        }
    }
    TNumberSection sec;
    sec.grouping = grouping;
    if (first < 0) {
        for (const auto& it : items) sec.prefix += it.text;
        return sec;
    }
    for (int i = 0; i < first; ++i) sec.prefix += items[i].text;
    for (int i = last + 1; i < items.size(); ++i) sec.suffix += items[i].text;
    bool afterPoint = false;
    for (int i = first; i <= last; ++i) {
        const auto& it = items[i];
        if (it.kind == TPatternItem::Point && !afterPoint) {
            afterPoint = true;
            sec.hasPoint = true;
            continue;
        }
        if (it.kind == TPatternItem::Point) continue;  // a second point means nothing
        (afterPoint ? sec.fraction : sec.integer).append(it);
    }
    return sec;
}

QString GeneralNumber(double value, const QLocale& locale)
{
    if (!std::isfinite(value)) return QString();
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    if (value == std::floor(value) && std::fabs(value) < 1e15) return l.toString(value, 'f', 0);
    return l.toString(value, 'g', 15);
}

QString FormatSection(const TNumberSection& sec, double absValue, bool minus, const QLocale& locale)
{
    int fracPlaces = 0, fracForced = 0;
    for (const auto& it : sec.fraction) {
        if (it.kind == TPatternItem::Digit || it.kind == TPatternItem::Zero) {
            ++fracPlaces;
            if (it.kind == TPatternItem::Zero) fracForced = fracPlaces;
        }
    }
    const double rounded = RoundDec(fracPlaces, absValue);
    // 'f' with the exact place count: rounding is already done, this only writes digits.
    const QString digits = QString::number(rounded, 'f', fracPlaces);
    const int point = digits.indexOf(QLatin1Char('.'));
    QString intDigits = point < 0 ? digits : digits.left(point);
    QString fracDigits = point < 0 ? QString() : digits.mid(point + 1);
    if (intDigits == QLatin1String("0")) intDigits.clear();

    // Digit places of the integer part from the leftmost "0" on are always written.
    int intPlaces = 0, intForced = 0;
    for (const auto& it : sec.integer) {
        if (it.kind == TPatternItem::Digit || it.kind == TPatternItem::Zero) ++intPlaces;
    }
    {
        int seen = 0;
        for (const auto& it : sec.integer) {
            if (it.kind == TPatternItem::Digit || it.kind == TPatternItem::Zero) {
                if (it.kind == TPatternItem::Zero) {
                    intForced = intPlaces - seen;
                    break;
                }
                ++seen;
            }
        }
    }
    while (intDigits.size() < intForced) intDigits.prepend(QLatin1Char('0'));

    QString intText;
    if (sec.grouping) {
        const QString sep = locale.groupSeparator();
        for (int i = 0; i < intDigits.size(); ++i) {
            if (i > 0 && (intDigits.size() - i) % 3 == 0) intText += sep;
            intText += intDigits.at(i);
        }
    } else {
        // Right to left: each digit place takes the next digit; a literal is written only when
        // a digit is still to come on its left; digits beyond the places go in front.
        int remaining = intDigits.size();
        QStringList parts;
        for (int i = sec.integer.size() - 1; i >= 0; --i) {
            const auto& it = sec.integer[i];
            if (it.kind == TPatternItem::Literal) {
                if (remaining > 0) parts.prepend(it.text);
            } else if (remaining > 0) {
                parts.prepend(QString(intDigits.at(remaining - 1)));
                --remaining;
            }
        }
        if (remaining > 0) parts.prepend(intDigits.left(remaining));
        intText = parts.join(QString());
    }

    // Trailing optional decimals that are zero are dropped.
    while (fracDigits.size() > fracForced && fracDigits.endsWith(QLatin1Char('0'))) fracDigits.chop(1);
    QString fracText;
    {
        int used = 0;
        for (const auto& it : sec.fraction) {
            if (it.kind == TPatternItem::Literal) {
                if (used < fracDigits.size()) fracText += it.text;
            } else if (used < fracDigits.size()) {
                fracText += fracDigits.at(used++);
            }
        }
    }

    QString out;
    if (minus && (rounded != 0.0)) out += locale.negativeSign();
    out += sec.prefix;
    out += intText;
    if (!fracText.isEmpty()) out += locale.decimalPoint() + fracText;
    out += sec.suffix;
    return out;
}

}  // namespace

QString FormatFloatDisplay(const QString& pattern, double value, const QLocale& locale)
{
    if (!std::isfinite(value)) return QString();
    if (pattern.isEmpty()) return GeneralNumber(value, locale);
    const QStringList sections = SplitSections(pattern);
    if (value == 0.0 && sections.size() >= 3 && !sections.at(2).isEmpty())
        return FormatSection(ParseSection(sections.at(2)), 0.0, false, locale);
    if (value < 0 && sections.size() >= 2 && !sections.at(1).isEmpty())
        return FormatSection(ParseSection(sections.at(1)), -value, false, locale);
    return FormatSection(ParseSection(sections.at(0)), std::fabs(value), value < 0, locale);
}

QString FormatDateTimeDisplay(const QString& pattern, const QDateTime& value, const QLocale& locale)
{
    if (!value.isValid()) return QString();
    const QString p = pattern.isEmpty()
                          ? (value.time() == QTime(0, 0) ? QStringLiteral("yyyy.mm.dd") : QStringLiteral("yyyy.mm.dd hh:nn:ss"))
                          : pattern;
    const QDate d = value.date();
    const QTime t = value.time();
    QString out;
    bool afterHour = false;  // "m" right after an hour means minutes
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    for (int i = 0; i < p.size();) {
        const QChar c = p.at(i).toLower();
        int run = 1;
        while (i + run < p.size() && p.at(i + run).toLower() == c) ++run;
        if (p.at(i) == QLatin1Char('"') || p.at(i) == QLatin1Char('\'')) {
            const int end = p.indexOf(p.at(i), i + 1);
            out += end < 0 ? p.mid(i + 1) : p.mid(i + 1, end - i - 1);
            i = end < 0 ? p.size() : end + 1;
            continue;
        }
        if (c == QLatin1Char('y')) {
            out += run <= 2 ? two(d.year() % 100) : QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
            afterHour = false;
        } else if (c == QLatin1Char('m')) {
            if (afterHour && run <= 2) {
                out += run == 2 ? two(t.minute()) : QString::number(t.minute());
            } else if (run >= 4) {
                out += locale.monthName(d.month(), QLocale::LongFormat);
            } else if (run == 3) {
                out += locale.monthName(d.month(), QLocale::ShortFormat);
            } else {
                out += run == 2 ? two(d.month()) : QString::number(d.month());
            }
            afterHour = false;
        } else if (c == QLatin1Char('d')) {
            if (run >= 4) out += locale.dayName(d.dayOfWeek(), QLocale::LongFormat);
            else if (run == 3) out += locale.dayName(d.dayOfWeek(), QLocale::ShortFormat);
            else out += run == 2 ? two(d.day()) : QString::number(d.day());
            afterHour = false;
        } else if (c == QLatin1Char('h')) {
            out += run >= 2 ? two(t.hour()) : QString::number(t.hour());
            afterHour = true;
        } else if (c == QLatin1Char('n')) {
            out += run >= 2 ? two(t.minute()) : QString::number(t.minute());
            afterHour = false;
        } else if (c == QLatin1Char('s')) {
            out += run >= 2 ? two(t.second()) : QString::number(t.second());
            afterHour = false;
        } else if (c == QLatin1Char('z')) {
            out += run >= 3 ? QStringLiteral("%1").arg(t.msec(), 3, 10, QLatin1Char('0')) : QString::number(t.msec());
            afterHour = false;
        } else {
            out += p.mid(i, run);  // separators keep "afterHour": "hh:mm" is hours and minutes
        }
        i += run;
    }
    return out;
}

QString FormatDisplayValue(const QString& pattern, const QVariant& value, const QLocale& locale)
{
    if (!value.isValid() || value.isNull()) return QString();
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Igen") : QStringLiteral("Nem");
    case QMetaType::QDate:
        return FormatDateTimeDisplay(pattern, QDateTime(value.toDate(), QTime(0, 0)), locale);
    case QMetaType::QDateTime:
        return FormatDateTimeDisplay(pattern, value.toDateTime(), locale);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        if (pattern.isEmpty()) return QString::number(value.toLongLong());
        return FormatFloatDisplay(pattern, value.toDouble(), locale);
    case QMetaType::Double:
    case QMetaType::Float:
        return FormatFloatDisplay(pattern, value.toDouble(), locale);
    default:
        return value.toString();
    }
}
