#pragma once
#include "frmBaseForm.h"

#include <QAction>

class QLabel;
class QPushButton;
class QStatusBar;

// The main window: nine big command buttons in two columns and the status bar with the
// timestamps of the last product and customer downloads.
class TFormMain : public TBaseForm {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);

    void InitForm() override;
    void UpdateCaption(bool recount) override;
    void UpdateStatusBar();

    QAction *actCikklista, *actMegrend, *actSync, *actNewVersion, *actArhiv, *actDoc, *actBeallitasok, *actNevjegy, *actKilep;
    QPushButton *btnCikklista, *btnMegrendeles, *btnSync, *btnNewBersion, *btnArhivMegrendelesek, *btnDokumentumok,
        *btnBeallitasok, *btnNevjegy, *btnKilep;
    QStatusBar* MainStatusBar = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;

public slots:
    void actCikklistaExecute();
    void actMegrendExecute();
    void actSyncExecute();
    void actNewVersionExecute();
    void actArhivExecute();
    void actDocExecute();
    void actBeallitasokExecute();
    void actNevjegyExecute();
    void actKilepExecute();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* MakeButton(const char* name, QAction* action, int left, int top, int width, int iconKind);
    bool FFirstShowDone = false;
};

extern TFormMain* FormMain;
