#pragma once
// TFDBFile: a small in-memory store of several tables of typed values with a line-oriented text
// form of its own (order documents *.mgr, the product list's working copy temptetel.fdb, the
// grid layouts grids.ini). Texts are single-byte code page 1250 in the file; lengths in the file
// are bytes. The writer's output is exact to the byte; the parser is tolerant (see ParseLine).
//
// Values are QVariants: invalid (empty), QString, double (Float and Integer fields alike after
// parsing), qlonglong, bool or QDateTime.
#include "Dataset.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QVariant>
#include <QVector>
#include <stdexcept>

enum class TFDBDataType : quint8 { String = 0, Float = 1, Integer = 2, Boolean = 3, DateTime = 4 };

// A date text that cannot form a valid date or time.
class EFDBConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TFDBTableItem {
    QString Name;           // 64
    QString SqlTableName;   // 64
    QString KeyFieldNames;  // 128
    QString SrcFileName;    // 128
};
struct TFDBFieldItem {
    QString Name;  // 64
    qint32 TableIndex = -1;
    TFDBDataType DataType = TFDBDataType::String;
    QString Memo;  // 64
    qint32 Size = 0;
    QString SqlFieldName;  // 64
};
struct TFDBRecordItem {
    qint32 TableIndex = -1;
    qint32 FirstValue = 0;
};
struct TFDBDbField {
    qint32 FieldIndex = -1;
    QVariant Value;
};
struct TResultField {
    QString Name;  // 128
    TFDBDataType DataType = TFDBDataType::String;
    QVariant Value;
    TFieldType FieldType = TFieldType::String;
};
using TListResultField = QVector<TResultField>;

struct TFDBDataset {
    QString Id;        // 128
    QString HashCode;  // 128
    QVector<TFDBTableItem> Tables;
    QVector<TFDBFieldItem> Fields;
    QVector<TFDBRecordItem> Records;  // allocated in steps; RecordCount entries in use
    QVector<TFDBDbField> Values;      // allocated in steps; ValueCount entries in use
    qint32 RecordCount = 0;
    qint32 ValueCount = 0;
};

enum class TParseKind { None, Key, Section };
enum class TFDBSection { Unknown, Options, Table, Field, Record };
struct TParseLine {
    QByteArray Key;
    QByteArray Value;
    QVariant Data;  // key line: the converted value; section line: the section name
    TParseKind Kind = TParseKind::None;
    qint32 Next = -1;
    // Section lines: which section, and for a record its table name ("" for none).
    TFDBSection Section = TFDBSection::Unknown;
    QString SectionName;
};

QString FDBDataTypeName(TFDBDataType type);          // "String" ... "DateTime"
TFDBDataType FDBDataTypeFromName(const QString& name);  // unknown -> String
TFDBDataType FDBDataTypeOfField(TFieldType type);
TFieldType FieldTypeOfFDB(TFDBDataType type);
// Digit runs as year, month, day[, hour, minute[, second[, ms]]]; 0, 1, 2, 4 or 8+ numbers give
// the zero date-time (1899-12-30 00:00). Throws EFDBConvertError for an impossible date or time.
QDateTime DateTimeFromText(const QString& text);
QDateTime FDBZeroDateTime();

class TFDBFile {
public:
    TFDBFile();

    QByteArray Data;  // raw bytes of the last file read
    TFDBDataset DB;
    QString TrailerText;  // appended unchanged at the end of the saved file

    void Clear();  // keeps TrailerText
    int AddTable(const QString& name, const QString& sqlTableName = {}, const QString& keyFieldNames = {},
                 const QString& srcFileName = {});
    int AddField(const QString& name, TFDBDataType dataType, const QString& memo, qint32 size,
                 const QString& sqlFieldName, qint32 tableIndex);
    int AddTableField(const QString& tableName, const QString& fieldName, const QString& memo, qint32 size,
                      const QString& sqlFieldName, TFDBDataType dataType);
    int FindTable(const QString& name) const;
    int FindField(const QString& name) const;
    int FindTableField(const QString& tableName, const QString& fieldName) const;
    QString TableNameOf(int index) const;

    void AddRecord(const QString& tableName);
    // Dropped silently when no field of that name (in that table) is declared.
    void AddValue(const QString& fieldName, const QVariant& value, const QString& tableName = {});
    int RecordCount() const { return DB.RecordCount; }
    QString RecordTableName(int index) const;
    TListResultField GetRecordFields(int index) const;
    QVariant GetValue(int index, const QString& fieldName) const;

    // False with nothing changed when the file does not exist; throws EFDBConvertError for an
    // impossible date text (what was read before stays).
    bool LoadFromFile(const QString& fileName);
    void LoadFromBytes(const QByteArray& bytes);  // parses as LoadFromFile does
    // Writes the whole text form at once (temporary file renamed into place); false when it
    // could not be written, and the old file is then untouched.
    bool SaveToFile(const QString& fileName, const QString& fieldFilter = {}, bool include = true,
                    const QString& separator = QStringLiteral(";")) const;
    bool SaveToDevice(QIODevice& device, const QString& fieldFilter = {}, bool include = true,
                      const QString& separator = QStringLiteral(";")) const;
    QByteArray SaveToBytes(const QString& fieldFilter = {}, bool include = true,
                           const QString& separator = QStringLiteral(";")) const;

    // The caller has put the dataset into edit or insert state and posts afterwards.
    void CopyRecordToDataSet(TDataSet& dataSet, int index) const;
    int AppendRecordsToDataSet(TDataSet& dataSet, const QString& fieldFilter = {},
                               const QString& separator = QStringLiteral(";"), const QString& tableName = {}) const;
    int LoadFromDataSet(TDataSet& dataSet, const QString& tableName, bool clearFirst = true, bool include = true,
                        const QString& separator = QStringLiteral(";"), const QString& fieldFilter = {});

    static bool FieldPassesFilter(const QString& name, const QString& filter, bool include, const QString& separator);
    // One line of the text form from position pos.
    TParseLine ParseLine(const QByteArray& data, qint32 pos) const;
    void Parse();  // parses Data into DB
    QVariant ValueFromText(const QString& key, const QByteArray& text) const;
    static QByteArray ValueToText(TFDBDataType type, const QVariant& value);
};
