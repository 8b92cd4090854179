#pragma once
// The base of every window of the program.
//
// - InitForm runs every time the window becomes visible, except when it reappears after the
//   whole application was minimised from it (RestoreAfterMinimize).
// - SetFormCaption stores the caption pattern, shows it and calls UpdateCaption(false).
// - Minimising any base window minimises the application as a whole; restoring it shows that
//   window again without repeating its InitForm and hands the restore handling back to whatever
//   was installed before.
// - Enter in a field connected with InstallEnterFocus moves the focus to the next control
//   (HandleEnterKey / FocusNextControl).
#include <QString>
#include <QDialog>
#include <functional>

class TBaseForm : public QDialog {
    Q_OBJECT
public:
    explicit TBaseForm(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    virtual void InitForm() {}
    virtual void UpdateCaption(bool recount) { (void)recount; }
    void SetFormCaption(const QString& caption);
    QString BaseCaption() const { return FBaseCaption; }

    // Enter (character 13) moves the focus on and is replaced by character 0; other keys pass.
    void HandleEnterKey(QWidget* control, QChar& key);
    // Routes Enter presses of the control to HandleEnterKey (the window's "EnterFocus").
    void InstallEnterFocus(QWidget* control);

    // The minimise command of this window: the whole application goes to the taskbar.
    void HandleSysCommandMinimize();
    void RestoreAfterMinimize();
    bool InitOnShow() const { return FInitOnShow; }

    // Shows the window modally and answers when it is closed.
    int ShowModal() { return exec(); }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> FSavedOnRestore;
    QString FBaseCaption;
    bool FInitOnShow = true;
};

// The application's restore handler: what runs when the minimised application is restored.
void SetApplicationRestoreHandler(std::function<void()> handler);
std::function<void()> ApplicationRestoreHandler();
// Called when the minimised application is restored (a window leaves the minimised state).
void ApplicationRestored();

// Moves the focus from control to the next candidate of the active window's tab order, wrapping
// around. Candidates have a name and are visible, enabled, tab stops and not group boxes or
// panels. A dropped-down combo box list is closed first, keeping its selection. False when no
// other candidate exists or the control is not in the active window.
bool FocusNextControl(QWidget* control);
