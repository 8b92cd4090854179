#pragma once
#include <QString>

constexpr int ProgramVersion = 1120;
// "ver." followed directly by the version number.
inline QString ProgramVersionText() { return QStringLiteral("ver.") + QString::number(ProgramVersion); }
inline QString ProgramTitle() { return QStringLiteral("KeloBolt - Bolti rendelő program"); }
