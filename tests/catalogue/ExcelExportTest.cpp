// "Excel (F3)" from the tests' list window: the questions, the save dialog and the workbook, read
// back with xlrd (through the xls reader script of the writer's tests).
#include "Launcher.h"
#include "ModalAnswer.h"
#include "TestListWindow.h"
#include "TestSupport.h"
#include "UtilGridColumns.h"
#include "dMessage.h"
#include "ExcelExport.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace {
// Reads a workbook with the independent reader; the sheets as JSON.
QJsonObject ReadWorkbook(const QString& file)
{
    QProcess p;
    p.start("/usr/bin/python3", {SourceFile("tests/catalogue/xls/xls_dump.py"), file});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonArray Cells(const QJsonObject& sheet, int row)
{
    for (const QJsonValue& r : sheet["rows"].toArray())
        if (r.toObject()["row"].toInt() == row) return r.toObject()["cells"].toArray();
    return {};
}

QStringList Values(const QJsonArray& cells)
{
    QStringList t;
    for (const QJsonValue& c : cells) t << c.toObject()["v"].toVariant().toString();
    return t;
}

// Answers the save dialog by typing a name into it and pressing Enter.
void TypeFileName(QWidget* w, const QString& name)
{
    auto* dlg = qobject_cast<QFileDialog*>(w);
    if (!dlg) {
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();  // never leave a window hanging
        QFAIL(qPrintable("not the save dialog: " + w->windowTitle()));
    }
    // Whatever fails below, the dialog does not stay open.
    struct TCloser {
        QFileDialog* d;
        ~TCloser()
        {
            if (d->isVisible()) d->reject();
        }
    } closer{dlg};
    QCOMPARE(dlg->acceptMode(), QFileDialog::AcceptSave);
    auto* edit = dlg->findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(edit);
    // The user goes to the folder, then types the name.
    const QFileInfo target(name);
    dlg->setDirectory(target.absolutePath());
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, target.fileName());
    QTest::qWait(20);
    QVERIFY(ClickButton(dlg, "Mentés"));
}

// A chain of answers to the modal windows that come one after the other.
struct TChain {
    QVector<std::function<void(QWidget*)>> steps;
    QStringList seen;  // title | texts of each window answered
    std::unique_ptr<TModalAnswer> current;
    int next = 0;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    ~TChain() { *alive = false; }
    void Arm()
    {
        const std::shared_ptr<bool> live = alive;
        if (next >= steps.size()) {
            // A window nobody expected is closed, so a failing test cannot hang.
            current = std::make_unique<TModalAnswer>([this, live](QWidget* w) {
                if (!*live) return;
                seen << "unexpected " + w->windowTitle() + "|" + LabelTexts(w);
                if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
            }, 2000);
            return;
        }
        current = std::make_unique<TModalAnswer>([this, live](QWidget* w) {
            if (!*live) return;
            seen << w->windowTitle() + "|" + LabelTexts(w);
            auto step = steps[next++];
            Arm();  // before answering, so the window after this one is caught too
            step(w);
        });
    }
};

std::function<void(QWidget*)> Press(const QString& caption)
{
    return [caption](QWidget* w) { QVERIFY(ClickButton(w, caption)); };
}
}  // namespace

class TExcelExportTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TTempProgramDir> FDir;
    std::unique_ptr<TdmMessage> FMessages;
    QStringList FOpened;

    void Show(TFormTesztLista& f)
    {
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }
    void init()
    {
        FDir = std::make_unique<TTempProgramDir>();
        FDir->Write("Data/.keep", "");
        GridFormats.clear();
        FMessages = std::make_unique<TdmMessage>();
        SetMessageHandler(FMessages.get());
        FOpened.clear();
        SetOpenHandler([this](const QString& f) {
            FOpened << f;
            return true;
        });
    }
    void cleanup()
    {
        SetOpenHandler({});
        SetMessageHandler(nullptr);
        FMessages.reset();
        FDir.reset();
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("other extension") << "/x/lista.txt" << "/x/lista.xls";
        QTest::newRow("no extension") << "/x/lista" << "/x/lista.xls";
        QTest::newRow("two dots") << "/x/lista.2026.csv" << "/x/lista.2026.xls";
        QTest::newRow("already xls") << "/x/Lista.XLS" << "/x/Lista.xls";
        QTest::newRow("dot in the folder only") << "/x.y/lista" << "/x.y/lista.xls";
    }
    void fileNames()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QCOMPARE(ExcelFileName(chosen), written);
    }

    void exportsTheMasterGridAsShown()
    {
        TFormTesztLista f;
        AddDisplayField(f.MasterFields(), "NINCS", "Nincs ilyen mező", 40);  // skipped in the export
        Show(f);
        // Hide "Készlet" through a stored layout change: a hidden column is not exported.
        TDisplayFields cols;
        ReadGridColumns(f.grdMaster, cols);
        cols[3].Visible = false;
        StoreGridFormat(GridFormats, f.objectName(), "grdMaster", 0, cols, 0, 0);
        QTest::keyClick(&f, Qt::Key_F5);
        QCOMPARE(f.grdMaster->ColumnCount(), 5);
        f.grdMaster->SetGridFocus();

        const QString file = FDir->File("lista.xls");
        TChain chain;
        chain.steps = {Press("OK"), [&](QWidget* w) { TypeFileName(w, FDir->File("lista.txt")); }, Press("OK")};
        chain.Arm();
        QTest::keyClick(f.grdMaster->View(), Qt::Key_F3);
        QTRY_COMPARE(chain.next, 3);
        QCOMPARE(chain.seen.value(0), QString("Excel|Biztosan elindítja az Excel feladást?"));
        QCOMPARE(chain.seen.value(2), QString("Excel|Megjelenítse az excel táblát?"));
        QVERIFY(QFile::exists(file));
        QVERIFY(!QFile::exists(FDir->File("lista.txt")));
        QCOMPARE(FOpened, QStringList({file}));

        const QJsonObject book = ReadWorkbook(file);
        QCOMPARE(book["log"].toString(), QString());
        QCOMPARE(book["ole"].toObject()["errors"].toArray().size(), 0);
        const QJsonArray sheets = book["sheets"].toArray();
        QCOMPARE(sheets.size(), 1);
        const QJsonObject sheet = sheets[0].toObject();
        QCOMPARE(sheet["name"].toString(), QString("Sheet 1"));
        QVERIFY(sheet["footer"].toString().contains("Page &P of &N"));
        QCOMPARE(sheet["nrows"].toInt(), 1 + 8 + 1);
        QCOMPARE(Values(Cells(sheet, 0)), QStringList({"Kód", "Megnevezés", "Ár", "Dátum"}));
        const QJsonObject caption = Cells(sheet, 0)[0].toObject();
        QVERIFY(caption["bold"].toBool());
        QCOMPARE(caption["height"].toInt(), 240);  // 12 points
        const QJsonArray first = Cells(sheet, 1);
        QCOMPARE(Values(first).mid(0, 3), QStringList({"A001", "alma piros", "1234.5"}));
        QCOMPARE(first[2].toObject()["fmt"].toString(), QString("#,###,##0.00"));
        QCOMPARE(first[3].toObject()["v"].toString(), QString("2026-03-07T00:00:00"));
        QCOMPARE(first[3].toObject()["fmt"].toString(), QString("yyyy. MM. dd."));
        const QJsonArray third = Cells(sheet, 3);  // no date: an empty cell, no "null"
        QVERIFY(third.size() < 4 || third[3].toObject()["v"].toString().isEmpty());
        const QJsonArray totals = Cells(sheet, 9);
        QVERIFY2(totals[2].toObject()["formula"].toString().startsWith("SUM("),
                 qPrintable(QJsonDocument(totals).toJson()));
        QVERIFY(totals[2].toObject()["bold"].toBool());
        QVERIFY(totals.size() < 2 || totals[1].toObject()["formula"].toString().isEmpty());  // no total for texts
        // Widths: pixels x 0.2 in characters (250 -> 50, 90 -> 18, 60 -> 12).
        const QJsonObject widths = sheet["widths"].toObject();
        QCOMPARE(widths["1"].toInt(), 50 * 256);
        QCOMPARE(widths["2"].toInt(), 18 * 256);
        QCOMPARE(widths["0"].toInt(), 12 * 256);
    }

    void overwriteQuestionGoesBackToTheDialog()
    {
        TFormTesztLista f;
        Show(f);
        FDir->Write("lista.xls", "old");
        {
            TChain chain;
            chain.steps = {Press("OK"), [&](QWidget* w) { TypeFileName(w, FDir->File("lista.csv")); }, Press("Mégsem"),
                           [&](QWidget* w) { TypeFileName(w, FDir->File("masik")); }, Press("Mégsem")};
            chain.Arm();
            f.btnExcel->click();
            QTRY_COMPARE(chain.next, 5);
            QCOMPARE(chain.seen.value(2), QString("Excel|Létező fájl. Felülírja?"));
            QCOMPARE(chain.seen.value(4), QString("Excel|Megjelenítse az excel táblát?"));
            QCOMPARE(FDir->Read("lista.xls"), QByteArray("old"));
            QVERIFY(QFile::exists(FDir->File("masik.xls")));
            QVERIFY(FOpened.isEmpty());  // not asked to show it
        }

        // Confirmed, the existing file is replaced.
        TChain again;
        again.steps = {Press("OK"), [&](QWidget* w) { TypeFileName(w, FDir->File("lista.xls")); }, Press("OK"),
                       Press("Mégsem")};
        again.Arm();
        f.btnExcel->click();
        QTRY_COMPARE(again.next, 4);
        QVERIFY(FDir->Read("lista.xls").startsWith("\xD0\xCF\x11\xE0"));
    }

    void detailGridExportWithItsSums()
    {
        TFormTesztLista f;
        Show(f);
        QTableView* v = f.grdDetail->View();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(0, 0)).center());
        QCOMPARE(f.ActiveGrid(), 2);
        const QString file = FDir->File("tetelek.xls");
        TChain chain;
        chain.steps = {Press("OK"), [&](QWidget* w) { TypeFileName(w, file); }, Press("Mégsem")};
        chain.Arm();
        QTest::keyClick(v, Qt::Key_F3);
        QTRY_COMPARE(chain.next, 3);
        const QJsonObject sheet = ReadWorkbook(file)["sheets"].toArray()[0].toObject();
        QCOMPARE(Values(Cells(sheet, 0)), QStringList({"Tétel", "Nettó", "Bruttó"}));
        QCOMPARE(sheet["nrows"].toInt(), 1 + 2 + 1);  // the current product's two items and the totals
        const QJsonArray totals = Cells(sheet, 3);
        QVERIFY(totals[1].toObject()["formula"].toString().startsWith("SUM("));
        QVERIFY(totals[2].toObject()["formula"].toString().startsWith("SUM("));
    }

    void filteredToNothingStillWritesEmptyTableAsksNothing()
    {
        {
            TFormTesztLista f;
            Show(f);
            f.edtNev->setText("nincs ilyen");
            f.SetFilterDirty(true);
            f.ApplyFilter(true);
            QCOMPARE(f.grdMaster->View()->model()->rowCount(), 0);
            const QString file = FDir->File("ures.xls");
            TChain chain;
            chain.steps = {Press("OK"), [&](QWidget* w) { TypeFileName(w, file); }, Press("Mégsem")};
            chain.Arm();
            f.grdMaster->SetGridFocus();
            QTest::keyClick(f.grdMaster->View(), Qt::Key_F3);
            QTRY_COMPARE(chain.next, 3);
            const QJsonObject sheet = ReadWorkbook(file)["sheets"].toArray()[0].toObject();
            QCOMPARE(Values(Cells(sheet, 0)).value(0), QString("Kód"));
            QVERIFY(sheet["nrows"].toInt() <= 2);  // captions and perhaps the totals, no data rows
            QCOMPARE(f.grdMaster->View()->model()->rowCount(), 0);  // the filter is still on
        }
        {
            TFormTesztLista f;
            f.Products.clear();
            Show(f);
            TModalAnswer confirm([](QWidget* w) { QVERIFY(ClickButton(w, "OK")); });
            QTest::keyClick(f.grdMaster->View(), Qt::Key_F3);
            QVERIFY(confirm.WasAnswered());
            TModalAnswer none([](QWidget* w) { ClickButton(w, "Mégsem"); }, 300);
            QTest::qWait(400);
            QVERIFY(!none.WasAnswered());  // no save dialog for an empty table
        }
    }
};

QTEST_MAIN(TExcelExportTest)
#include "ExcelExportTest.moc"
