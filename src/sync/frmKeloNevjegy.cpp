#include "frmKeloNevjegy.h"

#include "frmDoc.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFormKeloNevjegy::TFormKeloNevjegy(const QString& caption, const QString& programLine, const QString& versionLine,
                                   QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormKeloNevjegy"));
    setWindowTitle(caption);
    setFixedSize(360, 180);
    auto* lay = new QVBoxLayout(this);
    QFont big(QStringLiteral("Times New Roman"));
    big.setPixelSize(19);
    big.setBold(true);
    lblProgramnev = new QLabel(programLine, this);
    lblProgramnev->setObjectName(QStringLiteral("lblProgramnev"));
    lblProgramnev->setAlignment(Qt::AlignCenter);
    lblProgramnev->setFont(big);
    lblVer = new QLabel(versionLine, this);
    lblVer->setObjectName(QStringLiteral("lblVer"));
    lblVer->setAlignment(Qt::AlignCenter);
    btnBezar = new QPushButton(QStringLiteral("Bezár"), this);
    btnBezar->setObjectName(QStringLiteral("btnBezar"));
    btnBezar->setDefault(true);
    connect(btnBezar, &QPushButton::clicked, this, &QDialog::accept);
    lay->addWidget(lblProgramnev);
    lay->addWidget(lblVer);
    lay->addWidget(btnBezar, 0, Qt::AlignHCenter);
}

void ShowAbout(const QString& caption, const QString& programLine, const QString& versionLine)
{
    TFormKeloNevjegy box(caption, programLine, versionLine, QApplication::activeWindow());
    box.exec();  // Esc rejects: the box closes
}
