#pragma once
// Messages, confirmations and the wait window, as the program's logic asks for them.
// The logic never shows a window itself: the windowed program installs a handler that shows
// the real dialogs; tests install one that answers and records. Without a handler ShowMsg
// shows nothing and ConfirmMsg answers false.
#include <QString>

class TMessageHandler {
public:
    virtual ~TMessageHandler() = default;
    virtual void ShowMsg(const QString& title, const QString& text, int width, int height) = 0;
    virtual bool ConfirmMsg(const QString& title, const QString& text, int width, int height) = 0;
    virtual void ShowWaitMessage(const QString& title, const QString& text) = 0;
    virtual void HideWaitMessage() = 0;
    // Lets pending window messages (paints, timers) run once.
    virtual void ProcessMessages() = 0;
};

// The handler stays owned by the caller; nullptr removes it.
void SetMessageHandler(TMessageHandler* handler);
TMessageHandler* MessageHandler();

// Width and height are used only when at least 1 (else 320 x 120).
void ShowMsg(const QString& title, const QString& text, int width = 0, int height = 0);
// True exactly when "OK" was pressed.
bool ConfirmMsg(const QString& title, const QString& text, int width = 0, int height = 0);
// "Kilépés" / "Biztosan kilép?".
bool ConfirmExit(int width = 0, int height = 0);
void ShowWaitMessage(const QString& title, const QString& text);
void HideWaitMessage();
void ProcessMessages();
