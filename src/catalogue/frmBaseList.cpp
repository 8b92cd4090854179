#include "frmBaseList.h"

#include "DisplayFormat.h"
#include "ExcelExport.h"
#include "MemData.h"
#include "Messages.h"
#include "UtilDBF.h"
#include "UtilGridColumns.h"
#include "frmGridSettings.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString KWaitText = QStringLiteral("Adatok lekérdezése folyamatban...");

QPushButton* HeaderButton(const QString& caption, const QString& name, QAction* action, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);  // the grids keep the focus, as with the designed speed buttons
    b->setMinimumHeight(36);
    QObject::connect(b, &QPushButton::clicked, action, &QAction::trigger);
    return b;
}

QAction* MakeAction(const QString& name, const QKeySequence& shortcut, QWidget* owner)
{
    auto* a = new QAction(owner);
    a->setObjectName(name);
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    a->setShortcutContext(Qt::WindowShortcut);
    owner->addAction(a);
    return a;
}
}  // namespace

TFormBaseList::TFormBaseList(QWidget* parent) : TBaseForm(parent), FScratchDbf(std::make_unique<TDbf>())
{
    setObjectName(QStringLiteral("FormBaseList"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    resize(1000, 700);

    rxMaster = new TRxMemoryData(this);
    rxMaster->setObjectName(QStringLiteral("rxMaster"));
    rxDetail = new TRxMemoryData(this);
    rxDetail->setObjectName(QStringLiteral("rxDetail"));

    actLekerdez = MakeAction(QStringLiteral("actLekerdez"), QKeySequence(Qt::Key_F5), this);
    actExcel = MakeAction(QStringLiteral("actExcel"), QKeySequence(Qt::Key_F3), this);
    actGridSettings = MakeAction(QStringLiteral("actGridSettings"), QKeySequence(Qt::Key_F9), this);
    actKilep = MakeAction(QStringLiteral("actKilep"), QKeySequence(), this);
    connect(actLekerdez, &QAction::triggered, this, [this] { actLekerdezExecute(); });
    connect(actExcel, &QAction::triggered, this, [this] { actExcelExecute(); });
    connect(actGridSettings, &QAction::triggered, this, [this] { actGridSettingsExecute(); });
    connect(actKilep, &QAction::triggered, this, [this] { actKilepExecute(); });

    pnlHeader = new QWidget(this);
    pnlHeader->setObjectName(QStringLiteral("pnlHeader"));
    pnlHeader->setMinimumHeight(52);
    auto* header = new QHBoxLayout(pnlHeader);
    header->setContentsMargins(6, 4, 6, 4);
    HeaderControls = new QHBoxLayout;
    header->addLayout(HeaderControls);
    header->addStretch(1);
    btnExcel = HeaderButton(QStringLiteral("Excel (F3)"), QStringLiteral("btnExcel"), actExcel, pnlHeader);
    btnLekerdez = HeaderButton(QStringLiteral("Lekérdez (F5)"), QStringLiteral("btnLekerdez"), actLekerdez, pnlHeader);
    btnGridSettings =
        HeaderButton(QStringLiteral("Oszlop beáll (F9)"), QStringLiteral("btnGridSettings"), actGridSettings, pnlHeader);
    btnKilep = HeaderButton(QStringLiteral("Kilép (Esc)"), QStringLiteral("btnKilep"), actKilep, pnlHeader);
    for (QPushButton* b : {btnExcel, btnLekerdez, btnGridSettings, btnKilep}) header->addWidget(b);

    pnlMaster = new QWidget(this);
    pnlMaster->setObjectName(QStringLiteral("pnlMaster"));
    Splitter = new QSplitter(Qt::Vertical, pnlMaster);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(3);
    Splitter->setChildrenCollapsible(false);
    pnlMasterGrid = new QWidget(Splitter);
    pnlMasterGrid->setObjectName(QStringLiteral("pnlMasterGrid"));
    grdMaster = new TDBGrid(pnlMasterGrid);
    grdMaster->setObjectName(QStringLiteral("grdMaster"));
    auto* mg = new QVBoxLayout(pnlMasterGrid);
    mg->setContentsMargins(0, 0, 0, 0);
    mg->addWidget(grdMaster);
    grdDetail = new TDBGrid(Splitter);
    grdDetail->setObjectName(QStringLiteral("grdDetail"));
    Splitter->addWidget(pnlMasterGrid);
    Splitter->addWidget(grdDetail);
    Splitter->setStretchFactor(0, 1);
    Splitter->setStretchFactor(1, 0);
    grdDetail->SetHeightSetter([this](int h) { SetDetailHeight(h); });
    SetDetailHeight(114);
    auto* pm = new QVBoxLayout(pnlMaster);
    pm->setContentsMargins(0, 0, 0, 0);
    pm->addWidget(Splitter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnlHeader);
    layout->addWidget(pnlMaster, 1);

    connect(grdMaster, &TDBGrid::Entered, this, [this] { FActiveGrid = 1; });
    connect(grdDetail, &TDBGrid::Entered, this, [this] { FActiveGrid = 2; });
    connect(grdMaster, &TDBGrid::TitleClick, this, [this](int c) { grdMasterTitleClick(c); });
    connect(grdDetail, &TDBGrid::TitleClick, this, [this](int c) { grdDetailTitleClick(c); });
    connect(grdMaster, &TDBGrid::ColumnMoved, this, [this] { grdMasterColumnMoved(); });
    connect(grdDetail, &TDBGrid::ColumnMoved, this, [this] { grdDetailColumnMoved(); });
    connect(grdMaster, &TDBGrid::ColWidthsChanged, this, [this] { grdMasterColWidthsChanged(); });
    connect(grdDetail, &TDBGrid::ColWidthsChanged, this, [this] { grdDetailColWidthsChanged(); });
    connect(Splitter, &QSplitter::splitterMoved, this, [this] { SplitterMoved(); });

    SetHasDetail(false);
}

TFormBaseList::~TFormBaseList() = default;

void TFormBaseList::SetDetailHeight(int height)
{
    const int total = Splitter->height() > 0 && Splitter->isVisible() ? Splitter->height() : 10000;
    Splitter->setSizes({qMax(1, total - height - Splitter->handleWidth()), height});
}

// ---------------------------------------------------------------- steps

void TFormBaseList::InitForm()
{
    FColumnMoved = false;
    FLayoutReady = false;
    FQuerying = false;
    FActiveGrid = 1;
    FClosed = false;
    // DBF files are opened with code page 1250 (OpenGrid passes it).
    grdMaster->SetFooterTextHandler([this](const QString& f, const QString& fmt) { return MasterFooterText(f, fmt); });
    grdDetail->SetFooterTextHandler([this](const QString& f, const QString& fmt) { return DetailFooterText(f, fmt); });
    OpenTables(true);
    if (FHasDetail) QueryDetail();
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TFormBaseList::UpdateCaption(bool recount)
{
    const QString pattern = BaseCaption();
    if (pattern.isEmpty()) return;
    if (recount) {
        TDataSet* ds = MasterDataSet();
        FRecordCount = CountRecords(ds);
    }
    QString caption = pattern;
    caption.replace(QStringLiteral("$RECCOUNT"), QString::number(FRecordCount));
    setWindowTitle(caption);
}

TDataSet::TFilterRecord TFormBaseList::MasterFilterEvent()
{
    return [this](TDataSet& ds) {
        bool accept = true;
        FilterMaster(ds, accept);
        return accept;
    };
}

TDataSet::TFilterRecord TFormBaseList::DetailFilterEvent()
{
    return [this](TDataSet& ds) {
        bool accept = true;
        FilterDetail(ds, accept);
        return accept;
    };
}

void TFormBaseList::OpenGrid(TDatasetSource& source, TDBGrid* grid, const TDataSet::TFilterRecord& filterEvent,
                             const QString& keyField, const TDisplayFields& fields)
{
    FLayoutReady = false;
    QVariant keyValue;
    QString selectedField;
    if (TDataSet* old = grid->DataSet(); old && old->Active()) {
        if (!keyField.isEmpty() && old->HasField(keyField)) keyValue = old->FieldValue(keyField);
        selectedField = grid->SelectedField();
    }

    TDataSet* ds = nullptr;
    if (!source.FileName.isEmpty()) {
        if (source.MemData && OpenDBF(*FScratchDbf, source.FileName, 1250)) {
            CopyDbfToMemory(*FScratchDbf, *source.MemData);
            ds = source.MemData;
        }
    } else if (source.DataSet) {
        ds = source.DataSet;
    } else if (source.MemData) {
        ds = source.MemData;
    }
    grid->SetDataSet(ds);

    if (ds) {
        TDisableControls disabled(ds);
        ds->SetOnFilterRecord(filterEvent);
        if (ds->Filtered()) ds->Refilter();
        else ds->SetFiltered(true);
        FScratchDbf->Close();
        ApplyGridLayout(GridFormats, grid, fields, true, grid->Tag(), Tag(), grid->objectName(), objectName(), true);
        if (keyValue.isValid() && ds->HasField(keyField) && ds->Locate(keyField, keyValue) && !selectedField.isEmpty())
            grid->SelectField(selectedField);
    }
    FScratchDbf->Close();
    FLayoutReady = true;
}

void TFormBaseList::QueryMaster()
{
    ShowWaitMessage(QString(), KWaitText);
    FWaitShown = true;
    FQuerying = true;
    TDatasetSource source;
    GetMasterSource(source);
    OpenGrid(source, grdMaster, MasterFilterEvent(), FKeyField, FMasterFields);
    if (FFilterDirty) ApplyFilter(true);
    QueryDetail();
    FQuerying = false;
    TDataSet* ds = MasterDataSet();
    FRecordCount = ds && ds->Active() ? ds->RecordCount() : 0;
    SetFormCaption(BaseCaption());
    HideWaitMessage();
    FWaitShown = false;
}

void TFormBaseList::QueryDetail()
{
    TDatasetSource source;
    GetDetailSource(source);
    OpenGrid(source, grdDetail, DetailFilterEvent(), QString(), FDetailFields);
}

void TFormBaseList::OpenTables(bool) {}

void TFormBaseList::FilterMaster(TDataSet&, bool&) {}

void TFormBaseList::FilterDetail(TDataSet&, bool&) {}

void TFormBaseList::ApplyFilter(bool onlyIfDirty)
{
    if (onlyIfDirty && !FFilterDirty) return;
    const bool opened = !FWaitShown;
    if (opened) {
        ShowWaitMessage(QString(), KWaitText);
        FWaitShown = true;
    }
    if (TDataSet* ds = MasterDataSet()) {
        if (ds->Filtered()) ds->Refilter();
        else ds->SetFiltered(true);
    }
    FFilterDirty = false;
    UpdateCaption(true);
    if (opened) {
        HideWaitMessage();
        FWaitShown = false;
        // The control that had the focus gets it back once the wait window is gone.
        QPointer<QWidget> focused = focusWidget();
        QTimer::singleShot(0, this, [this, focused] {
            if (!focused) return;
            activateWindow();
            focused->setFocus();
        });
    }
}

QString TFormBaseList::MasterFooterText(const QString& fieldName, const QString& format)
{
    QString text;
    MasterFooterSum(fieldName, format, text);
    return text;
}

QString TFormBaseList::DetailFooterText(const QString& fieldName, const QString& format)
{
    QString text;
    DetailFooterSum(fieldName, format, text);
    return text;
}

void TFormBaseList::FooterSumText(const TListSumField& sums, const QString& fieldName, QString& text,
                                  const QString& format)
{
    text.clear();
    const int i = FindSumField(sums, fieldName);
    if (i >= 0) text = FormatFloatDisplay(format, sums[i].Sum);
}

void TFormBaseList::MasterFooterSum(const QString& fieldName, const QString& format, QString& text)
{
    FooterSumText(FMasterSums, fieldName, text, format);
}

void TFormBaseList::DetailFooterSum(const QString& fieldName, const QString& format, QString& text)
{
    FooterSumText(FDetailSums, fieldName, text, format);
}

void TFormBaseList::GetMasterSource(TDatasetSource& source)
{
    source = TDatasetSource();
    source.MemData = rxMaster;
}

void TFormBaseList::GetDetailSource(TDatasetSource& source)
{
    source = TDatasetSource();
    source.MemData = rxDetail;
}

// ---------------------------------------------------------------- operations

void TFormBaseList::SetHasDetail(bool value)
{
    FHasDetail = value;
    grdDetail->setVisible(value);
    if (Splitter->count() > 1) Splitter->handle(1)->setVisible(value);
}

void TFormBaseList::GetKeyValue(QVariant& value) const
{
    TDataSet* ds = MasterDataSet();
    value = ds && ds->Active() && !FKeyField.isEmpty() ? ds->FieldValue(FKeyField) : QVariant();
}

void TFormBaseList::GetDetailKeyValue(QVariant& value) const
{
    TDataSet* ds = DetailDataSet();
    value = ds && ds->Active() && !FDetailKeyField.isEmpty() ? ds->FieldValue(FDetailKeyField) : QVariant();
}

TDataSet* TFormBaseList::MasterDataSet() const { return grdMaster->DataSet(); }

TDataSet* TFormBaseList::DetailDataSet() const { return grdDetail->DataSet(); }

bool TFormBaseList::TextMatches(const QString& text, TDataSet& dataSet, const QString& fieldName)
{
    if (text.isEmpty()) return true;
    const QLocale locale;
    return locale.toUpper(dataSet.AsString(dataSet.FieldIndex(fieldName))).contains(locale.toUpper(text));
}

bool TFormBaseList::InRange(TDataSet& dataSet, const QString& fieldName, double from, double to)
{
    const int f = dataSet.FieldIndex(fieldName);
    const QVariant v = dataSet.Value(f);
    double x = 0;
    if (v.typeId() == QMetaType::QDate) x = v.toDate().toJulianDay() - QDate(1899, 12, 30).toJulianDay();
    else if (v.typeId() == QMetaType::QDateTime)
        x = (v.toDateTime().toMSecsSinceEpoch() - QDateTime(QDate(1899, 12, 30), QTime(0, 0)).toMSecsSinceEpoch()) /
            86400000.0;
    else x = dataSet.AsFloat(f);
    if (x == 0) return true;
    if (from != 0 && x < from) return false;
    if (to != 0 && x > to) return false;
    return true;
}

void TFormBaseList::UpdateSums(TDBGrid* grid, TListSumField& sums, const QString& fields)
{
    SumFields(grid ? grid->DataSet() : nullptr, fields, sums);
    if (grid) grid->RedrawFooter();
}

void TFormBaseList::StoreGridLayout(TDBGrid* grid, bool onlyIfFocused)
{
    if (grid && (grid->HasGridFocus() || !onlyIfFocused)) {
        TDisplayFields columns;
        ReadGridColumns(grid, columns);
        const int i = FindGridFormat(GridFormats, objectName(), grid->objectName(), grid->Tag(), Tag());
        if (i >= 0) MergeDisplayFields(columns, GridFormats[i].Columns, false);
        StoreGridFormat(GridFormats, objectName(), grid->objectName(), grid->GridHeight(), columns, grid->Tag(), Tag());
    }
    SaveGridFormats();
}

void TFormBaseList::EditGridSettings(const TDisplayFields& fields, TDBGrid* grid)
{
    if (!grid) return;
    TDisplayFields columns;
    ReadGridColumns(grid, columns);
    MergeDisplayFields(columns, fields, false);
    if (EditGridColumns(GridFormats, columns, objectName(), grid->GridHeight(), grid->Tag(), Tag(), grid->objectName(),
                        this)) {
        FLayoutReady = false;
        ApplyGridLayout(GridFormats, grid, fields, false, grid->Tag(), Tag(), grid->objectName(), objectName(), true);
        FLayoutReady = true;
    }
    SaveGridFormats();
}

// ---------------------------------------------------------------- handlers

void TFormBaseList::actLekerdezExecute() { QueryMaster(); }

void TFormBaseList::actKilepExecute()
{
    if (ConfirmExit()) close();
}

void TFormBaseList::actExcelExecute()
{
    if (!ConfirmMsg(QStringLiteral("Excel"), QStringLiteral("Biztosan elindítja az Excel feladást?"))) return;
    ExportGridToExcel(FActiveGrid == 2 ? grdDetail : grdMaster);
}

void TFormBaseList::actGridSettingsExecute()
{
    if (FActiveGrid == 2) EditGridSettings(FDetailFields, grdDetail);
    else EditGridSettings(FMasterFields, grdMaster);
}

void TFormBaseList::grdMasterTitleClick(int column)
{
    QVariant before;
    GetKeyValue(before);
    if (!FColumnMoved) {
        SortByColumn(grdMaster, grdMaster->Column(column).FieldName, 0);
        StoreGridLayout(grdMaster, true);
    }
    QVariant after;
    GetKeyValue(after);
    if (before != after && before.isValid() && MasterDataSet()) MasterDataSet()->Locate(FKeyField, before);
    FColumnMoved = false;
}

void TFormBaseList::grdDetailTitleClick(int column)
{
    if (!FColumnMoved) {
        SortByColumn(grdDetail, grdDetail->Column(column).FieldName, 0);
        StoreGridLayout(grdDetail, true);
    }
    FColumnMoved = false;
}

void TFormBaseList::grdMasterColumnMoved()
{
    if (grdMaster->HasGridFocus() && FLayoutReady) StoreGridLayout(grdMaster, true);
    FColumnMoved = true;
}

void TFormBaseList::grdDetailColumnMoved()
{
    if (grdDetail->HasGridFocus() && FLayoutReady) StoreGridLayout(grdDetail, true);
    FColumnMoved = true;
}

void TFormBaseList::grdMasterColWidthsChanged()
{
    if (grdMaster->HasGridFocus() && FLayoutReady) StoreGridLayout(grdMaster, true);
}

void TFormBaseList::grdDetailColWidthsChanged()
{
    if (grdDetail->HasGridFocus() && FLayoutReady) StoreGridLayout(grdDetail, true);
}

void TFormBaseList::SplitterMoved() { StoreGridLayout(grdDetail, false); }

void TFormBaseList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        actKilep->trigger();
        return;
    }
    TBaseForm::keyPressEvent(event);
}

void TFormBaseList::done(int result)
{
    if (!FClosed) {
        FClosed = true;
        OpenTables(false);
    }
    TBaseForm::done(result);
}
