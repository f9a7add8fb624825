#include "commands/download.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>

#include "commands/euro_dollar.h"
#include "commands/refusal.h"
#include "commands/stock_sources.h"
#include "model/conversions.h"
#include "model/dates.h"
#include "model/safe_read.h"
#include "prices/price_replies.h"
#include "prices/price_table.h"
#include "prices/price_update.h"

namespace pelmar {

namespace {

// N, the extra days a download stores: none while "download from the last
// date" is on.
int extraDays(const Session& session) {
  return session.settings().downloadFromLastDate ? 0 : session.settings().downloadDays;
}

DateFormat dateFormat(const Session& session) {
  return dateFormatFromSetting(session.settings().dateFormat);
}

// The page's text as the parsers read it: Latin-1, up to the first NUL.
QString pageText(const QByteArray& body) {
  const qsizetype nul = body.indexOf('\0');
  return QString::fromLatin1(nul < 0 ? body : body.left(nul));
}

// Fetches a page; 0 with the text when the server answered with a page,
// else the fetch result with the reason: no connection (which ends the
// pass), a reply past the size bound, or Fetch::Refused when the server was
// reached but gave no page to read (silence, a redirect loop, an HTTP error
// status, whose body is never read as prices).
double fetchPage(Session& session, HttpGet& http, const QString& url, QString& text,
                 QString& detail) {
  const HttpReply reply = http.get(url);
  switch (reply.status) {
    case HttpReply::Status::Failed:
      detail = session.text(TextId::DownloadNetDetail).arg(reply.failure(session.language()));
      return Fetch::NoConnection;
    case HttpReply::Status::TooLarge:
      detail = session.text(TextId::DownloadTooLarge);
      return Fetch::TooSmall;
    case HttpReply::Status::NoAnswer:
      detail = session.text(TextId::DownloadNoAnswer).arg(reply.failure(session.language()));
      return Fetch::Refused;
    case HttpReply::Status::Ok:
      break;
  }
  // "Not found" is the service's word for a stock it does not know.
  if (reply.httpStatus == 404 || reply.httpStatus == 410) return Fetch::NotFound;
  if (!reply.page()) {
    detail = session.text(TextId::DownloadHttpStatus).arg(reply.httpStatus);
    return Fetch::Refused;
  }
  text = pageText(reply.body);
  return 0;
}

// A refused reply's reason as the log line's detail.
double refusedReply(Session& session, const std::optional<Reason>& refused, QString& detail) {
  if (refused) detail = refused->text(session.language());
  return Fetch::Refused;
}

void logWithDetail(DownloadMonitor& monitor, const QString& line, const QString& detail) {
  monitor.log(line);
  if (!detail.isEmpty()) monitor.log(detail);
}

// A typed fetch as the fetch result the passes log: the newest day's serial,
// or the failure's code with its reason as the detail.
double fetchResult(const Session& session, const SourceCloses& got, QString& detail) {
  if (got.reason) detail = got.reason->text(session.language());
  switch (got.status) {
    case FetchStatus::Ok:
      return dateToSerial(got.newest());
    case FetchStatus::NoConnection:
      return Fetch::NoConnection;
    case FetchStatus::TooSmall:
      return Fetch::TooSmall;
    case FetchStatus::NotFound:
      return Fetch::NotFound;
    case FetchStatus::Nothing:
      return Fetch::Nothing;
    case FetchStatus::Failed:
      break;
  }
  return Fetch::Refused;
}

// The pass's sources; false (after saying so) when no stock of the list has
// one, so that nothing is asked of the internet.
bool passSources(Session& session, DownloadMonitor& monitor, const DownloadPass& pass,
                 PassSources& sources) {
  sources = SourcesOf(session, pass.market);
  if (sources.refused) monitor.log(sources.refused->text(session.language()));
  QStringList tickers;
  for (const QString& line : pass.list) tickers << StockLine::split(line).ticker;
  if (tickers.isEmpty() || sources.anySource(tickers)) return true;
  monitor.log(session.text(pass.market == Market::Dutch ? TextId::DownloadNoSourceNl
                                                        : TextId::DownloadNoSourceUs));
  return false;
}

// One stock's prices from its source, the download lines oldest first: the
// list's own service through its fetcher, as always; any other source
// through its PriceSource from `start`. Nothing for a stock without one.
std::optional<double> fetchStock(Session& session, HttpGet& http, const PassSources& sources,
                                 DownloadPass& pass, const QString& ticker, QDate start, QDate end,
                                 QStringList& lines, QString& detail) {
  const QString source =
      PriceSourceId(sources.own.sourceOf(ticker, sources.listSource)).value_or(SourceId::None);
  if (source == SourceId::None) return std::nullopt;
  double result = 0;
  if (pass.market == Market::Dutch && source == SourceId::DutchService) {
    result = FetchDutchPrices(session, http, ticker, lines, detail);
  } else if (pass.market == Market::Us && source == SourceId::UsService) {
    result = FetchUSPrices(session, http, ticker, lines, start, end, detail);
    // The table lists the newest day first; StorePrices takes the newest
    // last (with N = 0 it would otherwise stop at the oldest day).
    std::reverse(lines.begin(), lines.end());
  } else {
    const SourceCloses got = FetchStockCloses(session, http, sources, ticker, start);
    lines = got.downloadLines();
    result = fetchResult(session, got, detail);
  }
  // The days asked of a stock that gave prices are the download's range.
  if (result > Fetch::Refused && (!pass.earliest.isValid() || start < pass.earliest))
    pass.earliest = start;
  return result;
}

// The euro/dollar reference rates of the days from `from` into the daily
// files and the last dataset, with a log line of what came.
void downloadRates(Session& session, HttpGet& http, DownloadMonitor& monitor, QDate from) {
  const QDate today = session.clock().today();
  const ReferenceRates rates =
      FetchReferenceRates(http, session.settings().referenceRatesUrl, from, today);
  const ReferenceRatesTaken taken =
      rates.ok() ? TakeReferenceRates(session, rates, from) : ReferenceRatesTaken{};
  const std::optional<Reason> failure = rates.ok() ? taken.failure : rates.failure;
  if (failure) {
    monitor.log(session.text(TextId::DownloadRatesFailed).arg(failure->text(session.language())));
    return;
  }
  if (!taken.newest.isValid()) return;
  monitor.log(session.text(TextId::DownloadRates)
                  .arg(taken.days)
                  .arg(formatDate(taken.newest, dateFormat(session)),
                       QString::number(1.0 / taken.rate, 'f', 4)));
}

// Stores a stock's download lines and moves its LastDate to the newest day
// obtained; when nothing could be stored the line stays as it was, so the
// next download asks for the same days again.
void storeStock(Session& session, DownloadMonitor& monitor, DownloadPass& pass, qsizetype row,
                const QString& storedName, const QStringList& lines, double result) {
  StockLine stock = StockLine::split(pass.list[row]);
  const bool stored =
      session.prices().StorePrices(storedName, stock.ticker, lines, extraDays(session));
  if (stored) {
    stock.lastDate = formatDate(serialToDate(wholeDay(result)), dateFormat(session));
    pass.list[row] = stock.join();
    pass.storedRows.emplace_back(row, TrimRightBlanks(storedName));
  }
  monitor.log(PadName(stock.name) +
              session.text(stored ? TextId::DownloadStored : TextId::DownloadLatestDate) +
              stock.lastDate);
}

// Saves a list after a pass and recomputes its "Last Prices.txt" value. A
// list that could not be read whole is kept as it is.
void finishList(Session& session, DownloadMonitor& monitor, const DownloadPass& pass) {
  const QString path = stockListPath(session.prices().folder(), pass.market);
  if (!pass.listRead) {
    monitor.log(session.text(TextId::StockListUnreadable).arg(QDir::toNativeSeparators(path)));
    if (pass.refused)
      monitor.log(QStringLiteral("       ") + pass.refused->text(session.language()));
    return;
  }
  const auto logFailure = [&](const QString& file, const Outcome& outcome) {
    monitor.log(session.text(TextId::DownloadListNotSaved).arg(file));
    if (outcome.reason())
      monitor.log(QStringLiteral("       ") + outcome.reason()->text(session.language()));
  };
  if (Outcome saved = SaveStockList(path, pass.list); !saved) logFailure(path, saved);
  if (Outcome saved = WriteLastPrices(session.prices(), pass.market, pass.list,
                                      session.clock().today(), dateFormat(session));
      !saved)
    logFailure(QStringLiteral("Last Prices.txt"), saved);
}

DownloadPass startPass(Session& session, Market market) {
  DownloadPass pass;
  pass.market = market;
  pass.read = LoadStockList(stockListPath(session.prices().folder(), market), &pass.listRead,
                            &pass.refused);
  pass.list = pass.read;
  return pass;
}

int stockCount(Session& session, Market market) {
  return static_cast<int>(LoadStockList(stockListPath(session.prices().folder(), market)).size());
}

}  // namespace

double FetchDutchPrices(Session& session, HttpGet& http, const QString& ticker, QStringList& lines,
                        QString& detail) {
  if (ticker.isEmpty()) return Fetch::NotFound;
  QString text;
  const double failed = fetchPage(
      session, http, DutchPriceUrl(session.settings().dutchPriceService, ticker), text, detail);
  if (failed != 0) return failed;
  std::optional<Reason> refused;
  const double result = ParseDutchReply(text, lines, session.clock().today(), refused);
  return result == Fetch::Refused ? refusedReply(session, refused, detail) : result;
}

double FetchUSPrices(Session& session, HttpGet& http, const QString& ticker, QStringList& lines,
                     QDate start, QDate end, QString& detail) {
  QString text;
  const double failed =
      fetchPage(session, http, UsPriceUrl(session.settings().usPriceService, ticker, start, end),
                text, detail);
  if (failed != 0) return failed;
  std::optional<Reason> refused;
  const double result = ParseUsReply(text, lines, session.clock().today(), refused);
  return result == Fetch::Refused ? refusedReply(session, refused, detail) : result;
}

DownloadPass DownloadDutchPrices(Session& session, HttpGet& http, DownloadMonitor& monitor,
                                 int& done, int total) {
  monitor.log(session.text(TextId::DownloadDutchStart));
  monitor.log(QString());
  DownloadPass pass = startPass(session, Market::Dutch);
  PassSources sources;
  if (!passSources(session, monitor, pass, sources)) {
    // Its stocks count as done, so the progress still reaches the end.
    done += static_cast<int>(pass.list.size());
    monitor.progress(done, total);
    return pass;
  }
  const qsizetype count = pass.list.size();
  const bool forward = ++monitor.dutchPasses % 2 == 1;
  for (qsizetype k = 0; k < count && pass.connected && !pass.cancelled; ++k) {
    const qsizetype i = forward ? k : count - 1 - k;
    const StockLine stock = StockLine::split(pass.list[i]);
    const QDateTime now = session.clock().now();
    // LastDate is written in the settings' format, so it is read in it.
    const QDate last =
        parseDate(stock.lastDate, dateFormat(session)).value_or(now.date().addDays(-365));
    if (NoNewDutchPrices(now, last)) {
      monitor.log(PadName(stock.name) + session.text(TextId::DownloadNoNewPrices));
    } else {
      QStringList lines;
      QString detail;
      const std::optional<double> fetched =
          fetchStock(session, http, sources, pass, stock.ticker, last.addDays(-extraDays(session)),
                     now.date(), lines, detail);
      // No newest date that can be read: nothing to move LastDate to.
      double result = fetched.value_or(Fetch::NotFound);
      if (result <= 0) result = Fetch::NotFound;
      if (!fetched) {
        monitor.log(PadName(stock.name) + session.text(TextId::SourceNone));
      } else if (result == Fetch::NoConnection) {
        logWithDetail(monitor, session.text(TextId::DownloadNlError1), detail);
        pass.connected = false;
      } else if (result == Fetch::TooSmall) {
        logWithDetail(monitor, session.text(TextId::DownloadNlError2).arg(stock.ticker), detail);
      } else if (result == Fetch::NotFound) {
        monitor.log(session.text(TextId::DownloadNlError3).arg(stock.name));
      } else if (result == Fetch::Nothing) {
        monitor.log(session.text(TextId::DownloadNlError4).arg(stock.name));
      } else if (result == Fetch::Refused) {
        monitor.log(session.text(TextId::DownloadStockFailed).arg(stock.name, detail));
      } else {
        storeStock(session, monitor, pass, i, stock.name, lines, result);
      }
    }
    monitor.progress(++done, total);
    pass.cancelled = monitor.cancelled();
  }
  return pass;
}

DownloadPass DownloadUSPrices(Session& session, HttpGet& http, DownloadMonitor& monitor, int& done,
                              int total) {
  monitor.log(session.text(TextId::DownloadUsStart));
  monitor.log(QString());
  DownloadPass pass = startPass(session, Market::Us);
  PassSources sources;
  if (!passSources(session, monitor, pass, sources)) {
    // Its stocks count as done, so the progress still reaches the end.
    done += static_cast<int>(pass.list.size());
    monitor.progress(done, total);
    return pass;
  }
  for (qsizetype i = 0; i < pass.list.size() && pass.connected && !pass.cancelled; ++i) {
    const StockLine stock = StockLine::split(pass.list[i]);
    const QDateTime now = session.clock().now();
    const QDate today = LastWorkingDay(now.date());
    const std::optional<QDate> last = parseDate(stock.lastDate, dateFormat(session));
    const QDate start = last ? last->addDays(-extraDays(session)) : today.addDays(-365);
    if (NoNewUsPrices(now, start)) {
      monitor.log(PadName(stock.name) + session.text(TextId::DownloadNoNewPrices));
    } else {
      QStringList lines;
      QString detail;
      const std::optional<double> fetched =
          fetchStock(session, http, sources, pass, stock.ticker, start, today, lines, detail);
      double result = fetched.value_or(Fetch::NotFound);
      if (result <= 0) result = Fetch::NotFound;
      if (!fetched) {
        monitor.log(PadName(stock.name) + session.text(TextId::SourceNone));
      } else if (result == Fetch::NoConnection) {
        logWithDetail(monitor, session.text(TextId::DownloadUsError1), detail);
        pass.connected = false;
      } else if (result == Fetch::TooSmall) {
        logWithDetail(monitor, session.text(TextId::DownloadUsError2).arg(stock.name), detail);
      } else if (result == Fetch::NotFound) {
        monitor.log(session.text(TextId::DownloadUsError3).arg(stock.name));
      } else if (result == Fetch::Nothing) {
        monitor.log(session.text(TextId::DownloadUsRemark5).arg(stock.name, stock.lastDate));
      } else if (result == Fetch::Refused) {
        monitor.log(session.text(TextId::DownloadStockFailed).arg(stock.name, detail));
      } else {
        storeStock(session, monitor, pass, i, stock.name + QStringLiteral(" (US)"), lines, result);
      }
    }
    monitor.progress(++done, total);
    pass.cancelled = monitor.cancelled();
  }
  return pass;
}

void FinishDownload(Session& session, DownloadMonitor& monitor, std::vector<DownloadPass>& passes) {
  const PriceStore::FlushResult flushed = session.prices().flushBatch();
  for (const QString& file : flushed.failedFiles)
    monitor.log(session.text(TextId::DownloadStoreFailed).arg(QFileInfo(file).fileName()));
  if (flushed.cause)
    monitor.log(QStringLiteral("       ") + flushed.cause->text(session.language()));
  for (DownloadPass& pass : passes) {
    for (const auto& [row, storedName] : pass.storedRows) {
      if (!flushed.nothingStored.contains(storedName)) continue;
      // None of the stock's prices reached the disk: its LastDate stays.
      pass.list[row] = pass.read[row];
      const StockLine stock = StockLine::split(pass.read[row]);
      monitor.log(PadName(stock.name) + session.text(TextId::DownloadLatestDate) + stock.lastDate);
    }
    // Kept also after a lost connection: the lines already updated name the
    // prices already stored.
    finishList(session, monitor, pass);
  }
}

void RefreshAllDataSets(Session& session) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return;
  const int current = p.FirstRekIndex();
  // Every dataset in date order, the first and the last included, each
  // computed after its predecessor took its prices: a dataset computed
  // before the one it builds on, or not at all, would stay stale.
  bool changed = false;
  int rek = Portfolio::kFirstRekIndex;
  int koers = Portfolio::kFirstKoersIndex;
  for (;;) {
    changed = UpdatePricesFromFiles(p, session.prices(), rek) || changed;
    changed = session.engine().CalcDataSet(rek, p.SelFonds()) || changed;
    const int before = rek;
    if (p.IsLastDataSet(rek) || !p.NextDataSet(rek, koers) || rek == before) break;
  }
  p.goToDataSet(current);
  if (changed) p.markChanged();
}

bool DownloadAtStart(Session& session) {
  if (!session.settings().downloadAtStart) return false;
  return !QDir(session.prices().folder())
              .entryList({QStringLiteral("*.csv")}, QDir::Files)
              .isEmpty();
}

Outcome DownloadClick(Session& session, HttpGet& http, DownloadMonitor& monitor) {
  const Settings& settings = session.settings();
  if (!settings.downloadDutchList && !settings.downloadUsList) {
    monitor.log(session.text(TextId::DownloadNothing));
    return Outcome::done();
  }
  // One writer per price folder: the daily files and the lists are read
  // and written under its lock.
  const PriceFolderLock folderLock(session.prices());
  if (!folderLock.outcome().ok()) {
    monitor.log(folderLock.outcome().reason()->text(session.language()));
    return folderLock.outcome();
  }
  session.prices().refresh();
  const int total = (settings.downloadDutchList ? stockCount(session, Market::Dutch) : 0) +
                    (settings.downloadUsList ? stockCount(session, Market::Us) : 0);
  int done = 0;
  monitor.progress(0, total);
  // Every daily file the passes change is written once, when both are done
  // (or one was stopped), before the lists that name the new days are saved.
  std::vector<DownloadPass> passes;
  // Under the folder's lock taken above, so the batch opens at once.
  if (Outcome opened = session.prices().openBatch(); !opened) {
    monitor.log(opened.reason()->text(session.language()));
    return opened;
  }
  if (settings.downloadDutchList)
    passes.push_back(DownloadDutchPrices(session, http, monitor, done, total));
  if ((passes.empty() || !passes.back().cancelled) && settings.downloadUsList)
    passes.push_back(DownloadUSPrices(session, http, monitor, done, total));
  if (settings.rateSource == SourceId::Ecb && !passes.back().cancelled) {
    // The rates of every day the stocks were asked for, at least of the
    // last few days.
    QDate from = session.clock().today().addDays(-4);
    for (const DownloadPass& pass : passes)
      if (pass.earliest.isValid() && pass.earliest < from) from = pass.earliest;
    downloadRates(session, http, monitor, from);
  }
  FinishDownload(session, monitor, passes);
  const DownloadPass& last = passes.back();
  if (last.market == Market::Us && last.connected && !last.cancelled) {
    monitor.log(QString());
    monitor.log(session.text(TextId::DownloadAllDone));
  }
  RefreshAllDataSets(session);
  monitor.log(QString());
  if (last.cancelled) monitor.log(session.text(TextId::DownloadCancelled));
  monitor.log(session.text(TextId::DownloadPortfolioUpdated));
  return last.cancelled ? Outcome::stopped() : Outcome::done();
}

Outcome ImportPrices(Session& session, Prompter& prompter, const QString& ticker,
                     const QString& fileName, const TableChoices& choices) {
  // The daily files and the list are read and written under the folder's
  // lock: two imports at once would each save a day file without the
  // other's line.
  const PriceFolderLock folderLock(session.prices());
  if (!folderLock.outcome().ok()) {
    Tell(session, prompter, folderLock.outcome());
    return folderLock.outcome();
  }
  // Where a ticker enters: one that does not fit the daily files' lines
  // (a comma would write a line of another stock) is refused.
  if (!TickerFitsFiles(ticker))
    return Refuse(session, prompter, TextId::TickerDoesNotFit, {ticker});
  session.prices().refresh();
  const safe_read::ReadResult read = safe_read::ReadFile(fileName, PriceStore::kMaxFileSize);
  if (read.refused) {
    prompter.message(read.refused->text(session.language()));
    return Outcome::failed(*read.refused);
  }
  if (!read.read()) return Refuse(session, prompter, TextId::ImportUnreadable, {fileName});
  const PriceTable imported =
      ReadPriceTable(read.bytes, fileName, session.clock().today(), choices);
  if (imported.refused) {
    return Refuse(session, prompter, TextId::ImportRefused,
                  {ticker, imported.refused->text(session.language())});
  }

  // The stock's name and list: the first list that holds the ticker.
  QString name = ticker;
  std::optional<Market> market;
  QStringList list;
  qsizetype row = -1;
  for (const Market m : {Market::Dutch, Market::Us}) {
    bool listRead = true;
    list = LoadStockList(stockListPath(session.prices().folder(), m), &listRead);
    // A list that cannot be read whole is neither searched nor saved over.
    if (!listRead) list.clear();
    for (row = 0; row < list.size(); ++row)
      if (StockLine::split(list[row]).ticker.compare(ticker, Qt::CaseInsensitive) == 0) break;
    if (row < list.size()) {
      market = m;
      name = StockLine::split(list[row]).name + (m == Market::Us ? QStringLiteral(" (US)") : "");
      break;
    }
  }
  // As one batch, so that a day file that could not be saved is known: the
  // import is then refused, not reported as done.
  if (Outcome opened = session.prices().openBatch(); !opened) {
    Tell(session, prompter, opened);
    return opened;
  }
  const bool put = session.prices().StorePrices(name, ticker, imported.downloadLines, INT_MAX);
  const PriceStore::FlushResult flushed = session.prices().flushBatch();
  if (!flushed.ok() || !put) {
    Reason reason{TextId::ImportStoreFailed, {ticker, session.prices().folder()}};
    if (flushed.cause) reason = reason.because(*flushed.cause);
    prompter.message(reason.text(session.language()));
    return Outcome::failed(reason);
  }

  if (market) {
    StockLine stock = StockLine::split(list[row]);
    const std::optional<QDate> last = parseDate(stock.lastDate, dateFormat(session));
    if (!last || *last < imported.newest) {
      stock.lastDate = formatDate(imported.newest, dateFormat(session));
      list[row] = stock.join();
      const QString path = stockListPath(session.prices().folder(), *market);
      Outcome saved = SaveStockList(path, list);
      if (saved)
        saved = WriteLastPrices(session.prices(), *market, list, session.clock().today(),
                                dateFormat(session));
      if (!saved) {
        const Reason reason =
            Reason{TextId::ImportStoreFailed, {ticker, path}}.because(*saved.reason());
        prompter.message(reason.text(session.language()));
        return Outcome::failed(reason);
      }
    }
  }
  RefreshAllDataSets(session);
  prompter.message(session.text(TextId::ImportDone)
                       .arg(imported.downloadLines.size())
                       .arg(ticker, formatDate(imported.newest, dateFormat(session))));
  return Outcome::done();
}

namespace {

Outcome importChosenPrices(Session& session, Prompter& prompter) {
  const QString caption = session.text(TextId::ImportCaption);
  const std::optional<QString> file = prompter.openFileName(caption, session.prices().folder(),
                                                            session.text(TextId::ImportFileFilter));
  if (!file || file->isEmpty()) return Outcome::stopped();
  const InputResult ticker =
      prompter.input(caption, session.text(TextId::ImportTickerPrompt), QString());
  if (!ticker.accepted || ticker.text.trimmed().isEmpty()) return Outcome::stopped();
  // The file's first rows, for the user to confirm or choose the columns
  // and the date order; a file that cannot be read is refused by the import.
  const safe_read::ReadResult read = safe_read::ReadFile(*file, PriceStore::kMaxFileSize);
  TableChoices choices;
  if (read.read()) {
    const PriceTable found = ReadPriceTable(read.bytes, *file, session.clock().today());
    const std::optional<TableChoices> chosen = prompter.importChoices(read.bytes, *file, found);
    if (!chosen) return Outcome::stopped();
    choices = *chosen;
  }
  return ImportPrices(session, prompter, ticker.text.trimmed(), *file, choices);
}

}  // namespace

Report ImportPricesClick(Session& session, Prompter& prompter) {
  return Report::ifDone(importChosenPrices(session, prompter), Change::Prices | Change::Figures);
}

}  // namespace pelmar
