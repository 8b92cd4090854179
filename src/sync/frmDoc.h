#pragma once
#include "frmBaseForm.h"

class QTabWidget;
class QPushButton;

// "Dokumentumok": one button per web document of the program-wide link list; a button opens
// its document with the desktop's handler.
class TFormDoc : public TBaseForm {
    Q_OBJECT
public:
    explicit TFormDoc(QWidget* parent = nullptr);
    void InitForm() override;
    // Opens the link whose index is the tag; nothing when the index is past the end.
    void OpenLink(int tag);

    QTabWidget* pcMain = nullptr;
    QWidget* tsWebDoc = nullptr;
    QWidget* pnlButtons = nullptr;
    QPushButton* btnKilep = nullptr;
    QList<QPushButton*> DocButtons;  // freed when the window closes

    // The page's inner size the buttons are laid out in.
    QSize PageSize() const;
};

// The about box: caption, program line, version line; closes with "Bezár" or Esc.
void ShowAbout(const QString& caption, const QString& programLine, const QString& versionLine);
