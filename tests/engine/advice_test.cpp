#include "support/advice_fixture.h"

namespace pelmar::test {
namespace {

using AdviceTest = AdviceFixture;

TEST_F(AdviceTest, GrowthFactorEnlargesPurchasesUnlessNeutral) {
  fund(0).f = 0.5;
  fund(0).Koers = 80;
  calc();
  AdviceFigures figures = adviceOf(0);
  EXPECT_DOUBLE_EQ(figures.buyGrowth, 2);
  EXPECT_DOUBLE_EQ(figures.buyShares, Real48(2.2222));
  EXPECT_DOUBLE_EQ(figures.adviceShares, 5);
  fund(0).f = 1.0;
  fund(0).v = 0.5;
  calc();
  figures = adviceOf(0);
  EXPECT_DOUBLE_EQ(figures.buyGrowth, 1);
  EXPECT_DOUBLE_EQ(figures.sellGrowth, 2);
  EXPECT_DOUBLE_EQ(figures.buyShares, Real48(1.1111));
  EXPECT_DOUBLE_EQ(figures.sellShares, Real48(1.8182));
}

// Falling prices, 10 % a step, the method buying at each: where the
// reserve runs out, and the two cases where it never does.
TEST_F(AdviceTest, ReserveExhaustion) {
  fund(0).Reserve = 100;
  ReserveExhaustion exhaustion = ReserveExhaustionOf(fund(0));
  EXPECT_EQ(exhaustion.kind, ReserveExhaustion::Kind::At);
  EXPECT_DOUBLE_EQ(exhaustion.price, 90);
  EXPECT_NEAR(exhaustion.reserve, -1, 1e-9);
  EXPECT_NEAR(exhaustion.shares, 10.1, 1e-9);
  fund(0).Reserve = 1e9;
  EXPECT_EQ(ReserveExhaustionOf(fund(0)).kind, ReserveExhaustion::Kind::NotReached);
  fund(0).Aantal = 0;
  exhaustion = ReserveExhaustionOf(fund(0));
  EXPECT_EQ(exhaustion.kind, ReserveExhaustion::Kind::WithoutShares);
  EXPECT_DOUBLE_EQ(exhaustion.price, 0);
}

TEST_F(AdviceTest, ReferenceValueRules) {
  // Set by hand in this dataset: kept, and carried into the next one.
  fund(0).Flag1 |= KoersFlag::RefWaarde;
  fund(0).RefWrde = 1500;
  calc();
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 1500);
  next(kStart.addDays(60));
  EXPECT_FALSE(fund(0).Flag1 & KoersFlag::RefWaarde);
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 1500);
  EXPECT_DOUBLE_EQ(adviceOf(0).buyPrice, 135);

  // Shares changed without a hand-set value: the previous value stays.
  fund(0).Aantal = 12;
  calc();
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 1500);

  // A fresh start takes the holding's value, with unrounded prices.
  fund(0).Flag1 |= KoersFlag::Cumulatief;
  fund(0).Aantal = 3;
  fund(0).Koers = 70;
  const AdviceFigures fresh = adviceOf(0);
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 210);
  EXPECT_NEAR(fresh.buyShares, 1.0 / 3, 1e-10);
  EXPECT_DOUBLE_EQ(fresh.tradeAdvice, 0);

  // The placeholder row gives no advice.
  EXPECT_DOUBLE_EQ(adviceOf(1).buyPrice, 0);
}

// A fund shown without a price keeps the reference value it carries: a
// missing price says nothing about the value the holding is to keep.
TEST_F(AdviceTest, AMissingPriceNeverWipesTheReferenceValue) {
  fund(0).Koers = 0;
  EXPECT_DOUBLE_EQ(adviceOf(0).buyPrice, 0);
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 1000);
  calc();
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 1000) << "showing and computing agree";
  // Without shares there is nothing to keep.
  fund(0).Aantal = 0;
  adviceOf(0);
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 0);
}

TEST_F(AdviceTest, ANewFundGetsPricesButNoQuantitiesOrTrade) {
  addFund("NEW", 500, 5, 100);
  calc();
  const AdviceFigures figures = adviceOf(1);
  EXPECT_DOUBLE_EQ(figures.buyPrice, 90);
  EXPECT_DOUBLE_EQ(figures.buyShares, 0);
  EXPECT_DOUBLE_EQ(figures.tradeAdvice, 0);
}

// The DivirOzev mode is set on the account of the selected fund, and the
// portfolio then differs from its file.
TEST_F(AdviceTest, DivirOzevMode) {
  fund(0).RekNr = 3;
  select(0);
  portfolio().markUnchanged();
  EXPECT_EQ(DivirOzevClick(session).changes(), Change::Accounts | Change::Figures);
  EXPECT_TRUE(advice().divirOzevChecked());
  EXPECT_TRUE(account(3).DivirOzevB);
  EXPECT_FALSE(account(1).DivirOzevB);
  EXPECT_TRUE(portfolio().bPortChanged());
  (void)DivirOzevClick(session);
  EXPECT_FALSE(account(3).DivirOzevB);
}

}  // namespace
}  // namespace pelmar::test
