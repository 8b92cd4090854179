#pragma once
// The window of KeloFtpSyncClient: four commands (Start, Stop, Elrejt, Kilép), an icon in the
// notification area and the popup menu behind it. The window starts hidden; it cannot be
// closed from its frame, only by Kilép.
//
// Where the desktop has no notification area the window is shown at start instead and
// Elrejt minimises it, so the commands stay within reach.
#include "UtilConsoleSync.h"
#include "UtilSyncConfig.h"

#include <QWidget>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QToolButton;

// The mouse messages of the icon's callback.
constexpr int WM_LBUTTONDOWN = 513;
constexpr int WM_RBUTTONDOWN = 516;

// The application title: names the client and its maker (tip of the icon).
QString SyncClientTitle();

class TFormMain : public QWidget {
    Q_OBJECT
public:
    // beallitas: the configuration read at start-up; configFileName: the file the schedule
    // re-reads at every Start and Stop.
    TFormMain(const TBeallitas& beallitas, const QString& configFileName, QWidget* parent = nullptr);
    ~TFormMain() override;

    void SetRunning(bool value);
    // The icon's callback: WM_LBUTTONDOWN shows the window, WM_RBUTTONDOWN opens the popup
    // menu while the window is hidden; everything else is ignored.
    void WMTrayIcon(int mouseMessage);

    TConsoleSync* ConsoleSync() const { return FConsoleSync.get(); }
    QSystemTrayIcon* TrayIcon() const { return FTrayIcon; }

    QAction* actStart = nullptr;
    QAction* actStop = nullptr;
    QAction* actHide = nullptr;
    QAction* actExit = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QToolButton* btnStart = nullptr;
    QToolButton* btnStop = nullptr;
    QToolButton* btnHide = nullptr;
    QToolButton* btnExit = nullptr;

signals:
    void Closed();  // Kilép closed the window: the program ends

public slots:
    void actStartExecute();
    void actStopExecute();
    void actHideExecute();
    void actExitExecute();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TBeallitas FBeallitas;
    std::unique_ptr<TConsoleSync> FConsoleSync;
    QSystemTrayIcon* FTrayIcon = nullptr;
    bool FClosing = false;
};

// Start-up of the client after the application object exists: reads the configuration named
// by the arguments (without the program name); on success answers the window (hidden, icon
// added, schedule started when AutoStart is on). When the configuration cannot be read it
// writes the reason to the day's log, shows it in a message and answers nullptr.
std::unique_ptr<TFormMain> CreateSyncClient(const QStringList& arguments);
