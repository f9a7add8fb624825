#include "ui/prices/stock_grid.h"

#include <QHeaderView>
#include <QTableWidget>

namespace pelmar {

int SetUpStockGrid(QTableWidget* grid, const std::array<int, 3>& widths) {
  grid->verticalHeader()->hide();
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  int width = 30;
  for (int column = 0; column < 3; ++column) {
    grid->setColumnWidth(column, widths[column]);
    width += widths[column];
  }
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 3);
  return width;
}

void FillStockGrid(QTableWidget* grid, const QList<StockLine>& lines) {
  grid->setRowCount(0);
  grid->setRowCount(static_cast<int>(lines.size()));
  for (int row = 0; row < grid->rowCount(); ++row) {
    const StockLine& line = lines.at(row);
    grid->setItem(row, 0, new QTableWidgetItem(line.name));
    grid->setItem(row, 1, new QTableWidgetItem(line.ticker));
    grid->setItem(row, 2, new QTableWidgetItem(line.lastDate));
  }
}

QList<StockLine> StockGridRows(const QTableWidget* grid) {
  QList<StockLine> rows;
  const auto text = [grid](int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text().replace(u',', u' ').trimmed() : QString();
  };
  for (int row = 0; row < grid->rowCount(); ++row)
    rows << StockLine{text(row, 0), text(row, 1), text(row, 2)};
  return rows;
}

}  // namespace pelmar
