#include "engine/engine.h"

#include <cmath>

#include "engine/engine_passes.h"
#include "engine/engine_support.h"
#include "engine/fund_names.h"
#include "model/conversions.h"
#include "model/currency.h"
#include "prices/price_update.h"

namespace pelmar {

namespace {

// The ROTAI investment of a fund whose figures start in this dataset: the
// shares at their price plus costs, dividend tax and VAT, less dividend.
long double startingRotaiInleg(const KoersRec& k, long double f) {
  return f * (ld(k.Aantal) * k.Koers + k.Kosten - k.Dividend + k.DivBel + k.BTW);
}

// The cumulative costs, dividend, dividend tax and VAT of a fund whose
// figures start in this dataset; it has no share of account interest yet.
void startCumulatives(KoersRec& k, long double f) {
  k.CumKosten = f * k.Kosten;
  k.CumDividend = f * k.Dividend;
  k.CumDivBel = f * k.DivBel;
  k.CumBTW = f * k.BTW;
  k.RatRente = 0;
  k.RatCumRente = 0;
}

// A reserve sum below this counts as zero.
constexpr double kNoReserve = 0.01;

// The totals of the dataset computed, kept as the results of the run.
void keepTotals(Engine& engine, const DataSetTotals& totals) {
  engine.SumValue = totals.value;
  engine.SumReserve = totals.reserve;
  engine.SumInterest = totals.interest;
  engine.SumCumInleg = totals.cumInleg;
  engine.SumCumKosten = totals.cumKosten;
  engine.SumCumBTW = totals.cumBTW;
}

}  // namespace

Engine::Engine(Portfolio& portfolio, PriceStore& prices, const Language& language)
    : portfolio_(portfolio), prices_(prices), advice_(portfolio, language) {}

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

RekeningRec& Engine::account(int number) {
  return portfolio_.rekAt(rek_ + number - 1);
}

const RekeningRec& Engine::previousAccount(int number) const {
  return portfolio_.rekAt(previousRekIndex_ + number - 1);
}

KoersRec& Engine::fund(int offset) {
  return portfolio_.koersAt(Portfolio::KoersIndexOf(rek_) + offset);
}

const KoersRec* Engine::previousFund(int offset) const {
  const int index = previousFunds_[offset];
  return index < 0 ? nullptr : &portfolio_.koersAt(index);
}

double Engine::currencyFactor(const KoersRec& fund) const {
  // A zero, negative or missing euro/dollar rate gives the factor 1 (the
  // amount is taken as it stands), so the divisions by the factor below
  // never meet a zero and no stored field becomes infinite or NaN.
  return FundCurrencyFactor(portfolio_, portfolio_.algAt(rek_ - 1), fund);
}

int Engine::fundCount() const {
  return portfolio_.fundCount(Portfolio::KoersIndexOf(rek_));
}

void Engine::clearSums() {
  SumReserve = SumValue = sumDividend_ = SumInterest = 0;
  SumCumKosten = SumCumBTW = SumCumInleg = 0;
  rotaiSomCumInleg_ = sumGewInleg_ = rotaiSomGewInleg_ = 0;
  accountReserve_.fill(0);
  accountAbsReserve_.fill(0);
}

bool Engine::CalcDataSet(int rekIndex, int selFonds) {
  // A list without a whole dataset at the indices has nothing to compute.
  if (!isDataSetAt(rekIndex)) return false;
  rek_ = rekIndex;
  advice_.setDataSet(rekIndex);
  // The placeholder text of rows made later follows the language: the
  // session sets it in the initial-value records whenever the language is
  // set, so nothing is left to copy here.
  if (rekIndex == Portfolio::kFirstRekIndex) return CalcFirstDataSet(selFonds);
  return CalcLaterDataSet();
}

bool Engine::CalcFirstDataSet(int selFonds) {
  AlgemeenRec& alg = portfolio_.algAt(rek_ - 1);
  alg.SetDuur = 0;
  alg.PDuur = 0;
  alg.Rendement = 0;
  alg.ROTAIRendement = 0;

  const bool pricesChanged = UpdatePricesFromFiles(portfolio_, prices_, rek_, &replacedPrices_);

  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    RekeningRec& rek = account(number);
    rek.Saldo = 0;
    rek.CumCRente = 0;
    rek.CumDRente = 0;
    rek.CumKosten = rek.Kosten;
    rek.CumBTW = rek.BTW;
    rek.Waarde = 0;
  }
  clearSums();

  const int count = fundCount();
  for (int offset = 0; offset < count; ++offset) {
    KoersRec& k = fund(offset);
    const long double f = currencyFactor(k);
    k.FDuur = 0;
    k.Reserve =
        f * (ld(k.Dividend) + k.Inleg - ld(k.Aantal) * k.Koers - k.Kosten - k.DivBel - k.BTW);
    k.RefWrde = ld(k.Aantal) * k.Koers;
    k.Flag1 = SetBits(k.Flag1, KoersFlag::BuySell);
    k.Delta = k.Aantal;
    k.CumInleg = f * k.Inleg;
    const long double rotaiInleg = startingRotaiInleg(k, f);
    k.ROTAICumInleg = rotaiInleg;
    k.GewInleg = k.ROTAICumInleg;
    k.ROTAIGewInleg = k.ROTAICumInleg;
    startCumulatives(k, f);

    const int number = bookedAccount(k.RekNr);
    // The reserve is already in the portfolio currency: it is added as it
    // stands, as in later datasets.
    accountReserve_[number - 1] += k.Reserve;
    SumReserve += k.Reserve;
    sumDividend_ += f * k.Dividend;
    SumValue += ld(k.Aantal) * f * k.Koers;
    SumCumInleg += k.CumInleg;
    rotaiSomCumInleg_ += rotaiInleg;
    rotaiSomGewInleg_ += k.ROTAIGewInleg;

    RekeningRec& rek = account(number);
    // The placeholder row holds no position, so it does not decide the
    // currency of the account it names.
    if (!k.Valuta.isEmpty() && !k.isPlaceholder()) rek.Valuta = k.Valuta.str();
    rek.Saldo += (ld(k.Reserve) - rek.CumKosten - rek.CumBTW) / f;
    rek.Waarde += ld(k.Aantal) * k.Koers;
  }

  for (int offset = 0; offset < count; ++offset) {
    KoersRec& k = fund(offset);
    const int number = bookedAccount(k.RekNr);
    RekeningRec& rek = account(number);
    const Real48& reserveSum = accountReserve_[number - 1];
    if (std::fabs(reserveSum) < kNoReserve) {
      k.RatKosten = 0;
      k.RatBTW = 0;
    } else {
      k.RatKosten = ld(k.Reserve) * rek.Kosten / reserveSum;
      k.RatBTW = ld(k.Reserve) * rek.BTW / reserveSum;
      if (RemoveBlanks(rek.Valuta).isEmpty()) rek.Valuta = k.Valuta.str();
    }
    k.AdviesR = 0;
    // Every fund of the first dataset starts without a return.
    k.FRend = 0;
    k.ROTAIFRend = 0;
  }

  AlgemeenRec& totals = portfolio_.algAt(rek_ - 1);
  totals.Totaal = ld(SumValue) + SumReserve + sumDividend_;
  totals.Winst = ld(totals.Totaal) - SumCumInleg;
  totals.ROTAISomCumInleg = rotaiSomCumInleg_;
  totals.ROTAISomGewInleg = rotaiSomGewInleg_;
  totals.ROTAIWinst = ld(SumValue) - rotaiSomCumInleg_;

  if (selFonds >= 0 && selFonds < count) advice_.FirstDataSetAdvice(fund(selFonds));
  return pricesChanged;
}

bool Engine::CalcLaterDataSet() {
  DataSetWork work(portfolio_, rek_);
  if (!portfolio_.PrevDataSet(work.previousRek, work.previousKoers) ||
      !isDataSetAt(work.previousRek)) {
    return false;
  }
  matchPreviousFunds(work, previousNames_);
  setDurations(work, PortStartDate());
  bookTrades(work, advice_);
  const bool pricesTaken = !(work.fund(work.count - 1).Flag1 & KoersFlag::FakeFund);
  const bool pricesChanged =
      pricesTaken && UpdatePricesFromFiles(portfolio_, prices_, rek_, &replacedPrices_);
  carryReserves(work);
  carryAccounts(work);
  addInterest(work);
  bookBalances(work);
  sumDataSet(work);
  shareProRata(work);
  storeTotals(work);
  keepTotals(*this, work.totals);
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
