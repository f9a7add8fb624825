#include "commands/stock_lists.h"

#include "commands/refusal.h"

namespace pelmar {

namespace {

QString listPath(Session& session, Market market) {
  return session.prices().folder() + stockListFileName(market);
}

}  // namespace

std::optional<QList<StockLine>> LoadStockRows(Session& session, Prompter& prompter, Market market) {
  bool ok = true;
  QStringList lines = LoadStockList(listPath(session, market), &ok);
  if (!ok) {
    (void)Refuse(session, prompter, TextId::StockListUnreadable, {listPath(session, market)});
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
  if (!SaveStockList(listPath(session, market), lines))
    return Refuse(session, prompter, TextId::StockListNotSaved, {listPath(session, market)});
  return Outcome::done();
}

}  // namespace pelmar
