// The list framework through a list window of the tests' own, driven with the mouse and the
// keyboard; layouts go to grids.ini in a temporary program folder.
#include "ModalAnswer.h"
#include "TestListWindow.h"
#include "TestSupport.h"
#include "UtilGridColumns.h"
#include "dMessage.h"
#include "frmGridSettings.h"
#include "frmWaitMessage.h"

#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QtTest>

namespace {
// The program's message dialogs and wait window, with a record of the wait window's use.
class TWatchedMessages : public TdmMessage {
public:
    TWatchedMessages()
    {
        SetWaitForm(&FWait);
        SetMessageHandler(this);
    }
    ~TWatchedMessages() override { SetMessageHandler(nullptr); }
    void ShowWaitMessage(const QString& title, const QString& text) override
    {
        Log << "Wait:" + text;
        TdmMessage::ShowWaitMessage(title, text);
    }
    void HideWaitMessage() override
    {
        Log << "HideWait";
        TdmMessage::HideWaitMessage();
    }
    QStringList Log;

private:
    TFormWaitMessage FWait;
};

QStringList Titles(TDBGrid* g)
{
    QStringList t;
    for (int i = 0; i < g->ColumnCount(); ++i) t << g->Column(i).Title;
    return t;
}

QString Cell(TDBGrid* g, int row, int displayIndex)
{
    const int logical = g->Header()->logicalIndex(displayIndex);
    return g->View()->model()->index(row, logical).data().toString();
}

QStringList ColumnTexts(TDBGrid* g, int displayIndex)
{
    QStringList t;
    for (int r = 0; r < g->View()->model()->rowCount(); ++r) t << Cell(g, r, displayIndex);
    return t;
}

QPoint TitleCenter(TDBGrid* g, int displayIndex)
{
    QHeaderView* h = g->Header();
    const int logical = h->logicalIndex(displayIndex);
    return QPoint(h->sectionViewportPosition(logical) + h->sectionSize(logical) / 2, h->height() / 2);
}

void ClickTitle(TDBGrid* g, int displayIndex)
{
    QTest::mouseClick(g->Header()->viewport(), Qt::LeftButton, {}, TitleCenter(g, displayIndex));
}

void DragTitle(TDBGrid* g, int from, int to)
{
    QWidget* vp = g->Header()->viewport();
    const QPoint a = TitleCenter(g, from);
    QHeaderView* h = g->Header();
    const int target = h->logicalIndex(to);
    // Past the middle of the target title, so the header drops it there.
    const int x = to > from ? h->sectionViewportPosition(target) + h->sectionSize(target) * 3 / 4
                            : h->sectionViewportPosition(target) + h->sectionSize(target) / 4;
    QTest::mousePress(vp, Qt::LeftButton, {}, a);
    const int step = x > a.x() ? 8 : -8;
    for (int p = a.x(); (step > 0 ? p < x : p > x); p += step) QTest::mouseMove(vp, QPoint(p, a.y()));
    QTest::mouseMove(vp, QPoint(x, a.y()));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(x, a.y()));
}

void ResizeColumn(TDBGrid* g, int displayIndex, int dx)
{
    QWidget* vp = g->Header()->viewport();
    QHeaderView* h = g->Header();
    const int logical = h->logicalIndex(displayIndex);
    const QPoint edge(h->sectionViewportPosition(logical) + h->sectionSize(logical) - 1, h->height() / 2);
    QTest::mousePress(vp, Qt::LeftButton, {}, edge);
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(vp, edge + QPoint(dx * i / 4, 0));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, edge + QPoint(dx, 0));
}

void DragSplitter(QSplitter* s, int dy)
{
    // The handle moves with the mouse: positions are taken from where the drag started.
    QWidget* handle = s->handle(1);
    const QPoint start = handle->mapToGlobal(handle->rect().center());
    QTest::mousePress(handle, Qt::LeftButton, {}, handle->mapFromGlobal(start));
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(handle, handle->mapFromGlobal(start + QPoint(0, dy * i / 4)));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(start + QPoint(0, dy)));
}

void ClickCell(TDBGrid* g, int row, int displayIndex)
{
    QTableView* v = g->View();
    const QModelIndex i = v->model()->index(row, g->Header()->logicalIndex(displayIndex));
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(i).center());
}

void Type(QWidget* w, const QString& text)
{
    for (QChar ch : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

QString CurrentKod(TFormBaseList& f)
{
    QVariant v;
    f.GetKeyValue(v);
    return v.toString();
}
}  // namespace

class TBaseListTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TTempProgramDir> FDir;
    std::unique_ptr<TWatchedMessages> FMessages;

    QByteArray GridsIni() const { return FDir->Read("Data/grids.ini"); }
    bool GridsIniExists() const { return QFile::exists(FDir->File("Data/grids.ini")); }

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
        FMessages = std::make_unique<TWatchedMessages>();
    }
    void cleanup()
    {
        FMessages.reset();
        FDir.reset();
    }

    void firstShowLoadsInOrderAndShowsFormattedValues()
    {
        TFormTesztLista f;
        Show(f);
        QCOMPARE(f.Steps.mid(0, 5), QStringList({"InitForm", "OpenTables(true)", "QueryDetail", "QueryMaster", "QueryDetail"}));
        QCOMPARE(FMessages->Log, QStringList({"Wait:Adatok lekérdezése folyamatban...", "HideWait"}));
        QVERIFY(f.windowState() & Qt::WindowMaximized);
        QCOMPARE(f.windowTitle(), QString("Teszt lista: 8 termék (8)"));
        for (QPushButton* b : {f.btnExcel, f.btnLekerdez, f.btnGridSettings, f.btnKilep}) QVERIFY(b->isVisible());
        QCOMPARE(f.btnLekerdez->text(), QString("Lekérdez (F5)"));
        QCOMPARE(Titles(f.grdMaster), QStringList({"Kód", "Megnevezés", "Ár", "Készlet", "Dátum"}));
        QCOMPARE(ColumnTexts(f.grdMaster, 2).mid(0, 3), QStringList({"1 234,50", "99,90", "12,25"}));
        QCOMPARE(Cell(f.grdMaster, 7, 2), QString("3 000,75"));
        QCOMPARE(Cell(f.grdMaster, 0, 4), QString("2026.03.07"));
        QCOMPARE(Cell(f.grdMaster, 2, 4), QString());  // empty date
        QCOMPARE(Cell(f.grdMaster, 4, 3), QString("100"));
        QCOMPARE(f.grdMaster->Column(1).Width, 250);
        QVERIFY(f.grdDetail->isVisible());
        QCOMPARE(f.grdDetail->height(), 114);
        QVERIFY(f.grdMaster->View()->editTriggers() == QAbstractItemView::NoEditTriggers);

        // The detail shows the current product's items with the sums in the footer.
        QCOMPARE(ColumnTexts(f.grdDetail, 0), QStringList({"T1", "T2"}));
        QCOMPARE(f.grdDetail->FooterText(1), QString("1 234,50"));
        QCOMPARE(f.grdDetail->FooterText(2), QString("1 567,82"));
        QCOMPARE(f.grdDetail->FooterText(0), QString());
        ClickCell(f.grdMaster, 7, 1);
        QCOMPARE(ColumnTexts(f.grdDetail, 0), QStringList({"T4"}));
        QCOMPARE(f.grdDetail->FooterText(2), QString("3 810,95"));
        ClickCell(f.grdMaster, 3, 1);
        QCOMPARE(f.grdDetail->View()->model()->rowCount(), 0);
        QCOMPARE(f.grdDetail->FooterText(1), QString("0,00"));
        QVERIFY(!GridsIniExists());  // showing stores nothing
    }

    void captionTemplates()
    {
        TFormTesztLista f;
        f.SetFormCaption(QString());
        Show(f);
        f.setWindowTitle("kézi");
        f.UpdateCaption(true);
        QCOMPARE(f.windowTitle(), QString("kézi"));  // an empty template leaves the caption alone
        f.SetFormCaption("Lista");
        QCOMPARE(f.windowTitle(), QString("Lista"));
    }

    void typedFilterRecountsTheCaption()
    {
        TFormTesztLista f;
        Show(f);
        FMessages->Log.clear();
        f.edtNev->setFocus();
        Type(f.edtNev, "alma");  // in any letter case, anywhere in the name
        QCOMPARE(f.windowTitle(), QString("Teszt lista: 2 termék (2)"));
        QCOMPARE(ColumnTexts(f.grdMaster, 1), QStringList({"alma piros", "Alma zöld"}));
        QCOMPARE(FMessages->Log.mid(0, 2), QStringList({"Wait:Adatok lekérdezése folyamatban...", "HideWait"}));
        QTRY_VERIFY(f.edtNev->hasFocus());  // the focus comes back after the wait window
        f.edtNev->clear();
        Type(f.edtNev, "ő");
        QCOMPARE(ColumnTexts(f.grdMaster, 1), QStringList({"ŐSZIBARACK"}));
        f.edtNev->clear();
        Type(f.edtNev, "x");
        QCOMPARE(f.windowTitle(), QString("Teszt lista: 0 termék (0)"));
        f.edtNev->selectAll();
        QTest::keyClick(f.edtNev, Qt::Key_Backspace);
        QCOMPARE(f.windowTitle(), QString("Teszt lista: 8 termék (8)"));

        // "Lekérdez (F5)" reloads and keeps the filter.
        Type(f.edtNev, "alma");
        f.Steps.clear();
        QTest::keyClick(&f, Qt::Key_F5);
        QCOMPARE(f.Steps.value(0), QString("QueryMaster"));
        QCOMPARE(f.windowTitle(), QString("Teszt lista: 2 termék (2)"));
    }

    void incrementalSearchByTyping()
    {
        TFormTesztLista f;
        Show(f);
        ClickCell(f.grdMaster, 0, 1);
        Type(f.grdMaster->View(), "man");
        QCOMPARE(CurrentKod(f), QString("C003"));
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        Type(f.grdMaster->View(), "ősz");
        QCOMPARE(CurrentKod(f), QString("A003"));
    }

    void titleClicksSortAndAreStored()
    {
        TFormTesztLista f;
        Show(f);
        ClickCell(f.grdMaster, 4, 0);  // Citrom is current
        ClickTitle(f.grdMaster, 1);
        QCOMPARE(ColumnTexts(f.grdMaster, 1),
                 QStringList({"alma piros", "Alma zöld", "banán", "Citrom", "dió", "Körte", "mandula", "ŐSZIBARACK"}));
        QCOMPARE(f.grdMaster->Column(1).Marker, 1);
        QCOMPARE(f.grdMaster->Header()->sortIndicatorSection(), f.grdMaster->Header()->logicalIndex(1));
        QCOMPARE(CurrentKod(f), QString("B002"));  // the current product stays current
        QVERIFY(GridsIniExists());
        ClickTitle(f.grdMaster, 1);
        QCOMPARE(ColumnTexts(f.grdMaster, 1).first(), QString("ŐSZIBARACK"));
        QCOMPARE(f.grdMaster->Column(1).Marker, 2);
        ClickTitle(f.grdMaster, 2);
        QCOMPARE(ColumnTexts(f.grdMaster, 2).first(), QString("0,50"));
        QCOMPARE(f.grdMaster->Column(1).Marker, 0);  // one marker at a time
        QCOMPARE(f.grdMaster->Column(2).Marker, 1);
        QCOMPARE(CurrentKod(f), QString("B002"));

        TListGridFormatItem stored;
        LoadGridFormats(stored, FDir->File("Data/grids.ini"));
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].FormName, QString("FormTesztLista"));
        QCOMPARE(stored[0].GridName, QString("grdMaster"));
        QCOMPARE(stored[0].Columns[1].Tag, 0);
        QCOMPARE(stored[0].Columns[2].Tag, 1);
        f.close();

        // Reopened, the list comes sorted by the stored column.
        TFormTesztLista again;
        Show(again);
        QCOMPARE(ColumnTexts(again.grdMaster, 2).mid(0, 2), QStringList({"0,50", "12,25"}));
        QCOMPARE(again.grdMaster->Column(2).Marker, 1);
    }

    void dragMovesAColumnWithoutSorting()
    {
        TFormTesztLista f;
        Show(f);
        const QStringList before = ColumnTexts(f.grdMaster, 1);
        DragTitle(f.grdMaster, 1, 3);
        QCOMPARE(Titles(f.grdMaster), QStringList({"Kód", "Ár", "Készlet", "Megnevezés", "Dátum"}));
        QCOMPARE(ColumnTexts(f.grdMaster, 3), before);  // the click after the drag did not sort
        QCOMPARE(f.grdMaster->SortColumn(), -1);
        TListGridFormatItem stored;
        LoadGridFormats(stored, FDir->File("Data/grids.ini"));
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].Columns[3].FieldName, QString("NEV"));
        // The next click sorts again.
        ClickTitle(f.grdMaster, 3);
        QCOMPARE(ColumnTexts(f.grdMaster, 3).first(), QString("alma piros"));
    }

    void widthsAreStoredOnlyFromTheFocusedGrid()
    {
        TFormTesztLista f;
        Show(f);
        ResizeColumn(f.grdMaster, 1, 40);
        QCOMPARE(f.grdMaster->Column(1).Width, 290);
        TListGridFormatItem stored;
        LoadGridFormats(stored, FDir->File("Data/grids.ini"));
        QCOMPARE(stored.value(0).Columns.value(1).Width, 290);
        const QByteArray after = GridsIni();

        // A width changed while the grid does not have the focus is not stored.
        f.edtNev->setFocus();
        QVERIFY(!f.grdMaster->HasGridFocus());
        f.grdMaster->Header()->resizeSection(f.grdMaster->Header()->logicalIndex(0), 123);
        QCOMPARE(GridsIni(), after);
        f.grdDetail->Header()->resizeSection(0, 77);
        QVERIFY(FindGridFormat(GridFormats, "FormTesztLista", "grdDetail", 0, 0) < 0);
    }

    void splitterStoresTheDetailHeight()
    {
        int height = 0;
        {
            TFormTesztLista f;
            Show(f);
            f.grdMaster->SetGridFocus();
            DragSplitter(f.Splitter, -40);
            height = f.grdDetail->height();
            QVERIFY2(qAbs(height - 154) <= 2, qPrintable(QString::number(height)));
            const int i = FindGridFormat(GridFormats, "FormTesztLista", "grdDetail", 0, 0);
            QVERIFY(i >= 0);
            QCOMPARE(GridFormats[i].GridHeight, height);
            QVERIFY(GridsIniExists());
        }
        GridFormats.clear();
        LoadGridFormats(GridFormats, FDir->File("Data/grids.ini"));
        {
            TFormTesztLista again;
            Show(again);
            QCOMPARE(again.grdDetail->height(), height);
        }
        // A stored height of 0 keeps the designed height.
        GridFormats[FindGridFormat(GridFormats, "FormTesztLista", "grdDetail", 0, 0)].GridHeight = 0;
        TFormTesztLista designed;
        Show(designed);
        QCOMPARE(designed.grdDetail->height(), 114);
    }

    void separateLayoutsPerWindowTag()
    {
        {
            TFormTesztLista f;
            f.SetTag(1);
            Show(f);
            ClickTitle(f.grdMaster, 1);
        }
        TFormTesztLista browse;  // tag 0: its own layout, none stored yet
        Show(browse);
        QCOMPARE(browse.grdMaster->SortColumn(), -1);
        TFormTesztLista order;
        order.SetTag(1);
        Show(order);
        QCOMPARE(order.grdMaster->SortColumn(), 1);
    }

    void gridSettingsHideAColumnAndCancelStillWrites()
    {
        TFormTesztLista f;
        Show(f);
        ClickCell(f.grdMaster, 0, 0);
        {
            TModalAnswer answer([](QWidget* w) {
                auto* d = qobject_cast<TFormGridSettings*>(w);
                QVERIFY(d);
                QCOMPARE(d->lbVisible->count(), 5);
                d->lbVisible->setCurrentRow(3);  // Készlet
                QTest::mouseClick(d->btnHide, Qt::LeftButton);
                QTest::mouseClick(d->btnOK, Qt::LeftButton);
            });
            QTest::keyClick(&f, Qt::Key_F9);
            QVERIFY(answer.WasAnswered());
        }
        QCOMPARE(Titles(f.grdMaster), QStringList({"Kód", "Megnevezés", "Ár", "Dátum"}));
        QVERIFY(GridsIniExists());
        const int i = FindGridFormat(GridFormats, "FormTesztLista", "grdMaster", 0, 0);
        QCOMPARE(GridFormats[i].Columns.last().FieldName, QString("MENNY"));
        QCOMPARE(GridFormats[i].Columns.last().Visible, false);

        // Cancel changes no column but writes grids.ini again.
        QFile::remove(FDir->File("Data/grids.ini"));
        {
            TModalAnswer answer([](QWidget* w) {
                auto* d = qobject_cast<TFormGridSettings*>(w);
                QVERIFY(d);
                QCOMPARE(d->lbInvisible->count(), 1);
                QCOMPARE(d->lbInvisible->item(0)->text(), QString("Készlet"));
                QTest::mouseClick(d->btnShowAll, Qt::LeftButton);
                QVERIFY(ClickButton(d, "Mégsem"));
            });
            f.btnGridSettings->click();
            QVERIFY(answer.WasAnswered());
        }
        QCOMPARE(Titles(f.grdMaster), QStringList({"Kód", "Megnevezés", "Ár", "Dátum"}));
        QVERIFY(GridsIniExists());
        f.close();

        // Reopened: the column stays hidden.
        TFormTesztLista again;
        Show(again);
        QCOMPARE(Titles(again.grdMaster), QStringList({"Kód", "Megnevezés", "Ár", "Dátum"}));
    }

    void detailGridSettingsWhenTheDetailHadTheFocus()
    {
        TFormTesztLista f;
        Show(f);
        ClickCell(f.grdDetail, 0, 0);
        QCOMPARE(f.ActiveGrid(), 2);
        TModalAnswer answer([](QWidget* w) {
            auto* d = qobject_cast<TFormGridSettings*>(w);
            QVERIFY(d);
            QCOMPARE(d->lbVisible->item(0)->text(), QString("Tétel"));
            QTest::mouseClick(d->btnOK, Qt::LeftButton);
        });
        QTest::keyClick(f.grdDetail->View(), Qt::Key_F9);
        QVERIFY(answer.WasAnswered());
        QVERIFY(FindGridFormat(GridFormats, "FormTesztLista", "grdDetail", 0, 0) >= 0);
    }

    void newDefaultColumnsAppearAndUnknownStoredOnesDoNot()
    {
        TDisplayFields stored;
        AddDisplayField(stored, "NEV", "Név", 200);
        AddDisplayField(stored, "REGI", "Régi oszlop", 50);
        AddDisplayField(stored, "KOD", "Kód", 60);
        StoreGridFormat(GridFormats, "FormTesztLista", "grdMaster", 0, stored, 0, 0);
        TFormTesztLista f;
        Show(f);
        QCOMPARE(Titles(f.grdMaster), QStringList({"Név", "Kód", "Ár", "Készlet", "Dátum"}));
        QCOMPARE(f.grdMaster->Column(0).Width, 200);
    }

    void escAsksBeforeClosing()
    {
        TFormTesztLista f;
        Show(f);
        f.grdMaster->SetGridFocus();
        {
            TModalAnswer answer([](QWidget* w) { QVERIFY(ClickButton(w, "Mégsem")); });
            QTest::keyClick(f.grdMaster->View(), Qt::Key_Escape);
            QVERIFY(answer.WasAnswered());
            QCOMPARE(answer.SeenTitle(), QString("Kilépés"));
            QVERIFY(answer.SeenText().contains("Biztosan kilép?"));
        }
        QVERIFY(f.isVisible());
        QCOMPARE(f.OpenTablesFalse, 0);
        {
            TModalAnswer answer([](QWidget* w) { QVERIFY(ClickButton(w, "OK")); });
            QTest::mouseClick(f.btnKilep, Qt::LeftButton);
            QVERIFY(answer.WasAnswered());
        }
        QVERIFY(!f.isVisible());
        QCOMPARE(f.OpenTablesFalse, 1);
    }

    void scriptedLayoutChangesGiveGridsIniByteForByte()
    {
        int masterHeight = 0, detailHeight = 0;
        {
            TFormTesztLista f;
            Show(f);
            ClickTitle(f.grdMaster, 1);        // sort by name
            DragTitle(f.grdMaster, 2, 0);      // "Ár" to the front
            ResizeColumn(f.grdMaster, 1, 40);  // "Kód" 60 -> 100
            TModalAnswer answer([](QWidget* w) {
                auto* d = qobject_cast<TFormGridSettings*>(w);
                QVERIFY(d);
                d->lbVisible->setCurrentRow(4);  // "Dátum"
                QTest::mouseClick(d->btnHide, Qt::LeftButton);
                QTest::mouseClick(d->btnOK, Qt::LeftButton);
            });
            QTest::keyClick(f.grdMaster->View(), Qt::Key_F9);
            QVERIFY(answer.WasAnswered());
            DragSplitter(f.Splitter, -40);
            detailHeight = f.grdDetail->height();
        }
        {
            TFormTesztLista f;
            Show(f);
            QCOMPARE(Titles(f.grdMaster), QStringList({"Ár", "Kód", "Megnevezés", "Készlet"}));
            QCOMPARE(f.grdMaster->SortColumn(), 2);
            ClickTitle(f.grdMaster, 0);
            ClickTitle(f.grdMaster, 0);  // "Ár" descending; the name loses its marker
            masterHeight = f.grdMaster->GridHeight();
            QCOMPARE(ColumnTexts(f.grdMaster, 0).first(), QString("3 000,75"));
        }
        QFile fixture(FixturePath("lists-grids-after-layout-changes.ini"));
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        QByteArray expected = fixture.readAll();
        expected.replace("%MASTERHEIGHT%", QByteArray::number(masterHeight));
        expected.replace("%DETAILHEIGHT%", QByteArray::number(detailHeight));
        const QByteArray actual = GridsIni();
        if (actual != expected) {
            int i = 0;
            while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
            QFAIL(qPrintable(QString("grids.ini differs at byte %1:\n%2\n---\n%3")
                                 .arg(i)
                                 .arg(QString::fromLatin1(actual.mid(qMax(0, i - 60), 120)))
                                 .arg(QString::fromLatin1(expected.mid(qMax(0, i - 60), 120)))));
        }
    }

    void filterAndRangeHelpers()
    {
        TRxMemoryData t;
        t.CreateTable({{"NEV", TFieldType::String, 20}, {"KELT", TFieldType::Date}, {"N", TFieldType::Float}});
        t.Append();
        t.SetValue(0, "Őszibarack");
        t.SetValue(1, QDate(2026, 3, 7));
        t.SetValue(2, 5.0);
        t.Post();
        QVERIFY(TFormBaseList::TextMatches("", t, "NEV"));
        QVERIFY(TFormBaseList::TextMatches("SZIB", t, "NEV"));
        QVERIFY(TFormBaseList::TextMatches("őszi", t, "NEV"));
        QVERIFY(!TFormBaseList::TextMatches("alma", t, "NEV"));
        QVERIFY(!TFormBaseList::TextMatches("a", t, "NINCS"));
        const double day = QDate(2026, 3, 7).toJulianDay() - QDate(1899, 12, 30).toJulianDay();
        QVERIFY(TFormBaseList::InRange(t, "KELT", day, day));
        QVERIFY(!TFormBaseList::InRange(t, "KELT", day + 1, 0));
        QVERIFY(!TFormBaseList::InRange(t, "KELT", 0, day - 1));
        QVERIFY(TFormBaseList::InRange(t, "N", 0, 0));
        QVERIFY(!TFormBaseList::InRange(t, "N", 6, 10));
        t.Edit();
        t.SetValue(1, QVariant());
        t.SetValue(2, 0.0);
        t.Post();
        QVERIFY(TFormBaseList::InRange(t, "KELT", day + 1, day + 2));  // empty: accepted whatever the bounds
        QVERIFY(TFormBaseList::InRange(t, "N", 6, 10));
    }
};

QTEST_MAIN(TBaseListTest)
#include "BaseListTest.moc"
