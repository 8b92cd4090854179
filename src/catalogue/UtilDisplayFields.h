#pragma once
// Column definitions of the list grids and the process-wide store of the users' grid layouts,
// kept in "grids.ini" of the data folder (an FDB text table file with the tables FEJLEC and
// TETEL). The routines that build and read the columns of a grid window are in
// UtilGridColumns.h; everything here is plain data and files.
#include <QString>
#include <QVector>

struct TDisplayField {
    QString FieldName;  // at most 128 characters
    QString Display;    // title caption, at most 128
    QString Format;     // display format (DisplayFormat.h), at most 128; empty = default
    bool Visible = true;
    qint32 Width = 0;   // pixels
    qint32 Tag = 0;     // sort marker: 0 none, 1 ascending, 2 descending
};
using TDisplayFields = QVector<TDisplayField>;

struct TGridFormatItem {
    QString FormName;   // component name of the window, at most 128
    QString GridName;   // component name of the grid, at most 128
    qint32 GridHeight = 0;  // 0 keeps the designed height
    qint32 FormTag = 0;
    qint32 GridTag = 0;
    TDisplayFields Columns;  // visible ones first, in display order, then the hidden ones
};
using TListGridFormatItem = QVector<TGridFormatItem>;

// The layouts of this run; empty until LoadGridFormats runs at start-up.
extern TListGridFormatItem GridFormats;

// Replaces the entry with the same field name (case ignored) or appends one. Texts are cut to
// 128 characters.
void AddDisplayField(TDisplayFields& list, const QString& fieldName, const QString& display, qint32 width,
                     const QString& format = QString(), bool visible = true, qint32 tag = 0);
// Index of the entry with that field name (case ignored); -1 when there is none.
int FindDisplayField(const TDisplayFields& list, const QString& fieldName);
// Appends, in source order, every source entry whose field name the target lacks, with the
// given visibility and no sort marker.
void MergeDisplayFields(TDisplayFields& target, const TDisplayFields& source, bool visible);

// Index of the layout for (window, grid, tags): names compared without case, tags exactly;
// -1 when there is none.
int FindGridFormat(const TListGridFormatItem& store, const QString& formName, const QString& gridName,
                   qint32 gridTag, qint32 formTag);
// Finds the layout or appends one for the key, then sets its height and columns.
void StoreGridFormat(TListGridFormatItem& store, const QString& formName, const QString& gridName,
                     qint32 gridHeight, const TDisplayFields& columns, qint32 gridTag, qint32 formTag);

// Empties the store, then reads the file when it exists. A missing file is not an error (the
// store stays empty, the windows show their default columns); an unreadable or malformed one
// keeps what could be read before the fault.
void LoadGridFormats(TListGridFormatItem& store, const QString& fileName);
// Writes the whole store to the file, replacing it whole; false when it could not be written
// (the old file then stays as it was).
bool SaveGridFormats(const TListGridFormatItem& store, const QString& fileName);

// "grids.ini" in the data folder.
QString GridFormatsFileName();
// Start-up: loads GridFormats from GridFormatsFileName().
void LoadGridFormats();
// Saves GridFormats to GridFormatsFileName().
bool SaveGridFormats();
// "Oszlopbeállítások törlése": deletes the file and empties GridFormats.
void ClearGridFormats();
