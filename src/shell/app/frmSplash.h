#pragma once
#include "frmBaseForm.h"

class QLabel;

// The start-up splash: borderless, stay-on-top, 424 x 397, a picture filling it, the blue
// title line and the version label lblVer.
class TFormSplash : public TBaseForm {
    Q_OBJECT
public:
    explicit TFormSplash(QWidget* parent = nullptr);
    void InitForm() override;
    QLabel* lblTitle = nullptr;
    QLabel* lblVer = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};
