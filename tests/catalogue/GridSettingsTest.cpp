// "Oszlop beállítás" driven with the mouse and the keyboard as a user works in it.
#include "ModalAnswer.h"
#include "frmGridSettings.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {
TDisplayFields SampleColumns()
{
    TDisplayFields c;
    AddDisplayField(c, "KOD", "Kód", 80);
    AddDisplayField(c, "NEV", "Megnevezés", 250);
    AddDisplayField(c, "AR", "Ár", 70, "### ##0.00", true, 1);
    AddDisplayField(c, "MENNY", "Mennyiség", 60, "", false);
    AddDisplayField(c, "AFA", "ÁFA", 40, "0", false);
    return c;
}

QStringList Texts(QListWidget* l)
{
    QStringList t;
    for (int i = 0; i < l->count(); ++i) t << l->item(i)->text();
    return t;
}

QStringList Names(const TDisplayFields& c)
{
    QStringList t;
    for (const auto& f : c) t << f.FieldName + (f.Visible ? "+" : "-");
    return t;
}

QPoint ItemCenter(QListWidget* l, int row) { return l->visualItemRect(l->item(row)).center(); }

void ClickItem(QListWidget* l, int row) { QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, ItemCenter(l, row)); }

// As the window system delivers it: press, release, double click, release.
void DoubleClickItem(QListWidget* l, int row)
{
    const QPoint p = ItemCenter(l, row);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, p);
}

void MoveWithButton(QWidget* w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Type(QWidget* w, const QString& text)
{
    for (QChar ch : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// A dialog over the sample columns, shown and waiting for the test's clicks.
struct TOpenDialog {
    TFormGridSettings form;
    TOpenDialog()
    {
        GridSettingsColumns = SampleColumns();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
};
}  // namespace

class TGridSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void showsVisibleAndHiddenColumnsAndEditsTheSelectedOne()
    {
        TOpenDialog d;
        auto& f = d.form;
        QCOMPARE(f.windowTitle(), QString("Oszlop beállítás"));
        QCOMPARE(Texts(f.lbVisible), QStringList({"Kód", "Megnevezés", "Ár"}));
        QCOMPARE(Texts(f.lbInvisible), QStringList({"Mennyiség", "ÁFA"}));
        QCOMPARE(f.edtWidth->text(), QString("0"));  // nothing selected yet
        QCOMPARE(f.edtDisplay->text(), QString());

        ClickItem(f.lbVisible, 2);
        QCOMPARE(f.edtDisplay->text(), QString("Ár"));
        QCOMPARE(f.edtWidth->text(), QString("70"));
        QCOMPARE(f.edtFormat->text(), QString("### ##0.00"));

        // Typing in the caption box retitles the entry in the list as well.
        f.edtDisplay->setFocus();
        f.edtDisplay->selectAll();
        Type(f.edtDisplay, "Nettó ár");
        QCOMPARE(f.lbVisible->item(2)->text(), QString("Nettó ár"));
        // Width and format are written too, the list text stays.
        f.edtWidth->setFocus();
        f.edtWidth->selectAll();
        Type(f.edtWidth, "95,8");
        f.edtFormat->setFocus();
        f.edtFormat->selectAll();
        Type(f.edtFormat, "0.00");
        QCOMPARE(f.lbVisible->item(2)->text(), QString("Nettó ár"));
        const int ar = FindDisplayField(GridSettingsColumns, "AR");
        QCOMPARE(GridSettingsColumns[ar].Display, QString("Nettó ár"));
        QCOMPARE(GridSettingsColumns[ar].Width, 95);
        QCOMPARE(GridSettingsColumns[ar].Format, QString("0.00"));
        QCOMPARE(GridSettingsColumns[ar].Tag, 1);  // the sort marker survives

        // Selecting another entry shows its values, not the edited ones.
        ClickItem(f.lbVisible, 0);
        QCOMPARE(f.edtDisplay->text(), QString("Kód"));
        QCOMPARE(f.edtWidth->text(), QString("80"));
    }

    void moveButtonsAndDoubleClicks()
    {
        TOpenDialog d;
        auto& f = d.form;
        // ">" shows the selected hidden column at the end; the hidden list keeps its position.
        ClickItem(f.lbInvisible, 0);
        QTest::mouseClick(f.btnShow, Qt::LeftButton);
        QCOMPARE(Texts(f.lbVisible), QStringList({"Kód", "Megnevezés", "Ár", "Mennyiség"}));
        QCOMPARE(Texts(f.lbInvisible), QStringList({"ÁFA"}));
        QCOMPARE(f.lbInvisible->currentRow(), 0);
        QVERIFY(f.lbInvisible->hasFocus());

        // "<" on the last shown entry: the selection goes to the new last one, the edits follow it.
        ClickItem(f.lbVisible, 3);
        QTest::mouseClick(f.btnHide, Qt::LeftButton);
        QCOMPARE(Texts(f.lbVisible), QStringList({"Kód", "Megnevezés", "Ár"}));
        QCOMPARE(Texts(f.lbInvisible), QStringList({"ÁFA", "Mennyiség"}));
        QCOMPARE(f.lbVisible->currentRow(), 2);
        QVERIFY(f.lbVisible->hasFocus());
        QCOMPARE(f.edtDisplay->text(), QString("Ár"));

        // Double clicks move the same way.
        DoubleClickItem(f.lbVisible, 0);
        QCOMPARE(Texts(f.lbVisible), QStringList({"Megnevezés", "Ár"}));
        QCOMPARE(f.lbVisible->currentRow(), 0);
        QCOMPARE(f.edtDisplay->text(), QString("Megnevezés"));
        DoubleClickItem(f.lbInvisible, 1);
        QCOMPARE(Texts(f.lbInvisible), QStringList({"ÁFA", "Kód"}));
        QCOMPARE(Texts(f.lbVisible), QStringList({"Megnevezés", "Ár", "Mennyiség"}));

        // "<<" and ">>" move everything, in list order.
        QTest::mouseClick(f.btnHideAll, Qt::LeftButton);
        QCOMPARE(f.lbVisible->count(), 0);
        QCOMPARE(Texts(f.lbInvisible), QStringList({"ÁFA", "Kód", "Megnevezés", "Ár", "Mennyiség"}));
        QCOMPARE(f.edtWidth->text(), QString("0"));
        QTest::mouseClick(f.btnShowAll, Qt::LeftButton);
        QCOMPARE(f.lbInvisible->count(), 0);
        QCOMPARE(Texts(f.lbVisible), QStringList({"ÁFA", "Kód", "Megnevezés", "Ár", "Mennyiség"}));
        QCOMPARE(f.VisibleNames(), QStringList({"AFA", "KOD", "NEV", "AR", "MENNY"}));

        // Buttons with nothing selected change nothing.
        QTest::mouseClick(f.btnShow, Qt::LeftButton);
        QCOMPARE(f.lbVisible->count(), 5);
    }

    void dragAndShiftArrowsReorderTheShownColumns()
    {
        TOpenDialog d;
        auto& f = d.form;
        QWidget* vp = f.lbVisible->viewport();
        // Drag "Ár" up over "Megnevezés", then over "Kód": it swaps its way to the top.
        QTest::mousePress(vp, Qt::LeftButton, {}, ItemCenter(f.lbVisible, 2));
        MoveWithButton(vp, ItemCenter(f.lbVisible, 1));
        QCOMPARE(Texts(f.lbVisible), QStringList({"Kód", "Ár", "Megnevezés"}));
        MoveWithButton(vp, ItemCenter(f.lbVisible, 0));
        QCOMPARE(Texts(f.lbVisible), QStringList({"Ár", "Kód", "Megnevezés"}));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, ItemCenter(f.lbVisible, 0));
        QCOMPARE(f.VisibleNames(), QStringList({"AR", "KOD", "NEV"}));

        // Dragging below the last entry puts it at the end.
        QTest::mousePress(vp, Qt::LeftButton, {}, ItemCenter(f.lbVisible, 0));
        const QRect last = f.lbVisible->visualItemRect(f.lbVisible->item(2));
        MoveWithButton(vp, QPoint(last.center().x(), last.bottom() + 15));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 15));
        QCOMPARE(Texts(f.lbVisible), QStringList({"Kód", "Megnevezés", "Ár"}));
        QCOMPARE(f.VisibleNames(), QStringList({"KOD", "NEV", "AR"}));

        // Moving the mouse without a button held moves nothing.
        MoveWithButton(vp, ItemCenter(f.lbVisible, 0));
        QCOMPARE(Texts(f.lbVisible), QStringList({"Kód", "Megnevezés", "Ár"}));

        ClickItem(f.lbVisible, 2);
        QTest::keyClick(f.lbVisible, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(Texts(f.lbVisible), QStringList({"Kód", "Ár", "Megnevezés"}));
        QCOMPARE(f.lbVisible->currentRow(), 1);
        QTest::keyClick(f.lbVisible, Qt::Key_Up, Qt::ShiftModifier);
        QTest::keyClick(f.lbVisible, Qt::Key_Up, Qt::ShiftModifier);  // already first: stays
        QCOMPARE(Texts(f.lbVisible), QStringList({"Ár", "Kód", "Megnevezés"}));
        QCOMPARE(f.lbVisible->currentRow(), 0);
        QTest::keyClick(f.lbVisible, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(Texts(f.lbVisible), QStringList({"Kód", "Ár", "Megnevezés"}));
        QCOMPARE(f.VisibleNames(), QStringList({"KOD", "AR", "NEV"}));

        // OK rebuilds the columns: shown ones in the new order, then the hidden ones.
        QTest::mouseClick(f.btnOK, Qt::LeftButton);
        QVERIFY(f.Confirmed());
        QCOMPARE(Names(GridSettingsColumns), QStringList({"KOD+", "AR+", "NEV+", "MENNY-", "AFA-"}));
    }

    void editGridColumnsStoresOnlyWhenConfirmed()
    {
        TListGridFormatItem store;
        const TDisplayFields columns = SampleColumns();
        {
            TModalAnswer answer([](QWidget* w) {
                auto* f = qobject_cast<TFormGridSettings*>(w);
                QVERIFY(f);
                ClickItem(f->lbVisible, 0);
                QTest::mouseClick(f->btnHide, Qt::LeftButton);
                QTest::keyClick(f, Qt::Key_Escape);
            });
            QVERIFY(!EditGridColumns(store, columns, "FormTeszt", 120, 0, 1, "grdMaster"));
            QVERIFY(answer.WasAnswered());
            QVERIFY(store.isEmpty());
        }
        {
            TModalAnswer answer([](QWidget* w) {
                auto* f = qobject_cast<TFormGridSettings*>(w);
                QVERIFY(f);
                ClickItem(f->lbVisible, 0);
                QTest::mouseClick(f->btnHide, Qt::LeftButton);
                QVERIFY(ClickButton(f, "Mégsem"));
            });
            QVERIFY(!EditGridColumns(store, columns, "FormTeszt", 120, 0, 1, "grdMaster"));
            QVERIFY(store.isEmpty());
        }
        {
            TModalAnswer answer([](QWidget* w) {
                auto* f = qobject_cast<TFormGridSettings*>(w);
                QVERIFY(f);
                ClickItem(f->lbVisible, 0);
                QTest::mouseClick(f->btnHide, Qt::LeftButton);
                QTest::keyClick(f->lbVisible, Qt::Key_Return);  // OK is the default button
            });
            QVERIFY(EditGridColumns(store, columns, "FormTeszt", 120, 0, 1, "grdMaster"));
            QVERIFY(answer.WasAnswered());
        }
        QCOMPARE(store.size(), 1);
        QCOMPARE(store[0].FormName, QString("FormTeszt"));
        QCOMPARE(store[0].GridName, QString("grdMaster"));
        QCOMPARE(store[0].GridHeight, 120);
        QCOMPARE(store[0].FormTag, 1);
        QCOMPARE(Names(store[0].Columns), QStringList({"NEV+", "AR+", "MENNY-", "AFA-", "KOD-"}));
    }
};

QTEST_MAIN(TGridSettingsTest)
#include "GridSettingsTest.moc"
