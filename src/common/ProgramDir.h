#pragma once
#include <QString>

// The folder of the running executable, with one trailing separator ("/" here).
// Never the working directory. Tests of library code may point it elsewhere with
// SetProgramDirOverride; programs never do.
QString ProgramDir();
void SetProgramDirOverride(const QString& dir);  // empty restores the executable's folder

// Joins a folder that ends in a separator with further parts, each followed by a separator.
QString JoinDir(const QString& base, std::initializer_list<const char*> parts);

// The platform's executable name of a program: "KeloFtp" here, "KeloFtp.exe" on Windows.
// Accepts either spelling.
QString ExecutableName(const QString& windowsName);
