#pragma once

#include <QList>
#include <array>

#include "prices/stock_list.h"

class QTableWidget;

namespace pelmar {

// The grid both download list windows share: three columns of the given
// widths, whole rows selected, rows as high as the font plus 3. Returns the
// window's client width (the columns plus 30).
int SetUpStockGrid(QTableWidget* grid, const std::array<int, 3>& widths);
// Replaces the grid's rows by the lines.
void FillStockGrid(QTableWidget* grid, const QList<StockLine>& lines);
// The grid's rows as lines. A comma typed into a cell would split the
// file's line into other fields: it becomes a blank.
QList<StockLine> StockGridRows(const QTableWidget* grid);

}  // namespace pelmar
