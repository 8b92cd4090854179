#pragma once
// Display formats of grid columns and footers, rendered the way the program's users read them.
//
// Number patterns: "0" a digit that is always written, "#" a digit written only when the
// number has it, "." the decimal separator (written as the locale's, a comma in Hungarian),
// "," anywhere in the integer part groups the digits by three with the locale's group
// separator, any other character (a blank, "Ft") is written as it stands, text in quotes too.
// A literal that stands between digit places is written only between digits, so
// "### ### ##0.00" gives "1 234,50" and "12,00" (no leading blanks). Up to three sections
// separated by ";" serve positive, negative and zero values. Values are rounded half away
// from zero to the decimals the pattern shows. An empty pattern gives the general form
// (up to 15 significant digits, no grouping).
//
// Date patterns: yyyy / yy year, mm / m month (minutes right after an hour), mmm / mmmm the
// month's name, dd / d day, ddd / dddd the day's name, hh / h hour, nn / n minute, ss / s
// second, zzz / z millisecond; everything else, quoted text included, as it stands.
// An empty pattern gives "yyyy.mm.dd" for dates and "yyyy.mm.dd hh:nn:ss" for date-times.
//
// None of these fails: a value that cannot be shown gives the empty text.
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>

QString FormatFloatDisplay(const QString& pattern, double value, const QLocale& locale = QLocale());
QString FormatDateTimeDisplay(const QString& pattern, const QDateTime& value, const QLocale& locale = QLocale());
// Any field value: null or invalid values give "", texts are shown unchanged (the pattern does
// not apply), booleans as "Igen" / "Nem", numbers and dates with the pattern.
QString FormatDisplayValue(const QString& pattern, const QVariant& value, const QLocale& locale = QLocale());
