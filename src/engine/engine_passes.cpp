#include "engine/engine_passes.h"

#include <cmath>

#include "engine/advice.h"
#include "engine/engine_support.h"
#include "engine/returns.h"
#include "model/conversions.h"
#include "model/currency.h"

namespace pelmar {

namespace {

// A reserve sum below this counts as zero.
constexpr double kNoReserve = 0.01;
// Reserves count for at most this much in the total value.
constexpr double kReserveCap = 1000000.0;
// The daily interest factor is the yearly one to this power.
constexpr double kDayExponent = 1 / 365.25;

int wholeDays(DateTime date) {
  return static_cast<int>(std::trunc(date));
}

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

// The own figures of a fund in the first dataset; returns its ROTAI
// investment as computed, before it is stored.
long double startFirstFund(KoersRec& k, long double f) {
  k.FDuur = 0;
  k.Reserve = f * (ld(k.Dividend) + k.Inleg - ld(k.Aantal) * k.Koers - k.Kosten - k.DivBel - k.BTW);
  k.RefWrde = ld(k.Aantal) * k.Koers;
  k.Flag1 = SetBits(k.Flag1, KoersFlag::BuySell);
  k.Delta = k.Aantal;
  k.CumInleg = f * k.Inleg;
  const long double rotaiInleg = startingRotaiInleg(k, f);
  k.ROTAICumInleg = rotaiInleg;
  k.GewInleg = k.ROTAICumInleg;
  k.ROTAIGewInleg = k.ROTAICumInleg;
  startCumulatives(k, f);
  return rotaiInleg;
}

// A fund that continues its previous fund: the reserve carries over, less
// the money of a trade, and the cumulative figures grow.
void continueFund(KoersRec& k, const KoersRec& prev, long double f, int setDuur) {
  k.Country = prev.Country.str();
  k.Valuta = prev.Valuta.str();
  if (!(k.Flag1 & KoersFlag::FakeFund)) k.Flag1 = ClearBits(k.Flag1, KoersFlag::Cumulatief);
  k.CumDatum = prev.CumDatum;
  k.Delta = ld(k.Aantal) - prev.Aantal;
  // The money of a trade leaves or enters the reserve; a split is no trade.
  const long double traded = TradedShares(k, prev.Aantal);
  const long double carried =
      std::fabs(traded) < kSmallest ? ld(prev.Reserve) : prev.Reserve - f * traded * k.Koers;
  k.Reserve = carried + f * (ld(k.Inleg) + k.Dividend - k.DivBel - k.Kosten - k.BTW);
  k.CumDividend = prev.CumDividend + f * k.Dividend;
  k.CumDivBel = prev.CumDivBel + f * k.DivBel;
  k.CumKosten = prev.CumKosten + f * k.Kosten;
  k.CumBTW = prev.CumBTW + f * k.BTW;
  k.GewInleg = prev.GewInleg + ld(prev.CumInleg) * setDuur;
  k.CumInleg = prev.CumInleg + f * k.Inleg;
  // A split changes the number of shares without paying for them.
  const long double bought = traded * k.Koers;
  k.ROTAICumInleg = prev.ROTAICumInleg + f * (bought + k.Kosten + k.DivBel + k.BTW);
  k.ROTAIGewInleg = prev.ROTAIGewInleg + ld(prev.ROTAICumInleg) * setDuur;
}

// A fund new in this dataset: its figures start here.
void startNewFund(KoersRec& k, long double f) {
  k.Reserve = f * (ld(k.Inleg) - ld(k.Aantal) * k.Koers + k.Dividend - k.Kosten - k.DivBel - k.BTW);
  // The reference value is the holding's value in the fund's currency, as
  // the advice compares it with the fund's price (and sets it when the fund
  // is shown).
  k.RefWrde = ld(k.Aantal) * k.Koers;
  k.CumInleg = f * k.Inleg;
  k.ROTAICumInleg = startingRotaiInleg(k, f);
  k.GewInleg = 0;
  k.ROTAIGewInleg = 0;
  startCumulatives(k, f);
}

// The share of its account's interest, costs and VAT that falls to a fund,
// by its part of the account's reserves or, without reserves, equally.
void shareAccount(DataSetWork& work, KoersRec& k) {
  const int number = bookedAccount(k.RekNr);
  const RekeningRec& rek = work.account(number);
  const long double cumRente = ld(rek.CumCRente) + rek.CumDRente;
  if (std::fabs(work.accountReserve[number - 1]) < kNoReserve) {
    k.RatRente = ld(rek.Rente) / work.funds;
    k.RatCumRente = cumRente / work.funds;
    k.RatKosten = ld(rek.Kosten) / work.funds;
    k.RatBTW = ld(rek.BTW) / work.funds;
  } else {
    const long double reserve = std::fabs(k.Reserve);
    const long double absoluteSum = work.accountAbsReserve[number - 1];
    k.RatRente = reserve * rek.Rente / absoluteSum;
    k.RatCumRente = reserve * cumRente / absoluteSum;
    k.RatKosten = reserve * rek.Kosten / absoluteSum;
    k.RatBTW = reserve * rek.BTW / absoluteSum;
  }
}

}  // namespace

DataSetWork::DataSetWork(Portfolio& portfolio, int rekIndex)
    : portfolio(portfolio),
      rek(rekIndex),
      koersIndex(Portfolio::KoersIndexOf(rekIndex)),
      count(portfolio.fundCount(koersIndex)),
      previousRek(rekIndex),
      previousKoers(koersIndex) {}

RekeningRec& DataSetWork::account(int number) const {
  return portfolio.rekAt(rek + number - 1);
}

const RekeningRec& DataSetWork::previousAccount(int number) const {
  return portfolio.rekAt(previousRek + number - 1);
}

KoersRec& DataSetWork::fund(int offset) const {
  return portfolio.koersAt(koersIndex + offset);
}

const KoersRec* DataSetWork::previousFund(int offset) const {
  const int index = previousFunds[offset];
  return index < 0 ? nullptr : &portfolio.koersAt(index);
}

AlgemeenRec& DataSetWork::general() const {
  return portfolio.algAt(rek - 1);
}

double DataSetWork::currencyFactor(const KoersRec& fund) const {
  // A zero, negative or missing euro/dollar rate gives the factor 1 (the
  // amount is taken as it stands), so the divisions by the factor never
  // meet a zero and no stored field becomes infinite or NaN.
  return FundCurrencyFactor(portfolio, general(), fund);
}

long double AccountInterestSince(const Portfolio& portfolio, int rekIndex, int previousRek,
                                 int account, int days) {
  const double saldo = portfolio.rekAt(previousRek + account - 1).Saldo;
  const RekeningRec& current = portfolio.rekAt(rekIndex + account - 1);
  const Real48 debit = SignedPower(1 + ld(current.DebRente) * 0.01L, kDayExponent);
  const Real48 credit = SignedPower(1 + ld(current.CredRente) * 0.01L, kDayExponent);
  // A balance of 0.001 or less earns the debit rate.
  const Real48 daily = saldo > 0.001 ? credit : debit;
  return Real48(saldo * SignedPower(daily, days) - saldo);
}

// --- The first dataset ---

void clearFirstDurations(DataSetWork& work) {
  AlgemeenRec& alg = work.general();
  alg.SetDuur = 0;
  alg.PDuur = 0;
  alg.Rendement = 0;
  alg.ROTAIRendement = 0;
}

void startAccounts(DataSetWork& work) {
  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    RekeningRec& rek = work.account(number);
    rek.Saldo = 0;
    rek.CumCRente = 0;
    rek.CumDRente = 0;
    rek.CumKosten = rek.Kosten;
    rek.CumBTW = rek.BTW;
    rek.Waarde = 0;
  }
}

void startFunds(DataSetWork& work) {
  DataSetTotals& sums = work.totals;
  for (int offset = 0; offset < work.count; ++offset) {
    KoersRec& k = work.fund(offset);
    const long double f = work.currencyFactor(k);
    const long double rotaiInleg = startFirstFund(k, f);

    const int number = bookedAccount(k.RekNr);
    // The reserve is already in the portfolio currency: it is added as it
    // stands, as in later datasets.
    work.accountReserve[number - 1] += k.Reserve;
    sums.reserve += k.Reserve;
    work.sumDividend += f * k.Dividend;
    sums.value += ld(k.Aantal) * f * k.Koers;
    sums.cumInleg += k.CumInleg;
    work.rotaiSomCumInleg += rotaiInleg;
    work.rotaiSomGewInleg += k.ROTAIGewInleg;

    RekeningRec& rek = work.account(number);
    // The placeholder row holds no position, so it does not decide the
    // currency of the account it names.
    if (!k.Valuta.isEmpty() && !k.isPlaceholder()) rek.Valuta = k.Valuta.str();
    rek.Saldo += (ld(k.Reserve) - rek.CumKosten - rek.CumBTW) / f;
    rek.Waarde += ld(k.Aantal) * k.Koers;
  }
}

void shareFirstCosts(DataSetWork& work) {
  for (int offset = 0; offset < work.count; ++offset) {
    KoersRec& k = work.fund(offset);
    const int number = bookedAccount(k.RekNr);
    RekeningRec& rek = work.account(number);
    const Real48& reserveSum = work.accountReserve[number - 1];
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
}

void storeFirstTotals(DataSetWork& work) {
  const DataSetTotals& sums = work.totals;
  AlgemeenRec& totals = work.general();
  totals.Totaal = ld(sums.value) + sums.reserve + work.sumDividend;
  totals.Winst = ld(totals.Totaal) - sums.cumInleg;
  totals.ROTAISomCumInleg = work.rotaiSomCumInleg;
  totals.ROTAISomGewInleg = work.rotaiSomGewInleg;
  totals.ROTAIWinst = ld(sums.value) - work.rotaiSomCumInleg;
}

// --- A later dataset ---

void matchPreviousFunds(DataSetWork& work, FundNameIndex& previousNames) {
  // Datasets computed in order: the names of this one serve the next, so
  // each fund's name is normalised once per recalculation.
  if (!previousNames.holds(work.portfolio, work.previousKoers))
    previousNames = FundNameIndex(work.portfolio, work.previousKoers);
  FundNameIndex names(work.portfolio, work.koersIndex);
  work.previousFunds.assign(work.count, -1);
  work.placeholders.assign(work.count, false);
  for (int offset = 0; offset < work.count; ++offset) {
    const int found = previousNames.offsetOf(names.keyAt(offset));
    if (found >= 0) work.previousFunds[offset] = work.previousKoers + found;
    work.placeholders[offset] = work.fund(offset).isPlaceholder();
  }
  previousNames = std::move(names);
}

void setDurations(DataSetWork& work, DateTime portStartDate) {
  AlgemeenRec& alg = work.general();
  work.datum = wholeDays(alg.Datum);
  alg.PDuur = work.datum - wholeDays(portStartDate);
  alg.SetDuur = work.datum - wholeDays(work.portfolio.algAt(work.previousRek - 1).Datum);
  work.setDuur = alg.SetDuur;
}

// Trades, with the prices as entered.
void bookTrades(DataSetWork& work, Advice& advice) {
  for (int offset = 0; offset < work.count; ++offset) {
    KoersRec& k = work.fund(offset);
    const KoersRec* prev = work.previousFund(offset);
    const bool placeholder = work.placeholders[offset];
    const double prevAantal = prev ? prev->Aantal.value() : 0.0;
    k.FDuur = placeholder ? 0 : (prev ? prev->FDuur : 0) + work.setDuur;
    k.Delta = ld(k.Aantal) - prevAantal;
    if (std::fabs(k.Delta) > kSmallest) {
      k.Flag1 = SetBits(k.Flag1, KoersFlag::BuySell);
      advice.FundAdvice(offset, prev);
    } else {
      k.Flag1 = ClearBits(k.Flag1, KoersFlag::BuySell);
      if (!(k.Flag1 & KoersFlag::RefWaarde)) k.RefWrde = prev ? prev->RefWrde.value() : 0.0;
    }
    // The placeholder row holds no position, so it does not decide the
    // currency of the account it names.
    if (!placeholder) work.account(bookedAccount(k.RekNr)).Valuta = k.Valuta.str();
  }
}

void carryReserves(DataSetWork& work) {
  for (int offset = 0; offset < work.count; ++offset) {
    if (work.placeholders[offset]) continue;
    KoersRec& k = work.fund(offset);
    const KoersRec* prev = work.previousFund(offset);
    const long double f = work.currencyFactor(k);
    if (prev)
      continueFund(k, *prev, f, work.setDuur);
    else
      startNewFund(k, f);
  }
}

void carryAccounts(DataSetWork& work) {
  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    RekeningRec& rek = work.account(number);
    const RekeningRec& prev = work.previousAccount(number);
    rek.RekNaam = prev.RekNaam.str();
    rek.RekNummer = prev.RekNummer.str();
    // A correction, once entered, stays until another one is entered.
    if (std::fabs(rek.RenteCorrectie) < 0.001) rek.RenteCorrectie = prev.RenteCorrectie;
    rek.Saldo = 0;
    rek.Waarde = 0;
    if (rek.CredPerc == 0) rek.CredPerc = prev.CredPerc;
  }
}

void addInterest(DataSetWork& work) {
  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    const long double interest =
        AccountInterestSince(work.portfolio, work.rek, work.previousRek, number, work.setDuur);
    RekeningRec& rek = work.account(number);
    const RekeningRec& prev = work.previousAccount(number);
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
}

// The account's interest, costs and VAT enter once for every fund booked
// on it.
void bookBalances(DataSetWork& work) {
  for (int offset = 0; offset < work.count; ++offset) {
    if (work.placeholders[offset]) continue;
    KoersRec& k = work.fund(offset);
    const long double f = work.currencyFactor(k);
    k.RekNr = static_cast<quint8>(bookedAccount(k.RekNr));
    RekeningRec& rek = work.account(k.RekNr);
    rek.Saldo += (ld(rek.Rente) + k.Reserve - rek.Kosten - rek.BTW) / f;
    rek.Waarde += ld(k.Aantal) * k.Koers;
  }
}

void sumDataSet(DataSetWork& work) {
  DataSetTotals& sums = work.totals;
  for (int offset = 0; offset < work.count; ++offset) {
    if (work.placeholders[offset]) continue;
    const KoersRec& k = work.fund(offset);
    ++work.funds;
    const long double f = work.currencyFactor(k);
    const int number = bookedAccount(k.RekNr);
    sums.value += f * k.Aantal * k.Koers;
    work.sumDividend += f * k.Dividend;
    work.accountReserve[number - 1] += k.Reserve;
    work.accountAbsReserve[number - 1] += std::fabs(k.Reserve);
    sums.reserve += k.Reserve;
    sums.cumInleg += k.CumInleg;
    work.rotaiSomCumInleg += k.ROTAICumInleg;
    work.sumGewInleg += k.GewInleg;
    work.rotaiSomGewInleg += k.ROTAIGewInleg;
  }
  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    const RekeningRec& rek = work.account(number);
    sums.reserve += ld(rek.Rente) - rek.Kosten - rek.BTW;
    sums.interest += ld(rek.CumCRente) + rek.CumDRente;
    sums.cumKosten += rek.CumKosten;
    sums.cumBTW += rek.CumBTW;
  }
}

// Pro-rata shares of the accounts, reserves and fund returns; the last fund
// record shares in nothing.
void shareProRata(DataSetWork& work) {
  for (int offset = 0; offset < work.count; ++offset) {
    KoersRec& k = work.fund(offset);
    const long double f = work.currencyFactor(k);
    if (offset == work.count - 1) {
      k.RatRente = k.RatCumRente = k.RatKosten = k.RatBTW = 0;
      break;
    }
    if (work.placeholders[offset]) continue;
    shareAccount(work, k);
    k.Reserve = ld(k.Reserve) + f * (ld(k.RatRente) - k.RatKosten - k.RatBTW);
    k.FDuur = work.datum - wholeDays(k.CumDatum);
    const long double value = f * k.Aantal * k.Koers;
    k.FRend = FundReturn(ld(k.Reserve) + value - k.CumInleg, k.GewInleg, k.FDuur);
    if (k.FDuur == 0) {
      const KoersRec* prev = work.previousFund(offset);
      k.FRend = prev ? prev->FRend.value() : 0.0;
    }
    k.ROTAIFRend = FundReturn(value - k.ROTAICumInleg, k.ROTAIGewInleg, k.FDuur);
  }
}

void storeTotals(DataSetWork& work) {
  DataSetTotals& sums = work.totals;
  if (sums.reserve > kReserveCap) sums.reserve = kReserveCap;
  AlgemeenRec& totals = work.general();
  totals.Totaal = ld(sums.reserve) + sums.value;
  totals.Winst = ld(totals.Totaal) - sums.cumInleg;
  totals.Rendement = PortfolioReturn(totals.Winst, work.sumGewInleg, totals.PDuur);
  totals.ROTAISomCumInleg = work.rotaiSomCumInleg;
  totals.ROTAISomGewInleg = work.rotaiSomGewInleg;
  totals.ROTAIWinst = ld(sums.value) - work.rotaiSomCumInleg;
  totals.ROTAIRendement = PortfolioReturn(totals.ROTAIWinst, work.rotaiSomGewInleg, totals.PDuur);
}

}  // namespace pelmar
