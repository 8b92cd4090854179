#include "MemData.h"

#include <algorithm>
#include <cstring>


TRxMemoryData::TRxMemoryData(QObject* parent) : TDataSet(parent) {}

void TRxMemoryData::InitColumns()
{
    FCols.clear();
    FCols.resize(FDefs.size());
    for (int f = 0; f < FDefs.size(); ++f) {
        FCols[f].Type = FDefs[f].Type;
        FCols[f].Wide = FDefs[f].Type == TFieldType::Integer && (FDefs[f].Size <= 0 || FDefs[f].Size > 9);
    }
    FDeleted.clear();
    FRows = 0;
    FAllocated = 0;
}

void TRxMemoryData::CreateTable(const TFieldDefs& fields)
{
    CloseView();
    FDefs = fields;
    InitColumns();
    SetFieldDefs(FDefs);
    OpenView();
}

void TRxMemoryData::Open()
{
    CreateTable(FDefs);
}

void TRxMemoryData::EmptyTable()
{
    if (!Active()) return;
    InitColumns();
    OpenView();
}

void TRxMemoryData::Close()
{
    CloseView();
    InitColumns();
}

void TRxMemoryData::BeginLoad(const TFieldDefs& fields, qint64 expectedRows)
{
    CloseView();
    FDefs = fields;
    InitColumns();
    GrowTo(qMax<qint64>(0, expectedRows));
}

void TRxMemoryData::ReservePool(int field, qint64 chars)
{
    if (field >= 0 && field < int(FCols.size()) && chars > 0) FCols[size_t(field)].Pool.reserve(size_t(chars));
}

void TRxMemoryData::EndLoad()
{
    for (TColumn& c : FCols)
        if (c.Pool.capacity() > c.Pool.size() + c.Pool.size() / 4 + 1024) c.Pool.shrink_to_fit();
    SetFieldDefs(FDefs);
    OpenView();
}

void TRxMemoryData::GrowTo(qint64 rows)
{
    if (rows <= FAllocated) return;
    const size_t n = size_t(qMax<qint64>(rows, FAllocated + FAllocated / 2 + 16));
    FAllocated = qint64(n);
    FDeleted.resize(n, 0);
    for (TColumn& c : FCols) {
        const size_t bytes = (n + 7) / 8;
        if (c.Null.size() < bytes) c.Null.resize(bytes, 0xFF);
        switch (c.Type) {
        case TFieldType::String: c.Off.resize(n, 0); c.Len.resize(n, 0); break;
        case TFieldType::Float: c.F.resize(n, 0); break;
        case TFieldType::DateTime: c.I64.resize(n, 0); break;
        case TFieldType::Integer: if (c.Wide) c.I64.resize(n, 0); else c.I32.resize(n, 0); break;
        default: c.I32.resize(n, 0); break;
        }
    }
}

void TRxMemoryData::SetNull(TColumn& c, qint64 row, bool null)
{
    const quint8 bit = quint8(1u << (row & 7));
    if (null) c.Null[size_t(row >> 3)] |= bit;
    else c.Null[size_t(row >> 3)] &= quint8(~bit);
}

qint64 TRxMemoryData::AddRow()
{
    // Rows past FRows are null in every column (the masks grow filled with ones).
    const qint64 row = FRows++;
    GrowTo(FRows);
    return row;
}

void TRxMemoryData::LoadText(qint64 row, int field, const char16_t* text, qsizetype len)
{
    TColumn& c = FCols[size_t(field)];
    c.Off[size_t(row)] = quint32(c.Pool.size());
    c.Len[size_t(row)] = quint32(len);
    c.Pool.insert(c.Pool.end(), text, text + len);
    SetNull(c, row, false);
}

void TRxMemoryData::LoadInteger(qint64 row, int field, qint64 value)
{
    TColumn& c = FCols[size_t(field)];
    if (c.Wide) c.I64[size_t(row)] = value;
    else c.I32[size_t(row)] = qint32(value);
    SetNull(c, row, false);
}

void TRxMemoryData::LoadFloat(qint64 row, int field, double value)
{
    TColumn& c = FCols[size_t(field)];
    c.F[size_t(row)] = value;
    SetNull(c, row, false);
}

void TRxMemoryData::LoadBoolean(qint64 row, int field, bool value)
{
    TColumn& c = FCols[size_t(field)];
    c.I32[size_t(row)] = value ? 1 : 0;
    SetNull(c, row, false);
}

void TRxMemoryData::LoadDate(qint64 row, int field, qint64 julianDay)
{
    TColumn& c = FCols[size_t(field)];
    c.I32[size_t(row)] = qint32(julianDay);
    SetNull(c, row, false);
}

void TRxMemoryData::LoadDateTime(qint64 row, int field, qint64 msecs)
{
    TColumn& c = FCols[size_t(field)];
    c.I64[size_t(row)] = msecs;
    SetNull(c, row, false);
}

bool TRxMemoryData::StoredDeleted(qint64 row) const
{
    return row < 0 || row >= FRows || FDeleted[size_t(row)] != 0;
}

bool TRxMemoryData::NullAt(qint64 row, int field) const
{
    if (row < 0 || row >= FRows || field < 0 || field >= int(FCols.size())) return true;
    return (FCols[size_t(field)].Null[size_t(row >> 3)] >> (row & 7)) & 1;
}

QStringView TRxMemoryData::TextAt(qint64 row, int field) const
{
    if (NullAt(row, field)) return {};
    const TColumn& c = FCols[size_t(field)];
    if (c.Type != TFieldType::String) return {};
    return QStringView(c.Pool.data() + c.Off[size_t(row)], qsizetype(c.Len[size_t(row)]));
}

double TRxMemoryData::NumberAt(qint64 row, int field) const
{
    if (NullAt(row, field)) return 0;
    const TColumn& c = FCols[size_t(field)];
    switch (c.Type) {
    case TFieldType::Float: return c.F[size_t(row)];
    case TFieldType::Integer: return c.Wide ? double(c.I64[size_t(row)]) : double(c.I32[size_t(row)]);
    case TFieldType::Boolean: return c.I32[size_t(row)];
    default: return 0;
    }
}

QVariant TRxMemoryData::StoredValue(qint64 row, int field) const
{
    if (NullAt(row, field)) return {};
    const TColumn& c = FCols[size_t(field)];
    const size_t r = size_t(row);
    switch (c.Type) {
    case TFieldType::String: return QString(reinterpret_cast<const QChar*>(c.Pool.data() + c.Off[r]), qsizetype(c.Len[r]));
    case TFieldType::Integer: return qlonglong(c.Wide ? c.I64[r] : c.I32[r]);
    case TFieldType::Float: return c.F[r];
    case TFieldType::Boolean: return c.I32[r] != 0;
    case TFieldType::Date: return QDate::fromJulianDay(c.I32[r]);
    case TFieldType::DateTime: return QDateTime::fromMSecsSinceEpoch(c.I64[r]);
    }
    return {};
}

void TRxMemoryData::PutValue(qint64 row, int field, const QVariant& v)
{
    TColumn& c = FCols[size_t(field)];
    if (!v.isValid()) {
        SetNull(c, row, true);
        return;
    }
    switch (c.Type) {
    case TFieldType::String: {
        const QString s = v.toString();
        LoadText(row, field, reinterpret_cast<const char16_t*>(s.utf16()), s.size());
        return;
    }
    case TFieldType::Integer: LoadInteger(row, field, v.toLongLong()); return;
    case TFieldType::Float: LoadFloat(row, field, v.toDouble()); return;
    case TFieldType::Boolean: LoadBoolean(row, field, v.toBool()); return;
    case TFieldType::Date: LoadDate(row, field, v.toDate().toJulianDay()); return;
    case TFieldType::DateTime: LoadDateTime(row, field, v.toDateTime().toMSecsSinceEpoch()); return;
    }
}

qint64 TRxMemoryData::StoreRow(qint64 row, const QVector<QVariant>& values)
{
    if (row < 0) row = AddRow();
    for (int f = 0; f < int(FCols.size()); ++f) PutValue(row, f, values.value(f));
    return row;
}

void TRxMemoryData::DeleteStored(qint64 row)
{
    if (row >= 0 && row < FRows) FDeleted[size_t(row)] = 1;
}

void TRxMemoryData::PrepareCompare(const QVector<int>& fields)
{
    FSortKeys.clear();
    for (int f : fields) {
        const TColumn& c = FCols[size_t(f)];
        if (c.Type != TFieldType::String) continue;
        TSortKey k;
        k.Field = f;
        k.Folded.resize(c.Pool.size());
        for (size_t i = 0; i < c.Pool.size(); ++i) {
            const char16_t ch = c.Pool[i];
            k.Folded[i] = ch < 128 ? char16_t((ch >= 'A' && ch <= 'Z') ? ch + 32 : ch) : QChar::toCaseFolded(ch);
        }
        k.Prefix.resize(size_t(FRows));
        for (qint64 r = 0; r < FRows; ++r) {
            quint64 p = 0;
            const quint32 off = c.Off[size_t(r)], len = NullAt(r, f) ? 0 : c.Len[size_t(r)];
            for (quint32 i = 0; i < 4; ++i) p = (p << 16) | (i < len ? k.Folded[off + i] : 0);
            k.Prefix[size_t(r)] = p;
        }
        FSortKeys.push_back(std::move(k));
    }
}

bool TRxMemoryData::SortOrder(QVector<qint64>& order, const QVector<int>& fields, bool descending)
{
    if (fields.size() != 1) return false;
    const int f = fields[0];
    const TColumn& c = FCols[size_t(f)];
    struct TKey {
        quint64 Prefix;  // text: first four folded characters; numbers: order-preserving bits
        quint64 Prefix2;  // text: characters five to eight
        qint64 Row;
        bool Null;
    };
    std::vector<TKey> keys;
    keys.reserve(size_t(order.size()));
    if (c.Type == TFieldType::String) {
        PrepareCompare(fields);
        const TSortKey& k = FSortKeys.front();
        for (qint64 r : order) {
            quint64 p2 = 0;
            const quint32 off = c.Off[size_t(r)], len = NullAt(r, f) ? 0 : c.Len[size_t(r)];
            for (quint32 i = 4; i < 8; ++i) p2 = (p2 << 16) | (i < len ? k.Folded[off + i] : 0);
            keys.push_back({k.Prefix[size_t(r)], p2, r, NullAt(r, f)});
        }
        const auto rest = [&](qint64 a, qint64 b) {
            const char16_t* x = k.Folded.data() + c.Off[size_t(a)];
            const char16_t* y = k.Folded.data() + c.Off[size_t(b)];
            const quint32 lx = c.Len[size_t(a)], ly = c.Len[size_t(b)];
            for (quint32 i = 8; i < lx && i < ly; ++i)
                if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
            return lx == ly ? 0 : (lx < ly ? -1 : 1);
        };
        // First by the packed prefixes alone (plain integer comparisons), then each run of equal
        // prefixes by the rest of the text.
        const auto byPrefix = [descending](const TKey& a, const TKey& b) {
            if (a.Null != b.Null) return descending ? b.Null : a.Null;
            if (a.Prefix != b.Prefix) return descending ? a.Prefix > b.Prefix : a.Prefix < b.Prefix;
            if (a.Prefix2 != b.Prefix2) return descending ? a.Prefix2 > b.Prefix2 : a.Prefix2 < b.Prefix2;
            return a.Row < b.Row;
        };
        std::sort(keys.begin(), keys.end(), byPrefix);
        for (size_t i = 0; i < keys.size();) {
            size_t j = i + 1;
            while (j < keys.size() && keys[j].Null == keys[i].Null && keys[j].Prefix == keys[i].Prefix &&
                   keys[j].Prefix2 == keys[i].Prefix2)
                ++j;
            if (j - i > 1 && !keys[i].Null)
                std::sort(keys.begin() + qsizetype(i), keys.begin() + qsizetype(j), [&](const TKey& a, const TKey& b) {
                    const int cmp = rest(a.Row, b.Row);
                    if (cmp != 0) return descending ? cmp > 0 : cmp < 0;
                    return a.Row < b.Row;
                });
            i = j;
        }
        FinishCompare();
    } else {
        for (qint64 r : order) {
            quint64 bits = 0;
            const bool null = NullAt(r, f);
            if (!null) {
                // A double's bits, flipped so that unsigned comparison follows numeric order.
                const double d = c.Type == TFieldType::DateTime ? double(c.I64[size_t(r)])
                                 : c.Type == TFieldType::Date    ? double(c.I32[size_t(r)])
                                                                 : NumberAt(r, f);
                std::memcpy(&bits, &d, 8);
                bits = (bits & 0x8000000000000000ull) ? ~bits : (bits | 0x8000000000000000ull);
            }
            keys.push_back({bits, 0, r, null});
        }
        std::sort(keys.begin(), keys.end(), [&](const TKey& a, const TKey& b) {
            int cmp = 0;
            if (a.Null != b.Null) cmp = a.Null ? -1 : 1;
            else if (a.Prefix != b.Prefix) cmp = a.Prefix < b.Prefix ? -1 : 1;
            if (cmp != 0) return descending ? cmp > 0 : cmp < 0;
            return a.Row < b.Row;
        });
    }
    for (size_t i = 0; i < keys.size(); ++i) order[qsizetype(i)] = keys[i].Row;
    return true;
}

void TRxMemoryData::FinishCompare()
{
    FSortKeys.clear();
}

int TRxMemoryData::CompareStored(qint64 a, qint64 b, int field) const
{
    const bool na = NullAt(a, field), nb = NullAt(b, field);
    if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
    const TColumn& c = FCols[size_t(field)];
    switch (c.Type) {
    case TFieldType::String:
        for (const TSortKey& k : FSortKeys) {
            if (k.Field != field) continue;
            const quint64 pa = k.Prefix[size_t(a)], pb = k.Prefix[size_t(b)];
            if (pa != pb) return pa < pb ? -1 : 1;
            const char16_t* x = k.Folded.data() + c.Off[size_t(a)];
            const char16_t* y = k.Folded.data() + c.Off[size_t(b)];
            const quint32 lx = c.Len[size_t(a)], ly = c.Len[size_t(b)];
            for (quint32 i = 4; i < lx && i < ly; ++i)
                if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
            return lx == ly ? 0 : (lx < ly ? -1 : 1);
        }
        return TextAt(a, field).compare(TextAt(b, field), Qt::CaseInsensitive);
    case TFieldType::Float: {
        const double x = c.F[size_t(a)], y = c.F[size_t(b)];
        return x < y ? -1 : x > y;
    }
    case TFieldType::Integer:
    case TFieldType::DateTime:
        if (c.Wide || c.Type == TFieldType::DateTime) {
            const qint64 x = c.I64[size_t(a)], y = c.I64[size_t(b)];
            return x < y ? -1 : x > y;
        }
        [[fallthrough]];
    default: {
        const qint32 x = c.I32[size_t(a)], y = c.I32[size_t(b)];
        return x < y ? -1 : x > y;
    }
    }
}

int TRxMemoryData::LoadFromDataSet(TDataSet& source)
{
    TFieldDefs defs = source.Fields();
    const int n = source.RecordCount();
    BeginLoad(defs, n);
    for (int r = 0; r < n; ++r) {
        const qint64 row = AddRow();
        for (int f = 0; f < defs.size(); ++f) PutValue(row, f, source.ValueAt(r, f));
    }
    EndLoad();
    return n;
}

qint64 TRxMemoryData::MemoryUsage() const
{
    qint64 bytes = qint64(FDeleted.capacity());
    for (const TColumn& c : FCols)
        bytes += qint64(c.Null.capacity() + c.I32.capacity() * 4 + c.I64.capacity() * 8 + c.F.capacity() * 8 +
                        c.Off.capacity() * 4 + c.Len.capacity() * 4 + c.Pool.capacity() * 2);
    return bytes;
}
