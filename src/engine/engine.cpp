#include "engine/engine.h"

#include <cmath>

#include "engine/engine_support.h"
#include "engine/fund_names.h"
#include "engine/returns.h"
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
// Reserves count for at most this much in the total value.
constexpr double kReserveCap = 1000000.0;
// The daily interest factor is the yearly one to this power.
constexpr double kDayExponent = 1 / 365.25;

int wholeDays(DateTime date) {
  return static_cast<int>(std::trunc(date));
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
  const int koersIndex = Portfolio::KoersIndexOf(rek_);
  int previousKoers = koersIndex;
  previousRekIndex_ = rek_;
  if (!portfolio_.PrevDataSet(previousRekIndex_, previousKoers) ||
      !isDataSetAt(previousRekIndex_)) {
    return false;
  }

  const int count = fundCount();
  // Datasets computed in order: the names of this one serve the next, so
  // each fund's name is normalised once per recalculation.
  if (!previousNames_.holds(portfolio_, previousKoers))
    previousNames_ = FundNameIndex(portfolio_, previousKoers);
  FundNameIndex names(portfolio_, koersIndex);
  previousFunds_.assign(count, -1);
  placeholders_.assign(count, false);
  for (int offset = 0; offset < count; ++offset) {
    const int found = previousNames_.offsetOf(names.keyAt(offset));
    if (found >= 0) previousFunds_[offset] = previousKoers + found;
    placeholders_[offset] = portfolio_.koersAt(koersIndex + offset).isPlaceholder();
  }
  previousNames_ = std::move(names);

  AlgemeenRec& alg = portfolio_.algAt(rek_ - 1);
  const int datum = wholeDays(alg.Datum);
  alg.PDuur = datum - wholeDays(PortStartDate());
  alg.SetDuur = datum - wholeDays(portfolio_.algAt(previousRekIndex_ - 1).Datum);
  const int setDuur = alg.SetDuur;

  // Trades, with the prices as entered.
  for (int offset = 0; offset < count; ++offset) {
    KoersRec& k = fund(offset);
    const KoersRec* prev = previousFund(offset);
    const double prevAantal = prev ? prev->Aantal.value() : 0.0;
    k.FDuur = placeholders_[offset] ? 0 : (prev ? prev->FDuur : 0) + setDuur;
    k.Delta = ld(k.Aantal) - prevAantal;
    if (std::fabs(k.Delta) > kSmallest) {
      k.Flag1 = SetBits(k.Flag1, KoersFlag::BuySell);
      advice_.FundAdvice(offset, prev);
    } else {
      k.Flag1 = ClearBits(k.Flag1, KoersFlag::BuySell);
      if (!(k.Flag1 & KoersFlag::RefWaarde)) k.RefWrde = prev ? prev->RefWrde.value() : 0.0;
    }
    // The placeholder row holds no position, so it does not decide the
    // currency of the account it names.
    if (!placeholders_[offset]) account(bookedAccount(k.RekNr)).Valuta = k.Valuta.str();
  }

  const bool pricesTaken = !(fund(count - 1).Flag1 & KoersFlag::FakeFund);
  const bool pricesChanged =
      pricesTaken && UpdatePricesFromFiles(portfolio_, prices_, rek_, &replacedPrices_);

  // Reserves and cumulative figures.
  for (int offset = 0; offset < count; ++offset) {
    KoersRec& k = fund(offset);
    if (placeholders_[offset]) continue;
    const KoersRec* prev = previousFund(offset);
    const long double f = currencyFactor(k);
    if (prev) {
      k.Country = prev->Country.str();
      k.Valuta = prev->Valuta.str();
      if (!(k.Flag1 & KoersFlag::FakeFund)) k.Flag1 = ClearBits(k.Flag1, KoersFlag::Cumulatief);
      k.CumDatum = prev->CumDatum;
      k.Delta = ld(k.Aantal) - prev->Aantal;
      // The money of a trade leaves or enters the reserve; a split is no trade.
      const long double traded = TradedShares(k, prev->Aantal);
      const long double carried =
          std::fabs(traded) < kSmallest ? ld(prev->Reserve) : prev->Reserve - f * traded * k.Koers;
      k.Reserve = carried + f * (ld(k.Inleg) + k.Dividend - k.DivBel - k.Kosten - k.BTW);
      k.CumDividend = prev->CumDividend + f * k.Dividend;
      k.CumDivBel = prev->CumDivBel + f * k.DivBel;
      k.CumKosten = prev->CumKosten + f * k.Kosten;
      k.CumBTW = prev->CumBTW + f * k.BTW;
      k.GewInleg = prev->GewInleg + ld(prev->CumInleg) * setDuur;
      k.CumInleg = prev->CumInleg + f * k.Inleg;
      // A split changes the number of shares without paying for them.
      const long double bought = traded * k.Koers;
      k.ROTAICumInleg = prev->ROTAICumInleg + f * (bought + k.Kosten + k.DivBel + k.BTW);
      k.ROTAIGewInleg = prev->ROTAIGewInleg + ld(prev->ROTAICumInleg) * setDuur;
    } else {
      k.Reserve =
          f * (ld(k.Inleg) - ld(k.Aantal) * k.Koers + k.Dividend - k.Kosten - k.DivBel - k.BTW);
      // The reference value is the holding's value in the fund's currency,
      // as the advice compares it with the fund's price (and sets it when
      // the fund is shown).
      k.RefWrde = ld(k.Aantal) * k.Koers;
      k.CumInleg = f * k.Inleg;
      k.ROTAICumInleg = startingRotaiInleg(k, f);
      k.GewInleg = 0;
      k.ROTAIGewInleg = 0;
      startCumulatives(k, f);
    }
  }

  // Accounts carried over.
  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    RekeningRec& rek = account(number);
    const RekeningRec& prev = previousAccount(number);
    rek.RekNaam = prev.RekNaam.str();
    rek.RekNummer = prev.RekNummer.str();
    // A correction, once entered, stays until another one is entered.
    if (std::fabs(rek.RenteCorrectie) < 0.001) rek.RenteCorrectie = prev.RenteCorrectie;
    rek.Saldo = 0;
    rek.Waarde = 0;
    if (rek.CredPerc == 0) rek.CredPerc = prev.CredPerc;
  }

  // Interest.
  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    const long double interest = AccountInterest(rek_, number, setDuur);
    RekeningRec& rek = account(number);
    const RekeningRec& prev = previousAccount(number);
    rek.Rente = ld(rek.RenteCorrectie) + interest;
    if (rek.Rente > kSmallest) {
      rek.CumCRente = ld(prev.CumCRente) + rek.Rente;
      rek.CumDRente = prev.CumDRente;
    } else {
      rek.CumCRente = prev.CumCRente;
      rek.CumDRente = ld(prev.CumDRente) + rek.Rente;
    }
    rek.CumKosten = ld(prev.CumKosten) + rek.Kosten;
    rek.CumBTW = ld(prev.CumBTW) + rek.BTW;
  }

  // Account balances: the account's interest, costs and VAT enter once for
  // every fund booked on it.
  for (int offset = 0; offset < count; ++offset) {
    KoersRec& k = fund(offset);
    if (placeholders_[offset]) continue;
    const long double f = currencyFactor(k);
    k.RekNr = static_cast<quint8>(bookedAccount(k.RekNr));
    RekeningRec& rek = account(k.RekNr);
    rek.Saldo += (ld(rek.Rente) + k.Reserve - rek.Kosten - rek.BTW) / f;
    rek.Waarde += ld(k.Aantal) * k.Koers;
  }

  // Sums.
  clearSums();
  int funds = 0;
  for (int offset = 0; offset < count; ++offset) {
    const KoersRec& k = fund(offset);
    if (placeholders_[offset]) continue;
    ++funds;
    const long double f = currencyFactor(k);
    const int number = bookedAccount(k.RekNr);
    SumValue += f * k.Aantal * k.Koers;
    sumDividend_ += f * k.Dividend;
    accountReserve_[number - 1] += k.Reserve;
    accountAbsReserve_[number - 1] += std::fabs(k.Reserve);
    SumReserve += k.Reserve;
    SumCumInleg += k.CumInleg;
    rotaiSomCumInleg_ += k.ROTAICumInleg;
    sumGewInleg_ += k.GewInleg;
    rotaiSomGewInleg_ += k.ROTAIGewInleg;
  }
  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    const RekeningRec& rek = account(number);
    SumReserve += ld(rek.Rente) - rek.Kosten - rek.BTW;
    SumInterest += ld(rek.CumCRente) + rek.CumDRente;
    SumCumKosten += rek.CumKosten;
    SumCumBTW += rek.CumBTW;
  }

  // Pro-rata shares of the accounts, reserves and fund returns.
  for (int offset = 0; offset < count; ++offset) {
    KoersRec& k = fund(offset);
    const long double f = currencyFactor(k);
    if (offset == count - 1) {
      k.RatRente = k.RatCumRente = k.RatKosten = k.RatBTW = 0;
      break;
    }
    if (placeholders_[offset]) continue;
    const int number = bookedAccount(k.RekNr);
    const RekeningRec& rek = account(number);
    const long double cumRente = ld(rek.CumCRente) + rek.CumDRente;
    if (std::fabs(accountReserve_[number - 1]) < kNoReserve) {
      // No reserve to share by: the account's figures are split equally
      // over the funds of the dataset.
      k.RatRente = ld(rek.Rente) / funds;
      k.RatCumRente = cumRente / funds;
      k.RatKosten = ld(rek.Kosten) / funds;
      k.RatBTW = ld(rek.BTW) / funds;
    } else {
      const long double reserve = std::fabs(k.Reserve);
      const long double absoluteSum = accountAbsReserve_[number - 1];
      k.RatRente = reserve * rek.Rente / absoluteSum;
      k.RatCumRente = reserve * cumRente / absoluteSum;
      k.RatKosten = reserve * rek.Kosten / absoluteSum;
      k.RatBTW = reserve * rek.BTW / absoluteSum;
    }
    k.Reserve = ld(k.Reserve) + f * (ld(k.RatRente) - k.RatKosten - k.RatBTW);
    k.FDuur = datum - wholeDays(k.CumDatum);
    const long double value = f * k.Aantal * k.Koers;
    k.FRend = FundReturn(ld(k.Reserve) + value - k.CumInleg, k.GewInleg, k.FDuur);
    if (k.FDuur == 0) {
      const KoersRec* prev = previousFund(offset);
      k.FRend = prev ? prev->FRend.value() : 0.0;
    }
    k.ROTAIFRend = FundReturn(value - k.ROTAICumInleg, k.ROTAIGewInleg, k.FDuur);
  }

  // Totals of the dataset.
  if (SumReserve > kReserveCap) SumReserve = kReserveCap;
  AlgemeenRec& totals = portfolio_.algAt(rek_ - 1);
  totals.Totaal = ld(SumReserve) + SumValue;
  totals.Winst = ld(totals.Totaal) - SumCumInleg;
  totals.Rendement = PortfolioReturn(totals.Winst, sumGewInleg_, totals.PDuur);
  totals.ROTAISomCumInleg = rotaiSomCumInleg_;
  totals.ROTAISomGewInleg = rotaiSomGewInleg_;
  totals.ROTAIWinst = ld(SumValue) - rotaiSomCumInleg_;
  totals.ROTAIRendement = PortfolioReturn(totals.ROTAIWinst, rotaiSomGewInleg_, totals.PDuur);
  return pricesChanged;
}

long double Engine::AccountInterest(int rekIndex, int account, int days) const {
  int rek = rekIndex;
  int koers = Portfolio::KoersIndexOf(rekIndex);
  if (account < 1 || account > Portfolio::kAccountsPerDataSet || !isDataSetAt(rek) ||
      !portfolio_.PrevDataSet(rek, koers) || !isDataSetAt(rek)) {
    return 0;
  }
  const double saldo = portfolio_.rekAt(rek + account - 1).Saldo;
  const RekeningRec& current = portfolio_.rekAt(rekIndex + account - 1);
  const Real48 debit = SignedPower(1 + ld(current.DebRente) * 0.01L, kDayExponent);
  const Real48 credit = SignedPower(1 + ld(current.CredRente) * 0.01L, kDayExponent);
  // A balance of 0.001 or less earns the debit rate.
  const Real48 daily = saldo > 0.001 ? credit : debit;
  return Real48(saldo * SignedPower(daily, days) - saldo);
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
