#include "ModalAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

struct TModalAnswer::State {
    std::function<void(QWidget*)> act;
    QWidget* before = nullptr;
    QElapsedTimer clock;
    int timeoutMs = 5000;
    bool answered = false;
    QString title;
    QString text;
};

namespace {
void Poll(std::shared_ptr<TModalAnswer::State> s);
}

TModalAnswer::TModalAnswer(std::function<void(QWidget*)> act, int timeoutMs) : FState(std::make_shared<State>())
{
    FState->act = std::move(act);
    FState->before = QApplication::activeModalWidget();
    FState->timeoutMs = timeoutMs;
    FState->clock.start();
    auto s = FState;
    QTimer::singleShot(0, [s] { Poll(s); });
}

bool TModalAnswer::WasAnswered() const { return FState->answered; }
QString TModalAnswer::SeenTitle() const { return FState->title; }
QString TModalAnswer::SeenText() const { return FState->text; }

QString LabelTexts(QWidget* window)
{
    QStringList texts;
    for (QLabel* l : window->findChildren<QLabel*>())
        if (!l->text().isEmpty()) texts << l->text();
    if (auto* box = qobject_cast<QMessageBox*>(window)) texts << box->text();
    return texts.join(QLatin1Char('\n'));
}

bool ClickButton(QWidget* window, const QString& caption)
{
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        QString t = b->text();
        t.remove(QLatin1Char('&'));
        if (t == caption) {
            b->click();
            return true;
        }
    }
    return false;
}

namespace {
void Poll(std::shared_ptr<TModalAnswer::State> s)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != s->before) {
        s->answered = true;
        s->title = modal->windowTitle();
        s->text = LabelTexts(modal);
        s->act(modal);
        return;
    }
    if (s->clock.elapsed() > s->timeoutMs) return;
    QTimer::singleShot(10, [s] { Poll(s); });
}
}
