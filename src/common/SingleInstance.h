#pragma once
#include <QString>

// The single-instance lock: an advisory lock on the file <runtime folder>/<name>.lock.
// The kernel releases it when the process ends, also on a crash or SIGKILL, so a stale file
// never blocks a start. The runtime folder is $XDG_RUNTIME_DIR (the user's session), else a
// per-user folder in the temporary folder; a test that gives each program its own
// XDG_RUNTIME_DIR gets its own namespace.
class TSingleInstanceLock {
public:
    explicit TSingleInstanceLock(const QString& name);
    ~TSingleInstanceLock();
    TSingleInstanceLock(const TSingleInstanceLock&) = delete;
    TSingleInstanceLock& operator=(const TSingleInstanceLock&) = delete;

    // True when this process now holds the lock; false when another process holds it or the
    // lock file cannot be created.
    bool Acquire();
    void Release();
    bool Held() const { return FFd >= 0; }
    QString LockFileName() const { return FPath; }

    static QString RuntimeDir();

private:
    QString FPath;
    int FFd = -1;
};
