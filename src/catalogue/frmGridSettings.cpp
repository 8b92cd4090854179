#include "frmGridSettings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

TDisplayFields GridSettingsColumns;

namespace {
int FindColumn(const QString& fieldName) { return FindDisplayField(GridSettingsColumns, fieldName); }

QPushButton* MoveButton(const QString& caption, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFixedWidth(40);
    return b;
}
}

TFormGridSettings::TFormGridSettings(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint)
{
    setObjectName(QStringLiteral("FormGridSettings"));
    setWindowTitle(QStringLiteral("Oszlop beállítás"));
    setFixedSize(594, 404);

    auto* pages = new QTabWidget(this);
    auto* page = new QWidget;
    pages->addTab(page, QStringLiteral("Oszlopok beállításai"));

    auto* gbHidden = new QGroupBox(QStringLiteral("Szabad mezők"), page);
    lbInvisible = new QListWidget(gbHidden);
    lbInvisible->setObjectName(QStringLiteral("lbInvisible"));
    (new QVBoxLayout(gbHidden))->addWidget(lbInvisible);

    auto* buttons = new QVBoxLayout;
    btnHide = MoveButton(QStringLiteral("<"), QStringLiteral("btnHide"), page);
    btnHideAll = MoveButton(QStringLiteral("<<"), QStringLiteral("btnHideAll"), page);
    btnShow = MoveButton(QStringLiteral(">"), QStringLiteral("btnShow"), page);
    btnShowAll = MoveButton(QStringLiteral(">>"), QStringLiteral("btnShowAll"), page);
    buttons->addStretch();
    for (QPushButton* b : {btnHide, btnHideAll, btnShow, btnShowAll}) buttons->addWidget(b);
    buttons->addStretch();

    auto* gbVisible = new QGroupBox(QStringLiteral("Listában látható mezők"), page);
    lbVisible = new QListWidget(gbVisible);
    lbVisible->setObjectName(QStringLiteral("lbVisible"));
    edtDisplay = new QLineEdit(gbVisible);
    edtDisplay->setObjectName(QStringLiteral("edtDisplay"));
    edtWidth = new QLineEdit(gbVisible);
    edtWidth->setObjectName(QStringLiteral("edtWidth"));
    edtFormat = new QLineEdit(gbVisible);
    edtFormat->setObjectName(QStringLiteral("edtFormat"));
    auto* vis = new QGridLayout(gbVisible);
    vis->addWidget(lbVisible, 0, 0, 1, 2);
    vis->addWidget(new QLabel(QStringLiteral("Fejléc szöveg:"), gbVisible), 1, 0);
    vis->addWidget(edtDisplay, 1, 1);
    vis->addWidget(new QLabel(QStringLiteral("Szélesség:"), gbVisible), 2, 0);
    vis->addWidget(edtWidth, 2, 1);
    vis->addWidget(new QLabel(QStringLiteral("Formázás"), gbVisible), 3, 0);
    vis->addWidget(edtFormat, 3, 1);

    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->addWidget(gbHidden, 1);
    pageLayout->addLayout(buttons);
    pageLayout->addWidget(gbVisible, 1);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Mégsem"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnOK);
    bottom->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(bottom);

    connect(btnOK, &QPushButton::clicked, this, [this] { actOKExecute(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnShow, &QPushButton::clicked, this, [this] { ShowColumn(lbInvisible->currentRow()); });
    connect(btnHide, &QPushButton::clicked, this, [this] {
        HideColumn(lbVisible->currentRow());
        ShowSelectedInEdits();
    });
    connect(btnShowAll, &QPushButton::clicked, this, [this] {
        while (lbInvisible->count() > 0) ShowColumn(0);
    });
    connect(btnHideAll, &QPushButton::clicked, this, [this] {
        while (lbVisible->count() > 0) HideColumn(0);
        ShowSelectedInEdits();
    });
    connect(lbInvisible, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { ShowColumn(lbInvisible->row(item)); });
    connect(lbVisible, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        HideColumn(lbVisible->row(item));
        ShowSelectedInEdits();
    });
    connect(lbVisible, &QListWidget::currentRowChanged, this, [this] { ShowSelectedInEdits(); });
    connect(edtDisplay, &QLineEdit::textEdited, this, [this] { WriteEdits(true); });
    connect(edtWidth, &QLineEdit::textEdited, this, [this] { WriteEdits(false); });
    connect(edtFormat, &QLineEdit::textEdited, this, [this] { WriteEdits(false); });

    lbVisible->viewport()->installEventFilter(this);
    lbVisible->installEventFilter(this);
}

void TFormGridSettings::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FConfirmed = false;
    FillLists();
}

void TFormGridSettings::FillLists()
{
    FFilling = true;
    lbVisible->clear();
    lbInvisible->clear();
    FVisibleNames.clear();
    FHiddenNames.clear();
    for (const TDisplayField& f : GridSettingsColumns) {
        if (f.Visible) {
            lbVisible->addItem(f.Display);
            FVisibleNames << f.FieldName;
        } else {
            lbInvisible->addItem(f.Display);
            FHiddenNames << f.FieldName;
        }
    }
    FFilling = false;
    ShowSelectedInEdits();
}

void TFormGridSettings::ShowSelectedInEdits()
{
    if (FFilling) return;
    const int row = lbVisible->currentRow();
    const int i = row >= 0 && row < FVisibleNames.size() ? FindColumn(FVisibleNames[row]) : -1;
    if (i < 0) {
        edtDisplay->clear();
        edtWidth->setText(QStringLiteral("0"));
        edtFormat->clear();
        return;
    }
    edtDisplay->setText(GridSettingsColumns[i].Display);
    edtWidth->setText(QString::number(GridSettingsColumns[i].Width));
    edtFormat->setText(GridSettingsColumns[i].Format);
}

void TFormGridSettings::WriteEdits(bool updateListText)
{
    const int row = lbVisible->currentRow();
    if (row < 0 || row >= FVisibleNames.size()) return;
    const int i = FindColumn(FVisibleNames[row]);
    if (i < 0) return;
    // A whole number; a typed fraction ("95,8" or "95.8") is cut to its whole part.
    bool ok = false;
    QString text = edtWidth->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    const double w = text.toDouble(&ok);
    TDisplayField& f = GridSettingsColumns[i];
    f.Display = edtDisplay->text().left(128);
    f.Format = edtFormat->text().left(128);
    f.Width = ok && std::isfinite(w) && std::fabs(w) < 1e9 ? qint32(std::trunc(w)) : 0;
    if (updateListText) lbVisible->item(row)->setText(f.Display);
}

void TFormGridSettings::KeepSelection(QListWidget* list, int row)
{
    if (list->count() > 0) list->setCurrentRow(qMin(row, list->count() - 1));
    list->setFocus();
}

void TFormGridSettings::ShowColumn(int row)
{
    if (row < 0 || row >= FHiddenNames.size()) return;
    const QString name = FHiddenNames.takeAt(row);
    delete lbInvisible->takeItem(row);
    const int i = FindColumn(name);
    if (i >= 0) GridSettingsColumns[i].Visible = true;
    FVisibleNames << name;
    lbVisible->addItem(i >= 0 ? GridSettingsColumns[i].Display : name);
    KeepSelection(lbInvisible, row);
}

void TFormGridSettings::HideColumn(int row)
{
    if (row < 0 || row >= FVisibleNames.size()) return;
    const QString name = FVisibleNames.takeAt(row);
    FFilling = true;  // the edit boxes follow once the move is complete
    delete lbVisible->takeItem(row);
    FFilling = false;
    const int i = FindColumn(name);
    if (i >= 0) GridSettingsColumns[i].Visible = false;
    FHiddenNames << name;
    lbInvisible->addItem(i >= 0 ? GridSettingsColumns[i].Display : name);
    KeepSelection(lbVisible, row);
}

void TFormGridSettings::MoveVisible(int from, int to)
{
    if (from < 0 || from >= FVisibleNames.size() || to < 0 || to >= FVisibleNames.size() || from == to) return;
    FVisibleNames.move(from, to);
    FFilling = true;
    lbVisible->insertItem(to, lbVisible->takeItem(from));
    FFilling = false;
    lbVisible->setCurrentRow(to);
}

bool TFormGridSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbVisible->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* m = static_cast<QMouseEvent*>(event);
            FDragRow = m->button() == Qt::LeftButton ? lbVisible->row(lbVisible->itemAt(m->position().toPoint())) : -1;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            FDragRow = -1;
        } else if (event->type() == QEvent::MouseMove && FDragRow >= 0) {
            auto* m = static_cast<QMouseEvent*>(event);
            if (!(m->buttons() & Qt::LeftButton)) {
                FDragRow = -1;
                return false;
            }
            const QPoint p = m->position().toPoint();
            QListWidgetItem* over = lbVisible->itemAt(p);
            if (over) {
                const int to = lbVisible->row(over);
                if (to != FDragRow) {
                    // The two entries change places; the drag goes on from the new place.
                    const int from = FDragRow;
                    FVisibleNames.swapItemsAt(from, to);
                    FFilling = true;
                    const QString a = lbVisible->item(from)->text();
                    lbVisible->item(from)->setText(lbVisible->item(to)->text());
                    lbVisible->item(to)->setText(a);
                    FFilling = false;
                    lbVisible->setCurrentRow(to);
                    ShowSelectedInEdits();
                    FDragRow = to;
                }
            } else if (lbVisible->count() > 0) {
                const QRect last = lbVisible->visualItemRect(lbVisible->item(lbVisible->count() - 1));
                if (p.y() > last.bottom() && FDragRow != lbVisible->count() - 1) {
                    MoveVisible(FDragRow, lbVisible->count() - 1);
                    FDragRow = lbVisible->count() - 1;
                }
            }
            return true;  // the list's own selection dragging stays out of it
        }
    } else if (watched == lbVisible && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->modifiers() & Qt::ShiftModifier) {
            const int row = lbVisible->currentRow();
            if (k->key() == Qt::Key_Up) {
                MoveVisible(row, row - 1);
                return true;
            }
            if (k->key() == Qt::Key_Down) {
                MoveVisible(row, row + 1);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormGridSettings::actOKExecute()
{
    TDisplayFields result;
    for (const QStringList* names : {&FVisibleNames, &FHiddenNames}) {
        for (const QString& n : *names) {
            const int i = FindColumn(n);
            if (i >= 0) result << GridSettingsColumns[i];
        }
    }
    GridSettingsColumns = result;
    FConfirmed = true;
    accept();
}

bool EditGridColumns(TListGridFormatItem& store, const TDisplayFields& columns, const QString& formName,
                     qint32 gridHeight, qint32 gridTag, qint32 formTag, const QString& gridName, QWidget* parent)
{
    GridSettingsColumns = columns;
    TFormGridSettings form(parent);
    form.exec();
    if (!form.Confirmed()) return false;
    StoreGridFormat(store, formName, gridName, gridHeight, GridSettingsColumns, gridTag, formTag);
    return true;
}
