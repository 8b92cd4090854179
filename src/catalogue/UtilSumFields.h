#pragma once
// Column sums of a dataset, for the footers of the list grids.
#include "Dataset.h"

#include <QString>
#include <QVector>

struct TSumField {
    QString FieldName;  // at most 128 characters
    double Sum = 0;
};
using TListSumField = QVector<TSumField>;

// Sums: one entry per name of fieldList (names separated by ";"), in that order, each the sum of
// the field over the dataset's view rows (null and missing fields count 0). The walk runs with
// the dataset's controls disabled; the current row is kept. A closed or absent dataset gives
// entries with sum 0.
TListSumField SumFields(TDataSet* dataSet, const QString& fieldList);
// Index of the entry with that name (case ignored); -1 when absent.
int FindSumField(const TListSumField& list, const QString& fieldName);
// That entry's sum; 0 when absent.
double GetFieldSum(const TListSumField& list, const QString& fieldName);
