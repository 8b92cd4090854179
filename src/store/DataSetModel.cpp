#include "DataSetModel.h"

TDataSetModel::TDataSetModel(TDataSet* dataSet, QObject* parent) : QAbstractTableModel(parent), FSelection(this)
{
    connect(&FSelection, &QItemSelectionModel::currentRowChanged, this, &TDataSetModel::OnViewCurrentChanged);
    SetDataSet(dataSet);
}

void TDataSetModel::SetDataSet(TDataSet* dataSet)
{
    beginResetModel();
    for (const auto& c : FConnections) disconnect(c);
    FConnections.clear();
    FDataSet = dataSet;
    if (dataSet) {
        FConnections << connect(dataSet, &TDataSet::DataChanged, this, &TDataSetModel::OnDataChanged);
        FConnections << connect(dataSet, &TDataSet::RowChanged, this, &TDataSetModel::OnRowChanged);
        FConnections << connect(dataSet, &TDataSet::CurrentChanged, this, &TDataSetModel::OnCurrentChanged);
        FConnections << connect(dataSet, &QObject::destroyed, this, [this] { SetDataSet(nullptr); });
    }
    Rebind();
    endResetModel();
    if (dataSet) OnCurrentChanged(dataSet->RecNo());
}

void TDataSetModel::SetColumns(const QVector<TModelColumn>& columns)
{
    beginResetModel();
    FColumns = columns;
    Rebind();
    endResetModel();
    if (FDataSet) OnCurrentChanged(FDataSet->RecNo());
}

void TDataSetModel::Rebind()
{
    FFieldOf.clear();
    if (!FDataSet) return;
    if (FColumns.isEmpty()) {
        for (int f = 0; f < FDataSet->FieldCount(); ++f) FFieldOf.append(f);
    } else {
        for (const TModelColumn& c : FColumns) FFieldOf.append(FDataSet->FieldIndex(c.FieldName));
    }
}

int TDataSetModel::FieldOfColumn(int column) const
{
    return FFieldOf.value(column, -1);
}

int TDataSetModel::ColumnOfField(const QString& fieldName) const
{
    if (!FDataSet) return -1;
    const int f = FDataSet->FieldIndex(fieldName);
    return f < 0 ? -1 : int(FFieldOf.indexOf(f));
}

int TDataSetModel::rowCount(const QModelIndex& parent) const
{
    return (parent.isValid() || !FDataSet) ? 0 : FDataSet->RecordCount();
}

int TDataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(FFieldOf.size());
}

QString TDataSetModel::DisplayText(const TFieldDef& def, const QVariant& v)
{
    if (!v.isValid()) return {};
    switch (def.Type) {
    case TFieldType::String: return v.toString();
    case TFieldType::Integer: return QString::number(v.toLongLong());
    case TFieldType::Float:
        return def.Precision > 0 ? QString::number(v.toDouble(), 'f', def.Precision) : QString::number(v.toDouble(), 'g', 15);
    case TFieldType::Boolean: return v.toBool() ? QStringLiteral("Igen") : QStringLiteral("Nem");
    case TFieldType::Date: return v.toDate().toString(QStringLiteral("yyyy.MM.dd"));
    case TFieldType::DateTime: return v.toDateTime().toString(QStringLiteral("yyyy.MM.dd HH:mm"));
    }
    return {};
}

QVariant TDataSetModel::data(const QModelIndex& index, int role) const
{
    if (!FDataSet || !index.isValid()) return {};
    const int f = FieldOfColumn(index.column());
    if (f < 0) return {};
    const TFieldDef& def = FDataSet->Fields()[f];
    switch (role) {
    case Qt::DisplayRole: return DisplayText(def, FDataSet->ValueAt(index.row(), f));
    case Qt::EditRole: return FDataSet->ValueAt(index.row(), f);
    case Qt::TextAlignmentRole:
        if (def.Type == TFieldType::Integer || def.Type == TFieldType::Float)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    default: return {};
    }
}

bool TDataSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!FDataSet || !index.isValid() || role != Qt::EditRole) return false;
    const int f = FieldOfColumn(index.column());
    if (f < 0 || FDataSet->Fields()[f].ReadOnly) return false;
    try {
        if (!FDataSet->SetRecNo(index.row())) return false;
        FDataSet->Edit();
        FDataSet->SetValue(f, value);
        FDataSet->Post();
        return true;
    } catch (const EDataSetError&) {
        FDataSet->Cancel();
        return false;
    }
}

QVariant TDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < FColumns.size() && !FColumns[section].Caption.isEmpty()) return FColumns[section].Caption;
    const int f = FieldOfColumn(section);
    if (f >= 0) return FDataSet->Fields()[f].Name;
    return section < FColumns.size() ? FColumns[section].FieldName : QString();
}

Qt::ItemFlags TDataSetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TDataSetModel::OnDataChanged()
{
    beginResetModel();
    Rebind();
    endResetModel();
}

void TDataSetModel::OnRowChanged(int recNo)
{
    if (recNo < 0 || recNo >= rowCount() || FFieldOf.isEmpty()) return;
    emit dataChanged(index(recNo, 0), index(recNo, int(FFieldOf.size()) - 1));
}

void TDataSetModel::OnCurrentChanged(int recNo)
{
    if (FSyncing) return;
    FSyncing = true;
    if (recNo < 0 || recNo >= rowCount()) {
        FSelection.clearCurrentIndex();
        FSelection.clearSelection();
    } else {
        const int col = FSelection.currentIndex().isValid() ? qMin(FSelection.currentIndex().column(), columnCount() - 1) : 0;
        const QModelIndex target = index(recNo, qMax(0, col));
        if (FSelection.currentIndex() != target)
            FSelection.setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    FSyncing = false;
}

void TDataSetModel::OnViewCurrentChanged(const QModelIndex& current, const QModelIndex&)
{
    if (FSyncing || !FDataSet || !current.isValid()) return;
    if (current.row() == FDataSet->RecNo()) return;
    FSyncing = true;
    try {
        FDataSet->SetRecNo(current.row());
    } catch (const EDataSetError&) {
        FDataSet->Cancel();
        FDataSet->SetRecNo(current.row());
    }
    FSyncing = false;
}
