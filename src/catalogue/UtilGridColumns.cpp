#include "UtilGridColumns.h"

#include "Dataset.h"

void ReadGridColumns(const TDBGrid* grid, TDisplayFields& list)
{
    list.clear();
    if (!grid) return;
    for (int i = 0; i < grid->ColumnCount(); ++i) {
        const TGridColumn c = grid->Column(i);
        TDisplayField f;
        f.FieldName = c.FieldName;
        f.Display = c.Title;
        f.Format = c.DisplayFormat;
        f.Width = c.Width;
        f.Visible = true;
        f.Tag = c.Marker;
        list.append(f);
    }
}

void ApplyGridLayout(const TListGridFormatItem& store, TDBGrid* grid, const TDisplayFields& defaults, bool sort,
                     qint32 gridTag, qint32 formTag, const QString& gridName, const QString& formName, bool useStore)
{
    if (!grid) return;
    TDisplayFields columns = defaults;
    if (useStore) {
        const int i = FindGridFormat(store, formName, gridName, gridTag, formTag);
        if (i >= 0) {
            columns = store[i].Columns;
            if (store[i].GridHeight != 0) grid->SetGridHeight(store[i].GridHeight);
        }
        MergeDisplayFields(columns, defaults, true);
    }
    QVector<TGridColumn> built;
    for (const TDisplayField& f : columns) {
        if (!f.Visible || FindDisplayField(defaults, f.FieldName) < 0) continue;
        TGridColumn c;
        c.FieldName = f.FieldName;
        c.Title = f.Display;
        c.Width = f.Width;
        c.DisplayFormat = f.Format;
        c.Marker = (f.Tag == 1 || f.Tag == 2) ? f.Tag : 0;
        built.append(c);
    }
    grid->SetColumns(built);
    const int sortColumn = grid->SortColumn();
    if (sort && sortColumn >= 0) {
        const TGridColumn c = grid->Column(sortColumn);
        SortByColumn(grid, c.FieldName, c.Marker);
    }
}

void SortByColumn(TDBGrid* grid, const QString& fieldName, int marker)
{
    if (!grid) return;
    const int col = FindGridColumn(grid, fieldName);
    TDataSet* ds = grid->DataSet();
    if (col < 0 || !ds || !ds->HasField(fieldName)) return;
    if (marker == 0) marker = grid->Column(col).Marker == 1 ? 2 : 1;
    for (int i = 0; i < grid->ColumnCount(); ++i) grid->SetColumnMarker(i, i == col ? marker : 0);
    ds->SortOnFields({fieldName}, marker == 2);
}

int FindGridColumn(const TDBGrid* grid, const QString& fieldName) { return grid ? grid->FindColumn(fieldName) : -1; }
