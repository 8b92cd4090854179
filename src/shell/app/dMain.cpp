#include "dMain.h"

#include "DebugLog.h"
#include "FtpTransfer.h"
#include "Paths.h"
#include "UtilDisplayFields.h"
#include "WebLinks.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>
#include <cstdio>
#include <exception>
#include <stdexcept>

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

bool TKeloBoltApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        aeMainException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        aeMainException(QStringLiteral("unknown error"));
    }
    return false;
}

TdmMain::TdmMain(QObject* parent) : TMainData(parent)
{
    dmMain = this;
    tmrSync.setInterval(2000);
    connect(&tmrSync, &QTimer::timeout, this, &TdmMain::tmrSyncTimer);
    StartupSteps = {
        // The zip support is built into the program.
        {QStringLiteral("zip support"), [this] { ZipDllPresent = true; }},
        {QStringLiteral("folders"), [] { CreateStartupFolders(); }},
        {QStringLiteral("order tables"), [this] {
             if (!CreateOrderTables()) throw std::runtime_error("A megrendelés táblák nem hozhatók létre.");
         }},
        // With libzip built in there are no support libraries to point the zip component at.
        {QStringLiteral("order headers"), [this] { LoadOrderHeaders(); }},
        {QStringLiteral("master data"), [this] { LoadMasterData(); }},
        // Archiving of old sent orders joins here when the order module is built.
        {QStringLiteral("grid layouts"), [] { LoadGridFormats(); }},
        {QStringLiteral("web links"), [] { WebLinkList() = ReadWebLinks(); }},
        {QStringLiteral("start"), [] { WriteDebugLog(QStringLiteral("start")); }},
    };
}

TdmMain::~TdmMain()
{
    tmrSync.stop();
    if (dmMain == this) dmMain = nullptr;
}

void TdmMain::SetMainForm(TFormMain* form)
{
    FMainForm = form;
    OnUpdateStatusBar = [this] {
        if (FMainForm) FMainForm->UpdateStatusBar();
    };
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
    for (const TStartupStep& step : StartupSteps) step.run();
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
