#pragma once
// A list window of the tests' own on the list framework: products in the master grid (with a
// name filter in the header panel) and the items of the current product in the detail grid,
// with NETTO and BRUTTO sums in its footer.
#include "MemData.h"
#include "frmBaseList.h"

#include <QLineEdit>

class TFormTesztLista : public TFormBaseList {
    Q_OBJECT
public:
    explicit TFormTesztLista(QWidget* parent = nullptr);

    void InitForm() override;
    void OpenTables(bool open) override;
    void FilterMaster(TDataSet& dataSet, bool& accept) override;
    void FilterDetail(TDataSet& dataSet, bool& accept) override;
    void QueryMaster() override;
    void QueryDetail() override;

    QLineEdit* edtNev = nullptr;
    QStringList Steps;  // the framework's steps in the order they ran
    int OpenTablesFalse = 0;
    // Rows of the master table; the tests may replace them before the first show.
    QVector<QVariantList> Products;
    TDisplayFields& MasterFields() { return FMasterFields; }
    TDisplayFields& DetailFields() { return FDetailFields; }
    const TListSumField& DetailSums() const { return FDetailSums; }
};

// The products the window shows unless a test gives others: KOD, NEV, AR, MENNY, KELT.
QVector<QVariantList> SampleProducts();
