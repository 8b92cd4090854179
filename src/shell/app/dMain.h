#pragma once
// The main data module: owns the shared data of the run and the sync timer, and brings the
// program up behind the splash window.
#include <QObject>
#include <QTimer>

class TFormMain;

class TdmMain : public QObject {
    Q_OBJECT
public:
    explicit TdmMain(QObject* parent = nullptr);
    ~TdmMain() override;

    // Clears SyncBusy, shows the splash, runs the start-up steps, closes the splash (also when a
    // step failed: the failure is logged as "Exception:" + text and the remaining steps skipped).
    void DataModuleCreate();
    // The start-up steps in their order; throws what a step throws.
    void RunStartupSteps();

    bool ZipDllPresent = false;
    bool SyncBusy = false;
    QTimer tmrSync;

    // The main window whose status bar the master-data loads refresh.
    void SetMainForm(TFormMain* form) { FMainForm = form; }

public slots:
    void tmrSyncTimer();

private:
    TFormMain* FMainForm = nullptr;
};

extern TdmMain* dmMain;

// Logs an exception that reached the message loop: "Exception:" + text, nothing shown.
// A failing log write never escapes from here.
void aeMainException(const QString& message);
