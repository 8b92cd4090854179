#include "UtilFileDB.h"

#include "CodePage.h"
#include "FileLookup.h"
#include "Utils.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace {
constexpr int kCodePage = 1250;
constexpr int kGrowStep = 128;

QByteArray Enc(const QString& s)
{
    return EncodeCodePage(s, kCodePage);
}

QString Dec(const QByteArray& b)
{
    return DecodeCodePage(b, kCodePage);
}

bool IsPrintable(char c)
{
    const uchar u = uchar(c);
    return u >= 0x21 && u <= 0x7F;
}

bool IsAlnum(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Optional sign, digits with an optional "." and an optional exponent; nothing else.
bool ReadDecimal(const QString& text, double& out)
{
    const QByteArray t = text.toLatin1();
    int i = 0;
    const int n = int(t.size());
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    int digits = 0;
    while (i < n && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
        int e = 0;
        while (i < n && t[i] >= '0' && t[i] <= '9') ++i, ++e;
        if (e == 0) return false;
    }
    if (i != n) return false;
    bool ok = false;
    out = text.toDouble(&ok);
    return ok;
}

QByteArray FloatText(double d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.18g", d);
    QByteArray s(buf);
    // The general format writes the exponent as E followed by its digits ("1E20", "1.5E-7").
    const qsizetype e = s.indexOf('e');
    if (e >= 0) {
        QByteArray mant = s.left(e), exp = s.mid(e + 1);
        const bool neg = exp.startsWith('-');
        if (exp.startsWith('+') || exp.startsWith('-')) exp.remove(0, 1);
        while (exp.size() > 1 && exp.startsWith('0')) exp.remove(0, 1);
        s = mant + "E" + (neg ? "-" : "") + exp;
    }
    return s;
}

struct TDecl {
    QString Name, SqlTableName, KeyFieldNames, SrcFileName;  // table
    QString Memo, SqlFieldName;                               // field
    qint32 TableIndex = -1;
    TFDBDataType DataType = TFDBDataType::String;
    qint32 Size = 0;
};
}  // namespace

QString FDBDataTypeName(TFDBDataType type)
{
    switch (type) {
    case TFDBDataType::String: return QStringLiteral("String");
    case TFDBDataType::Float: return QStringLiteral("Float");
    case TFDBDataType::Integer: return QStringLiteral("Integer");
    case TFDBDataType::Boolean: return QStringLiteral("Boolean");
    case TFDBDataType::DateTime: return QStringLiteral("DateTime");
    }
    return QStringLiteral("Unknow");
}

TFDBDataType FDBDataTypeFromName(const QString& name)
{
    const QString n = name.trimmed().toUpper();
    if (n == "FLOAT") return TFDBDataType::Float;
    if (n == "INTEGER") return TFDBDataType::Integer;
    if (n == "BOOLEAN") return TFDBDataType::Boolean;
    if (n == "DATETIME") return TFDBDataType::DateTime;
    return TFDBDataType::String;
}

TFDBDataType FDBDataTypeOfField(TFieldType type)
{
    switch (type) {
    case TFieldType::Integer: return TFDBDataType::Integer;
    case TFieldType::Boolean: return TFDBDataType::Boolean;
    case TFieldType::Float: return TFDBDataType::Float;
    case TFieldType::Date:
    case TFieldType::DateTime: return TFDBDataType::DateTime;
    case TFieldType::String: return TFDBDataType::String;
    }
    return TFDBDataType::String;
}

TFieldType FieldTypeOfFDB(TFDBDataType type)
{
    switch (type) {
    case TFDBDataType::Float: return TFieldType::Float;
    case TFDBDataType::Integer: return TFieldType::Integer;
    case TFDBDataType::Boolean: return TFieldType::Boolean;
    case TFDBDataType::DateTime: return TFieldType::DateTime;
    case TFDBDataType::String: return TFieldType::String;
    }
    return TFieldType::String;
}

QDateTime FDBZeroDateTime()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

QDateTime DateTimeFromText(const QString& text)
{
    QVector<qint64> n;
    qint64 cur = -1;
    for (QChar c : text) {
        if (c >= '0' && c <= '9') {
            cur = (cur < 0 ? 0 : cur) * 10 + (c.unicode() - '0');
            if (cur > 1000000000) throw EFDBConvertError("'" + text.toStdString() + "' is not a valid date");
        } else if (cur >= 0) {
            n.append(cur);
            cur = -1;
        }
    }
    if (cur >= 0) n.append(cur);
    auto bad = [&]() -> EFDBConvertError { return EFDBConvertError("'" + text.toStdString() + "' is not a valid date and time"); };
    switch (n.size()) {
    case 2: {
        // A bare time of day: taken on the zero date.
        const QTime t{int(n[0]), int(n[1])};
        if (!t.isValid()) throw bad();
        return QDateTime(FDBZeroDateTime().date(), t);
    }
    case 3: case 5: case 6: case 7: {
        const QDate d{int(n[0]), int(n[1]), int(n[2])};
        const QTime t{n.size() >= 5 ? int(n[3]) : 0, n.size() >= 5 ? int(n[4]) : 0, n.size() >= 6 ? int(n[5]) : 0,
                      n.size() >= 7 ? int(n[6]) : 0};
        if (!d.isValid() || !t.isValid()) throw bad();
        return QDateTime(d, t);
    }
    default: return FDBZeroDateTime();
    }
}

// ---------------------------------------------------------------- declarations

TFDBFile::TFDBFile() = default;

void TFDBFile::Clear()
{
    DB = TFDBDataset();
}

int TFDBFile::FindTable(const QString& name) const
{
    for (int i = 0; i < DB.Tables.size(); ++i)
        if (DB.Tables[i].Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TFDBFile::FindField(const QString& name) const
{
    for (int i = 0; i < DB.Fields.size(); ++i)
        if (DB.Fields[i].Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TFDBFile::FindTableField(const QString& tableName, const QString& fieldName) const
{
    const int t = FindTable(tableName);
    if (t < 0) return -1;
    for (int i = 0; i < DB.Fields.size(); ++i)
        if (DB.Fields[i].TableIndex == t && DB.Fields[i].Name.compare(fieldName, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString TFDBFile::TableNameOf(int index) const
{
    return (index >= 0 && index < DB.Tables.size()) ? DB.Tables[index].Name : QString();
}

int TFDBFile::AddTable(const QString& name, const QString& sqlTableName, const QString& keyFieldNames,
                       const QString& srcFileName)
{
    int i = FindTable(name);
    if (i < 0) {
        DB.Tables.append(TFDBTableItem());
        i = int(DB.Tables.size()) - 1;
    }
    TFDBTableItem& t = DB.Tables[i];
    t.Name = CutText(name, 64);
    t.SqlTableName = CutText(sqlTableName, 64);
    t.KeyFieldNames = CutText(keyFieldNames, 128);
    t.SrcFileName = CutText(srcFileName, 128);
    return i;
}

int TFDBFile::AddField(const QString& name, TFDBDataType dataType, const QString& memo, qint32 size,
                       const QString& sqlFieldName, qint32 tableIndex)
{
    int i = tableIndex >= 0 ? FindTableField(TableNameOf(tableIndex), name) : -1;
    if (i < 0) {
        DB.Fields.append(TFDBFieldItem());
        i = int(DB.Fields.size()) - 1;
    }
    TFDBFieldItem& f = DB.Fields[i];
    f.Name = CutText(name, 64);
    f.TableIndex = tableIndex;
    f.DataType = dataType;
    f.Memo = CutText(memo, 64);
    f.Size = size;
    f.SqlFieldName = CutText(sqlFieldName, 64);
    return i;
}

int TFDBFile::AddTableField(const QString& tableName, const QString& fieldName, const QString& memo, qint32 size,
                            const QString& sqlFieldName, TFDBDataType dataType)
{
    int t = -1;
    if (!tableName.isEmpty()) {
        t = FindTable(tableName);
        if (t < 0) t = AddTable(tableName);
    }
    return AddField(fieldName, dataType, memo, size, sqlFieldName, t);
}

// ---------------------------------------------------------------- records

void TFDBFile::AddRecord(const QString& tableName)
{
    if (DB.RecordCount >= DB.Records.size()) DB.Records.resize(DB.Records.size() + kGrowStep);
    TFDBRecordItem& r = DB.Records[DB.RecordCount];
    r.TableIndex = tableName.isEmpty() ? -1 : FindTable(tableName);
    r.FirstValue = DB.ValueCount;
    ++DB.RecordCount;
}

void TFDBFile::AddValue(const QString& fieldName, const QVariant& value, const QString& tableName)
{
    const int f = tableName.isEmpty() ? FindField(fieldName) : FindTableField(tableName, fieldName);
    if (f < 0) return;
    if (DB.ValueCount >= DB.Values.size()) DB.Values.resize(DB.Values.size() + kGrowStep);
    DB.Values[DB.ValueCount] = TFDBDbField{f, value};
    ++DB.ValueCount;
}

QString TFDBFile::RecordTableName(int index) const
{
    if (index < 0 || index >= DB.RecordCount) return {};
    return TableNameOf(DB.Records[index].TableIndex);
}

TListResultField TFDBFile::GetRecordFields(int index) const
{
    TListResultField out;
    if (index < 0 || index >= DB.RecordCount) return out;
    const int first = DB.Records[index].FirstValue;
    const int end = index + 1 < DB.RecordCount ? DB.Records[index + 1].FirstValue : DB.ValueCount;
    for (int v = first; v < end; ++v) {
        const TFDBDbField& val = DB.Values[v];
        if (val.FieldIndex < 0 || val.FieldIndex >= DB.Fields.size()) continue;
        const TFDBFieldItem& f = DB.Fields[val.FieldIndex];
        TResultField r;
        r.Name = f.Name;
        r.DataType = f.DataType;
        r.Value = val.Value;
        r.FieldType = FieldTypeOfFDB(f.DataType);
        out.append(r);
    }
    return out;
}

QVariant TFDBFile::GetValue(int index, const QString& fieldName) const
{
    for (const TResultField& r : GetRecordFields(index))
        if (r.Name.compare(fieldName, Qt::CaseInsensitive) == 0) return r.Value;
    return {};
}

// ---------------------------------------------------------------- writer

QByteArray TFDBFile::ValueToText(TFDBDataType type, const QVariant& v)
{
    if (!v.isValid() || v.isNull()) return {};
    switch (type) {
    case TFDBDataType::String: return Enc(v.toString());
    case TFDBDataType::Float: return FloatText(v.toDouble());
    case TFDBDataType::Integer:
        return QByteArray::number(v.typeId() == QMetaType::Double ? qRound64(v.toDouble()) : v.toLongLong());
    case TFDBDataType::Boolean: return v.toBool() ? "1" : "0";
    case TFDBDataType::DateTime: {
        const QDateTime t = v.typeId() == QMetaType::QDate ? v.toDate().startOfDay() : v.toDateTime();
        if (!t.isValid()) return {};
        return t.toString(QStringLiteral("yyyy.MM.dd HH:mm")).toLatin1();
    }
    }
    return Enc(v.toString());
}

QByteArray TFDBFile::SaveToBytes(const QString& fieldFilter, bool include, const QString& separator) const
{
    QByteArray out;
    out.reserve(16384);
    auto put = [&out](const QByteArray& b) {
        if (out.size() + b.size() > out.capacity()) out.reserve((out.size() + b.size()) / 16384 * 16384 + 16384);
        out.append(b);
    };
    const QByteArray crlf("\r\n");
    put(crlf + "[Options]" + crlf + "Id=" + Enc(DB.Id) + crlf + "HashCode=" + Enc(DB.HashCode) + crlf);
    for (const TFDBTableItem& t : DB.Tables)
        put(crlf + "[Table]" + crlf + "NAME=" + Enc(t.Name) + crlf + "SQLTABLENAME=" + Enc(t.SqlTableName) + crlf +
            "KEYFIELDNAMES=" + Enc(t.KeyFieldNames) + crlf + "SRCFILENAME=" + Enc(t.SrcFileName) + crlf);
    for (const TFDBFieldItem& f : DB.Fields) {
        if (!FieldPassesFilter(f.Name, fieldFilter, include, separator)) continue;
        put(crlf + "[Field]" + crlf + "Table=" + Enc(TableNameOf(f.TableIndex)) + crlf + "Name=" + Enc(f.Name) + crlf +
            "DataType=" + FDBDataTypeName(f.DataType).toLatin1() + crlf + "Memo=" + Enc(f.Memo) + crlf +
            "Size=" + QByteArray::number(f.Size) + crlf + "SqlFieldName=" + Enc(f.SqlFieldName) + crlf);
    }
    for (int r = 0; r < DB.RecordCount; ++r) {
        const QString table = TableNameOf(DB.Records[r].TableIndex);
        put(crlf + (table.isEmpty() ? QByteArray("[REC]") : "[REC." + Enc(table) + "]") + crlf);
        const int end = r + 1 < DB.RecordCount ? DB.Records[r + 1].FirstValue : DB.ValueCount;
        for (int v = DB.Records[r].FirstValue; v < end; ++v) {
            const TFDBDbField& val = DB.Values[v];
            if (val.FieldIndex < 0 || val.FieldIndex >= DB.Fields.size()) continue;
            const TFDBFieldItem& f = DB.Fields[val.FieldIndex];
            const QByteArray text = ValueToText(f.DataType, val.Value);
            QByteArray line = Enc(f.Name);
            if (f.DataType == TFDBDataType::String) line += "(" + QByteArray::number(text.size()) + ")";
            put(line + "=" + text + crlf);
        }
    }
    put(Enc(TrailerText));
    return out;
}

bool TFDBFile::SaveToDevice(QIODevice& device, const QString& fieldFilter, bool include, const QString& separator) const
{
    const QByteArray bytes = SaveToBytes(fieldFilter, include, separator);
    return device.write(bytes) == bytes.size();
}

bool TFDBFile::SaveToFile(const QString& fileName, const QString& fieldFilter, bool include, const QString& separator) const
{
    QSaveFile out(FindFileCI(fileName));
    if (!out.open(QIODevice::WriteOnly)) return false;
    if (!SaveToDevice(out, fieldFilter, include, separator)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

// ---------------------------------------------------------------- parser

TParseLine TFDBFile::ParseLine(const QByteArray& data, qint32 pos) const
{
    TParseLine l;
    const qint32 n = qint32(data.size());
    qint32 p = pos;
    while (p < n && !IsPrintable(data[p])) ++p;
    if (p >= n) return l;
    const char c = data[p];
    if (c == '[') {
        qint32 e = p;
        while (e < n && IsPrintable(data[e])) ++e;
        QByteArray token;
        if (e < n) {
            for (qint32 i = p; i < e; ++i)
                if (IsAlnum(data[i]) || data[i] == '.') token += data[i];
        }
        const QString name = QString::fromLatin1(token).trimmed().toUpper();
        l.Kind = TParseKind::Section;
        l.Key = token;
        l.Data = name;
        l.Next = e;
        if (name == "OPTIONS") l.Section = TFDBSection::Options;
        else if (name == "TABLE") l.Section = TFDBSection::Table;
        else if (name == "FIELD") l.Section = TFDBSection::Field;
        else if (name.startsWith("REC.")) l.Section = TFDBSection::Record, l.SectionName = name.mid(4);
        else if (name == "REC") l.Section = TFDBSection::Record;
        else l.Section = TFDBSection::Unknown, l.SectionName = name;
        return l;
    }
    if (!IsAlnum(c)) return l;
    const qint32 eq = qint32(data.indexOf('=', p));
    if (eq < 0) return l;
    QByteArray key = data.mid(p, eq - p).trimmed().toUpper();
    // Delphi-style positions: 0 = absent.
    const qsizetype lp = key.indexOf('(') + 1, rp = key.indexOf(')') + 1;
    bool haveLen = false;
    qint64 len = 0;
    if (lp < rp) {
        const QByteArray lenText = key.mid(lp, rp - lp - 1).trimmed();
        key = lp > 0 ? key.left(lp - 1) : QByteArray();
        bool ok = false;
        len = lenText.toLongLong(&ok);
        haveLen = ok && !lenText.isEmpty();
    }
    const qint32 vs = eq + 1;
    qint32 ve;
    if (haveLen) {
        ve = qint32(qMin<qint64>(n, vs + qMax<qint64>(0, len)));
    } else {
        ve = vs;
        while (ve < n && data[ve] != '\r' && data[ve] != '\n') ++ve;
    }
    l.Kind = TParseKind::Key;
    l.Key = key;
    l.Value = data.mid(vs, ve - vs);
    l.Next = ve;
    return l;
}

QVariant TFDBFile::ValueFromText(const QString& key, const QByteArray& text) const
{
    const int f = FindField(key);
    const TFDBDataType type = f >= 0 ? DB.Fields[f].DataType : TFDBDataType::String;
    switch (type) {
    case TFDBDataType::String: return Dec(text);
    case TFDBDataType::Float:
    case TFDBDataType::Integer: {
        if (text.isEmpty()) return {};
        QString t = QString::fromLatin1(text);
        t.replace(',', '.');
        double d = 0;
        if (!ReadDecimal(t.trimmed(), d)) return {};
        return d;
    }
    case TFDBDataType::Boolean: {
        if (text.isEmpty()) return {};
        const QByteArray t = text.trimmed().toUpper();
        return t == "1" || t == "TRUE";
    }
    case TFDBDataType::DateTime:
        if (text.isEmpty()) return {};
        return DateTimeFromText(Dec(text));
    }
    return {};
}

void TFDBFile::Parse()
{
    Clear();
    TFDBSection section = TFDBSection::Unknown;
    QString recordTable;
    TDecl decl;
    auto finish = [&]() {
        if (section == TFDBSection::Table && !decl.Name.trimmed().isEmpty())
            AddTable(decl.Name, decl.SqlTableName, decl.KeyFieldNames, decl.SrcFileName);
        else if (section == TFDBSection::Field && !decl.Name.trimmed().isEmpty())
            AddField(decl.Name, decl.DataType, decl.Memo, decl.Size, decl.SqlFieldName, decl.TableIndex);
    };
    qint32 pos = 0;
    for (;;) {
        const TParseLine l = ParseLine(Data, pos);
        if (l.Kind == TParseKind::Section) {
            finish();
            section = l.Section;
            decl = TDecl();
            if (section == TFDBSection::Record) {
                const int t = FindTable(l.SectionName);
                recordTable = t >= 0 ? DB.Tables[t].Name : QString();
                AddRecord(recordTable);
            }
        } else if (l.Kind == TParseKind::Key) {
            const QString key = QString::fromLatin1(l.Key);
            switch (section) {
            case TFDBSection::Options:
                if (key == "ID") DB.Id = CutText(Dec(l.Value), 128);
                else if (key == "HASHCODE") DB.HashCode = CutText(Dec(l.Value), 128);
                break;
            case TFDBSection::Table:
                if (key == "NAME") decl.Name = Dec(l.Value);
                else if (key == "SQLTABLENAME") decl.SqlTableName = Dec(l.Value);
                else if (key == "KEYFIELDNAMES") decl.KeyFieldNames = Dec(l.Value);
                else if (key == "SRCFILENAME") decl.SrcFileName = Dec(l.Value);
                break;
            case TFDBSection::Field:
                if (key == "NAME") decl.Name = Dec(l.Value);
                else if (key == "MEMO") decl.Memo = Dec(l.Value);
                else if (key == "SQLFIELDNAME") decl.SqlFieldName = Dec(l.Value);
                else if (key == "TABLE") decl.TableIndex = FindTable(Dec(l.Value));
                else if (key == "DATATYPE") decl.DataType = FDBDataTypeFromName(Dec(l.Value));
                else if (key == "SIZE") decl.Size = StrToIntSafe(QString::fromLatin1(l.Value));
                break;
            case TFDBSection::Record: AddValue(key, ValueFromText(key, l.Value), recordTable); break;
            case TFDBSection::Unknown: break;
            }
        }
        if (l.Next < 0) break;
        pos = l.Next;
    }
    finish();
}

void TFDBFile::LoadFromBytes(const QByteArray& bytes)
{
    Data = bytes;
    Parse();
}

bool TFDBFile::LoadFromFile(const QString& fileName)
{
    const QString path = FindFileCI(fileName);
    if (!QFileInfo(path).isFile()) return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return false;
    LoadFromBytes(bytes);
    return true;
}

// ---------------------------------------------------------------- datasets

bool TFDBFile::FieldPassesFilter(const QString& name, const QString& filter, bool include, const QString& separator)
{
    QString f = filter.trimmed();
    if (f.isEmpty()) return true;
    f = f.toUpper() + separator;
    const bool found = f.contains(name + separator);
    return include ? found : !found;
}

void TFDBFile::CopyRecordToDataSet(TDataSet& dataSet, int index) const
{
    for (const TResultField& r : GetRecordFields(index)) {
        const int f = dataSet.FieldIndex(r.Name);
        if (f >= 0 && !dataSet.Fields()[f].ReadOnly) dataSet.SetValue(f, r.Value);
    }
}

int TFDBFile::AppendRecordsToDataSet(TDataSet& dataSet, const QString& fieldFilter, const QString& separator,
                                     const QString& tableName) const
{
    const int t = tableName.isEmpty() ? -1 : FindTable(tableName);
    int posted = 0;
    for (int r = 0; r < DB.RecordCount; ++r) {
        if (t >= 0 && DB.Records[r].TableIndex != t) continue;
        dataSet.Append();
        int assigned = 0;
        for (const TResultField& v : GetRecordFields(r)) {
            const int f = dataSet.FieldIndex(v.Name);
            if (f < 0 || !FieldPassesFilter(v.Name, fieldFilter, true, separator)) continue;
            dataSet.SetValue(f, v.Value);
            ++assigned;
        }
        if (assigned > 0) {
            dataSet.Post();
            ++posted;
        } else {
            dataSet.Cancel();
        }
    }
    return posted;
}

int TFDBFile::LoadFromDataSet(TDataSet& dataSet, const QString& tableName, bool clearFirst, bool include,
                              const QString& separator, const QString& fieldFilter)
{
    if (clearFirst) Clear();
    DB.Id = CutText(tableName, 128);
    DB.HashCode.clear();
    if (!tableName.isEmpty()) AddTable(tableName);
    const int t = FindTable(tableName);
    QVector<int> taken;
    for (int f = 0; f < dataSet.FieldCount(); ++f) {
        const TFieldDef& d = dataSet.Fields()[f];
        if (!FieldPassesFilter(d.Name, fieldFilter, include, separator)) continue;
        AddField(d.Name, FDBDataTypeOfField(d.Type), {}, d.Type == TFieldType::String ? d.Size : 0, {}, t);
        taken.append(f);
    }
    TDisableControls off(&dataSet);
    const int rows = dataSet.RecordCount();
    for (int r = 0; r < rows; ++r) {
        AddRecord(tableName);
        for (int f : taken) AddValue(dataSet.Fields()[f].Name, dataSet.ValueAt(r, f));
    }
    return rows;
}
