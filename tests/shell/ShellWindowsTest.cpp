#include "FtpTransfer.h"
#include "Launcher.h"
#include "ModalAnswer.h"
#include "TestSupport.h"
#include "WebLinks.h"
#include "MainIni.h"
#include "dMain.h"
#include "dMessage.h"
#include "frmSplash.h"
#include "frmBaseForm.h"
#include "frmDoc.h"
#include "frmMain.h"
#include "frmWaitMessage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include "IniFile.h"
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QVBoxLayout>

namespace {
class TCountingForm : public TBaseForm {
public:
    int inits = 0;
    void InitForm() override { ++inits; }
};
}

class ShellWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { message = new TdmMessage(this); }

    void messageDialogSizesButtonsAndAnswers()
    {
        QSize seen;
        QStringList captions;
        TModalAnswer a([&](QWidget* w) {
            seen = w->size();
            for (QPushButton* b : w->findChildren<QPushButton*>()) captions << b->text();
            ClickButton(w, "OK");
        });
        ShowMsg("Cím", "Első sor\nMásodik sor", 450, 0);
        QVERIFY(a.WasAnswered());
        QCOMPARE(seen, QSize(450, 120));
        QCOMPARE(captions, QStringList({"OK"}));
        QCOMPARE(a.SeenTitle(), QString("Cím"));
        QVERIFY(a.SeenText().contains("Első sor\nMásodik sor"));

        struct { const char* how; bool want; } cases[] = {{"OK", true}, {"Mégsem", false}, {"Esc", false}, {"close", false}};
        for (const auto& c : cases) {
            QStringList caps;
            TModalAnswer b([&](QWidget* w) {
                for (QPushButton* p : w->findChildren<QPushButton*>()) caps << p->text();
                const QString how = QString::fromUtf8(c.how);
                if (how == "Esc") QTest::keyClick(w, Qt::Key_Escape);
                else if (how == "close") w->close();
                else ClickButton(w, how);
            });
            QCOMPARE(ConfirmMsg("Törlés", "Biztos?", 0, 0), c.want);
            QCOMPARE(caps, QStringList({"OK", "Mégsem"}));
        }
        TModalAnswer exitBox([](QWidget* w) { ClickButton(w, "OK"); });
        QVERIFY(ConfirmExit());
        QCOMPARE(exitBox.SeenTitle(), QString("Kilépés"));
        QVERIFY(exitBox.SeenText().contains("Biztosan kilép?"));
        QCOMPARE(MsgButtonCaption(TMsgButton::YesToAll), QString("Összes igen"));
        QCOMPARE(MsgButtonCaption(TMsgButton::Retry), QString("Újra"));
    }

    void enterMovesToTheNextCandidateWithWrapAround()
    {
        TCountingForm form;
        auto* lay = new QVBoxLayout(&form);
        auto make = [&](const char* name) {
            auto* e = new QLineEdit(&form);
            e->setObjectName(name);
            lay->addWidget(e);
            form.InstallEnterFocus(e);
            return e;
        };
        QLineEdit* first = make("edtFirst");
        QLineEdit* unnamed = make("");
        QLineEdit* disabled = make("edtDisabled");
        disabled->setEnabled(false);
        QLineEdit* hidden = make("edtHidden");
        QLineEdit* noTab = make("edtNoTab");
        noTab->setFocusPolicy(Qt::ClickFocus);
        auto* group = new QGroupBox("csoport", &form);
        group->setObjectName("gbGroup");
        group->setFocusPolicy(Qt::StrongFocus);
        lay->addWidget(group);
        auto* combo = new QComboBox(&form);
        combo->setObjectName("cbLookup");
        combo->addItems({"egy", "kettő", "három"});
        lay->addWidget(combo);
        form.InstallEnterFocus(combo);
        QLineEdit* last = make("edtLast");
        form.show();
        hidden->hide();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        (void)unnamed;

        first->setFocus();
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), combo);
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), last);
        QTest::keyClick(last, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), first);  // wrap-around
        QVERIFY(first->text().isEmpty());  // the Enter itself reached nobody

        // A dropped-down list is closed with its selection taken before the focus moves on.
        combo->setFocus();
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        combo->view()->setCurrentIndex(combo->model()->index(2, 0));
        QVERIFY(FocusNextControl(combo));
        QVERIFY(!combo->view()->isVisible());
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(QApplication::focusWidget(), last);

        QLineEdit stray;
        QVERIFY(!FocusNextControl(&stray));
    }

    void minimisingMinimisesTheApplicationAndRestoreSkipsInitForm()
    {
        TCountingForm other;
        other.show();
        TCountingForm form;
        form.show();
        QCOMPARE(form.inits, 1);
        bool previousRan = false;
        SetApplicationRestoreHandler([&] { previousRan = true; });
        form.HandleSysCommandMinimize();
        QVERIFY(form.windowState() & Qt::WindowMinimized);
        QVERIFY(other.windowState() & Qt::WindowMinimized);
        ApplicationRestored();
        QVERIFY(!(form.windowState() & Qt::WindowMinimized));
        QVERIFY(!(other.windowState() & Qt::WindowMinimized));
        QVERIFY(form.isVisible());
        QCOMPARE(form.inits, 1);
        QVERIFY(form.InitOnShow());
        QVERIFY(!previousRan);
        ApplicationRestored();  // the handler from before is back in place
        QVERIFY(previousRan);
        SetApplicationRestoreHandler(nullptr);
        form.hide();
        form.show();
        QCOMPARE(form.inits, 2);  // a new show runs InitForm again
    }

    void waitWindow()
    {
        TFormWaitMessage wait;
        message->SetWaitForm(&wait);
        QCOMPARE(wait.size(), QSize(547, 83));
        QCOMPARE(wait.palette().color(QPalette::Window), QColor(203, 200, 253));
        ShowWaitMessage("Betöltés", "Termékek betöltése...");
        QVERIFY(wait.isVisible());
        QCOMPARE(wait.lblMain->text(), QString("Termékek betöltése..."));
        QCOMPARE(wait.windowTitle(), QString("Betöltés"));
        QVERIFY(wait.findChildren<QPushButton*>().isEmpty());
        ShowWaitMessage("Betöltés", "Ügyfelek betöltése...");
        QCOMPARE(wait.lblMain->text(), QString("Ügyfelek betöltése..."));
        HideWaitMessage();
        QVERIFY(!wait.isVisible());
        message->SetWaitForm(nullptr);
    }

    void mainWindowLayoutCaptionAndStatusBar()
    {
        TTempProgramDir dir;
        dir.Write("Data/termek.inf", "[File]\r\nFileName=termek.zip\r\nSize=1\r\nDateTime=46000,5\r\n");
        TFormMain form;
        form.show();
        QCOMPARE(form.size(), QSize(537, 389));
        QVERIFY(form.windowTitle().contains("ver.1120"));
        QVERIFY(form.windowTitle().contains("KeloBolt"));
        struct { QPushButton* b; const char* caption; int left; int width; } cases[] = {
            {form.btnCikklista, "Cikklista", 16, 250}, {form.btnMegrendeles, "Megrendelés", 272, 250},
            {form.btnSync, "Adatok szinkronizálása", 16, 250}, {form.btnNewBersion, "Új verzió keresése", 272, 250},
            {form.btnArhivMegrendelesek, "Archív megrendelések", 16, 250}, {form.btnDokumentumok, "Dokumentumok", 272, 250},
            {form.btnBeallitasok, "Beállítás", 16, 250}, {form.btnNevjegy, "Névjegy", 272, 250},
            {form.btnKilep, "Kilép", 16, 506},
        };
        QWidget* previous = nullptr;
        for (const auto& c : cases) {
            QCOMPARE(c.b->text(), QString::fromUtf8(c.caption));
            QCOMPARE(c.b->geometry().left(), c.left);
            QCOMPARE(c.b->size(), QSize(c.width, 70));
            QCOMPARE(c.b->iconSize(), QSize(64, 64));
            if (previous) QCOMPARE(previous->nextInFocusChain(), c.b);
            previous = c.b;
        }
        QCOMPARE(form.StatusPanel0->text(), QString("Cikktörzs: 2025.12.09. 12:00"));
        QCOMPARE(form.StatusPanel1->text(), QString("Ügyféltörzs:  - "));
        QVERIFY(!form.MainStatusBar->isEnabled());
        // Commands whose windows are not in this build are off, not pretending.
        QVERIFY(!form.btnCikklista->isEnabled());
        QVERIFY(!form.btnMegrendeles->isEnabled());
        QVERIFY(!form.btnBeallitasok->isEnabled());
    }

    void mainWindowCommands()
    {
        TTempProgramDir dir;
        QVector<TStartRequest> started;
        SetStartHandler([&](const TStartRequest& r) {
            started << r;
            return true;
        });
        TFormMain form;
        form.show();

        TModalAnswer arhiv([](QWidget* w) { ClickButton(w, "OK"); });
        QTest::mouseClick(form.btnArhivMegrendelesek, Qt::LeftButton);
        QVERIFY(arhiv.WasAnswered());
        QCOMPARE(arhiv.SeenTitle(), QString("Archív megrendelések"));
        QVERIFY(arhiv.SeenText().contains("Nincs archív megrendelés!"));

        dir.Write("weblink.txt", "csak sz\xF6veg\r\n");
        TModalAnswer doc([](QWidget* w) { ClickButton(w, "OK"); });
        QTest::mouseClick(form.btnDokumentumok, Qt::LeftButton);
        QCOMPARE(doc.SeenTitle(), QString("Dokumentum"));
        QVERIFY(doc.SeenText().contains("Nem található megjeleníthető dokumentum!"));

        dir.Write("weblink.txt", "\xC1rlista;https://example.com/arlista\r\n");
        QStringList docButtons;
        TModalAnswer docs([&](QWidget* w) {
            for (QPushButton* b : w->findChildren<QPushButton*>()) docButtons << b->text();
            ClickButton(w, "Kilép");
        });
        QTest::mouseClick(form.btnDokumentumok, Qt::LeftButton);
        QCOMPARE(docs.SeenTitle(), QString("Dokumentumok"));
        QVERIFY(docButtons.contains("Árlista"));

        TModalAnswer about([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QTest::mouseClick(form.btnNevjegy, Qt::LeftButton);
        QCOMPARE(about.SeenTitle(), QString("Névjegy"));
        QVERIFY(about.SeenText().contains("ver.1120"));

        SyncRequested = false;
        QTest::mouseClick(form.btnSync, Qt::LeftButton);
        QVERIFY(SyncRequested);
        QCOMPARE(started.size(), 1);
        QCOMPARE(started[0].program, dir.File("KeloFtp"));
        QCOMPARE(started[0].parameters, QString("\\useinifile \\cmdfile=get.txt;put.txt;"));
        SyncRequested = false;

        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());  // Esc does not close the main window
        QTest::mouseClick(form.btnKilep, Qt::LeftButton);
        QVERIFY(!form.isVisible());  // "Kilép" closes at once, no question
        SetStartHandler(nullptr);
    }

    void firstShowMergesTheUpgradeShowsTheOrdererAndRunsAutoDataSync()
    {
        TTempProgramDir dir;
        TMainIni ini;
        ini.RendeloID = "BOLT07";
        QVERIFY(WriteMainIni(ini));
        TMainIni upgrade;
        upgrade.AutoDataSync = true;
        QVERIFY(WriteMainIniFile(dir.File("iniupgrade.ini"), upgrade));
        // Only the [User] key goes into the upgrade file; the orderer stays as it was.
        TIniFile up(dir.File("iniupgrade.ini"));
        for (const QString& sec : up.Sections())
            if (sec.compare("User", Qt::CaseInsensitive) != 0) up.EraseSection(sec);
        for (const QString& key : up.Keys("User"))
            if (key != "AutoDataSync") up.DeleteKey("User", key);
        QVERIFY(up.Save());
        QVector<TStartRequest> started;
        SetStartHandler([&](const TStartRequest& r) {
            started << r;
            return true;
        });
        SyncRequested = false;
        TFormMain form;
        form.show();
        QVERIFY(!QFile::exists(dir.File("iniupgrade.ini")));
        QVERIFY(form.windowTitle().endsWith("ver.1120 - BOLT07"));
        QCOMPARE(started.size(), 1);  // the synchronisation started once, as if the button was pressed
        QCOMPARE(started[0].parameters, QString("\\useinifile \\cmdfile=get.txt;put.txt;"));
        QVERIFY(SyncRequested);
        form.hide();
        form.show();
        QCOMPARE(started.size(), 1);
        SyncRequested = false;
        SetStartHandler(nullptr);
    }

    void documentButtonsFillColumnsAndStopAtTheFirstThatDoesNotFit()
    {
        TTempProgramDir dir;
        QStringList opened;
        SetOpenHandler([&](const QString& u) {
            opened << u;
            return true;
        });
        WebLinkList().clear();
        for (int i = 0; i < 40; ++i) WebLinkList().append(TWebLink{QString("Dok %1").arg(i), QString("https://example.com/%1").arg(i)});
        TFormDoc form;
        form.show();
        const QSize page = form.PageSize();
        const int perColumn = (page.height() - 20) / 44;
        const int columns = (page.width() - 8) / 305;
        QCOMPARE(form.DocButtons.size(), perColumn * columns);
        QCOMPARE(form.DocButtons[0]->geometry(), QRect(8, 20, 300, 41));
        QCOMPARE(form.DocButtons[1]->geometry().topLeft(), QPoint(8, 64));
        QCOMPARE(form.DocButtons[perColumn]->geometry().topLeft(), QPoint(313, 20));
        QTest::mouseClick(form.DocButtons[1], Qt::LeftButton);
        QCOMPARE(opened, QStringList({"https://example.com/1"}));
        form.OpenLink(99);
        QCOMPARE(opened.size(), 1);
        form.close();
        QVERIFY(form.DocButtons.isEmpty());
        SetOpenHandler(nullptr);
        WebLinkList().clear();
    }

    void failingStartupStepIsLoggedAndTheRestSkipped()
    {
        TTempProgramDir dir;
        TdmMain dm;
        QStringList ran;
        bool splashSeen = false;
        QVERIFY(dm.StartupSteps.size() >= 3);
        dm.StartupSteps.insert(2, {"failing", [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* s = qobject_cast<TFormSplash*>(w)) {
                    splashSeen = s->isVisible() && s->size() == QSize(424, 397) && s->lblVer->text() == "ver.1120";
                }
            throw std::runtime_error("a lemez megtelt");
        }});
        dm.StartupSteps.append({"after", [&] { ran << "after"; }});
        dm.DataModuleCreate();
        QVERIFY(splashSeen);
        QVERIFY(ran.isEmpty());
        for (const char* f : {"Data", "Data/Tetel", "Data/Tetel/Arhiv", "Data/Pic", "Ftp/Send", "Data/Sync", "ArchivData"})
            QVERIFY(QDir(dir.File(f)).exists());
        const QByteArray log = dir.Read("Data/debug.txt");
        QVERIFY(log.endsWith("] Exception:a lemez megtelt \r\n"));
        QVERIFY(!log.contains("] start "));
        for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<TFormSplash*>(w));
        QVERIFY(dm.tmrSync.isActive());
        QCOMPARE(dm.tmrSync.interval(), 2000);
    }

private:
    TdmMessage* message = nullptr;
};

QTEST_MAIN(ShellWindowsTest)
#include "ShellWindowsTest.moc"
