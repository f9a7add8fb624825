#include "commands/stock_lists.h"

#include "commands/refusal.h"

namespace pelmar {

std::optional<QList<StockLine>> LoadStockRows(Session& session, Prompter& prompter, Market market) {
  bool ok = true;
  QStringList lines = LoadStockList(stockListPath(session.prices().folder(), market), &ok);
  if (!ok) {
    (void)Refuse(session, prompter, TextId::StockListUnreadable,
                 {stockListPath(session.prices().folder(), market)});
    return std::nullopt;
  }
  lines.sort(Qt::CaseInsensitive);
  QList<StockLine> rows;
  for (const QString& line : lines) rows << StockLine::split(line);
  return rows;
}

Outcome SaveStockRows(Session& session, Prompter& prompter, Market market,
                      const QList<StockLine>& rows) {
  QStringList lines;
  for (const StockLine& row : rows)
    if (!row.name.isEmpty()) lines << row.join();
  if (!SaveStockList(stockListPath(session.prices().folder(), market), lines))
    return Refuse(session, prompter, TextId::StockListNotSaved,
                  {stockListPath(session.prices().folder(), market)});
  return Outcome::done();
}

}  // namespace pelmar
