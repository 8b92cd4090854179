#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// The about box.
class TFormKeloNevjegy : public QDialog {
    Q_OBJECT
public:
    TFormKeloNevjegy(const QString& caption, const QString& programLine, const QString& versionLine, QWidget* parent = nullptr);
    QLabel* lblProgramnev = nullptr;
    QLabel* lblVer = nullptr;
    QPushButton* btnBezar = nullptr;
};
