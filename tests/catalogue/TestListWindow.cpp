#include "TestListWindow.h"

#include <QHBoxLayout>

QVector<QVariantList> SampleProducts()
{
    return {
        {"A001", "alma piros", 1234.5, 10, QDate(2026, 3, 7)},
        {"A002", "Körte", 99.9, 5, QDate(2026, 1, 2)},
        {"A003", "ŐSZIBARACK", 12.25, 0, QVariant()},
        {"B001", "banán", 250.0, 12, QDate(2025, 12, 24)},
        {"B002", "Citrom", 0.5, 100, QDate(2026, 2, 28)},
        {"C001", "dió", 1500.0, 3, QDate(2026, 3, 1)},
        {"C002", "Alma zöld", 800.0, 7, QDate(2026, 3, 5)},
        {"C003", "mandula", 3000.75, 1, QDate(2026, 3, 6)},
    };
}

TFormTesztLista::TFormTesztLista(QWidget* parent) : TFormBaseList(parent)
{
    setObjectName(QStringLiteral("FormTesztLista"));
    edtNev = new QLineEdit(pnlHeader);
    edtNev->setObjectName(QStringLiteral("edtNev"));
    HeaderControls->addWidget(edtNev);
    connect(edtNev, &QLineEdit::textEdited, this, [this] {
        SetFilterDirty(true);
        ApplyFilter(false);
    });
    SetHasDetail(true);
    SetKeyField(QStringLiteral("KOD"));
    SetDetailKeyField(QStringLiteral("TKOD"));
    AddDisplayField(FMasterFields, "KOD", "Kód", 60);
    AddDisplayField(FMasterFields, "NEV", "Megnevezés", 250);
    AddDisplayField(FMasterFields, "AR", "Ár", 90, "### ### ##0.00");
    AddDisplayField(FMasterFields, "MENNY", "Készlet", 60, "########0");
    AddDisplayField(FMasterFields, "KELT", "Dátum", 80, "yyyy.mm.dd");
    AddDisplayField(FDetailFields, "TKOD", "Tétel", 60);
    AddDisplayField(FDetailFields, "NETTO", "Nettó", 100, "### ### ##0.00");
    AddDisplayField(FDetailFields, "BRUTTO", "Bruttó", 100, "### ### ##0.00");
    grdDetail->SetFooterRowCount(1);
    Products = SampleProducts();
    SetFormCaption(QStringLiteral("Teszt lista: $RECCOUNT termék ($RECCOUNT)"));
    // The items follow the current product.
    connect(rxMaster, &TDataSet::CurrentChanged, this, [this] {
        if (!Querying() && LayoutReady()) QueryDetail();
    });
}

void TFormTesztLista::InitForm()
{
    Steps << "InitForm";
    TFormBaseList::InitForm();
    QueryMaster();
}

void TFormTesztLista::OpenTables(bool open)
{
    Steps << (open ? "OpenTables(true)" : "OpenTables(false)");
    if (!open) {
        ++OpenTablesFalse;
        return;
    }
    rxMaster->CreateTable({{"KOD", TFieldType::String, 10},
                           {"NEV", TFieldType::String, 40},
                           {"AR", TFieldType::Float, 12, 2},
                           {"MENNY", TFieldType::Integer, 6},
                           {"KELT", TFieldType::Date}});
    for (const QVariantList& p : Products) {
        rxMaster->Append();
        for (int f = 0; f < p.size(); ++f) rxMaster->SetValue(f, p[f]);
        rxMaster->Post();
    }
    rxMaster->First();
    rxDetail->CreateTable({{"KOD", TFieldType::String, 10},
                           {"TKOD", TFieldType::String, 10},
                           {"NETTO", TFieldType::Float, 12, 2},
                           {"BRUTTO", TFieldType::Float, 12, 2}});
    const QVariantList items[] = {
        {"A001", "T1", 1000.0, 1270.0}, {"A001", "T2", 234.5, 297.82}, {"A002", "T3", 99.9, 126.87},
        {"C003", "T4", 3000.75, 3810.95},
    };
    for (const QVariantList& it : items) {
        rxDetail->Append();
        for (int f = 0; f < it.size(); ++f) rxDetail->SetValue(f, it[f]);
        rxDetail->Post();
    }
}

void TFormTesztLista::FilterMaster(TDataSet& dataSet, bool& accept)
{
    accept = TextMatches(edtNev->text(), dataSet, QStringLiteral("NEV"));
}

void TFormTesztLista::FilterDetail(TDataSet& dataSet, bool& accept)
{
    const QString key = rxMaster->Active() ? rxMaster->FieldValue(QStringLiteral("KOD")).toString() : QString();
    accept = !key.isEmpty() && dataSet.FieldValue(QStringLiteral("KOD")).toString() == key;
}

void TFormTesztLista::QueryMaster()
{
    Steps << "QueryMaster";
    TFormBaseList::QueryMaster();
}

void TFormTesztLista::QueryDetail()
{
    Steps << "QueryDetail";
    TFormBaseList::QueryDetail();
    UpdateSums(grdDetail, FDetailSums, QStringLiteral("NETTO;BRUTTO"));
}
