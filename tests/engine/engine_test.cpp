#include "engine/engine.h"

#include <cmath>

#include "engine/returns.h"
#include "engine_fixture.h"

namespace pelmar::test {
namespace {

const QDate kStart(2023, 1, 2);
// A return without meaning as a record holds it.
const double kStoredNoReturn = Real48(kNoReturn);

using EngineTest = EngineFixture;

TEST_F(EngineTest, FirstDataSetBoughtFor1000) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  addFund("BETA", 500, 5, 100).FRend = 12.5;  // stale returns read from a file
  fund(1).ROTAIFRend = -3;
  calc();

  EXPECT_DOUBLE_EQ(fund(0).Reserve, 0);
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 1000);
  EXPECT_DOUBLE_EQ(fund(0).CumInleg, 1000);
  EXPECT_DOUBLE_EQ(fund(0).GewInleg, 1000);
  EXPECT_DOUBLE_EQ(fund(0).Delta, 10);
  EXPECT_TRUE(fund(0).Flag1 & KoersFlag::BuySell);
  EXPECT_DOUBLE_EQ(alg().Totaal, 1500);
  EXPECT_DOUBLE_EQ(alg().Winst, 0);
  EXPECT_DOUBLE_EQ(alg().ROTAIWinst, 0);
  EXPECT_DOUBLE_EQ(engine.SumValue, 1500);
  EXPECT_EQ(account(1).Valuta, QStringLiteral("EUR"));
  // Every fund of a first dataset starts without a return, not only the
  // selected one.
  EXPECT_EQ(fund(1).FRend, 0.0);
  EXPECT_EQ(fund(1).ROTAIFRend, 0.0);
}

TEST_F(EngineTest, AYearLaterTheFundEarnsItsAnnualReturn) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  calc();
  append(kStart.addDays(365));
  fund(0).Koers = 110;
  calc();

  EXPECT_EQ(alg().SetDuur, 365);
  EXPECT_EQ(alg().PDuur, 365);
  EXPECT_DOUBLE_EQ(fund(0).Delta, 0);
  EXPECT_FALSE(fund(0).Flag1 & KoersFlag::BuySell);
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 1000);
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 0);
  EXPECT_DOUBLE_EQ(fund(0).GewInleg, 366000);
  EXPECT_EQ(fund(0).FDuur, 365);
  EXPECT_NEAR(fund(0).FRend, annual(100, 366000, 365), 1e-7);
  EXPECT_NEAR(fund(0).FRend, 9.98, 0.005);
  EXPECT_NEAR(fund(0).ROTAIFRend, annual(100, 366000, 365), 1e-7);
  EXPECT_NEAR(alg().Rendement, annual(100, 366000, 365), 1e-7);
  EXPECT_DOUBLE_EQ(alg().Totaal, 1100);
  EXPECT_DOUBLE_EQ(alg().Winst, 100);
}

TEST_F(EngineTest, ANewFundHasNoReturnUntilItHasHistory) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  calc();
  append(kStart.addDays(7));
  KoersRec& late = addFund("LATE", 1000, 10, 100);
  late.CumDatum = dateToSerial(kStart);  // counted from the start: FDuur 7
  KoersRec& today = addFund("TODAY", 500, 5, 100);
  Q_UNUSED(today);
  calc();
  EXPECT_DOUBLE_EQ(fund(1).GewInleg, 0);
  EXPECT_DOUBLE_EQ(fund(1).RefWrde, 1000);
  EXPECT_DOUBLE_EQ(fund(1).Reserve, 0);
  EXPECT_DOUBLE_EQ(fund(1).FRend, kStoredNoReturn);
  EXPECT_EQ(fund(2).FDuur, 0);
  EXPECT_DOUBLE_EQ(fund(2).FRend, 0);  // the previous fund's return, none

  next(kStart.addDays(14));
  EXPECT_DOUBLE_EQ(fund(1).GewInleg, 7000);
  EXPECT_NEAR(fund(1).FRend, 0, 1e-9);
}

TEST_F(EngineTest, InterestTurnsToTheCreditRateAbove0001) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  calc();
  append(kStart.addDays(365));
  account(1).CredRente = 3;
  account(1).DebRente = 6;
  RekeningRec& previous = portfolio.rekAt(Portfolio::kFirstRekIndex);
  previous.Saldo = 0.001;
  EXPECT_NEAR(engine.AccountInterest(1, 365) / 0.001, std::pow(1.06, 365 / 365.25) - 1, 1e-6);
  previous.Saldo = 0.0011;
  EXPECT_NEAR(engine.AccountInterest(1, 365) / 0.0011, std::pow(1.03, 365 / 365.25) - 1, 1e-6);
  EXPECT_EQ(engine.AccountInterest(1, 0), 0.0L);
}

TEST_F(EngineTest, CreditAndDebitInterestOverAYear) {
  start(kStart);
  addFund("RICH", 2000, 10, 100).RekNr = 1;  // reserve +1000
  addFund("POOR", 0, 10, 100).RekNr = 2;     // reserve −1000
  calc();
  EXPECT_DOUBLE_EQ(account(1).Saldo, 1000);
  EXPECT_DOUBLE_EQ(account(2).Saldo, -1000);
  append(kStart.addDays(365));
  for (int number : {1, 2}) {
    account(number).CredRente = 3;
    account(number).DebRente = 6;
  }
  calc();
  const double credit = 1000 * (std::pow(1.03, 365 / 365.25) - 1);
  const double debit = -1000 * (std::pow(1.06, 365 / 365.25) - 1);
  EXPECT_NEAR(account(1).Rente, credit, 1e-6);
  EXPECT_NEAR(account(1).CumCRente, credit, 1e-6);
  EXPECT_DOUBLE_EQ(account(1).CumDRente, 0);
  EXPECT_NEAR(account(2).Rente, debit, 1e-6);
  EXPECT_NEAR(account(2).CumDRente, debit, 1e-6);
  EXPECT_DOUBLE_EQ(account(2).CumCRente, 0);
  // The interest goes to the fund that carries the account's reserve.
  EXPECT_NEAR(fund(0).RatRente, credit, 1e-6);
  EXPECT_NEAR(fund(0).Reserve, 1000 + credit, 1e-6);
  EXPECT_NEAR(fund(1).Reserve, -1000 + debit, 1e-6);
  EXPECT_NEAR(account(1).Saldo, 1000 + credit, 1e-6);
  EXPECT_NEAR(engine.SumInterest, credit + debit, 1e-6);
  EXPECT_NEAR(engine.SumReserve, credit + debit, 1e-6);
}

TEST_F(EngineTest, ReservesThatCancelSplitAccountCostsEquallyOverAllFunds) {
  start(kStart);
  addFund("PLUS", 1500, 10, 100);             // reserve +500 on account 1
  addFund("MINUS", 500, 10, 100);             // reserve −500 on account 1
  addFund("OTHER", 1100, 10, 100).RekNr = 2;  // reserve 100 on account 2
  calc();
  append(kStart.addDays(30));
  account(1).Kosten = 9;
  account(2).Kosten = 4;
  calc();
  EXPECT_DOUBLE_EQ(fund(0).RatKosten, 3);  // 9 over the three funds
  EXPECT_DOUBLE_EQ(fund(1).RatKosten, 3);
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 497);
  EXPECT_DOUBLE_EQ(fund(1).Reserve, -503);
  EXPECT_DOUBLE_EQ(fund(2).RatKosten, 4);  // the only reserve on account 2
  EXPECT_DOUBLE_EQ(fund(2).Reserve, 96);
  EXPECT_DOUBLE_EQ(account(1).CumKosten, 9);
  EXPECT_DOUBLE_EQ(engine.SumCumKosten, 13);
  // The account's costs enter its balance once for every fund booked on it.
  EXPECT_DOUBLE_EQ(account(1).Saldo, 500 - 9 - 500 - 9);
}

TEST_F(EngineTest, ADataSetOnTheSameDayAddsNoInterestOrWeight) {
  start(kStart);
  addFund("ALPHA", 2000, 10, 100);
  calc();
  next(kStart.addDays(30));
  account(1).CredRente = 3;
  const double gewInleg = fund(0).GewInleg;
  const double fRend = fund(0).FRend;
  next(kStart.addDays(30));
  EXPECT_EQ(alg().SetDuur, 0);
  EXPECT_DOUBLE_EQ(account(1).Rente, 0);
  EXPECT_DOUBLE_EQ(fund(0).GewInleg, gewInleg);
  EXPECT_DOUBLE_EQ(fund(0).FRend, fRend);
}

TEST_F(EngineTest, FundsMatchByNameWithBlanksAndCaseIgnored) {
  start(kStart);
  addFund("ABC", 1000, 10, 100);
  addFund("XYZ", 1000, 10, 100);
  calc();
  append(kStart.addDays(30));
  fund(0).Ticker = QStringLiteral("a B c");
  fund(1).Ticker = QStringLiteral("XYW");  // renamed: a new fund
  fund(1).Koers = 120;
  calc();
  EXPECT_DOUBLE_EQ(fund(0).GewInleg, 1000 + 1000 * 30);
  EXPECT_DOUBLE_EQ(fund(1).GewInleg, 0);
  EXPECT_DOUBLE_EQ(fund(1).RefWrde, 1200);
  EXPECT_DOUBLE_EQ(fund(1).Reserve, -1200);  // bought anew, paid from nothing
  EXPECT_EQ(engine.FindFund(QStringLiteral("  abc")), 0);
  EXPECT_EQ(engine.FindFund(QStringLiteral("xyw")), 1);
  EXPECT_EQ(engine.FindFund(QStringLiteral("xyz")), -1);
  EXPECT_EQ(engine.FindFund(QStringLiteral("[new]")), 2);
}

TEST_F(EngineTest, ReservesCountForAtMostAMillion) {
  start(kStart);
  addFund("CASH", 3000000, 10, 100);
  calc();
  next(kStart.addDays(1));
  EXPECT_DOUBLE_EQ(engine.SumReserve, 1000000);
  EXPECT_DOUBLE_EQ(alg().Totaal, 1001000);
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 2999000);  // the fund keeps its reserve
}

TEST_F(EngineTest, ThePlaceholderRowDoesNotDecideTheAccountCurrency) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  fund(1).Valuta = QStringLiteral("US$");
  calc();
  EXPECT_EQ(account(1).Valuta, QStringLiteral("EUR"));
  next(kStart.addDays(1));
  EXPECT_EQ(account(1).Valuta, QStringLiteral("EUR"));
}

TEST_F(EngineTest, AnUnusableDollarRateNeverStoresInfinityOrNaN) {
  for (const double rate : {0.0, -1.0, std::nan(""), 1e-9}) {
    SCOPED_TRACE(rate);
    start(kStart);
    KoersRec& usd = addFund("USD", 1250, 10, 100);
    usd.Valuta = QStringLiteral("US$");
    alg().Dollar = rate;
    calc();
    next(kStart.addDays(30));
    // The amounts are taken as they stand.
    EXPECT_DOUBLE_EQ(fund(0).Reserve, 250);
    EXPECT_DOUBLE_EQ(account(1).Saldo, 250);
    for (const double value :
         {fund(0).CumInleg.value(), fund(0).FRend.value(), alg().Totaal.value(),
          alg().Rendement.value(), account(1).Rente.value()})
      EXPECT_TRUE(std::isfinite(value));
  }
}

TEST_F(EngineTest, RecalculatingCarriesAChangeThroughLaterDataSets) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  calc();
  next(kStart.addDays(30));
  next(kStart.addDays(60));
  portfolio.FirstDataSet(portfolio.FirstRekIndex, portfolio.FirstKoersIndex);
  fund(0).Inleg = 1500;  // a deposit corrected in the first dataset
  portfolio.LastDataSet(portfolio.FirstRekIndex, portfolio.FirstKoersIndex);
  const int lastRek = portfolio.FirstRekIndex;
  portfolio.SelFonds = 0;
  portfolio.bPortChanged = false;
  std::vector<int> progress;
  engine.SpeedRekenClick([&](int done, int total) {
    EXPECT_EQ(total, 2);
    progress.push_back(done);
  });
  EXPECT_EQ(progress, (std::vector<int>{1, 2}));
  EXPECT_EQ(portfolio.FirstRekIndex, lastRek);
  EXPECT_TRUE(portfolio.bPortChanged);
  // The second dataset took the corrected reserve; the last one is
  // computed when it is shown.
  portfolio.PrevDataSet(portfolio.FirstRekIndex, portfolio.FirstKoersIndex);
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 500);
  EXPECT_DOUBLE_EQ(fund(0).CumInleg, 1500);
}

TEST_F(EngineTest, AMalformedListIsLeftAlone) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  calc();
  append(kStart.addDays(30));
  EXPECT_EQ(engine.AccountInterest(6, 30), 0.0L);
  EXPECT_EQ(engine.AccountInterest(0, 30), 0.0L);
  // The previous dataset lost an account, the current one its funds.
  portfolio.removeRecords(Portfolio::kFirstRekIndex + 4, 1);
  portfolio.FirstRekIndex -= 1;
  portfolio.FirstKoersIndex -= 1;
  fund(0).Inleg = 500;
  calc();
  EXPECT_DOUBLE_EQ(fund(0).CumInleg, 1000);  // not computed
  portfolio.removeRecords(portfolio.FirstKoersIndex, funds());
  calc();
  EXPECT_EQ(engine.FindFund(QStringLiteral("alpha")), -1);
}

TEST(ReturnsTest, GuardsGiveNoReturn) {
  struct Row {
    double w, gi;
    int d;
    double expected;
  };
  const Row rows[] = {
      {100, 366000, 365, annual(100, 366000, 365)},
      {-100, 366000, 365, annual(-100, 366000, 365)},
      {100, 0.5, 365, kNoReturn},       // no capital at work
      {100, 366000, 0, kNoReturn},      // no time
      {1e9, 1000, 1, kNoReturn},        // would exceed 99999.99 %
      {-7000, 366000, 365, kNoReturn},  // a loss larger than the capital
      {-999.9, 1000, 1, kNoReturn},     // growth too close to zero
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.w);
    EXPECT_NEAR(static_cast<double>(FundReturn(row.w, row.gi, row.d)), row.expected, 1e-7);
    EXPECT_NEAR(static_cast<double>(PortfolioReturn(row.w, row.gi, row.d)), row.expected, 1e-7);
  }
  EXPECT_EQ(PortfolioReturn(100, -366000, 365), kNoReturn);
  EXPECT_EQ(FundReturn(100, -366000, 365), kNoReturn);
}

}  // namespace
}  // namespace pelmar::test
