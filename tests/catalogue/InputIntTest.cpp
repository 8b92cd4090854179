// The quantity dialog driven through its keys, as the product list and the barcode and password
// commands use it; messages come from the program's own message dialog.
#include "ModalAnswer.h"
#include "dMessage.h"
#include "frmInputInt.h"

#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QtTest>

namespace {
void Type(QWidget* w, const QString& text)
{
    for (QChar ch : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

bool RunDialog(TInputKind kind, double initial, const std::function<void(TFormInputInt*)>& act,
               QChar mask = QChar())
{
    TModalAnswer answer([&](QWidget* w) {
        auto* form = qobject_cast<TFormInputInt*>(w);
        QVERIFY(form);
        act(form);
    });
    const bool ok = InputValue(kind, "Mennyiség", "Teszt termék", initial, mask);
    [&] { QVERIFY(answer.WasAnswered()); }();
    return ok;
}
}  // namespace

class TInputIntTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        InputCartonFactor = 0;
        InputUnitLabel.clear();
    }

    void cartonSwitch_data()
    {
        QTest::addColumn<double>("factor");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("result");
        QTest::addColumn<QString>("label");
        QTest::newRow("3 k = 3 cartons of 12") << 12.0 << "3k" << 36.0 << "karton";
        QTest::newRow("k twice is pieces again") << 12.0 << "3kk" << 3.0 << "darab";
        QTest::newRow("upper-case K switches too") << 12.0 << "K3" << 36.0 << "karton";
        QTest::newRow("no factor: k changes nothing") << 0.0 << "3k" << 3.0 << "darab";
        QTest::newRow("k between digits never reaches the box") << 0.0 << "1k2" << 12.0 << "darab";
    }
    void cartonSwitch()
    {
        QFETCH(double, factor);
        QFETCH(QString, typed);
        QFETCH(double, result);
        QFETCH(QString, label);
        InputCartonFactor = factor;
        InputUnitLabel = "darab";
        QString shownLabel, boxText;
        const bool ok = RunDialog(TInputKind::Number, 0, [&](TFormInputInt* f) {
            QVERIFY(f->edtInt->isVisible());
            QVERIFY(!f->edtString->isVisible());
            Type(f->edtInt, typed);
            shownLabel = f->lblUtotag->text();
            boxText = f->edtInt->text();
            QTest::keyClick(f->edtInt, Qt::Key_Return);
        });
        QVERIFY(ok);
        QCOMPARE(InputResult.toDouble(), result);
        QCOMPARE(shownLabel, label);
        QVERIFY(!boxText.contains('k', Qt::CaseInsensitive));
        QCOMPARE(InputCartonFactor, 0.0);  // reset on close
        QCOMPARE(InputUnitLabel, QString());
    }

    void everyCallStartsInPieceMode()
    {
        InputCartonFactor = 10;
        InputUnitLabel = "darab";
        QVERIFY(RunDialog(TInputKind::Number, 0, [](TFormInputInt* f) {
            Type(f->edtInt, "k2");
            QTest::keyClick(f->edtInt, Qt::Key_Escape);  // left in carton mode
        }) == false);
        QVERIFY(!InputResult.isValid());
        InputCartonFactor = 10;
        InputUnitLabel = "darab";
        QString label;
        QVERIFY(RunDialog(TInputKind::Number, 5, [&](TFormInputInt* f) {
            label = f->lblUtotag->text();
            QCOMPARE(f->edtInt->text(), QString("5"));
            QTest::keyClick(f->edtInt, Qt::Key_Return);
        }));
        QCOMPARE(label, QString("darab"));
        QCOMPARE(InputResult.toDouble(), 5.0);
    }

    void negativeNumberShowsTooSmallAndLeavesZero()
    {
        TdmMessage messages;
        SetMessageHandler(&messages);
        QString seenTitle, seenText, boxAfter;
        bool answered = false;
        const bool ok = RunDialog(TInputKind::Number, 0, [&](TFormInputInt* f) {
            Type(f->edtInt, "-4");
            TModalAnswer msg([&](QWidget* dlg) {
                seenTitle = dlg->windowTitle();
                seenText = LabelTexts(dlg);
                answered = ClickButton(dlg, "OK");
            });
            QTest::keyClick(f->edtInt, Qt::Key_Return);
            boxAfter = f->edtInt->text();
            QVERIFY(f->isVisible());  // the dialog stays open
            QTest::keyClick(f->edtInt, Qt::Key_Escape);
        });
        SetMessageHandler(nullptr);
        QVERIFY(!ok);
        QVERIFY(answered);
        QCOMPARE(seenTitle, QString("Hiba"));
        QVERIFY2(seenText.contains("Túl kicsi szám"), qPrintable(seenText));
        QCOMPARE(boxAfter, QString("0"));
    }

    void textKind()
    {
        // Enter in an empty text box does nothing; only Esc leaves.
        bool stillOpen = false;
        QVERIFY(!RunDialog(TInputKind::Text, 0, [&](TFormInputInt* f) {
            QVERIFY(f->edtString->isVisible());
            QVERIFY(!f->edtInt->isVisible());
            QTest::keyClick(f->edtString, Qt::Key_Return);
            stillOpen = f->isVisible();
            QTest::keyClick(f->edtString, Qt::Key_Escape);
        }));
        QVERIFY(stillOpen);
        QVERIFY(!InputResult.isValid());

        QVERIFY(RunDialog(TInputKind::Text, 0, [&](TFormInputInt* f) {
            Type(f->edtString, "5990001k");  // "k" is text here
            QTest::keyClick(f->edtString, Qt::Key_Return);
        }));
        QCOMPARE(InputResult, QVariant(QString("5990001k")));
    }

    void passwordIsMaskedWithTheCallersCharacter()
    {
        QString shown;
        QLineEdit::EchoMode mode = QLineEdit::Normal;
        int maskChar = 0;
        QVERIFY(RunDialog(
            TInputKind::Text, 0,
            [&](TFormInputInt* f) {
                Type(f->edtString, "titok");
                mode = f->edtString->echoMode();
                maskChar = f->edtString->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, f->edtString);
                shown = f->edtString->displayText();
                QTest::keyClick(f->edtString, Qt::Key_Return);
            },
            QChar('*')));
        QCOMPARE(InputResult.toString(), QString("titok"));
        QCOMPARE(mode, QLineEdit::Password);
        QCOMPARE(maskChar, int('*'));
        QCOMPARE(shown, QString("*****"));
    }
};

QTEST_MAIN(TInputIntTest)
#include "InputIntTest.moc"
