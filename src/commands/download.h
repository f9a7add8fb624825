#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"
#include "prices/http_get.h"
#include "prices/stock_list.h"

namespace pelmar {

// What a download tells while it runs, and how the user stops it. The
// download window implements it; tests and the headless tool keep the lines.
class DownloadMonitor {
 public:
  virtual ~DownloadMonitor() = default;
  // One line of the log, in the session's language.
  virtual void log(const QString& line) = 0;
  // Stocks handled so far out of all stocks of the lists being downloaded.
  virtual void progress(int /*done*/, int /*total*/) {}
  // Asked between stocks: true stops after the stock just handled.
  virtual bool cancelled() { return false; }

  // Dutch passes run so far; odd passes walk the list forward, even ones back.
  int dutchPasses = 0;
};

// The whole download: the Dutch and the US list as the settings ask, then
// every dataset's prices from the daily files, each recalculated. Stopped
// when cancelled (what was stored stays stored).
Outcome DownloadClick(Session& session, HttpGet& http, DownloadMonitor& monitor);

// Whether the download runs by itself after start: the setting asks for it
// and the price folder holds a daily file already (a folder never filled
// is left for the user to fill).
bool DownloadAtStart(Session& session);

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

// The passes store into the price store's open batch when there is one.
// `done`/`total` count the stocks for the progress.
DownloadPass DownloadDutchPrices(Session& session, HttpGet& http, DownloadMonitor& monitor,
                                 int& done, int total);
DownloadPass DownloadUSPrices(Session& session, HttpGet& http, DownloadMonitor& monitor, int& done,
                              int total);

// Ends a download: writes the price store's batch (each changed daily file
// once), puts back the line of a stock none of whose prices reached the
// disk, then saves each pass's list and its "Last Prices.txt" value. So a
// list never names a day whose prices are not stored.
void FinishDownload(Session& session, DownloadMonitor& monitor, std::vector<DownloadPass>& passes);

// One stock's fetch: download lines into `lines`, the fetch result returned;
// `detail` gets the client's reason when there was no usable answer.
double FetchDutchPrices(Session& session, HttpGet& http, const QString& ticker, QStringList& lines,
                        QString& detail);
double FetchUSPrices(Session& session, HttpGet& http, const QString& ticker, QStringList& lines,
                     QDate start, QDate end, QString& detail);

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
