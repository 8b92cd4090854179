#include "Dataset.h"

#include <algorithm>
#include <vector>

TDataSet::TDataSet(QObject* parent) : QObject(parent) {}
TDataSet::~TDataSet() = default;

void TDataSet::Close()
{
    CloseView();
}

int TDataSet::FieldIndex(const QString& name) const
{
    if (!FActive || name.isEmpty()) return -1;
    for (int i = 0; i < FFields.size(); ++i)
        if (FFields[i].Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TDataSet::CheckedField(const QString& name) const
{
    const int i = FieldIndex(name);
    if (i < 0) throw EDataSetError(QStringLiteral("Nem található mező: %1").arg(name));
    return i;
}

// ---------------------------------------------------------------- view

void TDataSet::OpenView()
{
    FActive = true;
    FState = TDataSetState::Browse;
    FBuffer.clear();
    BuildOrder();
    RebuildView(-1);
    FBof = true;
    NotifyDataChanged();
    EmitCurrent();
}

void TDataSet::CloseView()
{
    const bool was = FActive;
    FActive = false;
    FState = TDataSetState::Inactive;
    FBuffer.clear();
    FOrder.clear();
    FView.clear();
    FFields.clear();
    FCur = -1;
    FEof = FBof = true;
    if (was) NotifyDataChanged();
}

namespace {
struct TFilterRowGuard {
    qint64& ref;
    TFilterRowGuard(qint64& r, qint64 v) : ref(r) { ref = v; }
    ~TFilterRowGuard() { ref = -1; }
};
}

bool TDataSet::Passes(qint64 row)
{
    if (!FFiltered || !FOnFilterRecord) return true;
    TFilterRowGuard guard(FFilterRow, row);
    return FOnFilterRecord(*this);
}

void TDataSet::BuildOrder()
{
    FOrder.clear();
    const qint64 n = StoredCount();
    FOrder.reserve(n);
    for (qint64 r = 0; r < n; ++r)
        if (!StoredDeleted(r)) FOrder.append(r);
    QVector<int> fields;
    for (const QString& name : FSortFields) {
        const int f = FieldIndex(name);
        if (f >= 0) fields.append(f);
    }
    if (fields.isEmpty()) return;
    const bool desc = FSortDesc;
    if (SortOrder(FOrder, fields, desc)) return;
    PrepareCompare(fields);
    std::stable_sort(FOrder.begin(), FOrder.end(), [&](qint64 a, qint64 b) {
        for (int f : fields) {
            const int c = CompareStored(a, b, f);
            if (c != 0) return desc ? c > 0 : c < 0;
        }
        return false;
    });
    FinishCompare();
}

void TDataSet::RebuildView(qint64 keepRow)
{
    FView.clear();
    FView.reserve(FOrder.size());
    int keepAt = -1;
    for (qint64 r : FOrder) {
        if (!Passes(r)) continue;
        if (r == keepRow) keepAt = int(FView.size());
        FView.append(r);
    }
    FCur = FView.isEmpty() ? -1 : (keepAt >= 0 ? keepAt : 0);
    FEof = FView.isEmpty();
    FBof = FCur <= 0;
}

void TDataSet::Refilter()
{
    if (!FActive) return;
    PostIfEditing();
    RebuildView(GetBookmark());
    NotifyDataChanged();
    EmitCurrent();
}

void TDataSet::SetOnFilterRecord(TFilterRecord filter)
{
    FOnFilterRecord = std::move(filter);
    if (FFiltered) Refilter();
}

void TDataSet::SetFiltered(bool on)
{
    if (FFiltered == on) return;
    FFiltered = on;
    Refilter();
}

void TDataSet::SortOnFields(const QStringList& fieldNames, bool descending)
{
    FSortFields = fieldNames;
    FSortDesc = descending;
    if (!FActive) return;
    PostIfEditing();
    const qint64 keep = GetBookmark();
    // The rows in the view stay the same; only their order changes, so the filter is not rerun.
    std::vector<char> inView(size_t(StoredCount()), 0);
    for (qint64 r : FView) inView[size_t(r)] = 1;
    BuildOrder();
    FView.clear();
    FCur = -1;
    for (qint64 r : FOrder) {
        if (!inView[size_t(r)]) continue;
        if (r == keep) FCur = int(FView.size());
        FView.append(r);
    }
    if (FCur < 0 && !FView.isEmpty()) FCur = 0;
    FEof = FView.isEmpty();
    FBof = FCur <= 0;
    NotifyDataChanged();
    EmitCurrent();
}

int TDataSet::CompareStored(qint64 a, qint64 b, int field) const
{
    const QVariant va = StoredValue(a, field), vb = StoredValue(b, field);
    if (!va.isValid() || !vb.isValid()) return int(va.isValid()) - int(vb.isValid());
    switch (FFields[field].Type) {
    case TFieldType::String: return va.toString().compare(vb.toString(), Qt::CaseInsensitive);
    case TFieldType::Integer: return va.toLongLong() < vb.toLongLong() ? -1 : va.toLongLong() > vb.toLongLong();
    case TFieldType::Float: return va.toDouble() < vb.toDouble() ? -1 : va.toDouble() > vb.toDouble();
    case TFieldType::Boolean: return int(va.toBool()) - int(vb.toBool());
    case TFieldType::Date: return va.toDate() < vb.toDate() ? -1 : va.toDate() > vb.toDate();
    case TFieldType::DateTime: return va.toDateTime() < vb.toDateTime() ? -1 : va.toDateTime() > vb.toDateTime();
    }
    return 0;
}

// ---------------------------------------------------------------- navigation

bool TDataSet::SetRecNo(int recNo)
{
    if (recNo < 0 || recNo >= FView.size()) return false;
    PostIfEditing();
    FCur = recNo;
    FEof = FBof = false;
    EmitCurrent();
    return true;
}

void TDataSet::First()
{
    if (!FActive) return;
    PostIfEditing();
    FCur = FView.isEmpty() ? -1 : 0;
    FBof = true;
    FEof = FView.isEmpty();
    EmitCurrent();
}

void TDataSet::Last()
{
    if (!FActive) return;
    PostIfEditing();
    FCur = int(FView.size()) - 1;
    FEof = true;
    FBof = FView.isEmpty();
    EmitCurrent();
}

void TDataSet::Next()
{
    if (!FActive) return;
    PostIfEditing();
    FBof = false;
    if (FCur + 1 < FView.size()) {
        ++FCur;
        FEof = false;
        EmitCurrent();
    } else {
        FEof = true;
    }
}

void TDataSet::Prior()
{
    if (!FActive) return;
    PostIfEditing();
    FEof = false;
    if (FCur > 0) {
        --FCur;
        FBof = false;
        EmitCurrent();
    } else {
        FBof = true;
    }
}

// ---------------------------------------------------------------- values

QVariant TDataSet::Value(int field) const
{
    if (!FActive || field < 0 || field >= FFields.size()) return {};
    if (FFilterRow >= 0) return StoredValue(FFilterRow, field);
    if (FState == TDataSetState::Edit || FState == TDataSetState::Insert) return FBuffer.value(field);
    if (FCur < 0) return {};
    return StoredValue(FView[FCur], field);
}

QVariant TDataSet::ValueAt(int recNo, int field) const
{
    if (!FActive || field < 0 || field >= FFields.size() || recNo < 0 || recNo >= FView.size()) return {};
    if (recNo == FCur && FState == TDataSetState::Edit) return FBuffer.value(field);
    return StoredValue(FView[recNo], field);
}

qint64 TDataSet::CurrentStoredRow() const
{
    if (FFilterRow >= 0) return FFilterRow;
    if (FState == TDataSetState::Insert || FCur < 0) return -1;
    return FView[FCur];
}

QString TDataSet::AsString(int field) const
{
    const QVariant v = Value(field);
    if (!v.isValid()) return {};
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (v.typeId() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

qint64 TDataSet::AsInteger(int field) const
{
    const QVariant v = Value(field);
    if (!v.isValid()) return 0;
    if (v.typeId() == QMetaType::Double) return qRound64(v.toDouble());
    bool ok = false;
    const qint64 i = v.toLongLong(&ok);
    if (ok) return i;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? qRound64(d) : 0;
}

double VariantToFloat(const QVariant& v)
{
    if (!v.isValid()) return 0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (ok) return d;
    const double t = v.toString().trimmed().replace(',', '.').toDouble(&ok);
    return ok ? t : 0;
}

double TDataSet::AsFloat(int field) const
{
    return VariantToFloat(Value(field));
}

bool TDataSet::AsBoolean(int field) const
{
    const QVariant v = Value(field);
    if (!v.isValid()) return false;
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed().toUpper();
        return t == "1" || t == "T" || t == "TRUE" || t == "Y";
    }
    return v.toDouble() != 0;
}

QVariant TDataSet::Coerce(const TFieldDef& def, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) return {};
    bool ok = false;
    switch (def.Type) {
    case TFieldType::String:
        if (value.typeId() == QMetaType::Bool) return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        if (value.typeId() == QMetaType::Double) return QString::number(value.toDouble(), 'g', 15);
        return value.toString();
    case TFieldType::Integer: {
        if (value.typeId() == QMetaType::Double) return QVariant(qlonglong(qRound64(value.toDouble())));
        if (value.typeId() == QMetaType::QString) {
            const QString t = value.toString().trimmed();
            if (t.isEmpty()) return {};
            const qlonglong i = t.toLongLong(&ok);
            if (ok) return i;
            const double d = QString(t).replace(',', '.').toDouble(&ok);
            return ok ? QVariant(qlonglong(qRound64(d))) : QVariant();
        }
        const qlonglong i = value.toLongLong(&ok);
        return ok ? QVariant(i) : QVariant();
    }
    case TFieldType::Float: {
        if (value.typeId() == QMetaType::QString) {
            const QString t = value.toString().trimmed().replace(',', '.');
            if (t.isEmpty()) return {};
            const double d = t.toDouble(&ok);
            return ok ? QVariant(d) : QVariant();
        }
        const double d = value.toDouble(&ok);
        return ok ? QVariant(d) : QVariant();
    }
    case TFieldType::Boolean:
        if (value.typeId() == QMetaType::QString) {
            const QString t = value.toString().trimmed().toUpper();
            if (t.isEmpty()) return {};
            return QVariant(t == "1" || t == "T" || t == "TRUE" || t == "Y");
        }
        if (value.typeId() == QMetaType::Bool) return value;
        return QVariant(value.toDouble() != 0);
    case TFieldType::Date: {
        QDate d;
        if (value.typeId() == QMetaType::QDate) d = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime) d = value.toDateTime().date();
        else if (value.typeId() == QMetaType::QString) d = QDate::fromString(value.toString().trimmed(), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case TFieldType::DateTime: {
        QDateTime t;
        if (value.typeId() == QMetaType::QDateTime) t = value.toDateTime();
        else if (value.typeId() == QMetaType::QDate) t = value.toDate().startOfDay();
        else if (value.typeId() == QMetaType::QString) t = QDateTime::fromString(value.toString().trimmed(), Qt::ISODate);
        return t.isValid() ? QVariant(t) : QVariant();
    }
    }
    return {};
}

// ---------------------------------------------------------------- editing

void TDataSet::Edit()
{
    if (FState == TDataSetState::Edit || FState == TDataSetState::Insert) return;
    if (!FActive) throw EDataSetError(QStringLiteral("Az adatkészlet nincs megnyitva."));
    if (FCur < 0) throw EDataSetError(QStringLiteral("Üres adatkészletben nincs szerkeszthető sor."));
    FBuffer.resize(FFields.size());
    for (int f = 0; f < FFields.size(); ++f) FBuffer[f] = StoredValue(FView[FCur], f);
    FState = TDataSetState::Edit;
}

void TDataSet::Append()
{
    if (!FActive) throw EDataSetError(QStringLiteral("Az adatkészlet nincs megnyitva."));
    PostIfEditing();
    FBuffer = QVector<QVariant>(FFields.size());
    FState = TDataSetState::Insert;
}

void TDataSet::SetValue(int field, const QVariant& value)
{
    if (FState != TDataSetState::Edit && FState != TDataSetState::Insert)
        throw EDataSetError(QStringLiteral("Az adatkészlet nincs szerkesztés alatt."));
    if (field < 0 || field >= FFields.size()) throw EDataSetError(QStringLiteral("Nem létező mező."));
    const QVariant v = Coerce(FFields[field], value);
    if (!v.isValid() && value.isValid() && !value.isNull() && !(value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty()))
        throw EDataSetError(QStringLiteral("\"%1\" nem érvényes érték a(z) %2 mezőben.").arg(value.toString(), FFields[field].Name));
    FBuffer[field] = v;
    if (FState == TDataSetState::Edit) EmitRow(FCur);
}

void TDataSet::Post()
{
    if (FState == TDataSetState::Edit) {
        const qint64 row = FView[FCur];
        StoreRow(row, FBuffer);
        FState = TDataSetState::Browse;
        FBuffer.clear();
        if (!Passes(row)) {
            FView.removeAt(FCur);
            if (FCur >= FView.size()) FCur = int(FView.size()) - 1;
            FEof = FView.isEmpty();
            NotifyDataChanged();
            EmitCurrent();
        } else {
            EmitRow(FCur);
        }
    } else if (FState == TDataSetState::Insert) {
        const qint64 row = StoreRow(-1, FBuffer);
        FState = TDataSetState::Browse;
        FBuffer.clear();
        FOrder.append(row);
        if (Passes(row)) {
            FView.append(row);
            FCur = int(FView.size()) - 1;
        }
        FEof = FView.isEmpty();
        FBof = false;
        NotifyDataChanged();
        EmitCurrent();
    }
}

void TDataSet::Cancel()
{
    if (FState != TDataSetState::Edit && FState != TDataSetState::Insert) return;
    const bool wasEdit = FState == TDataSetState::Edit;
    FState = TDataSetState::Browse;
    FBuffer.clear();
    if (wasEdit) EmitRow(FCur);
}

void TDataSet::Delete()
{
    if (FState == TDataSetState::Insert) {
        Cancel();
        return;
    }
    if (!FActive || FCur < 0) throw EDataSetError(QStringLiteral("Üres adatkészletből nem lehet törölni."));
    FState = TDataSetState::Browse;
    FBuffer.clear();
    const qint64 row = FView[FCur];
    DeleteStored(row);
    FView.removeAt(FCur);
    FOrder.removeOne(row);
    if (FCur >= FView.size()) FCur = int(FView.size()) - 1;
    FEof = FView.isEmpty();
    NotifyDataChanged();
    EmitCurrent();
}

void TDataSet::PostIfEditing()
{
    if (FState == TDataSetState::Edit || FState == TDataSetState::Insert) Post();
}

// ---------------------------------------------------------------- locate, bookmarks

namespace {
bool ValuesMatch(const TFieldDef& def, const QVariant& stored, const QVariant& wanted, TLocateOptions opt)
{
    const bool wantNull = !wanted.isValid() || wanted.isNull();
    if (!stored.isValid() || wantNull) {
        if (def.Type == TFieldType::String && (opt & loPartialKey) && wantNull) return true;
        return !stored.isValid() && (wantNull || (wanted.typeId() == QMetaType::QString && wanted.toString().isEmpty()));
    }
    switch (def.Type) {
    case TFieldType::String: {
        const Qt::CaseSensitivity cs = (opt & loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
        const QString s = stored.toString(), w = wanted.toString();
        return (opt & loPartialKey) ? s.startsWith(w, cs) : s.compare(w, cs) == 0;
    }
    case TFieldType::Integer:
    case TFieldType::Float: {
        bool ok = false;
        const double w = QString(wanted.toString()).replace(',', '.').toDouble(&ok);
        return ok && stored.toDouble() == w;
    }
    case TFieldType::Boolean: return stored.toBool() == wanted.toBool();
    case TFieldType::Date: return stored.toDate() == (wanted.typeId() == QMetaType::QDateTime ? wanted.toDateTime().date() : wanted.toDate());
    case TFieldType::DateTime: return stored.toDateTime() == wanted.toDateTime();
    }
    return false;
}
}

bool TDataSet::Locate(const QStringList& fieldNames, const QVariantList& values, TLocateOptions options)
{
    if (!FActive || fieldNames.isEmpty() || fieldNames.size() != values.size()) return false;
    PostIfEditing();
    QVector<int> fields;
    for (const QString& n : fieldNames) {
        const int f = FieldIndex(n);
        if (f < 0) return false;
        fields.append(f);
    }
    for (int i = 0; i < FView.size(); ++i) {
        bool all = true;
        for (int k = 0; k < fields.size() && all; ++k)
            all = ValuesMatch(FFields[fields[k]], StoredValue(FView[i], fields[k]), values[k], options);
        if (all) {
            FCur = i;
            FEof = FBof = false;
            EmitCurrent();
            return true;
        }
    }
    return false;
}

TBookmark TDataSet::GetBookmark() const
{
    return (FActive && FCur >= 0) ? FView[FCur] : -1;
}

bool TDataSet::GotoBookmark(TBookmark bookmark)
{
    if (!BookmarkValid(bookmark)) return false;
    const int at = int(FView.indexOf(bookmark));
    if (at < 0) return false;
    PostIfEditing();
    FCur = at;
    FEof = FBof = false;
    EmitCurrent();
    return true;
}

bool TDataSet::BookmarkValid(TBookmark bookmark) const
{
    return FActive && bookmark >= 0 && bookmark < StoredCount() && !StoredDeleted(bookmark);
}

// ---------------------------------------------------------------- controls

void TDataSet::DisableControls()
{
    ++FDisableCount;
}

void TDataSet::EnableControls()
{
    if (FDisableCount == 0) return;
    if (--FDisableCount == 0 && FPendingNotify) {
        FPendingNotify = false;
        emit DataChanged();
        emit CurrentChanged(FCur);
    }
}

void TDataSet::NotifyDataChanged()
{
    if (FDisableCount > 0) FPendingNotify = true;
    else emit DataChanged();
}

void TDataSet::EmitCurrent()
{
    if (FDisableCount > 0) FPendingNotify = true;
    else emit CurrentChanged(FCur);
}

void TDataSet::EmitRow(int recNo)
{
    if (FDisableCount > 0) FPendingNotify = true;
    else if (recNo >= 0) emit RowChanged(recNo);
}
