#pragma once
// TRxMemoryData: the in-memory table (the product table, the order header copies, the windows'
// item tables). Rows are stored by column: each column is a typed array with a null mask, texts
// of a column share one character pool, so 100,000 products filter, sort and count fast and
// take little memory. Deleted rows leave a hole until the table is emptied or reloaded.
#include "Dataset.h"

#include <QStringView>
#include <vector>

class TRxMemoryData : public TDataSet {
    Q_OBJECT
public:
    explicit TRxMemoryData(QObject* parent = nullptr);

    // Replaces structure and rows by an empty table with these fields and opens it.
    void CreateTable(const TFieldDefs& fields);
    // Opens the table again with the structure it had (rows gone), or with no fields.
    void Open();
    // Removes every row; structure, filter and sort stay.
    void EmptyTable();
    void Close() override;
    TFieldDefs FieldDefs() const { return FDefs; }  // the structure, also while closed

    // Replaces structure and rows by a copy of the source's fields and of its view rows
    // (first to last, filter and sort of the source honoured; the source's current row stays).
    // Answers the number of rows copied.
    int LoadFromDataSet(TDataSet& source);

    // ---- fast column access for filters and loaders (stored row ids, see CurrentStoredRow) ----
    // The text of a String field; valid until the table changes. Empty for null / other types.
    QStringView TextAt(qint64 row, int field) const;
    double NumberAt(qint64 row, int field) const;  // Integer, Float, Boolean; 0 for null
    bool NullAt(qint64 row, int field) const;

    // Bulk loading: BeginLoad(fields, expected rows), then per row AddRow() and the setters for
    // its non-null fields (fields not set stay null), then EndLoad() opens the view.
    void BeginLoad(const TFieldDefs& fields, qint64 expectedRows);
    qint64 AddRow();
    void LoadText(qint64 row, int field, const char16_t* text, qsizetype len);
    void LoadInteger(qint64 row, int field, qint64 value);
    void LoadFloat(qint64 row, int field, double value);
    void LoadBoolean(qint64 row, int field, bool value);
    void LoadDate(qint64 row, int field, qint64 julianDay);
    void LoadDateTime(qint64 row, int field, qint64 msecsSinceEpoch);
    void EndLoad();
    void ReservePool(int field, qint64 chars);  // room for a text column's characters

    // Bytes held by the stored rows (columns, pools, masks); for the benchmark.
    qint64 MemoryUsage() const;

protected:
    qint64 StoredCount() const override { return FRows; }
    bool StoredDeleted(qint64 row) const override;
    QVariant StoredValue(qint64 row, int field) const override;
    qint64 StoreRow(qint64 row, const QVector<QVariant>& values) override;
    void DeleteStored(qint64 row) override;
    int CompareStored(qint64 a, qint64 b, int field) const override;
    bool SortOrder(QVector<qint64>& order, const QVector<int>& fields, bool descending) override;
    void PrepareCompare(const QVector<int>& fields) override;
    void FinishCompare() override;

private:
    struct TColumn {
        TFieldType Type = TFieldType::String;
        bool Wide = false;               // integers in I64 (else I32)
        std::vector<quint8> Null;        // bit mask, 1 = null
        std::vector<qint32> I32;         // Integer (narrow), Boolean, Date (Julian day)
        std::vector<qint64> I64;         // Integer (wide), DateTime (ms since epoch)
        std::vector<double> F;           // Float
        std::vector<quint32> Off, Len;   // String: slice of Pool
        std::vector<char16_t> Pool;
    };
    void InitColumns();
    void GrowTo(qint64 rows);
    void SetNull(TColumn& c, qint64 row, bool null);
    void PutValue(qint64 row, int field, const QVariant& v);

    // Sort keys of a text column while a sort runs: the case-folded text and its first four
    // characters packed into one number.
    struct TSortKey {
        int Field = -1;
        std::vector<quint64> Prefix;
        std::vector<char16_t> Folded;
    };
    std::vector<TSortKey> FSortKeys;
    TFieldDefs FDefs;
    std::vector<TColumn> FCols;
    std::vector<quint8> FDeleted;  // one byte per row
    qint64 FRows = 0;
    qint64 FAllocated = 0;  // rows the column arrays hold room for
};
