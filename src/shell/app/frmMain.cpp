#include "frmMain.h"

#include "FileLookup.h"
#include "FtpFileInfo.h"
#include "FtpTransfer.h"
#include "MainIni.h"
#include "Messages.h"
#include "Paths.h"
#include "ProgramVersion.h"
#include "Upgrade.h"
#include "WebLinks.h"
#include "frmDoc.h"
#include "frmKeloNevjegy.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>

TFormMain* FormMain = nullptr;

namespace {
QAction* MakeAction(QObject* owner, const char* name, const QString& caption)
{
    auto* a = new QAction(caption, owner);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}
}

TFormMain::TFormMain(QWidget* parent)
    : TBaseForm(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    FormMain = this;
    setObjectName(QStringLiteral("FormMain"));
    setFixedSize(537, 389);

    actCikklista = MakeAction(this, "actCikklista", QStringLiteral("Cikklista"));
    actMegrend = MakeAction(this, "actMegrend", QStringLiteral("Megrendelés"));
    actSync = MakeAction(this, "actSync", QStringLiteral("Adatok szinkronizálása"));
    actNewVersion = MakeAction(this, "actNewVersion", QStringLiteral("Új verzió keresése"));
    actArhiv = MakeAction(this, "actArhiv", QStringLiteral("Archív megrendelések"));
    actDoc = MakeAction(this, "actDoc", QStringLiteral("Dokumentumok"));
    actBeallitasok = MakeAction(this, "actBeallitasok", QStringLiteral("Beállítás"));
    actNevjegy = MakeAction(this, "actNevjegy", QStringLiteral("Névjegy"));
    actKilep = MakeAction(this, "actKilep", QStringLiteral("Kilép"));

    connect(actCikklista, &QAction::triggered, this, &TFormMain::actCikklistaExecute);
    connect(actMegrend, &QAction::triggered, this, &TFormMain::actMegrendExecute);
    connect(actSync, &QAction::triggered, this, &TFormMain::actSyncExecute);
    connect(actNewVersion, &QAction::triggered, this, &TFormMain::actNewVersionExecute);
    connect(actArhiv, &QAction::triggered, this, &TFormMain::actArhivExecute);
    connect(actDoc, &QAction::triggered, this, &TFormMain::actDocExecute);
    connect(actBeallitasok, &QAction::triggered, this, &TFormMain::actBeallitasokExecute);
    connect(actNevjegy, &QAction::triggered, this, &TFormMain::actNevjegyExecute);
    connect(actKilep, &QAction::triggered, this, &TFormMain::actKilepExecute);

    // The product list, the order list and the settings dialog are not part of this build yet:
    // their commands stay disabled rather than pretend to work.
    actCikklista->setEnabled(false);
    actMegrend->setEnabled(false);
    actBeallitasok->setEnabled(false);

    const int L = 16, R = 272, W = 250, H = 70, top0 = 8, step = 72;
    btnCikklista = MakeButton("btnCikklista", actCikklista, L, top0, W, QStyle::SP_FileDialogDetailedView);
    btnMegrendeles = MakeButton("btnMegrendeles", actMegrend, R, top0, W, QStyle::SP_FileDialogNewFolder);
    btnSync = MakeButton("btnSync", actSync, L, top0 + step, W, QStyle::SP_BrowserReload);
    btnNewBersion = MakeButton("btnNewBersion", actNewVersion, R, top0 + step, W, QStyle::SP_ArrowUp);
    btnArhivMegrendelesek = MakeButton("btnArhivMegrendelesek", actArhiv, L, top0 + 2 * step, W, QStyle::SP_DirIcon);
    btnDokumentumok = MakeButton("btnDokumentumok", actDoc, R, top0 + 2 * step, W, QStyle::SP_FileIcon);
    btnBeallitasok = MakeButton("btnBeallitasok", actBeallitasok, L, top0 + 3 * step, W, QStyle::SP_FileDialogContentsView);
    btnNevjegy = MakeButton("btnNevjegy", actNevjegy, R, top0 + 3 * step, W, QStyle::SP_MessageBoxInformation);
    btnKilep = MakeButton("btnKilep", actKilep, L, top0 + 4 * step, 506, QStyle::SP_DialogCloseButton);
    (void)H;

    // Tab order: row by row, left before right, "Kilép" last.
    QWidget* order[] = {btnCikklista, btnMegrendeles, btnSync, btnNewBersion, btnArhivMegrendelesek,
                        btnDokumentumok, btnBeallitasok, btnNevjegy, btnKilep};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

    MainStatusBar = new QStatusBar(this);
    MainStatusBar->setObjectName(QStringLiteral("MainStatusBar"));
    MainStatusBar->setSizeGripEnabled(false);
    MainStatusBar->setGeometry(0, 389 - 22, 537, 22);
    StatusPanel0 = new QLabel(MainStatusBar);
    StatusPanel0->setMinimumWidth(150);
    StatusPanel1 = new QLabel(MainStatusBar);
    StatusPanel1->setMinimumWidth(50);
    MainStatusBar->addWidget(StatusPanel0);
    MainStatusBar->addWidget(StatusPanel1, 1);
    MainStatusBar->setEnabled(false);  // takes no input
}

QPushButton* TFormMain::MakeButton(const char* name, QAction* action, int left, int top, int width, int iconKind)
{
    auto* b = new QPushButton(action->text(), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, top, width, 70);
    b->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(iconKind)));
    b->setIconSize(QSize(64, 64));
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(19);
    b->setFont(f);
    b->setAutoDefault(false);
    b->setEnabled(action->isEnabled());
    connect(b, &QPushButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::changed, b, [b, action] { b->setEnabled(action->isEnabled()); });
    return b;
}

void TFormMain::InitForm()
{
    if (FFirstShowDone) return;
    FFirstShowDone = true;
    // A pending settings upgrade; the start-up snapshot is not re-read, so a merged
    // AutoProgramSync counts from the next start.
    ApplyIniUpgrade();
    UpdateCaption(false);
    UpdateStatusBar();
    TMainIni ini;
    ReadMainIni(ini);
    if (ini.AutoDataSync) actSync->trigger();
}

void TFormMain::UpdateCaption(bool)
{
    // The orderer's identifier goes into the title, so a shop sees at a glance whose orders it
    // records; it is rebuilt after the settings dialog closes.
    TMainIni ini;
    ReadMainIni(ini);
    QString title = ProgramTitle() + QLatin1Char(' ') + ProgramVersionText();
    if (!ini.RendeloID.isEmpty()) title += QStringLiteral(" - ") + ini.RendeloID;
    setWindowTitle(title);
}

void TFormMain::UpdateStatusBar()
{
    StatusPanel0->setText(QStringLiteral("Cikktörzs: ") +
                          FormatInfoTimestamp(ReadFtpFileInfo(FindFileCI(GetDataDir() + QStringLiteral("termek.inf"))).DateTime));
    StatusPanel1->setText(QStringLiteral("Ügyféltörzs: ") +
                          FormatInfoTimestamp(ReadFtpFileInfo(FindFileCI(GetDataDir() + QStringLiteral("vevo.inf"))).DateTime));
}

void TFormMain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();  // Esc does not close the main window
        return;
    }
    TBaseForm::keyPressEvent(event);
}

void TFormMain::actCikklistaExecute() {}
void TFormMain::actMegrendExecute() {}
void TFormMain::actBeallitasokExecute() {}

void TFormMain::actSyncExecute()
{
    SyncRequested = true;
    StartFtpTransfer(true, true);
}

void TFormMain::actNewVersionExecute()
{
    if (StartUpgrade(QCoreApplication::applicationFilePath())) QCoreApplication::quit();
}

void TFormMain::actArhivExecute()
{
    if (!FileExistsCI(GetDataDir() + QStringLiteral("arhivmegfej.dbf"))) {
        ShowMsg(QStringLiteral("Archív megrendelések"), QStringLiteral("Nincs archív megrendelés!"));
        return;
    }
    // The order list in archive mode opens here once it is built.
}

void TFormMain::actDocExecute()
{
    WebLinkList() = ReadWebLinks();
    if (WebLinkList().isEmpty()) {
        ShowMsg(QStringLiteral("Dokumentum"), QStringLiteral("Nem található megjeleníthető dokumentum!"));
        return;
    }
    TFormDoc doc;
    doc.ShowModal();
}

void TFormMain::actNevjegyExecute()
{
    ShowAbout(QStringLiteral("Névjegy"), ProgramTitle(), ProgramVersionText());
}

void TFormMain::actKilepExecute()
{
    close();
}
