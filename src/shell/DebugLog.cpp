#include "DebugLog.h"

#include "CodePage.h"
#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
TClock& Clock()
{
    static TClock c;
    return c;
}
}

void SetDebugLogClock(TClock clock) { Clock() = std::move(clock); }

void AppendLineToFile(const QString& fileName, const QString& line)
{
    if (!QFileInfo(fileName).absoluteDir().exists()) return;
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        throw EFileWriteError("Cannot open " + fileName.toStdString() + ": " + f.errorString().toStdString());
    const QByteArray data = EncodeCodePage(line, 1250) + "\r\n";
    if (f.write(data) != data.size() || !f.flush())
        throw EFileWriteError("Cannot write " + fileName.toStdString() + ": " + f.errorString().toStdString());
}

QString DebugLogLine(const QDateTime& when, const QString& message)
{
    return QLatin1Char('[') + when.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss.zzz")) + QStringLiteral("] ") + message
           + QLatin1Char(' ');
}

void WriteDebugLog(const QString& message)
{
    const QDateTime now = Clock() ? Clock()() : QDateTime::currentDateTime();
    AppendLineToFile(GetDataDir() + QStringLiteral("debug.txt"), DebugLogLine(now, message));
}
