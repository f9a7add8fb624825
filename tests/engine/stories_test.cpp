#include <cmath>

#include "support/portfolio_fixture.h"

namespace pelmar::test {
namespace {

const QDate kStart(2023, 1, 2);

using StoryTest = PortfolioFixture;

TEST_F(StoryTest, BuySellDividendAndCosts) {
  start(kStart);
  addFund("X", 1000, 10, 100);
  calc();

  // Buy 2 at 80 with 5 costs.
  append(kStart.addDays(30));
  fund(0).Koers = 80;
  fund(0).Aantal = 12;
  fund(0).Kosten = 5;
  calc();
  EXPECT_DOUBLE_EQ(fund(0).AdviesR, 0.5);
  EXPECT_DOUBLE_EQ(fund(0).Reserve, -165);
  EXPECT_DOUBLE_EQ(fund(0).CumKosten, 5);
  EXPECT_DOUBLE_EQ(fund(0).GewInleg, 31000);
  EXPECT_DOUBLE_EQ(fund(0).ROTAICumInleg, 1165);
  EXPECT_DOUBLE_EQ(account(1).Saldo, -165);
  EXPECT_DOUBLE_EQ(alg().Totaal, 795);
  EXPECT_DOUBLE_EQ(alg().Winst, -205);
  EXPECT_DOUBLE_EQ(alg().ROTAIWinst, -205);

  // Sell 4 at 110; a dividend of 20 with 3 tax; 2 costs on the account.
  append(kStart.addDays(60));
  fund(0).Koers = 110;
  fund(0).Aantal = 8;
  fund(0).Dividend = 20;
  fund(0).DivBel = 3;
  account(1).Kosten = 2;
  calc();
  EXPECT_DOUBLE_EQ(fund(0).Reserve, -165 + 440 + 17 - 2);
  EXPECT_DOUBLE_EQ(fund(0).CumDividend, 20);
  EXPECT_DOUBLE_EQ(fund(0).GewInleg, 61000);
  EXPECT_DOUBLE_EQ(fund(0).ROTAICumInleg, 728);
  EXPECT_DOUBLE_EQ(fund(0).ROTAIGewInleg, 65950);
  EXPECT_DOUBLE_EQ(account(1).Saldo, 290);
  EXPECT_DOUBLE_EQ(account(1).CumKosten, 2);
  EXPECT_DOUBLE_EQ(alg().Totaal, 1170);
  EXPECT_DOUBLE_EQ(alg().Winst, 170);
  EXPECT_DOUBLE_EQ(alg().ROTAIWinst, 152);
  EXPECT_NEAR(fund(0).FRend, annual(170, 61000, 60), 1e-6);
  EXPECT_NEAR(fund(0).ROTAIFRend, annual(152, 65950, 60), 1e-6);
  EXPECT_NEAR(alg().Rendement, annual(170, 61000, 60), 1e-6);
  EXPECT_NEAR(alg().ROTAIRendement, annual(152, 65950, 60), 1e-6);
}

// The euro/dollar rate may be stored either way round.
class CurrencyStoryTest : public PortfolioFixture, public ::testing::WithParamInterface<double> {};

TEST_P(CurrencyStoryTest, DollarFundInAEuroPortfolio) {
  start(kStart);
  alg().Dollar = GetParam();
  KoersRec& usd = addFund("USX", 1250, 10, 125);
  usd.Valuta = QStringLiteral("US$");
  calc();
  EXPECT_DOUBLE_EQ(fund(0).CumInleg, 1000);
  EXPECT_DOUBLE_EQ(alg().Totaal, 1000);

  append(kStart.addDays(30));
  fund(0).Dividend = 10;  // dollars
  calc();
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 8);
  EXPECT_DOUBLE_EQ(fund(0).CumDividend, 8);
  EXPECT_DOUBLE_EQ(account(1).Saldo, 10);  // the account is kept in dollars
  EXPECT_DOUBLE_EQ(account(1).Waarde, 1250);
  EXPECT_EQ(account(1).Valuta, QStringLiteral("US$"));
  EXPECT_DOUBLE_EQ(alg().Totaal, 1008);
}

INSTANTIATE_TEST_SUITE_P(BothWaysRound, CurrencyStoryTest, ::testing::Values(1.25, 0.8));

TEST_F(StoryTest, ASplitMovesNoMoney) {
  start(kStart);
  addFund("S", 5000, 100, 50);
  calc();
  append(kStart.addDays(30));
  fund(0).Aantal = 200;
  fund(0).Koers = 25;
  fund(0).Flag1 |= KoersFlag::Splits;
  calc();
  EXPECT_DOUBLE_EQ(fund(0).Reserve, 0);
  EXPECT_DOUBLE_EQ(fund(0).CumInleg, 5000);
  EXPECT_DOUBLE_EQ(fund(0).ROTAICumInleg, 5000);
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 5000);
  EXPECT_DOUBLE_EQ(alg().Winst, 0);
  EXPECT_DOUBLE_EQ(alg().ROTAIWinst, 0);

  next(kStart.addDays(60));
  EXPECT_DOUBLE_EQ(fund(0).Delta, 0);
}

}  // namespace
}  // namespace pelmar::test
