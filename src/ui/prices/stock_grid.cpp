#include "ui/prices/stock_grid.h"

#include <QHeaderView>
#include <QTableWidget>

#include "commands/session.h"
#include "commands/stock_lists.h"
#include "prices/price_source.h"

namespace pelmar {

namespace {

constexpr int kSourceColumn = 3;
constexpr int kSymbolColumn = 4;
constexpr std::array<int, 2> kSourceWidths = {100, 110};

QString cellText(const QTableWidget* grid, int row, int column) {
  const QTableWidgetItem* item = grid->item(row, column);
  return item ? StockCellText(item->text()) : QString();
}

}  // namespace

int SetUpStockGrid(QTableWidget* grid, const std::array<int, 3>& widths) {
  grid->verticalHeader()->hide();
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setColumnCount(5);
  int width = 30;
  for (int column = 0; column < 5; ++column) {
    const int w = column < 3 ? widths[column] : kSourceWidths[column - 3];
    grid->setColumnWidth(column, w);
    width += w;
  }
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 3);
  return width;
}

void SetSourceHeadings(QTableWidget* grid, const Session& session) {
  QStringList names;
  for (const SourceInfo& source : PriceSources())
    names << source.id + QStringLiteral(": ") + session.text(source.name);
  auto* heading = new QTableWidgetItem(session.text(TextId::StocksColumnSource));
  heading->setToolTip(names.join(u'\n'));
  grid->setHorizontalHeaderItem(kSourceColumn, heading);
  grid->setHorizontalHeaderItem(kSymbolColumn,
                                new QTableWidgetItem(session.text(TextId::StocksColumnSymbol)));
}

void FillStockGrid(QTableWidget* grid, const QList<StockLine>& lines, const SourceMap& sources) {
  grid->setRowCount(0);
  grid->setRowCount(static_cast<int>(lines.size()));
  for (int row = 0; row < grid->rowCount(); ++row) {
    const StockLine& line = lines.at(row);
    grid->setItem(row, 0, new QTableWidgetItem(line.name));
    grid->setItem(row, 1, new QTableWidgetItem(line.ticker));
    grid->setItem(row, 2, new QTableWidgetItem(line.lastDate));
    const StockSource own = sources.of(line.ticker);
    grid->setItem(row, kSourceColumn, new QTableWidgetItem(own.source));
    grid->setItem(row, kSymbolColumn, new QTableWidgetItem(own.symbol));
  }
}

SourceMap StockGridSources(const QTableWidget* grid) {
  SourceMap sources;
  for (int row = 0; row < grid->rowCount(); ++row) {
    const QString ticker = cellText(grid, row, 1);
    if (!ticker.isEmpty() && !cellText(grid, row, 0).isEmpty())
      sources.set(ticker, {cellText(grid, row, kSourceColumn), cellText(grid, row, kSymbolColumn)});
  }
  return sources;
}

QList<StockLine> StockGridRows(const QTableWidget* grid) {
  QList<StockLine> rows;
  for (int row = 0; row < grid->rowCount(); ++row)
    rows << StockLine{cellText(grid, row, 0), cellText(grid, row, 1), cellText(grid, row, 2)};
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
  const std::optional<SourceMap> sources = LoadStockSources(session, prompter, market_);
  if (!sources) return false;
  filling_ = true;
  FillStockGrid(grid_, *rows, *sources);
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
  for (int column = 2; column <= kSymbolColumn; ++column)
    grid_->setItem(row, column, new QTableWidgetItem);
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
  const SourceMap sources = StockGridSources(grid_);
  if (modified_ && !SaveStockRows(session, prompter, market_, StockGridRows(grid_), &sources).ok())
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
