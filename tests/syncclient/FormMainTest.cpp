// The client's window, offscreen. Offscreen there is no notification area: the window then
// shows itself at start; where an icon exists it starts hidden.
#include "CodePage.h"
#include "ModalAnswer.h"
#include "SyncTestSupport.h"
#include "TestSupport.h"
#include "frmMain.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

class FormMainTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TTempProgramDir> FProg;

    QString WriteConfig(bool autoStart, int refreshSec, const QByteArray& password = QByteArray())
    {
        FProg->Write("KeloFtpSync.ini", "[Desktop]\r\nAutoStart=" + QByteArray(autoStart ? "1" : "0") + "\r\nRefreshSec=" +
                                            QByteArray::number(refreshSec) + "\r\n[FTPITEM1]\r\nServer=127.0.0.1\r\nPassword=" +
                                            password + "\r\nActive=1\r\n");
        return FProg->File("KeloFtpSync.ini");
    }
    static void CheckStartStop(const TFormMain& f, bool running)
    {
        QCOMPARE(f.actStart->isEnabled(), !running);
        QCOMPARE(f.actStop->isEnabled(), running);
        QCOMPARE(f.ConsoleSync()->Active(), running);
        QCOMPARE(StopRequested, !running);
    }

private slots:
    void init() { FProg = std::make_unique<TTempProgramDir>(); }
    void cleanup() { FProg.reset(); }

    void layoutAsDesigned()
    {
        TFormMain f(ReadSyncConfig(WriteConfig(false, 0)), FProg->File("KeloFtpSync.ini"));
        QCOMPARE(f.windowTitle(), QStringLiteral("KeloFtpSycClient- KeloSoft"));
        QCOMPARE(f.size(), QSize(270, 368));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QVERIFY(!(f.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(f.windowFlags() & Qt::WindowSystemMenuHint));
        QVERIFY(!(f.windowFlags() & Qt::WindowMinMaxButtonsHint));
        QCOMPARE(f.font().pixelSize(), 16);
        QCOMPARE(f.font().family(), QStringLiteral("Times New Roman"));
        const struct {
            QToolButton* button;
            QAction* action;
            const char* caption;
            int top;
        } buttons[] = {{f.btnStart, f.actStart, "Start", 24}, {f.btnStop, f.actStop, "Stop", 108},
                       {f.btnHide, f.actHide, "Elrejt", 192}, {f.btnExit, f.actExit, "Kilép", 278}};
        for (const auto& b : buttons) {
            QCOMPARE(b.button->geometry(), QRect(40, b.top, 185, 80));
            QCOMPARE(b.button->defaultAction(), b.action);
            QCOMPARE(b.action->text(), QString::fromUtf8(b.caption));
            QCOMPARE(b.button->iconSize(), QSize(64, 64));
            QVERIFY(!b.action->icon().isNull());
        }
        const QList<QAction*> menu = f.PopupMenu1->actions();
        QCOMPARE(menu.size(), 4);
        QCOMPARE(menu[0], f.actStart);
        QCOMPARE(menu[1], f.actStop);
        QVERIFY(menu[2]->isSeparator());
        QCOMPARE(menu[3], f.actExit);
        QCOMPARE(SyncClientTitle(), QStringLiteral("KeloFtpSyncClient - KeloSoft"));
    }

    void startsStoppedOrRunningByAutoStart()
    {
        {
            TFormMain f(ReadSyncConfig(WriteConfig(false, 60)), FProg->File("KeloFtpSync.ini"));
            CheckStartStop(f, false);
            QCOMPARE(f.isVisible(), f.TrayIcon() == nullptr);
            if (f.TrayIcon()) QCOMPARE(f.TrayIcon()->toolTip(), SyncClientTitle());
            QVERIFY(!f.ConsoleSync()->Timer()->isActive());
        }
        TFormMain f(ReadSyncConfig(WriteConfig(true, 60)), FProg->File("KeloFtpSync.ini"));
        CheckStartStop(f, true);
        QVERIFY(f.ConsoleSync()->Timer()->isActive());
        QCOMPARE(f.ConsoleSync()->Timer()->interval(), 60000);
    }

    void startAndStopNeverTogetherAndStartRereads()
    {
        TFormMain f(ReadSyncConfig(WriteConfig(false, 60)), FProg->File("KeloFtpSync.ini"));
        f.show();
        QTest::mouseClick(f.btnStart, Qt::LeftButton);
        CheckStartStop(f, true);
        QTest::mouseClick(f.btnStart, Qt::LeftButton);  // disabled: nothing changes
        CheckStartStop(f, true);
        QTest::mouseClick(f.btnStop, Qt::LeftButton);
        CheckStartStop(f, false);
        WriteConfig(false, 5);
        f.actStart->trigger();
        CheckStartStop(f, true);
        QCOMPARE(f.ConsoleSync()->Beallitas().RefreshSec, 5);
        QCOMPARE(f.ConsoleSync()->Timer()->interval(), 5000);
        f.actStop->trigger();
        CheckStartStop(f, false);
    }

    void startWithUndecipherablePasswordShowsWhyAndStaysStopped()
    {
        TFormMain f(ReadSyncConfig(WriteConfig(false, 60)), FProg->File("KeloFtpSync.ini"));
        WriteConfig(false, 60, "not-hex");
        TModalAnswer answer([](QWidget* w) { ClickButton(w, QStringLiteral("OK")); });
        f.actStart->trigger();
        QVERIFY(answer.WasAnswered());
        QVERIFY2(answer.SeenText().contains(QStringLiteral("nem fejthető vissza")), qPrintable(answer.SeenText()));
        CheckStartStop(f, false);
        const QString log = DecodeCodePage(FProg->Read("FtpSync/" + QDate::currentDate().toString("yyyyMMdd") + ".log"), 1250);
        QVERIFY2(log.contains(QStringLiteral("Beállítási hiba")), qPrintable(log));
    }

    void trayMouseButtons()
    {
        TFormMain f(ReadSyncConfig(WriteConfig(false, 0)), FProg->File("KeloFtpSync.ini"));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.WMTrayIcon(WM_RBUTTONDOWN);  // window shown: the right button does nothing
        QVERIFY(!f.PopupMenu1->isVisible());
        f.actHide->trigger();
        if (f.TrayIcon()) QVERIFY(!f.isVisible());
        else QVERIFY(f.isMinimized());  // without an icon Elrejt must not lose the window
        f.hide();
        f.WMTrayIcon(512);  // mouse move: ignored
        QVERIFY(!f.isVisible());
        QVERIFY(!f.PopupMenu1->isVisible());
        f.WMTrayIcon(WM_RBUTTONDOWN);
        QTRY_VERIFY(f.PopupMenu1->isVisible());
        f.PopupMenu1->close();
        f.WMTrayIcon(WM_LBUTTONDOWN);
        QVERIFY(f.isVisible());
    }

    void onlyKilepCloses()
    {
        TFormMain f(ReadSyncConfig(WriteConfig(true, 60)), FProg->File("KeloFtpSync.ini"));
        f.show();
        QVERIFY(!f.close());  // from the frame: refused
        QVERIFY(f.isVisible());
        CheckStartStop(f, true);
        QSignalSpy closed(&f, &TFormMain::Closed);
        QTest::mouseClick(f.btnExit, Qt::LeftButton);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!f.isVisible());
        CheckStartStop(f, false);
    }

    void startUpWithBrokenConfigurationEndsWithAMessage()
    {
        WriteConfig(true, 60, "XYZ");
        TModalAnswer answer([](QWidget* w) { ClickButton(w, QStringLiteral("OK")); });
        const std::unique_ptr<TFormMain> form = CreateSyncClient({});
        QVERIFY(!form);
        QVERIFY(answer.WasAnswered());
        QVERIFY2(answer.SeenText().contains(QStringLiteral("[FTPITEM1]")), qPrintable(answer.SeenText()));
        const QString log = DecodeCodePage(FProg->Read("FtpSync/" + QDate::currentDate().toString("yyyyMMdd") + ".log"), 1250);
        QVERIFY2(log.contains(QStringLiteral("Beállítási hiba, a program nem indul")), qPrintable(log));

        WriteConfig(false, 60);
        const std::unique_ptr<TFormMain> good = CreateSyncClient({QStringLiteral("a"), QStringLiteral("b")});
        QVERIFY(good);
        CheckStartStop(*good, false);
    }
};

QTEST_MAIN(FormMainTest)
#include "FormMainTest.moc"
