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

// The whole command: nothing without an open dataset with rows (filters not counted); then the
// file name, the question "Megjelenítse az excel táblát?", the workbook, and the workbook opened
// with the desktop's handler when asked. The dataset's current row is kept. A write error is
// shown ("Excel"). Answers true when a workbook was written.
bool ExportGridToExcel(TDBGrid* grid);
