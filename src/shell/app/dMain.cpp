#include "dMain.h"

#include "DebugLog.h"
#include "FtpTransfer.h"
#include "Paths.h"
#include "WebLinks.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>
#include <cstdio>
#include <exception>

TdmMain* dmMain = nullptr;

void aeMainException(const QString& message)
{
    static bool logging = false;
    if (logging) return;  // a failure while logging a failure must not loop
    logging = true;
    try {
        WriteDebugLog(QStringLiteral("Exception:") + message);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "KeloBolt: cannot write the debug log (%s): Exception:%s\n", e.what(), message.toLocal8Bit().constData());
    } catch (...) {
        std::fprintf(stderr, "KeloBolt: cannot write the debug log: Exception:%s\n", message.toLocal8Bit().constData());
    }
    logging = false;
}

TdmMain::TdmMain(QObject* parent) : QObject(parent)
{
    dmMain = this;
    tmrSync.setInterval(2000);
    connect(&tmrSync, &QTimer::timeout, this, &TdmMain::tmrSyncTimer);
}

TdmMain::~TdmMain()
{
    tmrSync.stop();
    if (dmMain == this) dmMain = nullptr;
}

void TdmMain::DataModuleCreate()
{
    SyncBusy = false;
    // The timer lives from the data module's creation; the splash and wait windows let
    // messages through, so it can tick during the start-up steps already.
    tmrSync.start();
    auto* splash = new TFormSplash();
    splash->show();
    QCoreApplication::processEvents();
    try {
        RunStartupSteps();
    } catch (const std::exception& e) {
        aeMainException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        aeMainException(QStringLiteral("unknown error"));
    }
    splash->close();
    delete splash;
}

void TdmMain::RunStartupSteps()
{
    // 1. The zip support is built into the program.
    ZipDllPresent = true;
    // 2. The folder tree.
    CreateStartupFolders();
    // 3.-7. Order tables, order headers, customer and product masters, archiving: see the
    //       data store and order modules (wired in as they are built).
    // 8. Grid layouts (wired in with the list windows).
    // 9. Web links.
    WebLinkList() = ReadWebLinks();
    // 10.
    WriteDebugLog(QStringLiteral("start"));
}

void TdmMain::tmrSyncTimer()
{
    if (SyncBusy) return;
    SyncBusy = true;
    try {
        // The transfer tool's results are applied here once the sync cycle is built.
    } catch (const std::exception& e) {
        try {
            WriteDebugLog(QStringLiteral("Sync error : ") + QString::fromLocal8Bit(e.what()));
        } catch (...) {
        }
    }
    SyncBusy = false;
}
