#include "FileLookup.h"

#include <QDir>
#include <QFileInfo>

QString FindFileCI(const QString& path)
{
    if (path.isEmpty() || QFileInfo::exists(path)) return path;
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const bool absolute = clean.startsWith(QLatin1Char('/'));
    const QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        const QString base = current.isEmpty() ? QStringLiteral(".") : current;
        QString candidate = current.isEmpty() ? part
                            : (current.endsWith(QLatin1Char('/')) ? current + part : current + QLatin1Char('/') + part);
        if (!QFileInfo::exists(candidate) && part != QLatin1String(".") && part != QLatin1String("..")) {
            const QStringList entries = QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            bool found = false;
            for (const QString& e : entries) {
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    candidate = current.isEmpty() ? e
                                : (current.endsWith(QLatin1Char('/')) ? current + e : current + QLatin1Char('/') + e);
                    found = true;
                    break;
                }
            }
            if (!found) return path;
        }
        current = candidate;
    }
    if (path.endsWith(QLatin1Char('/')) && !current.endsWith(QLatin1Char('/'))) current += QLatin1Char('/');
    return current;
}

bool FileExistsCI(const QString& path)
{
    const QFileInfo fi(FindFileCI(path));
    return fi.exists() && fi.isFile();
}

bool DirExistsCI(const QString& path)
{
    const QFileInfo fi(FindFileCI(path));
    return fi.exists() && fi.isDir();
}
