#include "frmDoc.h"

#include "Launcher.h"
#include "WebLinks.h"

#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

TFormDoc::TFormDoc(QWidget* parent)
    : TBaseForm(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormDoc"));
    setWindowTitle(QStringLiteral("Dokumentumok"));
    setFixedSize(688, 446);
    pcMain = new QTabWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    pcMain->setGeometry(0, 0, 688, 446 - 41);
    tsWebDoc = new QWidget;
    tsWebDoc->setObjectName(QStringLiteral("tsWebDoc"));
    pcMain->addTab(tsWebDoc, QStringLiteral("Web dokumentumok"));
    pnlButtons = new QWidget(this);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    pnlButtons->setGeometry(0, 446 - 41, 688, 41);
    btnKilep = new QPushButton(QStringLiteral("Kilép"), pnlButtons);
    btnKilep->setObjectName(QStringLiteral("btnKilep"));
    btnKilep->setGeometry(688 - 8 - 120, 6, 120, 30);
    btnKilep->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(btnKilep, &QPushButton::clicked, this, &QDialog::close);
    connect(this, &QDialog::finished, this, [this] {
        qDeleteAll(DocButtons);
        DocButtons.clear();
    });
}

QSize TFormDoc::PageSize() const
{
    const int tabH = pcMain->tabBar()->sizeHint().height();
    return QSize(pcMain->width() - 4, pcMain->height() - tabH - 4);
}

void TFormDoc::InitForm()
{
    qDeleteAll(DocButtons);
    DocButtons.clear();
    const QSize page = PageSize();
    const TListWebLink& links = WebLinkList();
    int x = 8, y = 20;
    for (int i = 0; i < links.size(); ++i) {
        if (!(page.height() >= y + 44 && page.width() >= x + 305)) break;  // the rest does not fit either
        auto* b = new QPushButton(links.at(i).Name, tsWebDoc);
        b->setObjectName(QStringLiteral("btnDoc%1").arg(i));
        b->setGeometry(x, y, 300, 41);
        b->setIcon(style()->standardIcon(QStyle::SP_FileLinkIcon));
        b->setProperty("tag", i);
        connect(b, &QPushButton::clicked, this, [this, i] { OpenLink(i); });
        b->show();
        DocButtons << b;
        if (page.height() < y + 88) {
            y = 20;
            x += 305;
        } else {
            y += 44;
        }
    }
}

void TFormDoc::OpenLink(int tag)
{
    if (tag < 0 || tag >= WebLinkList().size()) return;
    OpenDocument(WebLinkList().at(tag).Url);
}
