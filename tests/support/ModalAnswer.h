#pragma once
// Answers modal dialogs in window tests: a zero-delay timer waits for the next modal window
// (or a given top-level window) and hands it to the callback, which presses its buttons.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

// Calls act(modal) once the next modal window other than the current one is active.
// Gives up after timeoutMs; answers through WasAnswered().
class TModalAnswer {
public:
    explicit TModalAnswer(std::function<void(QWidget*)> act, int timeoutMs = 5000);
    bool WasAnswered() const;
    QString SeenTitle() const;
    QString SeenText() const;  // the texts of all labels of the dialog, joined by "\n"
    struct State;

private:
    std::shared_ptr<State> FState;
};

// Clicks the button with this caption ("OK", "Mégsem") in a window; false when none.
bool ClickButton(QWidget* window, const QString& caption);
// All label texts of a window, joined by "\n".
QString LabelTexts(QWidget* window);
