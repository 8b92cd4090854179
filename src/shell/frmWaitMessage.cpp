#include "frmWaitMessage.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QGuiApplication>

TFormWaitMessage::TFormWaitMessage(QWidget* parent)
    : TBaseForm(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("FormWaitMessage"));
    setFixedSize(547, 83);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(203, 200, 253));
    setPalette(pal);
    auto* frame = new QFrame(this);
    frame->setGeometry(0, 0, 547, 83);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    lblMain = new QLabel(this);
    lblMain->setObjectName(QStringLiteral("lblMain"));
    lblMain->setGeometry(0, 83 - 51, 547, 51);
    lblMain->setAlignment(Qt::AlignCenter);
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(16);
    lblMain->setFont(f);
    lblMain->setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TFormWaitMessage::ShowText(const QString& title, const QString& text)
{
    setWindowTitle(title);
    lblMain->setText(text);
    if (!isVisible()) {
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            const QRect g = s->availableGeometry();
            move(g.center() - QPoint(width() / 2, height() / 2));
        }
        show();
    }
    repaint();
}

void TFormWaitMessage::keyPressEvent(QKeyEvent* event)
{
    event->ignore();  // the wait window takes no input
}
