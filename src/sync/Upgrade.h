#pragma once
// Hand-over to the updater VavOdedere in the program folder.
#include <QString>

// The command file text for the updater: the running program's full path, then "/vavodedere",
// each line ended by CR LF.
QByteArray UpgradeCommandFileText(const QString& programFile);

// When the updater is missing: "Frissítés" / "Nem található az vavodedere.exe!" and false.
// Otherwise writes VavOdedere.cmd, starts the updater with "/M=AUTO /E={cmd}" and answers true:
// the caller then ends the program.
bool StartUpgrade(const QString& programFile);
