#include "DBGrid.h"

#include "DataSetModel.h"
#include "DisplayFormat.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

// ---- model: the adapter with the grid's own columns, display formats and row indicator ----
class TDBGridModel : public TDataSetModel {
public:
    explicit TDBGridModel(QObject* parent) : TDataSetModel(nullptr, parent) {}

    QVector<TGridColumn> Cols;  // logical order (model columns)
    int IndicatorRow = -1;

    void Attach(TDataSet* ds)
    {
        disconnect(FCurrent);
        SetDataSet(ds);
        IndicatorRow = ds ? ds->RecNo() : -1;
        if (ds) FCurrent = connect(ds, &TDataSet::CurrentChanged, this, [this](int recNo) { MoveIndicator(recNo); });
    }

    void Rebuild()
    {
        QVector<TModelColumn> mc;
        for (const TGridColumn& c : Cols) mc.append({c.FieldName, c.Title});
        // An empty column list would show every field; the grid then has no columns at all.
        FNoColumns = Cols.isEmpty();
        SetColumns(mc);
    }

    int columnCount(const QModelIndex& parent = {}) const override
    {
        return FNoColumns ? 0 : TDataSetModel::columnCount(parent);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole) return TDataSetModel::data(index, role);
        TDataSet* ds = DataSet();
        if (!ds || !index.isValid() || index.column() >= Cols.size()) return {};
        const int f = FieldOfColumn(index.column());
        if (f < 0) return {};
        const TFieldDef& def = ds->Fields()[f];
        return ShowValue(def, Cols[index.column()].DisplayFormat, ds->ValueAt(index.row(), f));
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Vertical) {
            if (role == Qt::DisplayRole) return section == IndicatorRow ? QStringLiteral("\u25B6") : QString();
            if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
            return {};
        }
        return TDataSetModel::headerData(section, orientation, role);
    }

    static QString ShowValue(const TFieldDef& def, const QString& format, const QVariant& value)
    {
        if (!value.isValid()) return {};
        if (!format.isEmpty()) return FormatDisplayValue(format, value);
        switch (def.Type) {
        case TFieldType::Float:
            return FormatFloatDisplay(def.Precision > 0 ? QStringLiteral("0.") + QString(def.Precision, QLatin1Char('0'))
                                                        : QString(),
                                      value.toDouble());
        case TFieldType::Date: return FormatDisplayValue(QStringLiteral("yyyy.mm.dd"), value);
        case TFieldType::DateTime: return FormatDisplayValue(QStringLiteral("yyyy.mm.dd hh:nn"), value);
        default: return FormatDisplayValue(QString(), value);
        }
    }

private:
    void MoveIndicator(int recNo)
    {
        const int old = IndicatorRow;
        IndicatorRow = recNo;
        if (old >= 0 && old < rowCount()) emit headerDataChanged(Qt::Vertical, old, old);
        if (recNo >= 0 && recNo < rowCount()) emit headerDataChanged(Qt::Vertical, recNo, recNo);
    }

    QMetaObject::Connection FCurrent;
    bool FNoColumns = true;
};

// ---- header: reports the title click that follows a drag, as the designed grids did ----
class TDBGridHeader : public QHeaderView {
public:
    explicit TDBGridHeader(TDBGrid* grid) : QHeaderView(Qt::Horizontal), FGrid(grid)
    {
        connect(this, &QHeaderView::sectionMoved, this, [this] {
            if (FPressed >= 0) FMovedWhilePressed = true;
        });
    }
    std::function<void(int logical)> AfterDrag;

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        FPressed = e->button() == Qt::LeftButton ? logicalIndexAt(e->position().toPoint()) : -1;
        FMovedWhilePressed = false;
        FGrid->SetGridFocus();  // the titles are part of the grid: pressing them focuses it
        QHeaderView::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        QHeaderView::mouseReleaseEvent(e);
        const int pressed = FPressed;
        const bool moved = FMovedWhilePressed;
        FPressed = -1;
        FMovedWhilePressed = false;
        if (moved && pressed >= 0 && AfterDrag) AfterDrag(pressed);
    }

private:
    TDBGrid* FGrid;
    int FPressed = -1;
    bool FMovedWhilePressed = false;
};

// ---- footer: one yellow row under the columns ----
class TDBGridFooter : public QWidget {
public:
    explicit TDBGridFooter(TDBGrid* grid) : QWidget(grid), FGrid(grid)
    {
        setObjectName(QStringLiteral("footer"));
        setFixedHeight(fontMetrics().height() + 6);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(Qt::yellow));
        QTableView* v = FGrid->FView;
        QHeaderView* h = v->horizontalHeader();
        const int x0 = v->frameWidth() + (v->verticalHeader()->isVisible() ? v->verticalHeader()->width() : 0);
        p.setPen(QColor(Qt::gray));
        for (int vi = 0; vi < h->count(); ++vi) {
            const int logical = h->logicalIndex(vi);
            if (h->isSectionHidden(logical)) continue;
            const QRect cell(x0 + h->sectionViewportPosition(logical), 0, h->sectionSize(logical), height());
            if (cell.right() < x0 || cell.left() > width()) continue;
            p.setPen(QColor(Qt::gray));
            p.drawLine(cell.topRight(), cell.bottomRight());
            const QString text = FGrid->FooterText(vi);
            if (text.isEmpty()) continue;
            p.setPen(palette().color(QPalette::Text));
            p.drawText(cell.adjusted(2, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, text);
        }
    }

private:
    TDBGrid* FGrid;
};

// ---- the grid ----
TDBGrid::TDBGrid(QWidget* parent) : QWidget(parent)
{
    FView = new QTableView(this);
    FView->setObjectName(QStringLiteral("view"));
    FHeader = new TDBGridHeader(this);
    FView->setHorizontalHeader(FHeader);
    FModel = new TDBGridModel(this);
    FView->setModel(FModel);
    FView->setSelectionModel(FModel->selectionModel());
    FView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FView->setSelectionMode(QAbstractItemView::SingleSelection);
    FView->setTabKeyNavigation(false);
    FView->setWordWrap(false);
    FView->setCornerButtonEnabled(false);
    FHeader->setSectionsMovable(true);
    FHeader->setSectionsClickable(true);
    FHeader->setHighlightSections(false);
    FHeader->setSortIndicatorShown(true);
    FHeader->setSortIndicator(-1, Qt::AscendingOrder);
    FHeader->setStretchLastSection(false);
    FHeader->setDefaultAlignment(Qt::AlignCenter);
    QHeaderView* rows = FView->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    rows->setFixedWidth(14);
    rows->setSectionsClickable(false);

    FFooter = new TDBGridFooter(this);
    FFooter->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FView, 1);
    layout->addWidget(FFooter);

    connect(FHeader, &QHeaderView::sectionClicked, this, [this](int logical) {
        emit TitleClick(FHeader->visualIndex(logical));
        SyncSortIndicator();  // the header's own flip is not the grid's marker
    });
    FHeader->AfterDrag = [this](int logical) {
        emit TitleClick(FHeader->visualIndex(logical));
        SyncSortIndicator();
    };
    connect(FHeader, &QHeaderView::sectionMoved, this, [this](int, int from, int to) {
        if (!FBuilding) emit ColumnMoved(from, to);
        FFooter->update();
    });
    connect(FHeader, &QHeaderView::sectionResized, this, [this] {
        if (!FBuilding) emit ColWidthsChanged();
        FFooter->update();
    });
    connect(FView->horizontalScrollBar(), &QScrollBar::valueChanged, FFooter, qOverload<>(&QWidget::update));
    connect(FModel, &QAbstractItemModel::modelReset, FFooter, qOverload<>(&QWidget::update));
    FView->installEventFilter(this);
}

TDBGrid::~TDBGrid() = default;

QHeaderView* TDBGrid::Header() const { return FHeader; }

void TDBGrid::SetDataSet(TDataSet* dataSet)
{
    FBuilding = true;
    FModel->Attach(dataSet);
    FBuilding = false;
}

TDataSet* TDBGrid::DataSet() const { return FModel->DataSet(); }

int TDBGrid::LogicalOf(int displayIndex) const
{
    if (displayIndex < 0 || displayIndex >= FModel->Cols.size()) return -1;
    return FHeader->logicalIndex(displayIndex);
}

void TDBGrid::ClearColumns() { SetColumns({}); }

void TDBGrid::AddColumn(const TGridColumn& column)
{
    QVector<TGridColumn> all;
    for (int vi = 0; vi < ColumnCount(); ++vi) all << Column(vi);
    all << column;
    SetColumns(all);
}

void TDBGrid::SetColumns(const QVector<TGridColumn>& columns)
{
    FBuilding = true;
    FModel->Cols = columns;
    FModel->Rebuild();
    // The header keeps moved sections across a rebuild with the same column count: put it back
    // into model order.
    for (int i = 0; i < columns.size(); ++i) {
        const int vi = FHeader->visualIndex(i);
        if (vi != i) FHeader->moveSection(vi, i);
        FHeader->resizeSection(i, columns[i].Width);
        FHeader->setSectionHidden(i, false);
    }
    FBuilding = false;
    SyncSortIndicator();
    FFooter->update();
}

int TDBGrid::ColumnCount() const { return FModel->Cols.size(); }

TGridColumn TDBGrid::Column(int displayIndex) const
{
    const int logical = LogicalOf(displayIndex);
    if (logical < 0) return {};
    TGridColumn c = FModel->Cols[logical];
    c.Width = FHeader->sectionSize(logical);
    return c;
}

int TDBGrid::FindColumn(const QString& fieldName) const
{
    for (int vi = 0; vi < ColumnCount(); ++vi)
        if (FModel->Cols[LogicalOf(vi)].FieldName.compare(fieldName, Qt::CaseInsensitive) == 0) return vi;
    return -1;
}

void TDBGrid::SetColumnMarker(int displayIndex, int marker)
{
    const int logical = LogicalOf(displayIndex);
    if (logical < 0) return;
    FModel->Cols[logical].Marker = marker;
    SyncSortIndicator();
}

int TDBGrid::SortColumn() const
{
    int found = -1;
    for (int vi = 0; vi < ColumnCount(); ++vi)
        if (FModel->Cols[LogicalOf(vi)].Marker != 0) found = vi;
    return found;
}

void TDBGrid::SyncSortIndicator()
{
    const int vi = SortColumn();
    if (vi < 0) {
        FHeader->setSortIndicator(-1, Qt::AscendingOrder);
        return;
    }
    const int logical = LogicalOf(vi);
    FHeader->setSortIndicator(logical, FModel->Cols[logical].Marker == 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

QString TDBGrid::SelectedField() const
{
    const QModelIndex cur = FView->currentIndex();
    const int logical = cur.isValid() ? cur.column() : LogicalOf(0);
    return logical >= 0 && logical < FModel->Cols.size() ? FModel->Cols[logical].FieldName : QString();
}

void TDBGrid::SelectField(const QString& fieldName)
{
    const int vi = FindColumn(fieldName);
    if (vi < 0) return;
    const int row = DataSet() ? DataSet()->RecNo() : -1;
    if (row < 0) return;
    FView->selectionModel()->setCurrentIndex(FModel->index(row, LogicalOf(vi)),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TDBGrid::SetGridHeight(int h)
{
    if (FHeightSetter) FHeightSetter(h);
    else resize(width(), h);
}

void TDBGrid::SetFooterRowCount(int rows) { FFooter->setVisible(rows > 0); }

int TDBGrid::FooterRowCount() const { return FFooter->isVisibleTo(this) ? 1 : 0; }

void TDBGrid::SetFooterTextHandler(std::function<QString(const QString&, const QString&)> handler)
{
    FFooterText = std::move(handler);
    FFooter->update();
}

QString TDBGrid::FooterText(int displayIndex) const
{
    const int logical = LogicalOf(displayIndex);
    if (logical < 0 || !FFooterText) return {};
    return FFooterText(FModel->Cols[logical].FieldName, FModel->Cols[logical].DisplayFormat);
}

void TDBGrid::RedrawFooter() { FFooter->update(); }

bool TDBGrid::HasGridFocus() const { return FView->hasFocus(); }

void TDBGrid::SetGridFocus() { FView->setFocus(); }

void TDBGrid::BeginUpdate() { FView->setUpdatesEnabled(false); }

void TDBGrid::EndUpdate() { FView->setUpdatesEnabled(true); }

bool TDBGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FView && event->type() == QEvent::FocusIn) emit Entered();
    return QWidget::eventFilter(watched, event);
}
