#include "engine/engine.h"

#include <cmath>

#include "engine/returns.h"
#include "support/portfolio_fixture.h"

namespace pelmar::test {
namespace {

const QDate kStart(2023, 1, 2);
// A return without meaning as a record holds it.
const double kStoredNoReturn = Real48(kNoReturn);

class EngineTest : public PortfolioFixture {
 protected:
  Engine& engine() { return session.engine(); }
  // The first account of dataset `number` (1 = first), found without
  // moving the cursor.
  int rekIndexOf(int number) {
    int rek = Portfolio::kFirstRekIndex;
    int koers = Portfolio::kFirstKoersIndex;
    for (int i = 1; i < number; ++i) portfolio().NextDataSet(rek, koers);
    return rek;
  }
  KoersRec& fundOf(int number, int offset) {
    return portfolio().koersAt(Portfolio::KoersIndexOf(rekIndexOf(number)) + offset);
  }
  RekeningRec& accountOf(int number, int account) {
    return portfolio().rekAt(rekIndexOf(number) + account - 1);
  }
  // A first dataset in which 10 ALPHA were bought at 100 for 1000.
  void startWithAlpha() {
    start(kStart);
    addFund("ALPHA", 1000, 10, 100);
    calc();
  }
};

TEST_F(EngineTest, FirstDataSetBoughtFor1000) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  addFund("BETA", 500, 5, 100).FRend = 12.5;  // stale returns read from a file
  fund(1).ROTAIFRend = -3;
  fund(2).Valuta = QStringLiteral("US$");
  calc();

  EXPECT_DOUBLE_EQ(fund(0).Reserve, 0);
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 1000);
  EXPECT_DOUBLE_EQ(fund(0).GewInleg, 1000);
  EXPECT_DOUBLE_EQ(alg().Totaal, 1500);
  // The placeholder row holds no position: it does not decide the currency
  // of the account it names, here or in a later dataset.
  EXPECT_EQ(account(1).Valuta, QStringLiteral("EUR"));
  // Every fund of a first dataset starts without a return, not only the
  // selected one.
  EXPECT_EQ(fund(1).FRend, 0.0);
  EXPECT_EQ(fund(1).ROTAIFRend, 0.0);
  next(kStart.addDays(1));
  EXPECT_EQ(account(1).Valuta, QStringLiteral("EUR"));
}

TEST_F(EngineTest, ANewFundHasNoReturnUntilItHasHistory) {
  startWithAlpha();
  append(kStart.addDays(7));
  addFund("LATE", 1000, 10, 100).CumDatum = dateToSerial(kStart);  // FDuur 7
  addFund("TODAY", 500, 5, 100);
  calc();
  EXPECT_DOUBLE_EQ(fund(1).GewInleg, 0);
  EXPECT_DOUBLE_EQ(fund(1).FRend, kStoredNoReturn);
  EXPECT_EQ(fund(2).FDuur, 0);
  EXPECT_DOUBLE_EQ(fund(2).FRend, 0);  // the previous fund's return, none

  next(kStart.addDays(14));
  EXPECT_DOUBLE_EQ(fund(1).GewInleg, 7000);
  EXPECT_NEAR(fund(1).FRend, 0, 1e-9);
}

TEST_F(EngineTest, CreditAndDebitInterestOverAYear) {
  start(kStart);
  addFund("RICH", 2000, 10, 100).RekNr = 1;  // reserve +1000
  addFund("POOR", 0, 10, 100).RekNr = 2;     // reserve −1000
  calc();
  append(kStart.addDays(365));
  for (int number : {1, 2}) {
    account(number).CredRente = 3;
    account(number).DebRente = 6;
  }
  calc();
  const double credit = 1000 * (std::pow(1.03, 365 / 365.25) - 1);
  const double debit = -1000 * (std::pow(1.06, 365 / 365.25) - 1);
  EXPECT_NEAR(account(1).CumCRente, credit, 1e-6);
  EXPECT_NEAR(account(2).CumDRente, debit, 1e-6);
  // The interest goes to the fund that carries the account's reserve.
  EXPECT_NEAR(fund(0).RatRente, credit, 1e-6);
  EXPECT_NEAR(fund(0).Reserve, 1000 + credit, 1e-6);
  EXPECT_NEAR(fund(1).Reserve, -1000 + debit, 1e-6);
  EXPECT_NEAR(engine().totals().interest, credit + debit, 1e-6);

  // A balance above 0.001 earns the credit rate, one of 0.001 pays the
  // debit rate.
  const int rek = portfolio().FirstRekIndex();
  accountOf(1, 1).Saldo = 0.001;
  EXPECT_NEAR(engine().AccountInterest(rek, 1, 365) / 0.001, -debit / 1000, 1e-6);
  accountOf(1, 1).Saldo = 0.0011;
  EXPECT_NEAR(engine().AccountInterest(rek, 1, 365) / 0.0011, credit / 1000, 1e-6);
  EXPECT_EQ(engine().AccountInterest(rek, 1, 0), 0.0L);
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
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 497);
  EXPECT_DOUBLE_EQ(fund(1).Reserve, -503);
  EXPECT_DOUBLE_EQ(fund(2).RatKosten, 4);  // the only reserve on account 2
  EXPECT_DOUBLE_EQ(fund(2).Reserve, 96);
  EXPECT_DOUBLE_EQ(engine().totals().cumKosten, 13);
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
  EXPECT_DOUBLE_EQ(fund(1).RefWrde, 1200);
  EXPECT_DOUBLE_EQ(fund(1).Reserve, -1200);  // bought anew, paid from nothing
  EXPECT_EQ(engine().FindFund(QStringLiteral("  abc")), 0);
  EXPECT_EQ(engine().FindFund(QStringLiteral("xyw")), 1);
  EXPECT_EQ(engine().FindFund(QStringLiteral("xyz")), -1);
}

TEST_F(EngineTest, ReservesCountForAtMostAMillion) {
  start(kStart);
  addFund("CASH", 3000000, 10, 100);
  calc();
  next(kStart.addDays(1));
  EXPECT_DOUBLE_EQ(engine().totals().reserve, 1000000);
  EXPECT_DOUBLE_EQ(alg().Totaal, 1001000);
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 2999000);  // the fund keeps its reserve
}

TEST_F(EngineTest, AnUnusableDollarRateNeverStoresInfinityOrNaN) {
  for (const double rate : {0.0, -1.0, std::nan(""), 1e-9}) {
    SCOPED_TRACE(rate);
    start(kStart);
    addFund("USD", 1250, 10, 100).Valuta = QStringLiteral("US$");
    alg().Dollar = rate;
    calc();
    next(kStart.addDays(30));
    // The amounts are taken as they stand.
    EXPECT_DOUBLE_EQ(fund(0).Reserve, 250);
    for (const double value :
         {fund(0).CumInleg.value(), fund(0).FRend.value(), alg().Totaal.value(),
          alg().Rendement.value(), account(1).Rente.value()})
      EXPECT_TRUE(std::isfinite(value));
  }
}

// The engine computes the dataset it is given; the cursor, the selected
// fund and the changed flag are the commands' business.
TEST_F(EngineTest, ComputingOlderDataSetsLeavesTheCursorAlone) {
  startWithAlpha();
  next(kStart.addDays(30));
  next(kStart.addDays(60));
  select(1);
  portfolio().markUnchanged();
  const int lastRek = portfolio().FirstRekIndex();
  const auto expectCursorKept = [&] {
    EXPECT_EQ(portfolio().FirstRekIndex(), lastRek);
    EXPECT_EQ(portfolio().SelFonds(), 1);
    EXPECT_FALSE(portfolio().bPortChanged());
  };

  fundOf(1, 0).Inleg = 1500;  // a deposit corrected in the first dataset
  engine().CalcDataSet(rekIndexOf(1), 0);
  engine().CalcDataSet(rekIndexOf(2));
  expectCursorKept();
  EXPECT_DOUBLE_EQ(fundOf(2, 0).Reserve, 500);
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 0);  // only the dataset given

  // All datasets before the last, each from its freshly computed
  // predecessor; the last is computed when it is shown.
  fundOf(1, 0).Inleg = 2000;
  std::vector<std::pair<int, int>> progress;
  engine().CalcAllDataSets(0, [&](int done, int total) { progress.push_back({done, total}); });
  expectCursorKept();
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
  EXPECT_DOUBLE_EQ(fundOf(2, 0).Reserve, 1000);
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 0);
  calc();
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 1000);
}

// An interest correction and a credit percentage stay in later datasets
// until another non-zero value is entered; the correction is part of the
// interest of every dataset that holds it.
TEST_F(EngineTest, InterestCorrectionAndCreditPercentageCarryForward) {
  startWithAlpha();
  next(kStart.addDays(30));
  next(kStart.addDays(60));
  // Entered in datasets 1 to 3 (0 = none), then recalculated in order:
  // what datasets 2 and 3 hold.
  struct Row {
    double correction[3];
    int percentage[3];
    double carried[2];
    int carriedPercentage[2];
  };
  const Row rows[] = {
      {{5, 0, 0}, {50, 0, 0}, {5, 5}, {50, 50}},       // dataset 1 reaches dataset 3
      {{5, 7, 0}, {50, 60, 0}, {7, 7}, {60, 60}},      // a change in dataset 2 goes on
      {{5, 7, 9}, {50, 60, 70}, {7, 9}, {60, 70}},     // each keeps its own
      {{5, 0.0009, 0}, {50, 0, 0}, {5, 5}, {50, 50}},  // below 0.001 counts as none
      {{5, -2, 0}, {50, 0, 0}, {-2, -2}, {50, 50}},    // a negative one goes on too
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.correction[1]);
    for (int number = 1; number <= 3; ++number) {
      accountOf(number, 1).RenteCorrectie = row.correction[number - 1];
      accountOf(number, 1).CredPerc = static_cast<quint8>(row.percentage[number - 1]);
    }
    SpeedRekenClick(session);
    calc();
    for (int number = 2; number <= 3; ++number) {
      EXPECT_DOUBLE_EQ(accountOf(number, 1).RenteCorrectie, Real48(row.carried[number - 2]));
      EXPECT_EQ(accountOf(number, 1).CredPerc, row.carriedPercentage[number - 2]);
      EXPECT_DOUBLE_EQ(accountOf(number, 1).Rente, Real48(row.carried[number - 2]));
    }
  }
}

TEST_F(EngineTest, AMalformedListIsLeftAlone) {
  startWithAlpha();
  append(kStart.addDays(30));
  const int rek = portfolio().FirstRekIndex();
  EXPECT_EQ(engine().AccountInterest(rek, 6, 30), 0.0L);
  EXPECT_EQ(engine().AccountInterest(rek, 0, 30), 0.0L);
  EXPECT_FALSE(engine().CalcDataSet(rek + 1));  // no dataset starts there
  // The previous dataset lost an account: nothing is computed.
  portfolio().removeRecords(Portfolio::kFirstRekIndex + 4, 1);
  portfolio().koersAt(Portfolio::KoersIndexOf(rek - 1)).Inleg = 500;
  EXPECT_FALSE(engine().CalcDataSet(rek - 1));
  EXPECT_EQ(engine().AccountInterest(rek - 1, 1, 30), 0.0L);
  EXPECT_DOUBLE_EQ(portfolio().koersAt(Portfolio::KoersIndexOf(rek - 1)).CumInleg, 1000);
  // A dataset without funds.
  portfolio().removeRecords(Portfolio::KoersIndexOf(rek - 1), 2);
  EXPECT_FALSE(engine().CalcDataSet(rek - 1));
}

// Returns of w profit on gi weighted investment over d days; the average
// capital gi / d is about 1000 throughout, so G = w / 1000 + 1.
TEST(ReturnsTest, GuardsGiveNoReturn) {
  struct Row {
    double w, gi;
    int d;
    double expected;
  };
  const Row rows[] = {
      {100, 366000, 365, annual(100, 366000, 365)},
      {-100, 366000, 365, annual(-100, 366000, 365)},
      {-990, 365000, 365, annual(-990, 365000, 365)},  // G = 0.01: nearly all lost
      {-1000, 365000, 365, kNoReturn},                 // G = 0: all lost
      {-1010, 365000, 365, kNoReturn},                 // G = −0.01
      {-1010, 1000, 1, kNoReturn},      // G = −0.01, whose power rounds to −100 %
      {-7000, 366000, 365, kNoReturn},  // a loss of seven times the capital
      {100, 0.5, 365, kNoReturn},       // no capital at work
      {100, 366000, 0, kNoReturn},      // no time
      {1e9, 1000, 1, kNoReturn},        // would exceed 99999.99 %
      {100, -366000, 365, kNoReturn},   // a negative investment
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.w);
    SCOPED_TRACE(row.d);
    EXPECT_NEAR(static_cast<double>(FundReturn(row.w, row.gi, row.d)), row.expected, 1e-7);
    EXPECT_NEAR(static_cast<double>(PortfolioReturn(row.w, row.gi, row.d)), row.expected, 1e-7);
  }
}

}  // namespace
}  // namespace pelmar::test
