#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolButton>

namespace {

// The four 64 x 64 images: 0 stop, 1 start, 2 hide, 3 exit.
QIcon ActionImage(int index)
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    switch (index) {
    case 0:
        p.setBrush(QColor(200, 30, 30));
        p.drawRoundedRect(QRectF(12, 12, 40, 40), 4, 4);
        break;
    case 1: {
        p.setBrush(QColor(30, 160, 40));
        QPainterPath path;
        path.moveTo(16, 10);
        path.lineTo(54, 32);
        path.lineTo(16, 54);
        path.closeSubpath();
        p.drawPath(path);
        break;
    }
    case 2:
        p.setBrush(QColor(40, 90, 200));
        p.drawRect(QRectF(10, 44, 44, 10));
        p.drawRect(QRectF(10, 10, 44, 26));
        break;
    default:
        p.setPen(QPen(QColor(150, 20, 20), 8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(16, 16, 48, 48);
        p.drawLine(48, 16, 16, 48);
        break;
    }
    return QIcon(pm);
}

QIcon ApplicationIcon()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(30, 110, 200));
    p.drawEllipse(QRectF(1, 1, 30, 30));
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(16, 7, 16, 22);
    p.drawLine(10, 16, 16, 23);
    p.drawLine(22, 16, 16, 23);
    return QIcon(pm);
}

} // namespace

QString SyncClientTitle()
{
    return QStringLiteral("KeloFtpSyncClient - KeloSoft");
}

TFormMain::TFormMain(const TBeallitas& beallitas, const QString& configFileName, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint), FBeallitas(beallitas)
{
    // FormCreate
    setWindowTitle(QStringLiteral("KeloFtpSycClient- KeloSoft"));
    setFixedSize(270, 368);
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(16);
    setFont(f);
    if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(ApplicationIcon());
    setWindowIcon(QApplication::windowIcon());

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Raised);
    bevel->setGeometry(0, 0, 270, 368);

    auto makeAction = [this](const QString& caption, int image, void (TFormMain::*slot)()) {
        auto* a = new QAction(ActionImage(image), caption, this);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    actStart = makeAction(QStringLiteral("Start"), 1, &TFormMain::actStartExecute);
    actStop = makeAction(QStringLiteral("Stop"), 0, &TFormMain::actStopExecute);
    actHide = makeAction(QStringLiteral("Elrejt"), 2, &TFormMain::actHideExecute);
    actExit = makeAction(QStringLiteral("Kilép"), 3, &TFormMain::actExitExecute);
    actStart->setObjectName(QStringLiteral("actStart"));
    actStop->setObjectName(QStringLiteral("actStop"));
    actHide->setObjectName(QStringLiteral("actHide"));
    actExit->setObjectName(QStringLiteral("actExit"));

    auto makeButton = [this](QAction* a, int top, const char* name) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setDefaultAction(a);
        b->setIconSize(QSize(64, 64));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setGeometry(40, top, 185, 80);
        return b;
    };
    btnStart = makeButton(actStart, 24, "btnStart");
    btnStop = makeButton(actStop, 108, "btnStop");
    btnHide = makeButton(actHide, 192, "btnHide");
    btnExit = makeButton(actExit, 278, "btnExit");

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(actStart);
    PopupMenu1->addAction(actStop);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(actExit);

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    FConsoleSync = std::make_unique<TConsoleSync>();
    FConsoleSync->SetConfigFileName(configFileName);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        FTrayIcon = new QSystemTrayIcon(QApplication::windowIcon(), this);
        FTrayIcon->setToolTip(SyncClientTitle().left(63));
        connect(FTrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) WMTrayIcon(WM_LBUTTONDOWN);
            else if (reason == QSystemTrayIcon::Context) WMTrayIcon(WM_RBUTTONDOWN);
        });
        FTrayIcon->show();
    }
    SetRunning(FBeallitas.AutoStart);
    if (!FTrayIcon) show();  // no notification area: the window is the only way in
}

TFormMain::~TFormMain()
{
    // FormDestroy
    FConsoleSync.reset();
    if (FTrayIcon) FTrayIcon->hide();
}

void TFormMain::SetRunning(bool value)
{
    actStart->setEnabled(!value);
    actStop->setEnabled(value);
    QString error;
    const bool ok = FConsoleSync->SetActive(value, &error);
    StopRequested = !value;
    if (value && !ok) {
        actStart->setEnabled(true);
        actStop->setEnabled(false);
        StopRequested = true;
        QMessageBox::warning(isVisible() ? this : nullptr, SyncClientTitle(),
                             error + QStringLiteral("\nA szinkronizálás nem indult el."));
    }
}

void TFormMain::WMTrayIcon(int mouseMessage)
{
    if (mouseMessage == WM_LBUTTONDOWN) {
        show();
        raise();
        activateWindow();
    } else if (mouseMessage == WM_RBUTTONDOWN && !isVisible()) {
        PopupMenu1->popup(QCursor::pos());
    }
}

void TFormMain::actStartExecute() { SetRunning(true); }
void TFormMain::actStopExecute() { SetRunning(false); }

void TFormMain::actHideExecute()
{
    if (FTrayIcon) hide();
    else showMinimized();
}

void TFormMain::actExitExecute()
{
    SetRunning(false);
    FClosing = true;
    close();
    emit Closed();
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (FClosing) event->accept();
    else event->ignore();  // the frame has no close box; Alt+F4 and the like do nothing
}

std::unique_ptr<TFormMain> CreateSyncClient(const QStringList& arguments)
{
    const QString file = SyncConfigFileName(arguments);
    TBeallitas beallitas;
    try {
        beallitas = ReadSyncConfig(file);
    } catch (const ESyncConfigError& e) {
        WriteSyncLog(QStringLiteral("Beállítási hiba, a program nem indul: ") + e.Message(), true);
        QMessageBox::critical(nullptr, SyncClientTitle(), e.Message() + QStringLiteral("\nA program kilép."));
        return nullptr;
    }
    return std::make_unique<TFormMain>(beallitas, file);
}
