#pragma once
// Building a grid's columns from the stored layouts, reading them back, and sorting by a column.
#include "DBGrid.h"
#include "UtilDisplayFields.h"

// The grid's columns in display order: field, title, current width, display format, Visible
// true and Tag = the column's sort marker.
void ReadGridColumns(const TDBGrid* grid, TDisplayFields& list);

// Builds the grid's columns: the defaults, or with useStore the stored layout of (formName,
// gridName, formTag, gridTag) with the defaults it lacks appended as visible (and the stored
// grid height applied when not 0). Only entries that are visible and whose field the defaults
// know become columns; their markers come from the entries' Tags, and with sort the data is
// sorted by the last marked column.
void ApplyGridLayout(const TListGridFormatItem& store, TDBGrid* grid, const TDisplayFields& defaults, bool sort,
                     qint32 gridTag, qint32 formTag, const QString& gridName, const QString& formName, bool useStore);

// Sorts the grid's dataset by one column: marker 1 ascending, 2 descending, 0 the column's next
// marker (none -> 1, 1 -> 2, 2 -> 1). The column then carries the only marker of the grid. Texts
// compare without letter case. Nothing when the grid or its dataset lacks the field.
void SortByColumn(TDBGrid* grid, const QString& fieldName, int marker);

// Display index of the first column of that field (case ignored); -1 when none.
int FindGridColumn(const TDBGrid* grid, const QString& fieldName);
