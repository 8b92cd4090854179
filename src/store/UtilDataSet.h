#pragma once
// Tolerant field access by name, flag clearing, counting and column sums over any dataset.
// None of these shows a message. A null dataset pointer, a closed dataset, an empty name or a
// field the dataset lacks give the neutral value (unassigned, "", 0, false) and change nothing.
#include "Dataset.h"
#include "Utils.h"

#include <QString>
#include <QVariant>
#include <QVector>

QVariant GetFieldValue(const TDataSet* ds, const QString& name);  // invalid = unassigned or null
QString GetFieldString(const TDataSet* ds, const QString& name);
qint32 GetFieldInt(const TDataSet* ds, const QString& name);
double GetFieldFloat(const TDataSet* ds, const QString& name);
// False when the field's text is empty; otherwise the value as a boolean (numbers: non-zero;
// texts: "1", "T", "TRUE", "Y", "IGEN" in any case).
bool GetFieldBool(const TDataSet* ds, const QString& name);
// Sets the field when the dataset is open and has it; the row must be in edit or insert state
// (otherwise EDataSetError, as for any write).
void SetFieldValue(TDataSet* ds, const QString& name, const QVariant& value);
void SetFieldInt(TDataSet* ds, const QString& name, qint32 value);
void SetFieldFloat(TDataSet* ds, const QString& name, double value);

// Every row whose field reads as a non-zero integer gets the field set to null and is posted.
// Controls stay disabled meanwhile; the current row is the one that was current before
// (when it is still in the view).
void ClearFlagField(TDataSet* ds, const QString& name);
// Rows in the dataset's view; 0 for a null or closed dataset. The current row does not move.
int CountRecords(const TDataSet* ds);

struct TSumField {
    QString FieldName;  // at most 128 characters
    double Sum = 0;
};
using TListSumField = QVector<TSumField>;
// fieldList: names separated by ";". The result gets one entry per name, in order, with the sum
// of GetFieldFloat over every row of the view. The current row does not move.
void SumFields(const TDataSet* ds, const QString& fieldList, TListSumField& result);
int FindSumField(const TListSumField& list, const QString& name);  // case ignored; -1
double GetFieldSum(const TListSumField& list, const QString& name);  // 0 when absent

// AddSimpleID with the texts of the two fields of every row, first to last; the list is not
// cleared first. The current row does not move.
void LoadSimpleIDList(TListSimpleID& list, const TDataSet* ds, const QString& idField, const QString& nameField);
