#include "commands/stock_lists.h"

#include <QDir>

#include "commands/refusal.h"
#include "prices/price_source.h"

namespace pelmar {

QString StockCellText(const QString& typed) {
  return QString(typed).replace(u',', u' ').trimmed();
}

QString TypedTicker(const QString& typed) {
  return typed.toUpper();
}

std::optional<StockLine> NewStockRow(const QString& company, const QString& ticker) {
  StockLine row{StockCellText(company), StockCellText(TypedTicker(ticker)), {}};
  row.ticker.remove(u' ');
  if (row.name.isEmpty() || row.ticker.isEmpty()) return std::nullopt;
  return row;
}

std::optional<QList<StockLine>> LoadStockRows(Session& session, Prompter& prompter, Market market) {
  const QString path = stockListPath(session.prices().folder(), market);
  std::optional<Reason> refused;
  QStringList lines = LoadStockList(path, nullptr, &refused);
  if (refused) {
    Reason reason{
        TextId::StockListUnreadable, {QDir::toNativeSeparators(path)}, path, refused->line};
    reason = reason.because(*refused);
    prompter.message(reason.text(session.language()));
    return std::nullopt;
  }
  lines.sort(Qt::CaseInsensitive);
  QList<StockLine> rows;
  for (const QString& line : lines) rows << StockLine::split(line);
  return rows;
}

std::optional<SourceMap> LoadStockSources(Session& session, Prompter& prompter, Market market) {
  LoadedSourceMap loaded = LoadSourceMap(sourceMapPath(session.prices().folder(), market));
  if (loaded.refused) {
    prompter.message(loaded.refused->text(session.language()));
    return std::nullopt;
  }
  return std::move(loaded.map);
}

Outcome SaveStockRows(Session& session, Prompter& prompter, Market market,
                      const QList<StockLine>& rows, const SourceMap* sources) {
  if (sources) {
    QStringList known;
    for (const SourceInfo& source : PriceSources()) known << source.id;
    for (const auto& [key, stock] : sources->stocks()) {
      const QString& name = stock.second.source;
      if (!name.isEmpty() && !PriceSourceId(name))
        return Refuse(session, prompter, TextId::SettingBadChoice,
                      {name, stock.first, known.join(QStringLiteral(", "))});
    }
  }
  QStringList lines;
  for (const StockLine& row : rows) {
    if (row.name.isEmpty()) continue;
    // What the lists and the daily files cannot hold is refused here, where
    // it is typed, never written changed.
    if (!NameFitsList(row.name))
      return Refuse(session, prompter, TextId::StockNameNotKept, {row.name});
    if (!row.ticker.trimmed().isEmpty() && !TickerFitsFiles(row.ticker))
      return Refuse(session, prompter, TextId::TickerDoesNotFit, {row.ticker});
    if (!IsStockLine(row.join()))
      return Refuse(session, prompter, TextId::StockListBadLine,
                    {QString::number(lines.size() + 1)});
    lines << row.join();
  }
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
  if (!sources) return Outcome::done();
  const QString mapPath = sourceMapPath(session.prices().folder(), market);
  if (Outcome saved = SaveSourceMap(mapPath, *sources); !saved) {
    const Reason reason = Reason{TextId::StockListNotSaved, {mapPath}}.because(*saved.reason());
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
