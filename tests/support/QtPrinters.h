#pragma once
// Readable Qt values in GoogleTest failure messages (force-included into every gtest).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < l.size(); ++i) *os << (i ? ", \"" : "\"") << l.at(i).toStdString() << '"';
    *os << '}';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << '"' << b.toPercentEncoding(" ,.:;[]=-_/").toStdString() << '"'; }
inline std::ostream& operator<<(std::ostream& os, const QString& s) { return os << s.toStdString(); }
