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
  // Not while another program's download or import writes the folder.
  const PriceFolderLock folderLock(session.prices());
  if (!folderLock.outcome().ok()) {
    Tell(session, prompter, folderLock.outcome());
    return folderLock.outcome();
  }
  const QString path = stockListPath(session.prices().folder(), market);
  if (Outcome saved = SaveStockList(path, lines); !saved) {
    const Reason reason = Reason{TextId::StockListNotSaved, {path}}.because(*saved.reason());
    prompter.message(reason.text(session.language()));
    return Outcome::failed(reason);
  }
  return Outcome::done();
}

bool ConfirmStockRowRemoval(Session& session, Prompter& prompter, const StockLine& row) {
  Question question;
  question.caption = session.text(TextId::StocksUsDownloadCaption);
  question.message = session.text(TextId::StocksUsDelQuestion).arg(row.ticker, row.name);
  question.yesIsDefault = false;
  return prompter.question(question) == Answer::Yes;
}

}  // namespace pelmar
