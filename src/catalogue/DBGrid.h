#pragma once
// The data grid of the list windows: a read-only table over a dataset with titles, a row
// indicator, movable and resizable columns, whole-row highlight, incremental search by typing
// (the current column's shown text, from the start, without regard to case), sort markers on
// the titles and an optional yellow footer row.
//
// The grid's columns are its own (TGridColumn: field, title, width, display format, marker);
// a column whose field the dataset lacks shows empty cells. Columns are addressed by display
// position (0 = leftmost), which changes when the user drags a title.
//
// Like the grids the program was designed with, the grid reports a title click also when the
// user releases a title after dragging it to another place; its owner decides what that means.
#include <QString>
#include <QVector>
#include <QWidget>
#include <functional>

class QHeaderView;
class QTableView;
class TDataSet;
class TDBGridModel;
class TDBGridHeader;
class TDBGridFooter;

struct TGridColumn {
    QString FieldName;
    QString Title;
    int Width = 64;
    QString DisplayFormat;
    int Marker = 0;  // 0 none, 1 ascending, 2 descending
};

class TDBGrid : public QWidget {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);
    ~TDBGrid() override;

    QTableView* View() const { return FView; }
    QHeaderView* Header() const;

    // The dataset shown (not owned); nullptr shows nothing.
    void SetDataSet(TDataSet* dataSet);
    TDataSet* DataSet() const;

    // Columns, in display order. AddColumn appends at the right.
    void ClearColumns();
    void AddColumn(const TGridColumn& column);
    void SetColumns(const QVector<TGridColumn>& columns);  // replaces all, in display order
    int ColumnCount() const;
    TGridColumn Column(int displayIndex) const;  // with its current width; empty when out of range
    int FindColumn(const QString& fieldName) const;  // first column of that field (case ignored); -1
    void SetColumnMarker(int displayIndex, int marker);
    // The column whose marker is shown on the titles (the last one, in display order, with a
    // marker); -1 when none.
    int SortColumn() const;

    // The field of the current column; empty when there are no columns.
    QString SelectedField() const;
    void SelectField(const QString& fieldName);

    // The grid's height, and how a stored height is applied (by default the widget is resized;
    // a window that lays the grid out in a splitter installs its own).
    int GridHeight() const { return height(); }
    void SetGridHeight(int height);
    void SetHeightSetter(std::function<void(int)> setter) { FHeightSetter = std::move(setter); }

    // Footer: rows 0 or 1; the text of a cell comes from the handler (field name, display format).
    void SetFooterRowCount(int rows);
    int FooterRowCount() const;
    void SetFooterTextHandler(std::function<QString(const QString&, const QString&)> handler);
    QString FooterText(int displayIndex) const;
    void RedrawFooter();

    // The Tag property of the designed grids: an integer the owner keeps with the grid.
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }

    bool HasGridFocus() const;
    void SetGridFocus();

    // Stops repainting while a walk changes the current row (the dataset's controls disabled).
    void BeginUpdate();
    void EndUpdate();

signals:
    void TitleClick(int displayIndex);
    void ColumnMoved(int fromIndex, int toIndex);
    void ColWidthsChanged();
    void Entered();  // the grid got the focus

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TDBGridFooter;
    int LogicalOf(int displayIndex) const;
    void SyncSortIndicator();

    QTableView* FView = nullptr;
    TDBGridModel* FModel = nullptr;
    TDBGridHeader* FHeader = nullptr;
    TDBGridFooter* FFooter = nullptr;
    std::function<void(int)> FHeightSetter;
    std::function<QString(const QString&, const QString&)> FFooterText;
    int FTag = 0;
    bool FBuilding = false;
};
