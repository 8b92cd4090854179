// KeloBolt: the order-entry program.
#include "DebugLog.h"
#include "DesktopOpen.h"
#include "FileLookup.h"
#include "ProgramDir.h"
#include "SingleInstance.h"
#include "Upgrade.h"
#include "MainIni.h"
#include "Utils.h"
#include "dMain.h"
#include "dMessage.h"
#include "frmMain.h"
#include "frmWaitMessage.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>


int main(int argc, char** argv)
{
    // 1.
    TKeloBoltApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("KeloBolt"));
    InstallDesktopOpenHandler();
    // 2. The settings snapshot taken at start: only the updater decision reads it.
    TMainIni startupIni;
    ReadMainIni(startupIni);
    // 3.
    auto* formMain = new TFormMain;
    TdmMessage message;
    // 4. One copy at a time.
    TSingleInstanceLock lock(QStringLiteral("KeloBolt"));
    if (!lock.Acquire()) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), QStringLiteral("Egy példányban már fut a program!"),
                        QMessageBox::Ok);
        box.exec();
        delete formMain;
        return 0;
    }
    // 5.
    TFormWaitMessage wait;
    message.SetWaitForm(&wait);
    // 6. Hand-over to the updater.
    if (startupIni.AutoProgramSync && !HasCommandLineSwitch(app.arguments().mid(1), QStringLiteral("/vavodedere"))) {
        StartUpgrade(QCoreApplication::applicationFilePath());
        lock.Release();
        delete formMain;
        return 0;
    }
    // 7. Without the transfer tool's settings the FTP settings dialog comes first (it opens here
    //    once it is built); start-up goes on whatever happens there.
    if (!FileExistsCI(ProgramDir() + QStringLiteral("KeloFtp.ini"))) {
    }
    // 8.
    TdmMain dm;
    dm.SetMainForm(formMain);
    dm.DataModuleCreate();
    // 9.
    formMain->show();
    const int rc = app.exec();
    // 10.
    delete formMain;
    lock.Release();
    return rc;
}
