#include "frmInputInt.h"

#include "DisplayFormat.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QProxyStyle>
#include <QVBoxLayout>

namespace {
// Masks a password box with the caller's character instead of the style's own.
class TMaskStyle : public QProxyStyle {
public:
    explicit TMaskStyle(QChar mask) : FMask(mask) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter) return FMask.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar FMask;
};
}

TFormInputInt::TFormInputInt(QWidget* parent) : TBaseForm(parent)
{
    setObjectName(QStringLiteral("FormInputInt"));
    resize(510, 104);
    QFont big(QStringLiteral("Times New Roman"));
    big.setPixelSize(20);
    setFont(big);

    lblCaption = new QLabel(this);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    edtInt = new QLineEdit(this);
    edtInt->setObjectName(QStringLiteral("edtInt"));
    edtInt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edtInt->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,12}")), edtInt));
    edtString = new QLineEdit(this);
    edtString->setObjectName(QStringLiteral("edtString"));
    lblUtotag = new QLabel(this);
    lblUtotag->setObjectName(QStringLiteral("lblUtotag"));
    lblUtotag->setMinimumWidth(80);

    auto* editors = new QHBoxLayout;
    editors->addWidget(edtInt, 1);
    editors->addWidget(edtString, 1);
    editors->addWidget(lblUtotag);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCaption);
    layout->addLayout(editors);

    // Key preview: the window sees the keys before the editors do.
    edtInt->installEventFilter(this);
    edtString->installEventFilter(this);
}

void TFormInputInt::InitForm()
{
    lblUtotag->clear();
    const QString label = FRules.Start(FKind);
    const bool number = FKind == TInputKind::Number;
    edtInt->setVisible(number);
    edtString->setVisible(!number);
    QLineEdit* editor = number ? edtInt : edtString;
    editor->setFocus();
    editor->selectAll();
    lblUtotag->setText(label);
}

double TFormInputInt::NumberInBox() const
{
    bool ok = false;
    const double v = edtInt->text().toDouble(&ok);
    return ok ? v : 0;
}

bool TFormInputInt::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || (watched != edtInt && watched != edtString))
        return TBaseForm::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (FKind == TInputKind::Number) {
            if (FRules.EnterNumber(NumberInBox(), [this] { edtInt->setText(QStringLiteral("0")); }) ==
                TInputValueRules::Accepted)
                accept();
        } else if (FRules.EnterText(edtString->text()) == TInputValueRules::Accepted) {
            accept();
        }
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (watched == edtInt) {
        QString label;
        if (FRules.CartonKey(key->text(), &label)) {
            if (!label.isEmpty()) lblUtotag->setText(label);
            return true;
        }
    }
    return TBaseForm::eventFilter(watched, event);
}

void TFormInputInt::done(int result)
{
    FRules.Close();
    TBaseForm::done(result);
}

bool InputValue(TInputKind kind, const QString& title, const QString& caption, double initial, QChar passwordChar,
                QWidget* parent)
{
    TFormInputInt form(parent);
    form.SetKind(kind);
    form.setWindowTitle(title);
    form.lblCaption->setText(caption);
    form.edtInt->setText(FormatFloatDisplay(QStringLiteral("0"), initial));
    if (!passwordChar.isNull()) {
        form.edtString->setEchoMode(QLineEdit::Password);
        auto* style = new TMaskStyle(passwordChar);
        style->setParent(form.edtString);
        form.edtString->setStyle(style);
    }
    return form.exec() == QDialog::Accepted;
}
