#include "commands/download.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <climits>

#include "commands/refusal.h"
#include "model/dates.h"
#include "prices/price_import.h"
#include "prices/price_replies.h"
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

// Fetches a page; 0 with the text when the server answered, else the fetch
// result (no connection, or a reply past the size bound) with the reason.
double fetchPage(Session& session, HttpGet& http, const QString& url, QString& text,
                 QString& detail) {
  const HttpReply reply = http.get(url);
  if (reply.status == HttpReply::Status::Failed) {
    detail = session.text(TextId::DownloadNetDetail).arg(reply.error);
    return Fetch::NoConnection;
  }
  if (reply.status == HttpReply::Status::TooLarge) {
    detail = session.text(TextId::DownloadTooLarge);
    return Fetch::TooSmall;
  }
  text = pageText(reply.body);
  return 0;
}

void logWithDetail(DownloadMonitor& monitor, const QString& line, const QString& detail) {
  monitor.log(line);
  if (!detail.isEmpty()) monitor.log(detail);
}

// Stores a stock's download lines and moves its LastDate to the newest day
// obtained; when nothing could be stored the line stays as it was, so the
// next download asks for the same days again.
void storeStock(Session& session, DownloadMonitor& monitor, StockLine& stock,
                const QString& storedName, const QStringList& lines, double result) {
  const bool stored =
      session.prices().StorePrices(storedName, stock.ticker, lines, extraDays(session));
  if (stored) stock.lastDate = formatDate(serialToDate(wholeDay(result)), dateFormat(session));
  monitor.log(PadName(stock.name) +
              session.text(stored ? TextId::DownloadStored : TextId::DownloadLatestDate) +
              stock.lastDate);
}

// Saves a list after a pass and recomputes its "Last Prices.txt" value.
void finishList(Session& session, DownloadMonitor& monitor, Market market,
                const QStringList& list) {
  const QString path = stockListPath(session.prices().folder(), market);
  if (!SaveStockList(path, list)) monitor.log(session.text(TextId::DownloadListNotSaved).arg(path));
  if (!WriteLastPrices(session.prices(), market, list, session.clock().today(),
                       dateFormat(session)))
    monitor.log(session.text(TextId::DownloadListNotSaved).arg(QStringLiteral("Last Prices.txt")));
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
  return failed != 0 ? failed : ParseDutchReply(text, lines);
}

double FetchUSPrices(Session& session, HttpGet& http, const QString& ticker, QStringList& lines,
                     QDate start, QDate end, QString& detail) {
  QString text;
  const double failed =
      fetchPage(session, http, UsPriceUrl(session.settings().usPriceService, ticker, start, end),
                text, detail);
  return failed != 0 ? failed : ParseUsReply(text, lines);
}

bool DownloadDutchPrices(Session& session, HttpGet& http, DownloadMonitor& monitor, int& done,
                         int total) {
  monitor.log(session.text(TextId::DownloadDutchStart));
  monitor.log(QString());
  QStringList list = LoadStockList(stockListPath(session.prices().folder(), Market::Dutch));
  const bool forward = ++monitor.dutchPasses % 2 == 1;
  bool going = true;
  bool cancelled = false;
  for (qsizetype k = 0; k < list.size() && going; ++k) {
    const qsizetype i = forward ? k : list.size() - 1 - k;
    StockLine stock = StockLine::split(list[i]);
    const QDateTime now = session.clock().now();
    // LastDate is written in the settings' format, so it is read in it.
    const QDate last =
        parseDate(stock.lastDate, dateFormat(session)).value_or(now.date().addDays(-365));
    if (NoNewDutchPrices(now, last)) {
      monitor.log(PadName(stock.name) + session.text(TextId::DownloadNoNewPrices));
    } else {
      QStringList lines;
      QString detail;
      double result = FetchDutchPrices(session, http, stock.ticker, lines, detail);
      // No newest date that can be read: nothing to move LastDate to.
      if (result <= 0) result = Fetch::NotFound;
      if (result == Fetch::NoConnection) {
        logWithDetail(monitor, session.text(TextId::DownloadNlError1), detail);
        going = false;
      } else if (result == Fetch::TooSmall) {
        logWithDetail(monitor, session.text(TextId::DownloadNlError2).arg(stock.ticker), detail);
      } else if (result == Fetch::NotFound) {
        monitor.log(session.text(TextId::DownloadNlError3).arg(stock.name));
      } else if (result == Fetch::Nothing) {
        monitor.log(session.text(TextId::DownloadNlError4).arg(stock.name));
      } else {
        storeStock(session, monitor, stock, stock.name, lines, result);
        list[i] = stock.join();
      }
    }
    monitor.progress(++done, total);
    if (monitor.cancelled()) going = false, cancelled = true;
  }
  finishList(session, monitor, Market::Dutch, list);
  return !cancelled;
}

bool DownloadUSPrices(Session& session, HttpGet& http, DownloadMonitor& monitor, int& done,
                      int total) {
  monitor.log(session.text(TextId::DownloadUsStart));
  monitor.log(QString());
  QStringList list = LoadStockList(stockListPath(session.prices().folder(), Market::Us));
  bool connected = true;
  bool cancelled = false;
  for (qsizetype i = 0; i < list.size() && connected && !cancelled; ++i) {
    StockLine stock = StockLine::split(list[i]);
    const QDateTime now = session.clock().now();
    const QDate today = LastWorkingDay(now.date());
    const std::optional<QDate> last = parseDate(stock.lastDate, dateFormat(session));
    const QDate start = last ? last->addDays(-extraDays(session)) : today.addDays(-365);
    if (NoNewUsPrices(now, start)) {
      monitor.log(PadName(stock.name) + session.text(TextId::DownloadNoNewPrices));
    } else {
      QStringList lines;
      QString detail;
      double result = FetchUSPrices(session, http, stock.ticker, lines, start, today, detail);
      if (result <= 0) result = Fetch::NotFound;
      if (result == Fetch::NoConnection) {
        logWithDetail(monitor, session.text(TextId::DownloadUsError1), detail);
        connected = false;
      } else if (result == Fetch::TooSmall) {
        logWithDetail(monitor, session.text(TextId::DownloadUsError2).arg(stock.name), detail);
      } else if (result == Fetch::NotFound) {
        monitor.log(session.text(TextId::DownloadUsError3).arg(stock.name));
      } else if (result == Fetch::Nothing) {
        monitor.log(session.text(TextId::DownloadUsRemark5).arg(stock.name, stock.lastDate));
      } else {
        // The table lists the newest day first; StorePrices takes the newest
        // last (with N = 0 it would otherwise stop at the oldest day).
        std::reverse(lines.begin(), lines.end());
        storeStock(session, monitor, stock, stock.name + QStringLiteral(" (US)"), lines, result);
        list[i] = stock.join();
      }
    }
    monitor.progress(++done, total);
    cancelled = monitor.cancelled();
  }
  // Kept also after a lost connection: the lines already updated name the
  // prices already stored.
  finishList(session, monitor, Market::Us, list);
  if (connected && !cancelled) {
    monitor.log(QString());
    monitor.log(session.text(TextId::DownloadAllDone));
  }
  return !cancelled;
}

void RefreshAllDataSets(Session& session) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return;
  const int current = p.FirstRekIndex();
  int rek = Portfolio::kFirstRekIndex;
  int koers = Portfolio::kFirstKoersIndex;
  UpdatePricesFromFiles(p, session.prices(), rek);
  while (!p.IsLastDataSet(rek)) {
    p.NextDataSet(rek, koers);
    UpdatePricesFromFiles(p, session.prices(), rek);
    (void)session.engine().CalcDataSet(rek, p.SelFonds());
  }
  p.goToDataSet(current);
  p.markChanged();
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
  session.prices().refresh();
  const int total = (settings.downloadDutchList ? stockCount(session, Market::Dutch) : 0) +
                    (settings.downloadUsList ? stockCount(session, Market::Us) : 0);
  int done = 0;
  monitor.progress(0, total);
  bool going =
      !settings.downloadDutchList || DownloadDutchPrices(session, http, monitor, done, total);
  if (going && settings.downloadUsList)
    going = DownloadUSPrices(session, http, monitor, done, total);
  RefreshAllDataSets(session);
  monitor.log(QString());
  if (!going) monitor.log(session.text(TextId::DownloadCancelled));
  monitor.log(session.text(TextId::DownloadPortfolioUpdated));
  return going ? Outcome::done() : Outcome::stopped();
}

Outcome ImportPrices(Session& session, Prompter& prompter, const QString& ticker,
                     const QString& fileName) {
  session.prices().refresh();
  QFile file(fileName);
  QByteArray bytes;
  if (file.open(QIODevice::ReadOnly) && file.size() <= PriceStore::kMaxFileSize)
    bytes = file.read(PriceStore::kMaxFileSize + 1);
  if (!file.isOpen() || file.error() != QFileDevice::NoError ||
      bytes.size() > PriceStore::kMaxFileSize)
    return Refuse(session, prompter, TextId::ImportUnreadable, {fileName});
  const ImportedPrices imported = ParsePriceCsv(bytes, fileName);
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
    list = LoadStockList(stockListPath(session.prices().folder(), m));
    for (row = 0; row < list.size(); ++row)
      if (StockLine::split(list[row]).ticker.compare(ticker, Qt::CaseInsensitive) == 0) break;
    if (row < list.size()) {
      market = m;
      name = StockLine::split(list[row]).name + (m == Market::Us ? QStringLiteral(" (US)") : "");
      break;
    }
  }
  if (!session.prices().StorePrices(name, ticker, imported.downloadLines, INT_MAX))
    return Refuse(session, prompter, TextId::ImportStoreFailed,
                  {ticker, session.prices().folder()});

  if (market) {
    StockLine stock = StockLine::split(list[row]);
    const std::optional<QDate> last = parseDate(stock.lastDate, dateFormat(session));
    if (!last || *last < imported.newest) {
      stock.lastDate = formatDate(imported.newest, dateFormat(session));
      list[row] = stock.join();
      if (!SaveStockList(stockListPath(session.prices().folder(), *market), list) ||
          !WriteLastPrices(session.prices(), *market, list, session.clock().today(),
                           dateFormat(session)))
        return Refuse(session, prompter, TextId::ImportStoreFailed,
                      {ticker, stockListPath(session.prices().folder(), *market)});
    }
  }
  RefreshAllDataSets(session);
  prompter.message(session.text(TextId::ImportDone)
                       .arg(imported.downloadLines.size())
                       .arg(ticker, formatDate(imported.newest, dateFormat(session))));
  return Outcome::done();
}

Outcome ImportPricesClick(Session& session, Prompter& prompter) {
  const QString caption = session.text(TextId::ImportCaption);
  const std::optional<QString> file = prompter.openFileName(caption, session.prices().folder(),
                                                            session.text(TextId::ImportFileFilter));
  if (!file || file->isEmpty()) return Outcome::stopped();
  const InputResult ticker =
      prompter.input(caption, session.text(TextId::ImportTickerPrompt), QString());
  if (!ticker.accepted || ticker.text.trimmed().isEmpty()) return Outcome::stopped();
  return ImportPrices(session, prompter, ticker.text.trimmed(), *file);
}

}  // namespace pelmar
