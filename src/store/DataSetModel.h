#pragma once
// TDataSetModel: binds a dataset to a QTableView. One model row per view row of the dataset,
// one model column per shown field. The model's selection model (give it to the view with
// view->setSelectionModel(model->selectionModel())) keeps the view's current row and the
// dataset's current row in step both ways. The dataset is not owned and must outlive the model
// or be detached with SetDataSet(nullptr).
//
// DisplayRole gives the field as shown in grids (numbers with the field's decimals, dates
// "yyyy.MM.dd", logical "Igen"/"Nem", null empty); EditRole the raw value; TextAlignmentRole
// right-aligns numbers. setData on EditRole edits and posts the row (false when it fails).
#include "Dataset.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QPointer>

struct TModelColumn {
    QString FieldName;
    QString Caption;  // empty: the field name
};

class TDataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDataSetModel(TDataSet* dataSet = nullptr, QObject* parent = nullptr);

    void SetDataSet(TDataSet* dataSet);
    TDataSet* DataSet() const { return FDataSet; }
    // The shown columns in order; empty shows every field under its name.
    void SetColumns(const QVector<TModelColumn>& columns);
    QVector<TModelColumn> Columns() const { return FColumns; }
    int FieldOfColumn(int column) const;  // dataset field index, -1 when unknown
    int ColumnOfField(const QString& fieldName) const;  // -1 when not shown
    QItemSelectionModel* selectionModel() { return &FSelection; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text a grid shows for a value of a field.
    static QString DisplayText(const TFieldDef& def, const QVariant& value);

private:
    void OnDataChanged();
    void OnRowChanged(int recNo);
    void OnCurrentChanged(int recNo);
    void OnViewCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void Rebind();

    QPointer<TDataSet> FDataSet;
    QVector<TModelColumn> FColumns;
    QVector<int> FFieldOf;
    QItemSelectionModel FSelection;
    bool FSyncing = false;
    QList<QMetaObject::Connection> FConnections;
};
