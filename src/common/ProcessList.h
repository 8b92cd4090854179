#pragma once
#include <QString>
#include <QStringList>

// The executable paths of all running processes (a snapshot).
QStringList RunningExecutables();

// True when a running process's executable, by its file name or its whole path, equals the
// given name, letters compared without regard to case and a trailing ".exe" ignored on either
// side ("KeloFtp.exe" finds a process "keloftp" and "/opt/kelo/KeloFtp").
bool IsProcessRunning(const QString& exeName);

// The comparison itself, for a known list of executables.
bool ExecutableMatches(const QString& executablePath, const QString& exeName);
