#pragma once
// The main data module: owns the shared data of the run (TMainData: product table, order
// headers, customer table, scratch tables) and the sync timer, and brings the program up behind
// the splash window.
#include "dMainData.h"

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QVector>
#include <functional>

class TFormMain;

class TdmMain : public TMainData {
    Q_OBJECT
public:
    explicit TdmMain(QObject* parent = nullptr);
    ~TdmMain() override;

    // Clears SyncBusy, shows the splash, runs the start-up steps, closes the splash (also when a
    // step failed: the failure is logged as "Exception:" + text and the remaining steps skipped).
    void DataModuleCreate();
    // The start-up steps in their order; throws what a step throws (the rest are skipped).
    void RunStartupSteps();

    struct TStartupStep {
        QString name;
        std::function<void()> run;
    };
    // The steps RunStartupSteps runs, in order. Tests may replace them.
    QVector<TStartupStep> StartupSteps;

    bool ZipDllPresent = false;
    bool SyncBusy = false;
    QTimer tmrSync;

    // The main window whose status bar the master-data loads refresh.
    void SetMainForm(TFormMain* form);

public slots:
    void tmrSyncTimer();

private:
    TFormMain* FMainForm = nullptr;
};

extern TdmMain* dmMain;

// Logs an exception that reached the message loop: "Exception:" + text, nothing shown.
// A failing log write never escapes from here.
void aeMainException(const QString& message);

// The application object: exceptions that escape an event handler end up in its notify,
// are logged through aeMainException and the program goes on.
class TKeloBoltApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};
