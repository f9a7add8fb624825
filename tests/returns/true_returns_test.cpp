#include "returns/true_returns.h"

#include <cmath>

#include "returns/rates.h"
#include "support/portfolio_fixture.h"

namespace pelmar::test {
namespace {

const QDate kStart(2023, 1, 2);
constexpr int kSince = int(ReturnPeriod::SinceStart);
constexpr int kYear = int(ReturnPeriod::ThisYear);
constexpr int kTwelve = int(ReturnPeriod::Last12Months);

qint64 dayOf(QDate date) {
  return static_cast<qint64>(dateToSerial(date));
}

class TrueReturnsTest : public PortfolioFixture {
 protected:
  TrueReturns now() { return TrueReturnsOf(portfolio(), portfolio().FirstRekIndex()); }
  // A first dataset in which 10 ALPHA were bought at 100 for 1000.
  void startWithAlpha() {
    start(kStart);
    addFund("ALPHA", 1000, 10, 100);
    calc();
  }
  // Appends a dataset `days` after the start with ALPHA at `price`.
  void priced(int days, double price) {
    append(kStart.addDays(days));
    fund(0).Koers = price;
    calc();
  }
};

TEST_F(TrueReturnsTest, WithoutPaymentsBothAreThePlainGrowth) {
  startWithAlpha();
  priced(200, 110);
  priced(500, 121);
  const TrueReturns returns = now();
  ASSERT_EQ(returns.funds.size(), 1u);
  const double perYear = (std::pow(1.21, 365.0 / 500) - 1) * 100;
  for (const HoldingReturns& holding : {returns.portfolio, returns.funds[0].returns}) {
    const PeriodReturns& since = holding[kSince];
    EXPECT_EQ(since.days(), 500);
    EXPECT_TRUE(since.annualised);
    EXPECT_NEAR(*since.twr, perYear, 1e-9);
    EXPECT_NEAR(*since.irr, perYear, 1e-9);
    // This year (2024) starts from the dataset of 2023-07-21, the last one
    // before it: 300 days, plain.
    const PeriodReturns& year = holding[kYear];
    EXPECT_EQ(year.from, dayOf(kStart.addDays(200)));
    EXPECT_FALSE(year.annualised);
    EXPECT_NEAR(*year.twr, 10, 1e-9);
    EXPECT_NEAR(*year.irr, 10, 1e-9);
    // The last 12 months reach back to the first dataset.
    EXPECT_EQ(holding[kTwelve].from, since.from);
    EXPECT_NEAR(*holding[kTwelve].twr, perYear, 1e-9);
  }
  EXPECT_EQ(returns.funds[0].ticker, QStringLiteral("ALPHA"));
}

TEST_F(TrueReturnsTest, ADepositIsNoGrowthOfThePortfolioNorOfTheFund) {
  startWithAlpha();
  append(kStart.addDays(182));
  fund(0).Koers = 110;
  fund(0).Inleg = 200;  // kept in the reserve
  calc();
  priced(365, 115);
  const TrueReturns returns = now();
  const PeriodReturns& whole = returns.portfolio[kSince];
  EXPECT_FALSE(whole.annualised);
  EXPECT_NEAR(*whole.twr, (1.1 * 1350 / 1300 - 1) * 100, 1e-9);
  // −1000, −200 after 182 days, +1350 after 365 days (solved by bisection).
  EXPECT_NEAR(*whole.irr, 13.672769714346153, 1e-7);
  // The shares alone saw no payment.
  EXPECT_NEAR(*returns.funds[0].returns[kSince].twr, 15, 1e-9);
  EXPECT_NEAR(*returns.funds[0].returns[kSince].irr, 15, 1e-9);

  const std::vector<TwrStep> history = TwrHistory(portfolio(), {});
  ASSERT_EQ(history.size(), 3u);
  EXPECT_NEAR(*history[0].twr, 0, 1e-9);
  EXPECT_NEAR(*history[1].twr, 10, 1e-9);
  EXPECT_NEAR(*history[2].twr, *whole.twr, 1e-9);
  EXPECT_NEAR(*TwrHistory(portfolio(), QStringLiteral(" alpha"))[2].twr, 15, 1e-9);
}

TEST_F(TrueReturnsTest, AllMoneyOutAndBackInOnOneDayChangesNoTimeWeightedReturn) {
  startWithAlpha();
  priced(100, 120);
  priced(200, 108);
  const double plain = *now().portfolio[kSince].twr;
  EXPECT_NEAR(plain, 8, 1e-9);

  startWithAlpha();
  append(kStart.addDays(100));
  fund(0).Koers = 120;
  fund(0).Aantal = 0;     // everything sold
  fund(0).Inleg = -1200;  // and taken out
  calc();
  append(kStart.addDays(100));
  fund(0).Aantal = 10;  // bought back the same day
  fund(0).Inleg = 1200;
  calc();
  priced(200, 108);
  const TrueReturns returns = now();
  EXPECT_NEAR(*returns.portfolio[kSince].twr, plain, 1e-9);
  EXPECT_NEAR(*returns.portfolio[kSince].irr, plain, 1e-9);
  EXPECT_NEAR(*returns.funds[0].returns[kSince].twr, plain, 1e-9);
}

// The payments of a fund's shares: purchases at their price with costs,
// dividends received, the value at the end.
TEST_F(TrueReturnsTest, AFundsCostsAndDividendsArePayments) {
  start(kStart);
  addFund("ALPHA", 1010, 10, 100).Kosten = 10;
  calc();
  append(kStart.addDays(100));
  fund(0).Koers = 110;
  fund(0).Dividend = 20;
  calc();
  append(kStart.addDays(200));
  fund(0).Koers = 120;
  fund(0).Aantal = 15;
  fund(0).Kosten = 6;
  calc();
  priced(300, 115);
  const PeriodReturns& since = now().funds[0].returns[kSince];
  const double growth =
      1000.0 / 1010 * 1.1 * 1120 / 1100 * 1200.0 / 1100 * 1800.0 / 1806 * 1725.0 / 1800;
  EXPECT_NEAR(*since.twr, (growth - 1) * 100, 1e-9);
  const std::vector<DatedFlow> flows = {{0, -1010}, {100, 20}, {200, -606}, {300, 1725}};
  EXPECT_NEAR(*since.irr, std::expm1(*InternalRatePerYear(flows) * 300 / 365) * 100, 1e-9);
}

TEST_F(TrueReturnsTest, NothingAtWorkHasNoRate) {
  start(kStart);
  addFund("EMPTY", 0, 0, 100);
  calc();
  priced(30, 101);
  const TrueReturns returns = now();
  EXPECT_FALSE(returns.funds[0].returns[kSince].twr);
  EXPECT_FALSE(returns.funds[0].returns[kSince].irr);
  EXPECT_FALSE(returns.portfolio[kSince].irr);
}

}  // namespace
}  // namespace pelmar::test
