#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "commands/fetch_worker.h"
#include "commands/prompter.h"
#include "commands/session.h"
#include "commands/stock_sources.h"
#include "lang/outcome.h"
#include "prices/http_get.h"
#include "prices/price_source.h"
#include "prices/stock_list.h"

namespace pelmar {

// One pass over a list: what it leaves is its list with the LastDates it
// moved, saved by FinishDownload once the prices it names are on disk.
struct DownloadPass {
  Market market = Market::Dutch;
  QStringList list;  // as it is to be saved
  QStringList read;  // as it was read
  // False when the list file exists but could not be read whole: it is
  // then never saved over.
  bool listRead = true;
  std::optional<Reason> refused;  // why it could not be read, with its line
  // The rows whose stock stored prices, with the name they were stored under.
  std::vector<std::pair<qsizetype, QString>> storedRows;
  bool connected = true;   // false when the connection was lost
  bool cancelled = false;  // the user stopped it
  QDate earliest;          // the first day asked of any stock's source
};

// What a download tells while it runs. The download window implements it;
// tests and the headless tool keep the lines.
class DownloadMonitor {
 public:
  virtual ~DownloadMonitor() = default;
  // One line of the log, in the session's language.
  virtual void log(const QString& line) = 0;
  // Stocks handled so far out of all stocks of the lists being downloaded.
  virtual void progress(int /*done*/, int /*total*/) {}
  // The stock whose prices are being fetched; empty once none is.
  virtual void fetching(const QString& /*name*/) {}
  // Asked between stocks by DownloadClick: true stops after the stock just
  // handled.
  virtual bool cancelled() { return false; }
  // A download run by DownloadTask has ended.
  virtual void finished(const Outcome& /*outcome*/) {}

  // Dutch passes run so far; odd passes walk the list forward, even ones back.
  int dutchPasses = 0;
};

// What one stock's fetch gave: its kind, the newest day when Ok, the
// download lines ("yymmdd,price", the newest last) and why it failed.
struct StockFetch {
  FetchStatus status = FetchStatus::NotFound;
  QDate newest;
  QStringList lines;
  QString detail;
};

// One stock's fetch from the list's own service.
StockFetch FetchDutchPrices(const FetchContext& context, HttpGet& http, const QString& ticker);
StockFetch FetchUSPrices(const FetchContext& context, HttpGet& http, const QString& ticker,
                         QDate start, QDate end);

// The whole download as steps: the Dutch and the US list as the settings
// ask, the euro/dollar rates, then every dataset's prices from the daily
// files, each recalculated. next() does everything up to the next fetch and
// hands it out; once the download has ended it gives nothing and outcome()
// tells how it ended. While it runs the session is busy. Stopped when
// cancelled (what was stored stays stored).
class DownloadRun {
 public:
  DownloadRun(Session& session, DownloadMonitor& monitor);
  // A run that did not end (the program closing) still writes what it
  // stored, without the fetch in hand.
  ~DownloadRun();
  DownloadRun(const DownloadRun&) = delete;
  DownloadRun& operator=(const DownloadRun&) = delete;

  std::optional<FetchJob> next();
  // Stops after the stock in flight, saying so ("Stopping after …"); its
  // answer is kept only when it brought prices.
  void cancel();
  bool ended() const { return step_ == Step::Ended; }
  const Outcome& outcome() const { return outcome_; }

 private:
  enum class Step { Begin, Dutch, Us, Walk, Rates, End, Ended };
  struct Pending;

  bool begin();
  void startPass(Market market);
  std::optional<FetchJob> walk();
  std::optional<FetchJob> rates();
  void answer(const Pending& pending, const StockFetch& fetched);
  void stockDone();
  void end();
  Step afterPass() const;

  Session& session_;
  DownloadMonitor& monitor_;
  Step step_ = Step::Begin;
  std::unique_ptr<PriceFolderLock> lock_;
  std::vector<DownloadPass> passes_;
  PassSources sources_;
  qsizetype walked_ = 0;  // stocks of the pass handled
  bool forward_ = true;
  int done_ = 0;
  int total_ = 0;
  bool cancelled_ = false;
  QString inFlight_;  // the name of the stock being fetched
  Outcome outcome_ = Outcome::done();
};

// The whole download on the calling thread, each fetch in turn (the
// headless tool, tests). Asks the monitor between stocks whether to stop.
Outcome DownloadClick(Session& session, HttpGet& http, DownloadMonitor& monitor);

// A download whose fetches run on a worker thread: each answer comes back
// by a queued call to the thread that started it, which stays free
// meanwhile. Cancel aborts the fetch in flight, so it answers at once. The
// monitor hears finished() at the end.
class DownloadTask {
 public:
  DownloadTask(Session& session, HttpGet& http, DownloadMonitor& monitor);
  // Aborts what still runs and waits for its worker.
  ~DownloadTask() = default;
  DownloadTask(const DownloadTask&) = delete;
  DownloadTask& operator=(const DownloadTask&) = delete;

  void start();
  void cancel();
  bool running() const { return !run_.ended(); }

 private:
  void step();

  DownloadRun run_;
  DownloadMonitor& monitor_;
  // Destroyed before the run, it drops a late answer.
  FetchWorker fetches_;
};

// Whether the download runs by itself after start: the setting asks for it
// and the price folder holds a daily file already (a folder never filled
// is left for the user to fill).
bool DownloadAtStart(Session& session);

// Ends a download: writes the price store's batch (each changed daily file
// once), puts back the line of a stock none of whose prices reached the
// disk, then saves each pass's list and its "Last Prices.txt" value. So a
// list never names a day whose prices are not stored.
void FinishDownload(Session& session, DownloadMonitor& monitor, std::vector<DownloadPass>& passes);

// Puts the daily files' prices into every dataset and recalculates each,
// the first and the last included, in date order; the current dataset stays
// current. Marked changed when a stored price changed.
void RefreshAllDataSets(Session& session);

// Reads a CSV export of a ticker's daily closes (ReadPriceTable, with the
// columns and date order the user chose where the file does not tell) and
// stores every close into the daily price files. The stock is named as in
// the Dutch or US download list that holds the ticker (its LastDate moves to
// the newest close when that is later), else by the ticker itself. A file
// that cannot be read whole is refused with its line, and nothing is stored.
Outcome ImportPrices(Session& session, Prompter& prompter, const QString& ticker,
                     const QString& fileName, const TableChoices& choices = {});

// The menu command: asks for the file (in the price folder) and the ticker,
// then shows the file's first rows with the columns and date order found
// (Prompter::importChoices), and imports. Stopped when any question is
// cancelled or the ticker is left empty.
Report ImportPricesClick(Session& session, Prompter& prompter);

}  // namespace pelmar
