#pragma once
// The small modal dialog that asks for one value: a whole number (pieces, or cartons after
// "k") or a line of text. The process-wide values it shares with its callers are in
// InputValueRules.h.
#include "InputValueRules.h"
#include "frmBaseForm.h"

class QLabel;
class QLineEdit;

class TFormInputInt : public TBaseForm {
    Q_OBJECT
public:
    explicit TFormInputInt(QWidget* parent = nullptr);

    void SetKind(TInputKind kind) { FKind = kind; }
    void InitForm() override;
    void done(int result) override;

    QLabel* lblCaption = nullptr;
    QLineEdit* edtInt = nullptr;     // whole numbers, display format "0"
    QLineEdit* edtString = nullptr;  // one line of text
    QLabel* lblUtotag = nullptr;     // unit label: "darab" / "karton"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    double NumberInBox() const;
    TInputKind FKind = TInputKind::Number;
    TInputValueRules FRules;
};

// Shows a new dialog modally: window caption title, caption line caption, initial in the number
// box, passwordChar masks the text box (QChar() = no masking). True when a value was accepted;
// it is then in InputResult. Every call starts in piece mode.
bool InputValue(TInputKind kind, const QString& title, const QString& caption, double initial,
                QChar passwordChar = QChar(), QWidget* parent = nullptr);
