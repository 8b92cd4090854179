#include "FtpFileInfo.h"

#include "IniFile.h"

#include <QDate>
#include <QTime>
#include <cmath>

TFtpFileInfo ReadFtpFileInfo(const QString& fileName)
{
    TFtpFileInfo info;
    TIniFile ini(fileName);
    info.FileName = ini.ReadString(QStringLiteral("File"), QStringLiteral("FileName"));
    info.Size = ini.ReadInteger(QStringLiteral("File"), QStringLiteral("Size"), 0);
    QString dt = ini.ReadString(QStringLiteral("File"), QStringLiteral("DateTime"));
    dt.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = dt.toDouble(&ok);
    info.DateTime = (ok && std::isfinite(v)) ? v : 0;
    return info;
}

QString FormatInfoTimestamp(double dateTime)
{
    if (dateTime == 0 || !std::isfinite(dateTime) || std::fabs(dateTime) > 2958465.0) return QStringLiteral(" - ");
    const double days = std::floor(dateTime);
    // The time of day of a negative date-time is its fraction taken without the sign.
    const double frac = std::fabs(dateTime - (dateTime < 0 ? std::ceil(dateTime) : days));
    qint64 ms = std::llround(frac * 86400000.0);
    qint64 dayCount = dateTime < 0 ? static_cast<qint64>(std::ceil(dateTime)) : static_cast<qint64>(days);
    if (ms >= 86400000) {
        ms -= 86400000;
        ++dayCount;
    }
    const QDate d = QDate(1899, 12, 30).addDays(dayCount);
    const QTime t = QTime(0, 0).addMSecs(static_cast<int>(ms));
    return d.toString(QStringLiteral("yyyy.MM.dd.")) + QLatin1Char(' ') + t.toString(QStringLiteral("HH:mm"));
}
