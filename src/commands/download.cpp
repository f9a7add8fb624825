#include "commands/download.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>

#include "commands/charts.h"
#include "commands/euro_dollar.h"
#include "commands/new_fund.h"
#include "commands/refusal.h"
#include "commands/stock_sources.h"
#include "model/conversions.h"
#include "model/dates.h"
#include "model/safe_read.h"
#include "prices/price_replies.h"
#include "prices/price_table.h"
#include "prices/price_update.h"
#include "prices/reference_rates.h"

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

StockFetch failedFetch(FetchStatus status, QString detail = {}) {
  StockFetch fetched;
  fetched.status = status;
  fetched.detail = std::move(detail);
  return fetched;
}

// Fetches a page; nothing when the server answered with a page (its text
// in `text`), else the failure with its reason: no connection (which ends
// the pass), a reply past the size bound, or Failed when the server was
// reached but gave no page to read (silence, a redirect loop, an HTTP error
// status, whose body is never read as prices).
std::optional<StockFetch> fetchPage(const FetchContext& context, HttpGet& http, const QString& url,
                                    QString& text) {
  const HttpReply reply = http.get(url);
  switch (reply.status) {
    case HttpReply::Status::Failed:
      return failedFetch(
          FetchStatus::NoConnection,
          context.text(TextId::DownloadNetDetail).arg(reply.failure(context.language)));
    case HttpReply::Status::TooLarge:
      return failedFetch(FetchStatus::TooSmall, context.text(TextId::DownloadTooLarge));
    case HttpReply::Status::NoAnswer:
      return failedFetch(
          FetchStatus::Failed,
          context.text(TextId::DownloadNoAnswer).arg(reply.failure(context.language)));
    case HttpReply::Status::Ok:
      break;
  }
  // "Not found" is the service's word for a stock it does not know.
  if (reply.httpStatus == 404 || reply.httpStatus == 410) return failedFetch(FetchStatus::NotFound);
  if (!reply.page())
    return failedFetch(FetchStatus::Failed,
                       context.text(TextId::DownloadHttpStatus).arg(reply.httpStatus));
  text = pageText(reply.body);
  return std::nullopt;
}

// A service reply as read: a refused one carries its reason as the detail.
StockFetch readReply(const FetchContext& context, const ReplyResult& result, QStringList lines,
                     const std::optional<Reason>& refused) {
  StockFetch fetched = failedFetch(result.status);
  if (result.status == FetchStatus::Failed && refused)
    fetched.detail = refused->text(context.language);
  fetched.newest = result.newest;
  fetched.lines = std::move(lines);
  return fetched;
}

void logWithDetail(DownloadMonitor& monitor, const QString& line, const QString& detail) {
  monitor.log(line);
  if (!detail.isEmpty()) monitor.log(detail);
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

// One stock's prices from its source, the download lines the newest last:
// the list's own service through its fetcher, as always; any other source
// through its PriceSource from `start`. Nothing for a stock without one.
std::optional<StockFetch> fetchStock(const FetchContext& context, HttpGet& http,
                                     const PassSources& sources, Market market,
                                     const QString& ticker, QDate start, QDate end) {
  const QString source =
      PriceSourceId(sources.own.sourceOf(ticker, sources.listSource)).value_or(SourceId::None);
  if (source == SourceId::None) return std::nullopt;
  if (market == Market::Dutch && source == SourceId::DutchService)
    return FetchDutchPrices(context, http, ticker);
  if (market == Market::Us && source == SourceId::UsService) {
    StockFetch fetched = FetchUSPrices(context, http, ticker, start, end);
    // The table lists the newest day first; StorePrices takes the newest
    // last (with N = 0 it would otherwise stop at the oldest day).
    std::reverse(fetched.lines.begin(), fetched.lines.end());
    return fetched;
  }
  const SourceCloses got =
      FetchStockCloses(context.settings, context.now, http, sources, ticker, start);
  StockFetch fetched = failedFetch(got.status);
  if (got.reason) fetched.detail = got.reason->text(context.language);
  fetched.newest = got.newest();
  fetched.lines = got.downloadLines();
  return fetched;
}

// The euro/dollar reference rates taken into the daily files and the last
// dataset, with a log line of what came.
void takeRates(Session& session, DownloadMonitor& monitor, const ReferenceRates& rates,
               QDate from) {
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
                const QString& storedName, const QStringList& lines, QDate newest) {
  StockLine stock = StockLine::split(pass.list[row]);
  const bool stored =
      session.prices().StorePrices(storedName, stock.ticker, lines, extraDays(session));
  if (stored) {
    stock.lastDate = formatDate(newest, dateFormat(session));
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

int stockCount(Session& session, Market market) {
  return static_cast<int>(LoadStockList(stockListPath(session.prices().folder(), market)).size());
}

}  // namespace

StockFetch FetchDutchPrices(const FetchContext& context, HttpGet& http, const QString& ticker) {
  if (ticker.isEmpty()) return failedFetch(FetchStatus::NotFound);
  QString text;
  if (std::optional<StockFetch> failed =
          fetchPage(context, http, DutchPriceUrl(context.settings.dutchPriceService, ticker), text))
    return *failed;
  QStringList lines;
  std::optional<Reason> refused;
  const ReplyResult result = ParseDutchReply(text, lines, context.now.date(), refused);
  return readReply(context, result, lines, refused);
}

StockFetch FetchUSPrices(const FetchContext& context, HttpGet& http, const QString& ticker,
                         QDate start, QDate end) {
  QString text;
  if (std::optional<StockFetch> failed = fetchPage(
          context, http, UsPriceUrl(context.settings.usPriceService, ticker, start, end), text))
    return *failed;
  QStringList lines;
  std::optional<Reason> refused;
  const ReplyResult result = ParseUsReply(text, lines, context.now.date(), refused);
  return readReply(context, result, lines, refused);
}

// The stock whose fetch is out, for its answer.
struct DownloadRun::Pending {
  qsizetype row = 0;
  StockLine stock;
};

DownloadRun::DownloadRun(Session& session, DownloadMonitor& monitor)
    : session_(session), monitor_(monitor) {}

DownloadRun::~DownloadRun() {
  if (step_ == Step::Begin || step_ == Step::Ended) return;
  cancelled_ = true;
  end();
}

bool DownloadRun::begin() {
  const Settings& settings = session_.settings();
  if (session_.busy()) {
    // One download at a time: the running one holds the portfolio.
    monitor_.log(session_.text(TextId::DownloadBusy));
    outcome_ = Outcome::stopped();
    return false;
  }
  if (!settings.downloadDutchList && !settings.downloadUsList) {
    monitor_.log(session_.text(TextId::DownloadNothing));
    return false;
  }
  // One writer per price folder: the daily files and the lists are read
  // and written under its lock.
  lock_ = std::make_unique<PriceFolderLock>(session_.prices());
  if (!lock_->outcome().ok()) {
    monitor_.log(lock_->outcome().reason()->text(session_.language()));
    outcome_ = lock_->outcome();
    lock_.reset();
    return false;
  }
  session_.prices().refresh();
  total_ = (settings.downloadDutchList ? stockCount(session_, Market::Dutch) : 0) +
           (settings.downloadUsList ? stockCount(session_, Market::Us) : 0);
  monitor_.progress(0, total_);
  // Every daily file the passes change is written once, when both are done
  // (or one was stopped), before the lists that name the new days are saved.
  // Under the folder's lock taken above, so the batch opens at once.
  if (Outcome opened = session_.prices().openBatch(); !opened) {
    monitor_.log(opened.reason()->text(session_.language()));
    outcome_ = opened;
    lock_.reset();
    return false;
  }
  // Until the end nothing else writes the portfolio or the price folder.
  session_.setBusy(true);
  return true;
}

DownloadRun::Step DownloadRun::afterPass() const {
  const bool stopped = !passes_.empty() && passes_.back().cancelled;
  if (!stopped && passes_.size() == 1 && passes_.back().market == Market::Dutch &&
      session_.settings().downloadUsList)
    return Step::Us;
  return Step::Rates;
}

void DownloadRun::startPass(Market market) {
  const bool dutch = market == Market::Dutch;
  monitor_.log(session_.text(dutch ? TextId::DownloadDutchStart : TextId::DownloadUsStart));
  monitor_.log(QString());
  DownloadPass& pass = passes_.emplace_back();
  pass.market = market;
  pass.read = LoadStockList(stockListPath(session_.prices().folder(), market), &pass.listRead,
                            &pass.refused);
  pass.list = pass.read;
  walked_ = 0;
  if (!passSources(session_, monitor_, pass, sources_)) {
    // Its stocks count as done, so the progress still reaches the end.
    done_ += static_cast<int>(pass.list.size());
    monitor_.progress(done_, total_);
    walked_ = pass.list.size();
    step_ = afterPass();
    return;
  }
  forward_ = !dutch || ++monitor_.dutchPasses % 2 == 1;
  step_ = Step::Walk;
}

std::optional<FetchJob> DownloadRun::walk() {
  DownloadPass& pass = passes_.back();
  const qsizetype count = pass.list.size();
  const bool dutch = pass.market == Market::Dutch;
  while (walked_ < count && pass.connected && !pass.cancelled) {
    const qsizetype row = forward_ ? walked_ : count - 1 - walked_;
    const StockLine stock = StockLine::split(pass.list[row]);
    const QDateTime now = session_.clock().now();
    // LastDate is written in the settings' format, so it is read in it.
    const std::optional<QDate> last = parseDate(stock.lastDate, dateFormat(session_));
    const QDate end = dutch ? now.date() : LastWorkingDay(now.date());
    const int extra = extraDays(session_);
    const QDate start = last    ? last->addDays(-extra)
                        : dutch ? now.date().addDays(-365 - extra)
                                : end.addDays(-365);
    const bool noNew = dutch ? NoNewDutchPrices(now, last.value_or(now.date().addDays(-365)))
                             : NoNewUsPrices(now, start);
    if (noNew) {
      monitor_.log(PadName(stock.name) + session_.text(TextId::DownloadNoNewPrices));
      stockDone();
      continue;
    }
    inFlight_ = stock.name;
    monitor_.fetching(stock.name);
    const Pending pending{row, stock};
    const Market market = pass.market;
    return [this, context = FetchContext(session_), sources = sources_, market, pending, start,
            end](HttpGet& http) -> std::function<void()> {
      const std::optional<StockFetch> fetched =
          fetchStock(context, http, sources, market, pending.stock.ticker, start, end);
      return [this, pending, start, fetched] {
        // The days asked of a stock that gave prices are the download's range.
        DownloadPass& pass = passes_.back();
        if (fetched && fetched->status == FetchStatus::Ok &&
            (!pass.earliest.isValid() || start < pass.earliest))
          pass.earliest = start;
        if (fetched) {
          answer(pending, *fetched);
        } else {
          monitor_.log(PadName(pending.stock.name) + session_.text(TextId::SourceNone));
        }
        stockDone();
      };
    };
  }
  step_ = afterPass();
  return std::nullopt;
}

void DownloadRun::answer(const Pending& pending, const StockFetch& fetched) {
  DownloadPass& pass = passes_.back();
  const bool dutch = pass.market == Market::Dutch;
  const QString& name = pending.stock.name;
  // Stopped while in flight: a fetch that brought prices is kept, a failed
  // one (aborted, most likely) is not told.
  if (cancelled_ && fetched.status != FetchStatus::Ok) return;
  switch (fetched.status) {
    case FetchStatus::NoConnection:
      logWithDetail(monitor_,
                    session_.text(dutch ? TextId::DownloadNlError1 : TextId::DownloadUsError1),
                    fetched.detail);
      pass.connected = false;
      return;
    case FetchStatus::TooSmall:
      logWithDetail(monitor_,
                    dutch ? session_.text(TextId::DownloadNlError2).arg(pending.stock.ticker)
                          : session_.text(TextId::DownloadUsError2).arg(name),
                    fetched.detail);
      return;
    case FetchStatus::NotFound:
      monitor_.log(
          session_.text(dutch ? TextId::DownloadNlError3 : TextId::DownloadUsError3).arg(name));
      return;
    case FetchStatus::Nothing:
      monitor_.log(
          dutch ? session_.text(TextId::DownloadNlError4).arg(name)
                : session_.text(TextId::DownloadUsRemark5).arg(name, pending.stock.lastDate));
      return;
    case FetchStatus::Failed:
      monitor_.log(session_.text(TextId::DownloadStockFailed).arg(name, fetched.detail));
      return;
    case FetchStatus::Ok:
      break;
  }
  storeStock(session_, monitor_, pass, pending.row, dutch ? name : name + QStringLiteral(" (US)"),
             fetched.lines, fetched.newest);
}

void DownloadRun::stockDone() {
  ++walked_;
  inFlight_.clear();
  monitor_.progress(++done_, total_);
  passes_.back().cancelled = cancelled_;
}

std::optional<FetchJob> DownloadRun::rates() {
  step_ = Step::End;
  if (session_.settings().rateSource != SourceId::Ecb || passes_.empty() ||
      passes_.back().cancelled)
    return std::nullopt;
  // The rates of every day the stocks were asked for, at least of the last
  // few days.
  const QDate today = session_.clock().today();
  QDate from = today.addDays(-4);
  for (const DownloadPass& pass : passes_)
    if (pass.earliest.isValid() && pass.earliest < from) from = pass.earliest;
  inFlight_ = session_.text(TextId::DownloadRatesInFlight);
  monitor_.fetching(inFlight_);
  return [this, url = session_.settings().referenceRatesUrl, from,
          today](HttpGet& http) -> std::function<void()> {
    const ReferenceRates rates = FetchReferenceRates(http, url, from, today);
    return [this, rates, from] {
      inFlight_.clear();
      if (!cancelled_) takeRates(session_, monitor_, rates, from);
    };
  };
}

void DownloadRun::end() {
  monitor_.fetching(QString());
  FinishDownload(session_, monitor_, passes_);
  const DownloadPass& last = passes_.back();
  const bool stopped = cancelled_ || last.cancelled;
  if (last.market == Market::Us && last.connected && !stopped) {
    monitor_.log(QString());
    monitor_.log(session_.text(TextId::DownloadAllDone));
  }
  RefreshAllDataSets(session_);
  monitor_.log(QString());
  if (stopped) monitor_.log(session_.text(TextId::DownloadCancelled));
  monitor_.log(session_.text(TextId::DownloadPortfolioUpdated));
  outcome_ = stopped ? Outcome::stopped() : Outcome::done();
  lock_.reset();
  session_.setBusy(false);
  step_ = Step::Ended;
}

std::optional<FetchJob> DownloadRun::next() {
  for (;;) {
    switch (step_) {
      case Step::Begin:
        if (!begin()) {
          step_ = Step::Ended;
          return std::nullopt;
        }
        step_ = session_.settings().downloadDutchList ? Step::Dutch : Step::Us;
        break;
      case Step::Dutch:
        startPass(Market::Dutch);
        break;
      case Step::Us:
        startPass(Market::Us);
        break;
      case Step::Walk:
        if (std::optional<FetchJob> job = walk()) return job;
        break;
      case Step::Rates:
        if (std::optional<FetchJob> job = rates()) return job;
        break;
      case Step::End:
        end();
        return std::nullopt;
      case Step::Ended:
        return std::nullopt;
    }
  }
}

void DownloadRun::cancel() {
  if (cancelled_ || step_ == Step::Begin || step_ == Step::Ended) return;
  cancelled_ = true;
  if (!passes_.empty()) passes_.back().cancelled = true;
  if (!inFlight_.isEmpty()) monitor_.log(session_.text(TextId::DownloadStopping).arg(inFlight_));
}

Outcome DownloadClick(Session& session, HttpGet& http, DownloadMonitor& monitor) {
  DownloadRun run(session, monitor);
  while (std::optional<FetchJob> job = run.next()) {
    (*job)(http)();
    if (monitor.cancelled()) run.cancel();
  }
  return run.outcome();
}

DownloadTask::DownloadTask(Session& session, HttpGet& http, DownloadMonitor& monitor)
    : run_(session, monitor), monitor_(monitor), fetches_(http) {}

void DownloadTask::start() {
  step();
}

void DownloadTask::cancel() {
  if (run_.ended()) return;
  run_.cancel();
  // The fetch in flight fails at once; its answer is dropped by the run.
  fetches_.abort();
}

void DownloadTask::step() {
  std::optional<FetchJob> job = run_.next();
  if (!job) {
    fetches_.resume();
    monitor_.finished(run_.outcome());
    return;
  }
  fetches_.start([this, job = std::move(*job)](HttpGet& http) -> std::function<void()> {
    return [this, take = job(http)] {
      take();
      step();
    };
  });
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

namespace {

// The stock an import stores: named as in the first download list (Dutch,
// then US) that holds the ticker, with that list and its row; else by the
// ticker itself, in no list.
struct ImportTarget {
  QString name;
  std::optional<Market> market;
  QStringList list;
  qsizetype row = -1;
};

ImportTarget findListRow(Session& session, const QString& ticker) {
  for (const Market market : {Market::Dutch, Market::Us}) {
    bool listRead = true;
    QStringList list = LoadStockList(stockListPath(session.prices().folder(), market), &listRead);
    // A list that cannot be read whole is neither searched nor saved over.
    if (!listRead) continue;
    for (qsizetype row = 0; row < list.size(); ++row) {
      const StockLine stock = StockLine::split(list[row]);
      if (stock.ticker.compare(ticker, Qt::CaseInsensitive) != 0) continue;
      const QString suffix = market == Market::Us ? QStringLiteral(" (US)") : QString();
      return {stock.name + suffix, market, std::move(list), row};
    }
  }
  return {ticker, std::nullopt, {}, -1};
}

// Reads the file whole into `table`; a file or table that cannot be read
// is refused with its reason.
Outcome readImportTable(Session& session, Prompter& prompter, const QString& ticker,
                        const QString& fileName, const TableChoices& choices, PriceTable& table) {
  const safe_read::ReadResult read = safe_read::ReadFile(fileName, PriceStore::kMaxFileSize);
  if (read.refused) {
    prompter.message(read.refused->text(session.language()));
    return Outcome::failed(*read.refused);
  }
  if (!read.read()) return Refuse(session, prompter, TextId::ImportUnreadable, {fileName});
  table = ReadPriceTable(read.bytes, fileName, session.clock().today(), choices);
  if (table.refused) {
    return Refuse(session, prompter, TextId::ImportRefused,
                  {ticker, table.refused->text(session.language())});
  }
  return Outcome::done();
}

// The day of a download line ("yymmdd,price") of a table whose days lie
// within the hundred years up to its newest: the latest such day.
QDate lineDay(const QString& line, QDate newest) {
  const int year = newest.year() - (newest.year() % 100 - line.left(2).toInt() + 100) % 100;
  const int month = line.mid(2, 2).toInt();
  const int day = line.mid(4, 2).toInt();
  const QDate sameCentury(year, month, day);
  return sameCentury.isValid() && sameCentury <= newest ? sameCentury
                                                        : QDate(year - 100, month, day);
}

// Asks before an import the user may not mean, No the default of each
// question: of a ticker in neither the portfolio nor a download list, and
// when the file gives stored prices of the stock other values (equal ones
// are no change). Stopped on No.
Outcome confirmImport(Session& session, Prompter& prompter, const QString& ticker,
                      const ImportTarget& target, const PriceTable& table) {
  Question question;
  question.caption = session.text(TextId::ImportCaption);
  question.yesIsDefault = false;
  if (!target.market && !FundInPortfolio(session.portfolio(), ticker)) {
    question.message = session.text(TextId::ImportTickerUnknown).arg(ticker);
    if (prompter.question(question) != Answer::Yes) return Outcome::stopped();
  }
  const QStringList changed = session.prices().ChangedPrices(target.name, table.downloadLines);
  if (changed.isEmpty()) return Outcome::done();
  const auto shown = [&](const QString& line) {
    return formatDate(lineDay(line, table.newest), dateFormat(session));
  };
  question.message = session.text(TextId::ImportOverwrite)
                         .arg(ticker, QString::number(changed.size()), shown(changed.first()),
                              shown(changed.last()));
  return prompter.question(question) == Answer::Yes ? Outcome::done() : Outcome::stopped();
}

// The import could not store what it read into `path`: told and failed.
Outcome storeFailed(Session& session, Prompter& prompter, const QString& ticker,
                    const QString& path, const std::optional<Reason>& cause) {
  Reason reason{TextId::ImportStoreFailed, {ticker, path}};
  if (cause) reason = reason.because(*cause);
  prompter.message(reason.text(session.language()));
  return Outcome::failed(reason);
}

// Stores every close as one batch, so that a day file that could not be
// saved is known: the import is then refused, not reported as done.
Outcome storeImported(Session& session, Prompter& prompter, const QString& ticker,
                      const QString& name, const PriceTable& table) {
  if (Outcome opened = session.prices().openBatch(); !opened) {
    Tell(session, prompter, opened);
    return opened;
  }
  const bool put = session.prices().StorePrices(name, ticker, table.downloadLines, INT_MAX);
  const PriceStore::FlushResult flushed = session.prices().flushBatch();
  if (!flushed.ok() || !put)
    return storeFailed(session, prompter, ticker, session.prices().folder(), flushed.cause);
  return Outcome::done();
}

// Moves the list row's LastDate to the newest close when that is later,
// and saves the list with its "Last Prices.txt" value.
Outcome moveListDate(Session& session, Prompter& prompter, const QString& ticker,
                     ImportTarget& target, QDate newest) {
  StockLine stock = StockLine::split(target.list[target.row]);
  const std::optional<QDate> last = parseDate(stock.lastDate, dateFormat(session));
  if (last && *last >= newest) return Outcome::done();
  stock.lastDate = formatDate(newest, dateFormat(session));
  target.list[target.row] = stock.join();
  const QString path = stockListPath(session.prices().folder(), *target.market);
  Outcome saved = SaveStockList(path, target.list);
  if (saved)
    saved = WriteLastPrices(session.prices(), *target.market, target.list, session.clock().today(),
                            dateFormat(session));
  if (!saved) return storeFailed(session, prompter, ticker, path, saved.reason());
  return Outcome::done();
}

}  // namespace

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
  PriceTable imported;
  if (Outcome read = readImportTable(session, prompter, ticker, fileName, choices, imported); !read)
    return read;
  ImportTarget target = findListRow(session, ticker);
  if (Outcome confirmed = confirmImport(session, prompter, ticker, target, imported); !confirmed)
    return confirmed;
  if (Outcome stored = storeImported(session, prompter, ticker, target.name, imported); !stored)
    return stored;
  if (target.market) {
    if (Outcome moved = moveListDate(session, prompter, ticker, target, imported.newest); !moved)
      return moved;
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
  // The selected fund's ticker is proposed: its history is the likely file.
  const InputResult ticker =
      prompter.input(caption, session.text(TextId::ImportTickerPrompt),
                     SelectedChartFund(session).value_or(QString()).trimmed());
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
