#include "UtilDataSet.h"

#include <QHash>

namespace {
int FieldOf(const TDataSet* ds, const QString& name)
{
    return (ds && ds->Active() && !name.isEmpty()) ? ds->FieldIndex(name) : -1;
}

}

QVariant GetFieldValue(const TDataSet* ds, const QString& name)
{
    const int f = FieldOf(ds, name);
    return f < 0 ? QVariant() : ds->Value(f);
}

QString GetFieldString(const TDataSet* ds, const QString& name)
{
    const int f = FieldOf(ds, name);
    return f < 0 ? QString() : ds->AsString(f);
}

qint32 GetFieldInt(const TDataSet* ds, const QString& name)
{
    const int f = FieldOf(ds, name);
    return f < 0 ? 0 : qint32(ds->AsInteger(f));
}

double GetFieldFloat(const TDataSet* ds, const QString& name)
{
    return VariantToFloat(GetFieldValue(ds, name));
}

bool GetFieldBool(const TDataSet* ds, const QString& name)
{
    const QVariant v = GetFieldValue(ds, name);
    if (!v.isValid() || v.toString().isEmpty()) return false;
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed().toUpper();
        return t == "1" || t == "T" || t == "TRUE" || t == "Y" || t == "IGEN";
    }
    return VariantToFloat(v) != 0;
}

void SetFieldValue(TDataSet* ds, const QString& name, const QVariant& value)
{
    const int f = FieldOf(ds, name);
    if (f >= 0) ds->SetValue(f, value);
}

void SetFieldInt(TDataSet* ds, const QString& name, qint32 value)
{
    SetFieldValue(ds, name, QVariant(qlonglong(value)));
}

void SetFieldFloat(TDataSet* ds, const QString& name, double value)
{
    SetFieldValue(ds, name, QVariant(value));
}

void ClearFlagField(TDataSet* ds, const QString& name)
{
    const int f = FieldOf(ds, name);
    if (f < 0) return;
    TDisableControls off(ds);
    const TBookmark keep = ds->GetBookmark();
    ds->First();
    while (!ds->Eof() && !ds->IsEmpty()) {
        if (ds->AsInteger(f) != 0) {
            const TBookmark row = ds->GetBookmark();
            ds->Edit();
            ds->SetValue(f, QVariant());
            ds->Post();
            if (ds->GetBookmark() != row) continue;  // the row left the view; the next one is current
        }
        ds->Next();
    }
    if (!ds->GotoBookmark(keep)) ds->First();
}

int CountRecords(const TDataSet* ds)
{
    return (ds && ds->Active()) ? ds->RecordCount() : 0;
}

void SumFields(const TDataSet* ds, const QString& fieldList, TListSumField& result)
{
    result.clear();
    QVector<int> fields;
    for (const QString& name : fieldList.split(';')) {
        result.append(TSumField{CutText(name, 128), 0});
        fields.append(FieldOf(ds, name));
    }
    if (!ds || !ds->Active()) return;
    const int rows = ds->RecordCount();
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < fields.size(); ++k)
            if (fields[k] >= 0) result[k].Sum += VariantToFloat(ds->ValueAt(r, fields[k]));
}

int FindSumField(const TListSumField& list, const QString& name)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].FieldName.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

double GetFieldSum(const TListSumField& list, const QString& name)
{
    const int i = FindSumField(list, name);
    return i < 0 ? 0 : list[i].Sum;
}

void LoadSimpleIDList(TListSimpleID& list, const TDataSet* ds, const QString& idField, const QString& nameField)
{
    const int fi = FieldOf(ds, idField), fn = FieldOf(ds, nameField);
    if (!ds || !ds->Active()) return;
    // AddSimpleID's rule (exact ID, last name wins), with an index so that 100,000 rows stay fast.
    QHash<QString, int> at;
    for (int i = 0; i < list.size(); ++i)
        if (!at.contains(list[i].ID)) at.insert(list[i].ID, i);
    const int rows = ds->RecordCount();
    for (int r = 0; r < rows; ++r) {
        const QVariant id = fi < 0 ? QVariant() : ds->ValueAt(r, fi);
        const QVariant nm = fn < 0 ? QVariant() : ds->ValueAt(r, fn);
        const QString idText = id.isValid() ? id.toString() : QString();
        const QString nameText = nm.isValid() ? nm.toString() : QString();
        if (idText.isEmpty() || nameText.isEmpty()) continue;
        const QString cutId = CutText(idText, 10);
        auto it = at.constFind(cutId);
        int i;
        if (it == at.constEnd()) {
            list.append(TSimpleID{cutId, QString()});
            i = int(list.size()) - 1;
            at.insert(cutId, i);
        } else {
            i = it.value();
        }
        list[i].Name = CutText(nameText, 50);
    }
}
