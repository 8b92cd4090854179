#pragma once
// "Oszlop beállítás": the dialog in which the user shows, hides, orders, retitles and sizes the
// columns of one grid. It works on GridSettingsColumns; after "OK" that list holds the result:
// the shown columns in their new order, then the hidden ones.
#include "UtilDisplayFields.h"

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The dialog's working copy of the columns (process-wide, as the grids' layouts are).
extern TDisplayFields GridSettingsColumns;

class TFormGridSettings : public QDialog {
    Q_OBJECT
public:
    explicit TFormGridSettings(QWidget* parent = nullptr);
    bool Confirmed() const { return FConfirmed; }

    QListWidget* lbInvisible = nullptr;  // "Szabad mezők"
    QListWidget* lbVisible = nullptr;    // "Listában látható mezők"
    QLineEdit* edtDisplay = nullptr;     // "Fejléc szöveg:"
    QLineEdit* edtWidth = nullptr;       // "Szélesség:"
    QLineEdit* edtFormat = nullptr;      // "Formázás"
    QPushButton* btnHide = nullptr;      // "<"
    QPushButton* btnHideAll = nullptr;   // "<<"
    QPushButton* btnShow = nullptr;      // ">"
    QPushButton* btnShowAll = nullptr;   // ">>"
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    // Field names parallel to the list boxes.
    const QStringList& VisibleNames() const { return FVisibleNames; }
    const QStringList& HiddenNames() const { return FHiddenNames; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillLists();
    void ShowSelectedInEdits();
    void WriteEdits(bool updateListText);
    void ShowColumn(int row);
    void HideColumn(int row);
    void MoveVisible(int from, int to);
    void KeepSelection(QListWidget* list, int row);
    void actOKExecute();

    QStringList FVisibleNames;
    QStringList FHiddenNames;
    bool FConfirmed = false;
    int FDragRow = -1;
    bool FFilling = false;
};

// Shows the dialog for columns; when the user confirms, stores the result for the layout key
// with StoreGridFormat and answers true; otherwise answers false and changes nothing.
bool EditGridColumns(TListGridFormatItem& store, const TDisplayFields& columns, const QString& formName,
                     qint32 gridHeight, qint32 gridTag, qint32 formTag, const QString& gridName,
                     QWidget* parent = nullptr);
