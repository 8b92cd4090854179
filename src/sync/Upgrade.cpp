#include "Upgrade.h"

#include "CodePage.h"
#include "FileLookup.h"
#include "Launcher.h"
#include "Messages.h"
#include "ProgramDir.h"

#include <QSaveFile>

QByteArray UpgradeCommandFileText(const QString& programFile)
{
    return EncodeCodePage(programFile, 1250) + "\r\n/vavodedere\r\n";
}

bool StartUpgrade(const QString& programFile)
{
    const QString updater = FindFileCI(ProgramDir() + ExecutableName(QStringLiteral("VavOdedere.exe")));
    if (!FileExistsCI(updater)) {
        ShowMsg(QStringLiteral("Frissítés"), QStringLiteral("Nem található az vavodedere.exe!"));
        return false;
    }
    QSaveFile cmd(FindFileCI(ProgramDir() + QStringLiteral("VavOdedere.cmd")));
    if (cmd.open(QIODevice::WriteOnly)) {
        cmd.write(UpgradeCommandFileText(programFile));
        cmd.commit();
    }
    StartProgram(TStartRequest{updater, QStringLiteral("/M=AUTO /E={cmd}"), TShowMode::Normal});
    return true;
}
