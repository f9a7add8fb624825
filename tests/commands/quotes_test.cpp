#include "commands/quotes.h"

#include <gtest/gtest.h>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

class DollarTick : public test::PortfolioFixture {
 protected:
  DollarTick() {
    session.clock().fix(QDate(2024, 3, 15));
    start(QDate(2024, 3, 1));
    addFund(QStringLiteral("eur.dol"), 0, 0, 1.1);
    addFund(QStringLiteral("USDEUR=X"), 0, 0, 0.9);
    calc();
    next(QDate(2024, 3, 15));
    portfolio().markOpened();
    portfolio().setDollarKoers(0.95);
  }

  static DollarRate rate(double value) {
    DollarRate r;
    r.rate = value;
    r.unrounded = value + 0.00003;
    r.failure = DollarPageFailure::None;
    return r;
  }

  QByteArray todaysFile() { return test::readFile(path(QStringLiteral("Prices/240315A.csv"))); }
};

TEST_F(DollarTick, NewRateGoesIntoFileDataSetAndCurrencyFund) {
  select(0);
  fund(0).Flag1 = 0;  // no position yet
  const DollarTickResult result = ApplyDollarRate(session, rate(0.8));
  EXPECT_TRUE(result.changed);
  EXPECT_TRUE(result.written);
  EXPECT_TRUE(result.fundChanged);
  EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), Real48(0.8));
  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(0.8));
  EXPECT_DOUBLE_EQ(fund(0).Koers, Real48(1.25));
  EXPECT_EQ(
      todaysFile(),
      QByteArray("Dollar/Euro,dol.eur,24/03/15,0.8000\r\nEUR/USD,EURUSD=X,24/03/15,1.2500\r\n"
                 "Euro/Dollar,eur.dol,24/03/15,1.2500\r\nUSD/EUR,USDEUR=X,24/03/15,0.8000\r\n"));
}

TEST_F(DollarTick, SameRateOrFailureChangesNothing) {
  portfolio().setDollarKoers(0.8);
  alg().Dollar = 0.9;
  const DollarTickResult same = ApplyDollarRate(session, rate(0.8));
  EXPECT_TRUE(same.arrived);
  EXPECT_FALSE(same.changed);
  EXPECT_TRUE(todaysFile().isEmpty());
  // The dataset dated today still takes the unrounded rate of the fetch.
  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(0.80003));

  DollarRate failed;
  failed.failure = DollarPageFailure::NoMark;
  EXPECT_FALSE(ApplyDollarRate(session, failed).arrived);
  EXPECT_FALSE(ApplyDollarRate(session, rate(0.09)).arrived);
  EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), Real48(0.8));
}

TEST_F(DollarTick, OlderDataSetAndUpperCaseTickerKeepTheirValues) {
  goToDataSet(1);
  select(1);
  const double dollarBefore = alg().Dollar;
  ASSERT_TRUE(ApplyDollarRate(session, rate(0.8)).changed);
  EXPECT_DOUBLE_EQ(alg().Dollar, dollarBefore);  // not the last dataset
  EXPECT_DOUBLE_EQ(fund(1).Koers, Real48(0.9));  // "USDEUR=X" is compared exactly
  EXPECT_FALSE(todaysFile().isEmpty());
}

TEST(QuoteButtonsTest, AexTakesThePlaceWhenBothAreOn) {
  Settings s;
  EXPECT_FALSE(ShowQuoteButtons(s).dollar || ShowQuoteButtons(s).aex);
  s.downloadDollarQuote = true;
  EXPECT_TRUE(ShowQuoteButtons(s).dollar);
  s.downloadAexQuote = true;
  EXPECT_FALSE(ShowQuoteButtons(s).dollar);
  EXPECT_TRUE(ShowQuoteButtons(s).aex);
}

}  // namespace
}  // namespace pelmar
