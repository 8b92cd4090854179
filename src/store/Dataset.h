#pragma once
// The cursor dataset every table of the program is seen through: the in-memory tables
// (TRxMemoryData), the DBF tables (TDbf) and, through TDataSetModel, the grids.
//
// A dataset has fields (name, type, size), stored rows, and a view: the stored rows that pass
// the record filter (when Filtered is on), in sort order. Navigation (First/Next/Eof, RecNo,
// Locate, bookmarks) moves over the view; the current row is one view position.
//
// Values: a null field reads as an invalid QVariant. Types: String -> QString, Integer ->
// qlonglong, Float -> double, Boolean -> bool, Date -> QDate, DateTime -> QDateTime.
//
// Editing: Edit() (current row) or Append() (new row) fills an edit buffer; SetValue writes into
// it and reads of the current row see it; Post() stores it, Cancel() drops it. Navigation
// while editing posts first (as the grids expect). A posted row that the filter rejects leaves
// the view. Write failures (file errors, a number too wide for its column, editing a closed
// dataset) throw EDataSetError with a Hungarian message; the edit buffer then stays so the
// caller can Cancel(). Reads never throw: a missing field or a closed dataset reads as null.
//
// Notifications: DataChanged (rows or structure changed: views rebuild), RowChanged (one view
// row's values), CurrentChanged (current row moved). Between DisableControls and the matching
// EnableControls nothing is emitted; EnableControls then emits DataChanged and CurrentChanged
// once when anything happened meanwhile. Walks that must not repaint grids use
// TDisableControls (a scope guard).
#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <stdexcept>

enum class TFieldType { String, Integer, Float, Boolean, Date, DateTime };

struct TFieldDef {
    QString Name;
    TFieldType Type = TFieldType::String;
    int Size = 0;       // width in characters (text, DBF numbers); 0 = not fixed
    int Precision = 0;  // decimals of a numeric field
    bool ReadOnly = false;
};
using TFieldDefs = QVector<TFieldDef>;

// A field value read as a number: numbers as they are, texts with either decimal separator,
// anything else (and no value) 0.
double VariantToFloat(const QVariant& v);

enum class TDataSetState { Inactive, Browse, Edit, Insert };

class EDataSetError : public std::runtime_error {
public:
    explicit EDataSetError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};

// Identifies a stored row for GotoBookmark; stays valid until that row is deleted or the
// dataset is reloaded. -1 = no row.
using TBookmark = qint64;

enum TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = int;

class TDataSet : public QObject {
    Q_OBJECT
public:
    explicit TDataSet(QObject* parent = nullptr);
    ~TDataSet() override;

    // ---- structure ----
    bool Active() const { return FActive; }
    virtual void Close();
    const TFieldDefs& Fields() const { return FFields; }
    int FieldCount() const { return int(FFields.size()); }
    // Index of a field, letter case ignored; -1 when absent (also when closed).
    int FieldIndex(const QString& name) const;
    bool HasField(const QString& name) const { return FieldIndex(name) >= 0; }

    // ---- navigation over the view ----
    int RecordCount() const { return int(FView.size()); }  // rows in the view; 0 when closed
    bool IsEmpty() const { return FView.isEmpty(); }
    int RecNo() const { return FCur; }  // 0-based view position; -1 when empty
    bool SetRecNo(int recNo);           // false when out of range (current row unchanged)
    void First();
    void Last();
    void Next();   // past the last row sets Eof (current stays on the last row)
    void Prior();  // before the first sets Bof
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }

    // ---- values ----
    QVariant Value(int field) const;  // current row (edit buffer while editing)
    QVariant FieldValue(const QString& name) const { return Value(FieldIndex(name)); }
    bool IsNull(int field) const { return !Value(field).isValid(); }
    QString AsString(int field) const;  // null -> ""
    qint64 AsInteger(int field) const;  // null / not a number -> 0
    double AsFloat(int field) const;    // null / not a number -> 0
    bool AsBoolean(int field) const;    // null -> false; numbers: non-zero
    // The value of a view row without moving the current row (grids read through this).
    QVariant ValueAt(int recNo, int field) const;
    // The stored row behind the current row (during a record filter: the row being tested).
    qint64 CurrentStoredRow() const;
    qint64 StoredRowAt(int recNo) const { return (recNo >= 0 && recNo < FView.size()) ? FView[recNo] : -1; }

    // ---- editing ----
    TDataSetState State() const { return FState; }
    void Edit();    // current row into edit state; nothing when already editing; throws when empty
    void Append();  // a new row of nulls in insert state
    void Post();    // stores the buffer (throws EDataSetError, see above)
    void Cancel();  // drops the buffer
    void Delete();  // deletes the current row; the next row (or the previous at the end) is current
    // Writes into the edit buffer; a null QVariant clears the field. Throws when not editing.
    void SetValue(int field, const QVariant& value);
    void SetFieldValue(const QString& name, const QVariant& value) { SetValue(CheckedField(name), value); }

    // ---- filtering and sorting ----
    // The callback runs with the candidate row as the current row; it answers whether to keep it.
    using TFilterRecord = std::function<bool(TDataSet& dataSet)>;
    void SetOnFilterRecord(TFilterRecord filter);
    void SetFiltered(bool on);
    bool Filtered() const { return FFiltered; }
    // Rebuilds the view (after the filter's conditions changed). The current row stays when it
    // still passes, else the first row is current.
    void Refilter();
    // Sorts the stored rows by the fields (ascending unless descending); texts compare without
    // letter case, nulls first. Empty list: back to stored order. Unknown names are skipped.
    // The sort holds for later refilters; the current row stays the same stored row.
    void SortOnFields(const QStringList& fieldNames, bool descending = false);
    QStringList SortFields() const { return FSortFields; }
    bool SortDescending() const { return FSortDesc; }

    // ---- locate ----
    // The first view row (from the first) whose fields equal the values becomes current;
    // false (current unchanged) when none does. Texts: loCaseInsensitive ignores letter case,
    // loPartialKey matches a prefix. Numbers compare as numbers, dates as dates.
    bool Locate(const QStringList& fieldNames, const QVariantList& values, TLocateOptions options = 0);
    bool Locate(const QString& fieldName, const QVariant& value, TLocateOptions options = 0)
    {
        return Locate(QStringList{fieldName}, QVariantList{value}, options);
    }

    // ---- bookmarks ----
    TBookmark GetBookmark() const;  // -1 when empty
    // Makes the bookmarked row current when it is in the view; false otherwise.
    bool GotoBookmark(TBookmark bookmark);
    bool BookmarkValid(TBookmark bookmark) const;

    // ---- controls ----
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

signals:
    void DataChanged();
    void RowChanged(int recNo);
    void CurrentChanged(int recNo);

protected:
    // ---- storage, implemented by each kind of dataset ----
    virtual qint64 StoredCount() const = 0;       // stored row ids run 0 .. StoredCount()-1
    virtual bool StoredDeleted(qint64 row) const = 0;  // deleted rows are never in the view
    virtual QVariant StoredValue(qint64 row, int field) const = 0;
    // Writes a row; row -1 appends and answers the new id. Throws EDataSetError on failure.
    virtual qint64 StoreRow(qint64 row, const QVector<QVariant>& values) = 0;
    virtual void DeleteStored(qint64 row) = 0;  // throws EDataSetError on failure
    // Orders two stored rows by one field (<0, 0, >0); nulls first, texts without letter case.
    // The default compares StoredValue; tables with typed storage override it for speed.
    virtual int CompareStored(qint64 a, qint64 b, int field) const;
    // Storage may sort the live rows itself (faster, same order as CompareStored with stored
    // order kept among equals); false leaves it to the generic sort.
    virtual bool SortOrder(QVector<qint64>& order, const QVector<int>& fields, bool descending)
    {
        Q_UNUSED(order); Q_UNUSED(fields); Q_UNUSED(descending);
        return false;
    }
    // Called around a sort with the fields it compares, so storage can build sort keys.
    virtual void PrepareCompare(const QVector<int>& fields) { Q_UNUSED(fields); }
    virtual void FinishCompare() {}

    // Derived classes call these when they open (fields set, rows ready) and close.
    void SetFieldDefs(const TFieldDefs& fields) { FFields = fields; }
    void OpenView();  // rebuilds order and view over the stored rows, first row current
    void CloseView();
    void NotifyDataChanged();
    // Coerces a value to a field's type (text to number etc.); invalid when not convertible.
    static QVariant Coerce(const TFieldDef& def, const QVariant& value);

private:
    int CheckedField(const QString& name) const;
    bool Passes(qint64 row);
    void RebuildView(qint64 keepRow);
    void BuildOrder();
    void PostIfEditing();
    void EmitCurrent();
    void EmitRow(int recNo);

    bool FActive = false;
    TFieldDefs FFields;
    QVector<qint64> FOrder;  // live stored rows in sort order
    QVector<qint64> FView;   // FOrder filtered
    int FCur = -1;
    bool FEof = true;
    bool FBof = true;
    TDataSetState FState = TDataSetState::Inactive;
    QVector<QVariant> FBuffer;
    qint64 FFilterRow = -1;  // row under test while the filter callback runs
    TFilterRecord FOnFilterRecord;
    bool FFiltered = false;
    QStringList FSortFields;
    bool FSortDesc = false;
    int FDisableCount = 0;
    bool FPendingNotify = false;
    friend class TDisableControls;
};

// DisableControls for a scope; the destructor enables them again.
class TDisableControls {
public:
    explicit TDisableControls(TDataSet* ds) : FDs(ds) { if (FDs) FDs->DisableControls(); }
    ~TDisableControls() { if (FDs) FDs->EnableControls(); }
    TDisableControls(const TDisableControls&) = delete;
    TDisableControls& operator=(const TDisableControls&) = delete;

private:
    TDataSet* FDs;
};
