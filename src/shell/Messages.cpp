#include "Messages.h"

namespace {
TMessageHandler*& Slot()
{
    static TMessageHandler* h = nullptr;
    return h;
}
}

void SetMessageHandler(TMessageHandler* handler) { Slot() = handler; }
TMessageHandler* MessageHandler() { return Slot(); }

void ShowMsg(const QString& title, const QString& text, int width, int height)
{
    if (Slot()) Slot()->ShowMsg(title, text, width, height);
}

bool ConfirmMsg(const QString& title, const QString& text, int width, int height)
{
    return Slot() ? Slot()->ConfirmMsg(title, text, width, height) : false;
}

bool ConfirmExit(int width, int height)
{
    return ConfirmMsg(QStringLiteral("Kilépés"), QStringLiteral("Biztosan kilép?"), width, height);
}

void ShowWaitMessage(const QString& title, const QString& text)
{
    if (Slot()) Slot()->ShowWaitMessage(title, text);
}

void HideWaitMessage()
{
    if (Slot()) Slot()->HideWaitMessage();
}

void ProcessMessages()
{
    if (Slot()) Slot()->ProcessMessages();
}
