// KeloFtpSyncClient: keeps local folders in step with FTP folders from the notification area.
#include "frmMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KeloFtpSyncClient"));
    QApplication::setOrganizationName(QStringLiteral("KeloSoft"));
    QApplication::setQuitOnLastWindowClosed(false);  // the window starts hidden; Kilép ends the program
    QStringList args = QApplication::arguments();
    args.removeFirst();
    std::unique_ptr<TFormMain> form = CreateSyncClient(args);
    if (!form) return 1;
    QObject::connect(form.get(), &TFormMain::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
