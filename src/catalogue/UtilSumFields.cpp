#include "UtilSumFields.h"

TListSumField SumFields(TDataSet* dataSet, const QString& fieldList)
{
    TListSumField sums;
    SumFields(dataSet, fieldList, sums);
    return sums;
}
