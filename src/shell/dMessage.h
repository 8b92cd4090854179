#pragma once
// The message module: the program's own message dialog (exclamation icon, text centred,
// a strip of 75 x 25 buttons), and the wait window. Installed as the message handler of the
// logic (Messages.h) for the whole run.
#include "Messages.h"

#include <QObject>
#include <QVector>

class TFormWaitMessage;
class QWidget;

enum class TMsgButton { Yes, No, OK, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help };

// The caption of a button kind ("Igen", "Mégsem", ...).
QString MsgButtonCaption(TMsgButton kind);

class TdmMessage : public QObject, public TMessageHandler {
    Q_OBJECT
public:
    explicit TdmMessage(QObject* parent = nullptr);
    ~TdmMessage() override;

    // The dialog: answers the pressed button; Esc and the close box answer Cancel.
    // Width and height are used only when at least 1 (else 320 x 120).
    TMsgButton ExtMessageDlg(const QString& title, const QString& text, const QVector<TMsgButton>& buttons,
                             TMsgButton focused, int width, int height);

    void ShowMsg(const QString& title, const QString& text, int width, int height) override;
    bool ConfirmMsg(const QString& title, const QString& text, int width, int height) override;
    void ShowWaitMessage(const QString& title, const QString& text) override;
    void HideWaitMessage() override;
    void ProcessMessages() override;

    // The wait window this module shows; created at start and living for the whole run.
    void SetWaitForm(TFormWaitMessage* form) { FWaitForm = form; }
    TFormWaitMessage* WaitForm() const { return FWaitForm; }

private:
    TFormWaitMessage* FWaitForm = nullptr;
};

extern TdmMessage* dmMessage;
