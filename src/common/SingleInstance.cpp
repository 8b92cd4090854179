#include "SingleInstance.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString TSingleInstanceLock::RuntimeDir()
{
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QFileInfo(QString::fromLocal8Bit(xdg)).isDir()) return QString::fromLocal8Bit(xdg);
    const QString dir = QDir::tempPath() + QStringLiteral("/kelobolt-") + QString::number(getuid());
    QDir().mkpath(dir);
    return dir;
}

TSingleInstanceLock::TSingleInstanceLock(const QString& name)
    : FPath(RuntimeDir() + QLatin1Char('/') + name + QStringLiteral(".lock"))
{
}

TSingleInstanceLock::~TSingleInstanceLock()
{
    Release();
}

bool TSingleInstanceLock::Acquire()
{
    if (FFd >= 0) return true;
    // O_CLOEXEC: programs we start must not inherit (and so keep) the lock.
    const int fd = ::open(QFile::encodeName(FPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    FFd = fd;
    return true;
}

void TSingleInstanceLock::Release()
{
    if (FFd < 0) return;
    ::flock(FFd, LOCK_UN);
    ::close(FFd);
    FFd = -1;
}
