#include "UtilSumFields.h"

#include "Utils.h"

TListSumField SumFields(TDataSet* dataSet, const QString& fieldList)
{
    TListSumField sums;
    QVector<int> fields;
    for (const QString& name : fieldList.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString n = name.trimmed();
        if (n.isEmpty()) continue;
        sums.append({CutText(n, 128), 0.0});
        fields.append(dataSet ? dataSet->FieldIndex(n) : -1);
    }
    if (!dataSet || !dataSet->Active()) return sums;
    // Reading view rows by position leaves the current row where it is, so nothing repaints.
    const int count = dataSet->RecordCount();
    for (int i = 0; i < sums.size(); ++i) {
        const int f = fields[i];
        if (f < 0) continue;
        double s = 0;
        for (int r = 0; r < count; ++r) {
            const QVariant v = dataSet->ValueAt(r, f);
            if (v.isValid()) s += v.toDouble();
        }
        sums[i].Sum = s;
    }
    return sums;
}

int FindSumField(const TListSumField& list, const QString& fieldName)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].FieldName.compare(fieldName, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

double GetFieldSum(const TListSumField& list, const QString& fieldName)
{
    const int i = FindSumField(list, fieldName);
    return i < 0 ? 0 : list[i].Sum;
}
