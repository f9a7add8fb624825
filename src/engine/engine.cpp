#include "engine/engine.h"

#include "engine/engine_passes.h"
#include "engine/fund_names.h"
#include "model/conversions.h"
#include "prices/price_update.h"

namespace pelmar {

Engine::Engine(Portfolio& portfolio, PriceStore& prices)
    : portfolio_(portfolio), prices_(prices), advice_(portfolio) {}

bool Engine::isDataSetAt(int rekIndex) const {
  if (portfolio_.idAt(rekIndex - 1) != AlgemeenRec::Id) return false;
  for (int number = 0; number < Portfolio::kAccountsPerDataSet; ++number)
    if (portfolio_.idAt(rekIndex + number) != RekeningRec::Id) return false;
  return portfolio_.idAt(Portfolio::KoersIndexOf(rekIndex)) == KoersRec::Id;
}

DateTime Engine::PortStartDate() const {
  if (portStartDate_) return *portStartDate_;
  return portfolio_.idAt(Portfolio::kFirstRekIndex - 1) == AlgemeenRec::Id
             ? portfolio_.algAt(Portfolio::kFirstRekIndex - 1).Datum
             : 0;
}

int Engine::FindFund(const QString& name) const {
  return FundNameIndex(portfolio_, portfolio_.FirstKoersIndex())
      .offsetOf(TrimLeftBlanks(name).toLower());
}

bool Engine::CalcDataSet(int rekIndex, int selFonds) {
  // A list without a whole dataset at the indices has nothing to compute.
  if (!isDataSetAt(rekIndex)) return false;
  advice_.setDataSet(rekIndex);
  // The placeholder text of rows made later follows the language: the
  // session sets it in the initial-value records whenever the language is
  // set, so nothing is left to copy here.
  if (rekIndex == Portfolio::kFirstRekIndex) return CalcFirstDataSet(rekIndex, selFonds);
  return CalcLaterDataSet(rekIndex);
}

bool Engine::CalcFirstDataSet(int rekIndex, int selFonds) {
  DataSetWork work(portfolio_, rekIndex);
  clearFirstDurations(work);
  const bool pricesChanged = UpdatePricesFromFiles(portfolio_, prices_, rekIndex, &replacedPrices_);
  startAccounts(work);
  startFunds(work);
  shareFirstCosts(work);
  storeFirstTotals(work);
  totals_ = work.totals;
  if (selFonds >= 0 && selFonds < work.count) advice_.FirstDataSetAdvice(work.fund(selFonds));
  return pricesChanged;
}

bool Engine::CalcLaterDataSet(int rekIndex) {
  DataSetWork work(portfolio_, rekIndex);
  if (!portfolio_.PrevDataSet(work.previousRek, work.previousKoers) ||
      !isDataSetAt(work.previousRek)) {
    return false;
  }
  matchPreviousFunds(work, previousNames_);
  setDurations(work, PortStartDate());
  bookTrades(work, advice_);
  const bool pricesTaken = !(work.fund(work.count - 1).Flag1 & KoersFlag::FakeFund);
  const bool pricesChanged =
      pricesTaken && UpdatePricesFromFiles(portfolio_, prices_, rekIndex, &replacedPrices_);
  carryReserves(work);
  carryAccounts(work);
  addInterest(work);
  bookBalances(work);
  sumDataSet(work);
  shareProRata(work);
  storeTotals(work);
  totals_ = work.totals;
  return pricesChanged;
}

long double Engine::AccountInterest(int rekIndex, int account, int days) const {
  int rek = rekIndex;
  int koers = Portfolio::KoersIndexOf(rekIndex);
  if (account < 1 || account > Portfolio::kAccountsPerDataSet || !isDataSetAt(rek) ||
      !portfolio_.PrevDataSet(rek, koers) || !isDataSetAt(rek)) {
    return 0;
  }
  return AccountInterestSince(portfolio_, rekIndex, rek, account, days);
}

bool Engine::CalcAllDataSets(int selFonds, const Progress& progress) {
  // Every dataset but the last is computed.
  return calcDataSets(Portfolio::kFirstRekIndex, false, selFonds, progress);
}

bool Engine::CalcDataSetsFrom(int rekIndex, int selFonds, const Progress& progress) {
  return calcDataSets(rekIndex, true, selFonds, progress);
}

bool Engine::calcDataSets(int fromRek, bool withLast, int selFonds, const Progress& progress) {
  const int lastRek = portfolio_.lastRekIndex();
  int total = withLast ? 1 : 0;
  int rek = Portfolio::kFirstRekIndex;
  int koers = Portfolio::kFirstKoersIndex;
  // Counted by walking, so that the index of a dataset needs no search.
  for (int r = rek, k = koers; r < lastRek;) {
    if (r >= fromRek) ++total;
    const int before = r;
    if (!portfolio_.NextDataSet(r, k) || r == before) break;
  }
  int done = 0;
  bool pricesChanged = false;
  while (rek < lastRek || (withLast && rek == lastRek)) {
    if (rek >= fromRek) {
      pricesChanged = CalcDataSet(rek, selFonds) || pricesChanged;
      if (progress) progress(++done, total);
    }
    const int before = rek;
    // A step that cannot be made would repeat the same dataset for ever.
    if (!portfolio_.NextDataSet(rek, koers) || rek == before) break;
  }
  return pricesChanged;
}

}  // namespace pelmar
