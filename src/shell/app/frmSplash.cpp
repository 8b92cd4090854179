#include "frmSplash.h"

#include "ProgramVersion.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

TFormSplash::TFormSplash(QWidget* parent)
    : TBaseForm(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FormSplash"));
    setFixedSize(424, 397);
    QFont big(QStringLiteral("Times New Roman"));
    big.setPixelSize(22);
    big.setBold(true);
    QPalette blue;
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    lblTitle = new QLabel(QStringLiteral("KeloBolt - Bolti rendelő program"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(0, 8, 424, 32);
    lblTitle->setAlignment(Qt::AlignCenter);
    lblTitle->setFont(big);
    lblTitle->setPalette(blue);
    lblVer = new QLabel(this);
    lblVer->setObjectName(QStringLiteral("lblVer"));
    lblVer->setGeometry(200, 40, 212, 24);
    lblVer->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont ver(QStringLiteral("Times New Roman"));
    ver.setPixelSize(16);
    lblVer->setFont(ver);
    lblVer->setPalette(blue);
}

void TFormSplash::InitForm()
{
    lblVer->setText(ProgramVersionText());
}

void TFormSplash::paintEvent(QPaintEvent*)
{
    // The picture: a calm shop-window gradient with a few shelves.
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(235, 242, 255));
    g.setColorAt(1, QColor(160, 190, 235));
    p.fillRect(rect(), g);
    p.setPen(QPen(QColor(90, 120, 180), 3));
    for (int y = 140; y < height() - 20; y += 60) p.drawLine(40, y, width() - 40, y);
    p.setPen(QPen(QColor(60, 80, 140), 2));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}
