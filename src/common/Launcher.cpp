#include "Launcher.h"

#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {
TStartHandler& StartSlot()
{
    static TStartHandler h;
    return h;
}
TOpenHandler& OpenSlot()
{
    static TOpenHandler h;
    return h;
}
}

QStringList SplitParameters(const QString& parameters)
{
    return QProcess::splitCommand(parameters);
}

void SetStartHandler(TStartHandler handler) { StartSlot() = std::move(handler); }
void SetOpenHandler(TOpenHandler handler) { OpenSlot() = std::move(handler); }

bool StartProgram(const TStartRequest& request)
{
    if (StartSlot()) return StartSlot()(request);
    if (!QFileInfo(request.program).isFile()) return false;
    // A window cannot be hidden from outside here; programs that are started hidden
    // (the sync client) start without a window of their own.
    return QProcess::startDetached(request.program, SplitParameters(request.parameters));
}

bool OpenDocument(const QString& urlOrFile)
{
    if (OpenSlot()) return OpenSlot()(urlOrFile);
    // Without a desktop session object (no GUI) fall back to the freedesktop opener.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {urlOrFile});
}
