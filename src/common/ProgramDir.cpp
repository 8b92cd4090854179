#include "ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString& Override()
{
    static QString dir;
    return dir;
}

QString WithSeparator(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}
}

void SetProgramDirOverride(const QString& dir)
{
    Override() = dir.isEmpty() ? QString() : WithSeparator(QDir::cleanPath(QFileInfo(dir).absoluteFilePath()));
}

QString ProgramDir()
{
    if (!Override().isEmpty()) return Override();
    static QString cached;
    if (cached.isEmpty()) {
        QString dir;
        if (QCoreApplication::instance()) dir = QCoreApplication::applicationDirPath();
        if (dir.isEmpty()) dir = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
        cached = WithSeparator(QDir::cleanPath(dir));
    }
    return cached;
}

QString JoinDir(const QString& base, std::initializer_list<const char*> parts)
{
    QString out = WithSeparator(base);
    for (const char* p : parts) out += QString::fromUtf8(p) + QLatin1Char('/');
    return out;
}

QString ExecutableName(const QString& windowsName)
{
    QString name = windowsName;
#ifdef Q_OS_WIN
    if (!name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) name += QLatin1String(".exe");
#else
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) name.chop(4);
#endif
    return name;
}
