#include "dMessage.h"

#include "frmWaitMessage.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TdmMessage* dmMessage = nullptr;

QString MsgButtonCaption(TMsgButton kind)
{
    switch (kind) {
    case TMsgButton::Yes: return QStringLiteral("Igen");
    case TMsgButton::No: return QStringLiteral("Nem");
    case TMsgButton::OK: return QStringLiteral("OK");
    case TMsgButton::Cancel: return QStringLiteral("Mégsem");
    case TMsgButton::Abort: return QStringLiteral("Megszakít");
    case TMsgButton::Retry: return QStringLiteral("Újra");
    case TMsgButton::Ignore: return QStringLiteral("Kihagy");
    case TMsgButton::All: return QStringLiteral("Összes");
    case TMsgButton::NoToAll: return QStringLiteral("Összes nem");
    case TMsgButton::YesToAll: return QStringLiteral("Összes igen");
    case TMsgButton::Help: return QStringLiteral("Segítség");
    }
    return QString();
}

TdmMessage::TdmMessage(QObject* parent) : QObject(parent)
{
    dmMessage = this;
    SetMessageHandler(this);
}

TdmMessage::~TdmMessage()
{
    if (MessageHandler() == this) SetMessageHandler(nullptr);
    if (dmMessage == this) dmMessage = nullptr;
}

TMsgButton TdmMessage::ExtMessageDlg(const QString& title, const QString& text, const QVector<TMsgButton>& buttons,
                                     TMsgButton focused, int width, int height)
{
    QDialog dlg(QApplication::activeWindow());
    dlg.setObjectName(QStringLiteral("ExtMessageDlg"));
    dlg.setWindowTitle(title);
    dlg.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowCloseButtonHint);
    dlg.setModal(true);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(13);
    dlg.setFont(font);
    dlg.setFixedSize(width >= 1 ? width : 320, height >= 1 ? height : 120);

    auto* outer = new QVBoxLayout(&dlg);
    outer->setContentsMargins(0, 10, 0, 0);  // the 10-pixel header strip
    outer->setSpacing(0);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(8, 0, 8, 0);
    auto* icon = new QLabel(&dlg);
    icon->setObjectName(QStringLiteral("imgIcon"));
    icon->setPixmap(dlg.style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    icon->setFixedSize(32, 32);
    body->addWidget(icon, 0, Qt::AlignTop);
    auto* label = new QLabel(text, &dlg);
    label->setObjectName(QStringLiteral("lblMessage"));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);  // lines break only where the text has line breaks
    body->addWidget(label, 1);
    outer->addLayout(body, 1);

    auto* strip = new QWidget(&dlg);
    strip->setFixedHeight(30);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 2, 0, 3);
    row->setSpacing(2);
    row->addStretch(1);
    TMsgButton result = TMsgButton::Cancel;
    QPushButton* toFocus = nullptr;
    for (TMsgButton kind : buttons) {
        auto* b = new QPushButton(MsgButtonCaption(kind), strip);
        b->setFixedSize(75, 25);
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, &dlg, [&dlg, &result, kind] {
            result = kind;
            dlg.done(1);
        });
        row->addWidget(b);
        if (kind == focused) toFocus = b;
    }
    row->addStretch(1);
    outer->addWidget(strip);
    if (toFocus) {
        toFocus->setDefault(true);
        toFocus->setFocus();
    }
    // Esc and the close box reject: the answer stays Cancel.
    dlg.exec();
    return result;
}

void TdmMessage::ShowMsg(const QString& title, const QString& text, int width, int height)
{
    ExtMessageDlg(title, text, {TMsgButton::OK}, TMsgButton::OK, width, height);
}

bool TdmMessage::ConfirmMsg(const QString& title, const QString& text, int width, int height)
{
    return ExtMessageDlg(title, text, {TMsgButton::OK, TMsgButton::Cancel}, TMsgButton::OK, width, height) == TMsgButton::OK;
}

void TdmMessage::ShowWaitMessage(const QString& title, const QString& text)
{
    if (!FWaitForm) return;
    FWaitForm->ShowText(title, text);
    ProcessMessages();
}

void TdmMessage::HideWaitMessage()
{
    if (FWaitForm) FWaitForm->hide();
}

void TdmMessage::ProcessMessages()
{
    QCoreApplication::processEvents();
}
