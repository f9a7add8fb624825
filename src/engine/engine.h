#pragma once

#include <QtGlobal>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "engine/advice.h"
#include "engine/data_set_totals.h"
#include "engine/fund_names.h"
#include "model/portfolio.h"
#include "model/real48.h"
#include "prices/price_store.h"
#include "prices/price_update.h"

namespace pelmar {

// The valuation engine: turns what the user entered into a dataset into
// every derived figure of it, taking what accumulates from the dataset
// before. It computes the dataset it is given and never moves the
// portfolio's cursor; it computes in long double, and every value it
// stores, in a record or in its results, is rounded to Real48. Not
// re-entrant; neither copied nor moved (it refers to the session's parts).
class Engine {
 public:
  // Called after each dataset of a recalculation: datasets done, in all.
  using Progress = std::function<void(int done, int total)>;

  Engine(Portfolio& portfolio, PriceStore& prices);
  Q_DISABLE_COPY_MOVE(Engine)

  // Recomputes the dataset whose first account is at rekIndex; in the first
  // dataset the buy and sell figures of the fund at offset selFonds are
  // computed too. True when a stored price changed with the day's prices
  // from the daily price files (the portfolio then differs from what the
  // user has); false when there was nothing to compute or no price changed.
  bool CalcDataSet(int rekIndex, int selFonds = -1);
  // Recomputes every dataset before the last in date order, each from its
  // freshly computed predecessor. True when a stored price changed.
  bool CalcAllDataSets(int selFonds = -1, const Progress& progress = {});
  // Recomputes the dataset at rekIndex and every later one, the last
  // included, in date order. True when a stored price changed.
  bool CalcDataSetsFrom(int rekIndex, int selFonds = -1, const Progress& progress = {});

  // The interest of account 1 to 5 of the dataset at rekIndex over `days`,
  // on the balance of the previous dataset.
  long double AccountInterest(int rekIndex, int account, int days) const;
  // The 0-based offset of the fund of the current dataset with that name
  // (leading blanks and case ignored), or -1.
  int FindFund(const QString& name) const;

  // The date of the portfolio's first dataset, the base of PDuur. Set it
  // when a portfolio is read or made new; until then the first dataset's
  // date counts.
  void setPortStartDate(DateTime date) { portStartDate_ = date; }
  DateTime PortStartDate() const;

  Advice& advice() { return advice_; }
  const Advice& advice() const { return advice_; }

  // The prices the user set that daily files of a later day replaced since
  // the last call (for the status line); the list is emptied.
  std::vector<PriceReplacement> takeReplacedPrices() { return std::exchange(replacedPrices_, {}); }
  // Adds prices replaced outside a run (the look-up of the fund shown).
  std::vector<PriceReplacement>* replacedPrices() { return &replacedPrices_; }

  // The totals of the dataset computed last.
  DataSetTotals totals() const { return totals_; }

 private:
  bool CalcFirstDataSet(int rekIndex, int selFonds);
  bool CalcLaterDataSet(int rekIndex);
  bool calcDataSets(int fromRek, bool withLast, int selFonds, const Progress& progress);

  // Whether a general record, five accounts and a fund stand at rekIndex.
  bool isDataSetAt(int rekIndex) const;

  Portfolio& portfolio_;
  PriceStore& prices_;
  Advice advice_;
  std::optional<DateTime> portStartDate_;

  DataSetTotals totals_;
  // The names of the dataset computed last.
  FundNameIndex previousNames_;
  std::vector<PriceReplacement> replacedPrices_;
};

}  // namespace pelmar
