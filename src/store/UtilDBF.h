#pragma once
// dBase tables: the DBF table dataset TDbf and the helpers through which the program opens its
// tables with the right code page, creates them from a field list and brings an existing table
// to a new structure.
//
// Read: dBase III/IV and FoxPro files; field types C, N, F, D, L, I, B (FoxPro double), Y, T;
// a memo field (M, G, P, or a dBase B that is not 8 bytes wide) reads as empty text. Write: our
// own tables, dBase III with the code page in the language-driver byte (1250 -> 0xC8,
// 852 -> 0x64), field types C, N, F, L, D (and T, I, B, Y in place when the file has them).
//
// Every write (Post, Delete, Pack) has reached the file when it returns, with the header's
// record count and the end marker in place, because other programs read these tables between
// our operations. Damaged files (truncated, lengths that disagree with the size, unknown field
// types) fail to open; garbage in a numeric or date field reads as null.
#include "Dataset.h"
#include "MemData.h"

#include <QFile>
#include <QString>
#include <QVector>
#include <array>
#include <memory>

enum class TDbfOpenMode {
    Shared,     // others may open the table too, except exclusively
    Exclusive,  // fails while anyone else holds the table; keeps everyone else out meanwhile
};

struct TDbfFieldInfo {
    QString Name;
    char Type = 'C';   // the dBase type letter
    int Length = 0;
    int Decimals = 0;
    int Offset = 0;    // within the record, after the deletion flag byte
    TFieldType FieldType = TFieldType::String;
    bool Memo = false;  // reads as empty text, never written
};

// A DBF table opened for one operation. The records are read into memory on Open (one read);
// writes go to the file at once. Deleted records stay in the file but are never in the view.
class TDbf : public TDataSet {
    Q_OBJECT
public:
    explicit TDbf(QObject* parent = nullptr);
    ~TDbf() override;

    // Opens the file; codePage 0 takes the file's own (its language-driver byte; 1250 when the
    // byte names none). False on any error (missing, locked, damaged): the table stays closed and
    // LastError() says why. The record filter and Filtered survive Close/Open.
    bool Open(const QString& fileName, int codePage = 0, TDbfOpenMode mode = TDbfOpenMode::Shared);
    void Close() override;
    QString LastError() const { return FError; }
    QString FileName() const { return FFileName; }
    int CodePage() const { return FCodePage; }      // the code page texts are decoded with
    int FileCodePage() const;                        // from the language-driver byte; 0 = none
    int Version() const { return FVersion; }         // the first header byte
    int LanguageDriver() const { return FLangDriver; }
    qint64 PhysicalRecordCount() const { return FRecCount; }  // deleted records included
    const QVector<TDbfFieldInfo>& DbfFields() const { return FInfo; }
    bool IsExclusive() const { return FMode == TDbfOpenMode::Exclusive; }

    // Removes deleted records: the new file is built beside the table and replaces it when
    // complete; the table stays open on it. Needs an exclusive open; throws EDataSetError.
    void Pack();

    // Raw record bytes (deletion flag first) for fast loaders; nullptr when out of range.
    const char* RecordData(qint64 row) const;
    // Decodes one field of a record the way the dataset does.
    QVariant DecodeField(const char* record, int field) const;

protected:
    qint64 StoredCount() const override { return FRecCount; }
    bool StoredDeleted(qint64 row) const override;
    QVariant StoredValue(qint64 row, int field) const override;
    qint64 StoreRow(qint64 row, const QVector<QVariant>& values) override;
    void DeleteStored(qint64 row) override;

private:
    bool Fail(const QString& message);
    QByteArray EncodeRecord(const QVector<QVariant>& values, const char* old) const;
    void WriteAt(qint64 pos, const QByteArray& bytes);
    void WriteHeaderCount();
    void ReleaseFile();

    std::unique_ptr<QFile> FFile;
    TDbfOpenMode FMode = TDbfOpenMode::Shared;
    QString FFileName;
    QString FError;
    int FCodePage = 1250;
    int FVersion = 0;
    int FLangDriver = 0;
    int FHeaderLen = 0;
    int FRecordLen = 0;
    qint64 FRecCount = 0;
    QByteArray FHeader;   // header bytes as read (descriptor area included)
    QByteArray FRecords;  // FRecCount * FRecordLen bytes
    QVector<TDbfFieldInfo> FInfo;
    std::array<char16_t, 256> FDecode{};
};

// ---------------------------------------------------------------- table helpers

struct TDBFField {
    QString FieldName;  // at most 64 characters
    TFieldType FieldType = TFieldType::String;  // String (C), Boolean (L), Float (N), Date (D); Integer (N, 0 decimals)
    qint32 Size = 0;    // 0 for dates
    bool Required = false;
    qint32 Precision = 0;
};
using TListDBFField = QVector<TDBFField>;

// Appends one element; the name is cut to 64 characters; a date field gets size 0.
void AddDBFField(TListDBFField& list, const QString& name, TFieldType type, bool required, int precision, int size);
int FindDBFField(const TListDBFField& list, const QString& name);  // letter case ignored; -1

// Closes the table and opens it on the file with the code page. True when it opened; false on
// any error, and the table stays closed.
bool OpenDBF(TDbf& dbf, const QString& fileName, int codePage);
// Creates an empty table with exactly these fields (names over 10 characters are cut, as dBase
// holds no more), replacing an existing file only when the new one is complete. False on any error.
bool CreateDBFTable(const QString& fileName, const TListDBFField& fields, int codePage);
// Empties the list and fills it with the table's fields (name, type, size, decimals). On error
// the list is left as far as it got.
void ReadDBFFields(const QString& fileName, TListDBFField& fields);
// Rewrites the table with exactly these fields: same-named fields (case ignored) keep their
// values, new fields start empty, others are dropped; records keep their order and deletion
// flags. Built beside the table, replaces it only when complete. Needs the table free of
// exclusive users. False on any error, and the old file is untouched.
bool RestructureDBFTable(const QString& fileName, const TListDBFField& fields, int codePage);
// Missing file: CreateDBFTable. Existing: true when its field count equals the list's,
// else RestructureDBFTable. False when the file exists but cannot be opened.
bool EnsureDBFTable(const QString& fileName, const TListDBFField& fields, int codePage);
// Removes the deleted records of a table (exclusive). False on any error.
bool PackDBFTable(const QString& fileName);
// For each field of the source that the destination has (same name, not read-only), copies the
// value, null included. The destination must be in edit or insert state.
void CopyMatchingFields(TDataSet& source, TDataSet& destination);
// Replaces the memory table's structure and rows by the table's records in view order.
// Answers the number of rows.
int CopyDbfToMemory(TDbf& dbf, TRxMemoryData& memory);

// Writes a whole new table in one go (tools and generators): Begin, Append per row, Commit.
// The file appears only on a successful Commit, complete.
class TDbfWriter {
public:
    bool Begin(const QString& fileName, const TListDBFField& fields, int codePage);  // false: bad field list
    void Append(const QVector<QVariant>& values);  // in field order; throws EDataSetError (value too wide)
    bool Commit();  // false when the file could not be written
    qint64 Count() const { return FCount; }

private:
    QString FFileName;
    QVector<TDbfFieldInfo> FInfo;
    int FCodePage = 1250;
    QByteArray FRecords;
    qint64 FCount = 0;
};

// The code page of a language-driver byte (0 when unknown), and the byte we write for a code page.
int CodePageOfLanguageDriver(int languageDriver);
int LanguageDriverOfCodePage(int codePage);
