#pragma once

#include <optional>
#include <vector>

#include "model/portfolio.h"
#include "prices/price_store.h"

namespace pelmar {

// A price the user set in a dataset that a daily file of that day or later
// replaced: the status line says which price replaced which.
struct PriceReplacement {
  QString ticker;
  double before = 0;
  double after = 0;
  DateTime setOn = 0;  // the date of the dataset the price was set in
  QDate fileDay;
};

// The mark of a price the user sets today in a dataset of that date:
// PriceSet on the dataset's day or before it, PriceKept after it.
quint8 UserPriceMark(DateTime dataSetDate, QDate today);

// Whether the fund's price in this dataset is the user's own: marked
// PriceSet or PriceKept, or, in a file of before the marks, the dataset
// where a run of split datasets starts. `previous` is the fund in the
// dataset before, or null.
bool PriceSetHere(const KoersRec& fund, const KoersRec* previous);

// Puts the daily prices into the funds of the dataset whose first account
// is at rekIndex: every fund that is neither Cumulatief, BuySell, FakeFund
// nor PriceKept gets the price of its Ticker on the dataset's date, with
// two exceptions that keep a price the user set. A price set in this
// dataset (PriceSetHere) is replaced only by a file of the dataset's day or
// later (the replacement is added to `replaced` and the mark cleared); a
// file of a day before the previous dataset's date gives way to that
// dataset's price, which is as recent and may be the user's. A fund for which the
// files hold no price keeps the price it has; a fund without a price takes
// PriceFromEarlierSets. True when a stored price (as a Real48) changed;
// marking the portfolio changed is the caller's.
bool UpdatePricesFromFiles(Portfolio& portfolio, PriceStore& prices, int rekIndex,
                           std::vector<PriceReplacement>* replaced = nullptr);

// The same for the one fund at koersIndex of that dataset (ShowDataSet's
// look-up of the fund it shows).
bool UpdateFundPrice(Portfolio& portfolio, PriceStore& prices, int rekIndex, int koersIndex,
                     std::vector<PriceReplacement>* replaced = nullptr);

// The price of the fund in the datasets before the one at rekIndex, looking
// back three datasets at most; tickers match with blanks and case ignored.
// PriceStore::kNotFound when there is no earlier dataset or none holds it.
double PriceFromEarlierSets(const Portfolio& portfolio, int rekIndex, const KoersRec& fund);

// The day of the price a fund shows when it is not a fresh one: a daily
// file of more than five working days before the dataset's date, or a
// price carried from an earlier dataset (then the day of that dataset, or
// of the file it took the price from). Nothing for a fresh price, a price
// set in this dataset, a fund entered by hand, the placeholder row, and a
// stored price no file or earlier dataset accounts for.
// Whether a daily file of `day` is more than five working days before `date`.
bool IsOldPriceDay(QDate day, QDate date);

struct PriceAge {
  QDate day;
  bool fromEarlierDataSet = false;
};
std::optional<PriceAge> StalePrice(const Portfolio& portfolio, PriceStore& prices, int rekIndex,
                                   int koersIndex);

}  // namespace pelmar
