#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "lang/outcome.h"
#include "model/dates.h"
#include "prices/price_store.h"

namespace pelmar {

// A download stock list ("Stocks_nl.txt", "Stocks_us.txt" in the price
// folder): one line "Name,Ticker,LastDate" per stock, CR LF, kept sorted
// without regard to case. LastDate is written in the settings' date format.
struct StockLine {
  QString name;
  QString ticker;
  QString lastDate;

  // Cut at every comma; missing fields are empty.
  static StockLine split(const QString& line);
  QString join() const { return name + u',' + ticker + u',' + lastDate; }
};

enum class Market { Dutch, Us };

// The market's stock list in the price folder (which ends in "/").
QString stockListPath(const QString& priceFolder, Market market);

// Whether a ticker can go into the daily price files and the lists: not
// empty, no comma (the files' separator), no control character, none of
// the path characters / \ : * ? " < > |, and (with `encodingOnly`)
// ISO-8859-1, the files' encoding. A fund's ticker in the portfolio may hold
// other characters (the portfolio file keeps them as references): it is only
// looked up in the files, never written there.
bool TickerFitsFiles(const QString& ticker, bool encodingOnly = true);
// Whether a stock's name can be kept in a list: no comma, no control
// character, ISO-8859-1 only.
bool NameFitsList(const QString& name);

// Whether a line is one of a stock list: at most three fields, no control
// character, a ticker that is empty or fits the files, a LastDate of digits
// and separators.
bool IsStockLine(const QString& line);

// The lines of a list file in file order (empty lines dropped); nothing
// when there is no file. `ok` is false when a file exists but cannot be
// read, and when it is not text of the list's format: then `refused` (when
// given) says why, with the first line that is not "Name,Ticker,LastDate"
// (a control character, a fourth field, a ticker that does not fit the
// files, a LastDate of other characters than digits and separators). Such
// a list is refused whole: nothing is downloaded from it and it is never
// written over.
QStringList LoadStockList(const QString& path, bool* ok = nullptr,
                          std::optional<Reason>* refused = nullptr);
// The same for the text of a list (the fuzz target's way in); `refused`
// gets the reason when it is not a list.
QStringList ParseStockList(const QByteArray& bytes, const QString& path,
                           std::optional<Reason>& refused);
// Writes the lines sorted without regard to case, through the safe write
// path, so a failed write leaves the old list; fails with the cause (the
// disk is full, ...). A list that could not be read whole is never to be
// saved over: its caller keeps it.
Outcome SaveStockList(const QString& path, QStringList lines);
// The bytes SaveStockList writes: the lines sorted, each ended by CR LF.
QByteArray StockListBytes(QStringList lines);

// Rewrites every LastDate of the list from one date format into another;
// dates that cannot be read stay as they are.
QStringList ConvertLastDates(const QStringList& lines, DateFormat from, DateFormat to);

// Recomputes the market's "Last Prices.txt" value from its list: the rounded
// average of the LastDates less than 10 days before today (the Dutch index
// and currency lines left out), keeping the stored value when no line
// qualifies; writes both values. Fails with the cause when the file could
// not be written, or could not be read (then it is left as it is).
Outcome WriteLastPrices(PriceStore& store, Market market, const QStringList& lines, QDate today,
                        DateFormat format);

}  // namespace pelmar
