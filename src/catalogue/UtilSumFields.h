#pragma once
// Column sums of a dataset, for the footers of the list grids: the data store's SumFields,
// in the form the grids call it.
#include "Dataset.h"
#include "UtilDataSet.h"

// One entry per name of fieldList (names separated by ";"), in that order, each the sum of the
// field over the dataset's view rows; the current row does not move. A closed or absent dataset
// gives entries with sum 0.
TListSumField SumFields(TDataSet* dataSet, const QString& fieldList);
