#pragma once
// "Excel (F3)": a grid's visible columns and the rows that pass the window's filters, written to
// an .xls workbook with totals under the numeric columns.
#include "UtilDisplayFields.h"

#include <QString>

class QWidget;
class TDBGrid;

// The chosen name with its extension, if any, replaced by ".xls".
QString ExcelFileName(const QString& chosen);

// The save dialog, the ".xls" name and the overwrite question ("Létező fájl. Felülírja?";
// declining goes back to the dialog). Empty when the user cancelled.
QString AskExcelFileName(QWidget* parent);

// The workbook of the grid: its visible columns whose fields the dataset has (captions, widths
// of pixels x 0.2 characters, sums under integer and float columns) and the dataset's view rows,
// first to last. The current row is kept. False with *error set when it could not be written.
bool WriteGridWorkbook(TDBGrid* grid, const QString& fileName, QString* error = nullptr);

// The whole command: nothing without an open dataset with rows (filters not counted); then the
// file name, the question "Megjelenítse az excel táblát?", the workbook, and the workbook opened
// with the desktop's handler when asked. The dataset's current row is kept. A write error is
// shown ("Excel"). Answers true when a workbook was written.
bool ExportGridToExcel(TDBGrid* grid);
