#include "ui/prices/stock_grid.h"

#include <QHeaderView>
#include <QTableWidget>

#include "commands/stock_lists.h"

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

StockListGrid::StockListGrid(QTableWidget* grid, Market market) : grid_(grid), market_(market) {
  QObject::connect(grid_, &QTableWidget::itemChanged, grid_, [this] {
    if (!filling_) modified_ = true;
  });
}

bool StockListGrid::load(Session& session, Prompter& prompter) {
  if (loaded_) return true;
  const std::optional<QList<StockLine>> rows = LoadStockRows(session, prompter, market_);
  if (!rows) return false;
  filling_ = true;
  FillStockGrid(grid_, *rows);
  filling_ = false;
  loaded_ = true;
  modified_ = false;
  return true;
}

void StockListGrid::appendRow(const QString& name, const QString& ticker) {
  filling_ = true;
  const int row = grid_->rowCount();
  grid_->insertRow(row);
  grid_->setItem(row, 0, new QTableWidgetItem(name));
  grid_->setItem(row, 1, new QTableWidgetItem(ticker));
  grid_->setItem(row, 2, new QTableWidgetItem);
  filling_ = false;
  grid_->setCurrentCell(row, 0);
  modified_ = true;
}

bool StockListGrid::removeCurrentRow(Session& session, Prompter& prompter) {
  const int row = grid_->currentRow();
  if (row < 0 || row >= grid_->rowCount()) return false;
  if (!ConfirmStockRowRemoval(session, prompter, currentLine())) return false;
  grid_->removeRow(row);
  modified_ = true;
  return true;
}

void StockListGrid::discardEdits() {
  loaded_ = false;
  modified_ = false;
}

StockLine StockListGrid::currentLine() const {
  const QList<StockLine> all = StockGridRows(grid_);
  const int row = grid_->currentRow();
  return row >= 0 && row < all.size() ? all[row] : StockLine{};
}

bool StockListGrid::save(Session& session, Prompter& prompter) {
  if (modified_ && !SaveStockRows(session, prompter, market_, StockGridRows(grid_)).ok())
    return false;
  loaded_ = false;
  return true;
}

void StockListGrid::setSelecting(bool selecting) {
  if (selecting) {
    editTriggers_ = int(grid_->editTriggers());
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  } else {
    grid_->setEditTriggers(QAbstractItemView::EditTriggers(editTriggers_));
  }
}

}  // namespace pelmar
