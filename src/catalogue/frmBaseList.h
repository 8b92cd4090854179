#pragma once
// TFormBaseList: the common base of the big list windows. A maximised window with a header panel
// of command buttons, a master grid and an optional detail grid under a splitter, both over
// in-memory tables. It fixes the order in which a list is loaded, filtered and counted and gives
// what every list shares: sorting by a title click, the record count in the caption ("$RECCOUNT"
// in the caption pattern), footer sums, the Excel export and the users' column layouts, saved to
// grids.ini whenever they change.
//
// Subclasses override the steps (InitForm calling the inherited one and then QueryMaster,
// GetMasterSource / GetDetailSource, FilterMaster / FilterDetail, OpenTables) and fill
// FMasterFields / FDetailFields with AddDisplayField before the first show. Layouts are kept
// under the window's objectName and Tag and each grid's objectName and Tag.
#include "DBGrid.h"
#include "Dataset.h"
#include "UtilDisplayFields.h"
#include "UtilDataSet.h"
#include "frmBaseForm.h"

#include <QVariant>
#include <memory>

class QAction;
class QHBoxLayout;
class QPushButton;
class QSplitter;
class QWidget;
class TDbf;
class TRxMemoryData;

// What a grid shows: the first member that is set wins, in this order.
struct TDatasetSource {
    QString FileName;               // a DBF file, copied into MemData and shown
    TDataSet* DataSet = nullptr;    // shown directly
    TRxMemoryData* MemData = nullptr;
};

class TFormBaseList : public TBaseForm {
    Q_OBJECT
public:
    explicit TFormBaseList(QWidget* parent = nullptr);
    ~TFormBaseList() override;

    // ---- the steps, in their order ----
    void InitForm() override;
    void UpdateCaption(bool recount) override;
    // filterEvent: the dataset's record filter (MasterFilterEvent / DetailFilterEvent).
    virtual void OpenGrid(TDatasetSource& source, TDBGrid* grid, const TDataSet::TFilterRecord& filterEvent,
                          const QString& keyField, const TDisplayFields& fields);
    TDataSet::TFilterRecord MasterFilterEvent();  // calls FilterMaster
    TDataSet::TFilterRecord DetailFilterEvent();  // calls FilterDetail
    virtual void QueryMaster();
    virtual void QueryDetail();
    virtual void OpenTables(bool open);
    virtual void FilterMaster(TDataSet& dataSet, bool& accept);
    virtual void FilterDetail(TDataSet& dataSet, bool& accept);
    virtual void ApplyFilter(bool onlyIfDirty);
    virtual QString MasterFooterText(const QString& fieldName, const QString& format);
    virtual QString DetailFooterText(const QString& fieldName, const QString& format);
    virtual void FooterSumText(const TListSumField& sums, const QString& fieldName, QString& text,
                               const QString& format);
    virtual void MasterFooterSum(const QString& fieldName, const QString& format, QString& text);
    virtual void DetailFooterSum(const QString& fieldName, const QString& format, QString& text);
    virtual void GetMasterSource(TDatasetSource& source);
    virtual void GetDetailSource(TDatasetSource& source);

    // ---- operations ----
    void SetHasDetail(bool value);
    bool HasDetail() const { return FHasDetail; }
    void SetKeyField(const QString& name) { FKeyField = name; }
    void SetDetailKeyField(const QString& name) { FDetailKeyField = name; }
    void GetKeyValue(QVariant& value) const;
    void GetDetailKeyValue(QVariant& value) const;
    TDataSet* MasterDataSet() const;
    TDataSet* DetailDataSet() const;
    // Empty text accepts; otherwise the field's text contains it, both upper-cased (locale rules).
    static bool TextMatches(const QString& text, TDataSet& dataSet, const QString& fieldName);
    // v = the field as a number: 0 accepts; below a non-zero from or above a non-zero to rejects.
    static bool InRange(TDataSet& dataSet, const QString& fieldName, double from, double to);
    // Sums of the fields (";"-separated) over the grid's visible rows, then the footer redrawn.
    void UpdateSums(TDBGrid* grid, TListSumField& sums, const QString& fields);
    void StoreGridLayout(TDBGrid* grid, bool onlyIfFocused);
    void EditGridSettings(const TDisplayFields& fields, TDBGrid* grid);

    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }
    int RecordCountShown() const { return FRecordCount; }
    int ActiveGrid() const { return FActiveGrid; }
    bool Querying() const { return FQuerying; }
    bool LayoutReady() const { return FLayoutReady; }
    void SetFilterDirty(bool dirty) { FFilterDirty = dirty; }
    bool FilterDirty() const { return FFilterDirty; }

    // ---- the window's parts ----
    QWidget* pnlHeader = nullptr;
    QHBoxLayout* HeaderControls = nullptr;  // subclasses add their filter controls here (left)
    QPushButton* btnExcel = nullptr;
    QPushButton* btnLekerdez = nullptr;
    QPushButton* btnGridSettings = nullptr;
    QPushButton* btnKilep = nullptr;
    QWidget* pnlMaster = nullptr;
    QWidget* pnlMasterGrid = nullptr;
    TDBGrid* grdMaster = nullptr;
    QSplitter* Splitter = nullptr;
    TDBGrid* grdDetail = nullptr;
    QAction* actLekerdez = nullptr;
    QAction* actExcel = nullptr;
    QAction* actGridSettings = nullptr;
    QAction* actKilep = nullptr;
    TRxMemoryData* rxMaster = nullptr;
    TRxMemoryData* rxDetail = nullptr;

    // ---- handlers ----
    void actLekerdezExecute();
    void actKilepExecute();
    void actExcelExecute();
    void actGridSettingsExecute();
    void grdMasterTitleClick(int column);
    void grdDetailTitleClick(int column);
    void grdMasterColumnMoved();
    void grdDetailColumnMoved();
    void grdMasterColWidthsChanged();
    void grdDetailColWidthsChanged();
    void SplitterMoved();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

    bool FHasDetail = false;
    QString FKeyField;
    QString FDetailKeyField;
    int FActiveGrid = 1;
    bool FFilterDirty = false;
    bool FQuerying = false;
    bool FLayoutReady = false;
    bool FColumnMoved = false;
    int FRecordCount = 0;
    TDisplayFields FMasterFields;
    TDisplayFields FDetailFields;
    TListSumField FMasterSums;
    TListSumField FDetailSums;

private:
    void SetDetailHeight(int height);
    std::unique_ptr<TDbf> FScratchDbf;
    int FTag = 0;
    bool FWaitShown = false;
    bool FClosed = false;
};
