#pragma once

#include <array>
#include <vector>

#include "engine/data_set_totals.h"
#include "engine/fund_names.h"
#include "model/portfolio.h"
#include "model/real48.h"

namespace pelmar {

class Advice;

// The working values of one dataset while the engine computes it: where it
// and its predecessor stand, which earlier fund each fund continues, and
// the sums gathered on the way. The passes below fill it in the order the
// engine runs them; every value they store is rounded to Real48.
struct DataSetWork {
  DataSetWork(Portfolio& portfolio, int rekIndex);

  // The accounts of the dataset, 1 to 5, and of the previous one.
  RekeningRec& account(int number) const;
  const RekeningRec& previousAccount(int number) const;
  // The fund at an offset of the dataset and its previous fund (nullptr
  // for a new fund).
  KoersRec& fund(int offset) const;
  const KoersRec* previousFund(int offset) const;
  AlgemeenRec& general() const;
  double currencyFactor(const KoersRec& fund) const;

  Portfolio& portfolio;
  const int rek;         // the dataset's first account
  const int koersIndex;  // its first fund
  const int count;       // its funds, placeholder row included
  int previousRek;
  int previousKoers;
  int datum = 0;    // whole days of the dataset's date
  int setDuur = 0;  // days since the previous dataset
  // Per fund: the list index of its previous fund, or -1 for a new fund.
  std::vector<int> previousFunds;
  // Per fund: whether it is the placeholder row.
  std::vector<bool> placeholders;

  DataSetTotals totals;
  Real48 sumDividend;
  Real48 sumGewInleg;
  Real48 rotaiSomCumInleg;
  Real48 rotaiSomGewInleg;
  std::array<Real48, Portfolio::kAccountsPerDataSet> accountReserve{};
  std::array<Real48, Portfolio::kAccountsPerDataSet> accountAbsReserve{};
  int funds = 0;  // funds summed, placeholder rows left out
};

// The interest of account 1 to 5 of the dataset at rekIndex over `days`, on
// the balance the same account has in the dataset at previousRek.
long double AccountInterestSince(const Portfolio& portfolio, int rekIndex, int previousRek,
                                 int account, int days);

// The passes of the first dataset, in order; the engine puts the daily
// prices in after the first.
void clearFirstDurations(DataSetWork& work);
void startAccounts(DataSetWork& work);
void startFunds(DataSetWork& work);
void shareFirstCosts(DataSetWork& work);
void storeFirstTotals(DataSetWork& work);

// The passes of a later dataset, in order; the engine puts the daily prices
// in after the trades. matchPreviousFunds finds each fund's previous fund
// by name, taking the names of the previous dataset and leaving this one's.
void matchPreviousFunds(DataSetWork& work, FundNameIndex& previousNames);
void setDurations(DataSetWork& work, DateTime portStartDate);
void bookTrades(DataSetWork& work, Advice& advice);
void carryReserves(DataSetWork& work);
void carryAccounts(DataSetWork& work);
void addInterest(DataSetWork& work);
void bookBalances(DataSetWork& work);
void sumDataSet(DataSetWork& work);
void shareProRata(DataSetWork& work);
void storeTotals(DataSetWork& work);

}  // namespace pelmar
