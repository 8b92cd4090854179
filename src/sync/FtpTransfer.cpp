#include "FtpTransfer.h"

#include "FileLookup.h"
#include "Launcher.h"
#include "ProgramDir.h"

bool SyncRequested = false;

QString FtpToolFileName()
{
    return FindFileCI(ProgramDir() + ExecutableName(QStringLiteral("KeloFtp.exe")));
}

QString FtpTransferParameters(bool get, bool put)
{
    QString files;
    if (get) files += QStringLiteral("get.txt;");
    if (put) files += QStringLiteral("put.txt;");
    if (files.isEmpty()) return QString();
    return QStringLiteral("\\useinifile \\cmdfile=") + files;
}

void StartFtpTransfer(bool get, bool put)
{
    const QString params = FtpTransferParameters(get, put);
    if (params.isEmpty()) return;
    StartProgram(TStartRequest{FtpToolFileName(), params, TShowMode::Normal});
}
