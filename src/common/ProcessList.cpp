#include "ProcessList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString StripExe(QString s)
{
    if (s.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) s.chop(4);
    return s;
}
}

QStringList RunningExecutables()
{
    QStringList out;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        bool num = false;
        pid.toLongLong(&num);
        if (!num) continue;
        QString exe = QFile::symLinkTarget(QStringLiteral("/proc/") + pid + QStringLiteral("/exe"));
        if (exe.endsWith(QLatin1String(" (deleted)"))) exe.chop(10);
        if (exe.isEmpty()) {
            // Processes of other users, or kernel threads: argv[0] is the best we know.
            QFile cmd(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
            if (cmd.open(QIODevice::ReadOnly)) {
                const QByteArray all = cmd.read(4096);
                exe = QString::fromLocal8Bit(all.left(all.indexOf('\0')));
            }
        }
        if (!exe.isEmpty()) out << exe;
    }
    return out;
}

bool ExecutableMatches(const QString& executablePath, const QString& exeName)
{
    if (exeName.isEmpty() || executablePath.isEmpty()) return false;
    const QString want = StripExe(exeName);
    if (StripExe(executablePath).compare(want, Qt::CaseInsensitive) == 0) return true;
    const QString base = executablePath.mid(executablePath.lastIndexOf(QLatin1Char('/')) + 1);
    return StripExe(base).compare(want, Qt::CaseInsensitive) == 0;
}

bool IsProcessRunning(const QString& exeName)
{
    const QStringList all = RunningExecutables();
    for (const QString& exe : all)
        if (ExecutableMatches(exe, exeName)) return true;
    return false;
}
