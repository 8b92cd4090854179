#include "DesktopOpen.h"

#include "Launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void InstallDesktopOpenHandler()
{
    SetOpenHandler([](const QString& target) {
        const QUrl url = QUrl::fromUserInput(target, QString(), QUrl::AssumeLocalFile);
        return QDesktopServices::openUrl(url);
    });
}
