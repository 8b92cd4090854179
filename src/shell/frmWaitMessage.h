#pragma once
#include "frmBaseForm.h"

class QLabel;

// The wait window shown during long operations: borderless, stay-on-top, 547 x 83, light
// lavender, one centred label; no buttons, takes no input.
class TFormWaitMessage : public TBaseForm {
    Q_OBJECT
public:
    explicit TFormWaitMessage(QWidget* parent = nullptr);
    // Sets the (invisible) caption and the label and shows the window without making it modal.
    void ShowText(const QString& title, const QString& text);
    QLabel* lblMain = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override {}
};
