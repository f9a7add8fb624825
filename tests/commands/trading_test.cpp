#include "commands/trading.h"

#include <gtest/gtest.h>

#include "commands/accounts.h"
#include "commands/fund_grid.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

const QDate kStart(2023, 1, 2);

class TradingTest : public test::PortfolioFixture {
 protected:
  // Three datasets a month apart. ALPHA is bought for `inleg` (10 shares
  // at 100) and falls to 80 in the last dataset, where a purchase of 2.5
  // shares is due; BETA, on the same account, adds `betaReserve` to the
  // account's money. The last dataset is current with ALPHA selected.
  void threeDataSets(double inleg = 2000, double betaReserve = 0) {
    start(kStart);
    addFund("ALPHA", inleg, 10, 100);
    addFund("BETA", betaReserve, 0, 50);
    calc();
    next(kStart.addMonths(1));
    next(kStart.addMonths(2));
    fund(0).Koers = 80;
    calc();
    select(0);
    portfolio().markUnchanged();
  }

  // The dialog ends with OK on the entry; what the command then says is
  // queued after it.
  test::ScriptedPrompter& entering(double quantity, double price = 80, double costs = 0) {
    return prompter.expectBuySell({true, quantity, price, costs});
  }
  Outcome trade(double quantity, double price = 80, double costs = 0) {
    entering(quantity, price, costs);
    return doubleClick(GridRow::Aantal);
  }
  Outcome doubleClick(int row) {
    return FondsGridDblClick(session, prompter, FillGrid(session), row);
  }
  double shares(int dataSet) {
    goToDataSet(dataSet);
    return fund(0).Aantal;
  }

  test::ScriptedPrompter prompter;
};

TEST_F(TradingTest, BuyingTheAdvisedQuantityBooksReserveReferenceAndFlags) {
  threeDataSets();
  const double reserve = fund(0).Reserve;
  prompter.expectBuySell({true, 2, 80, 5});
  ASSERT_TRUE(doubleClick(GridRow::Aantal).ok());

  const TradeProposal& proposal = prompter.lastTrade;
  EXPECT_DOUBLE_EQ(proposal.tradeAdvice, 2.5);
  EXPECT_TRUE(proposal.adviceDue);
  EXPECT_EQ(MethodQuantity(proposal), 2);  // a half to the even whole share
  EXPECT_DOUBLE_EQ(proposal.affordable, reserve / 80);
  EXPECT_EQ(proposal.presetQuantity, "12.5000");  // a buy proposes what the account pays

  EXPECT_DOUBLE_EQ(fund(0).Aantal, 12);
  EXPECT_DOUBLE_EQ(fund(0).Kosten, 5);
  EXPECT_DOUBLE_EQ(fund(0).Reserve, reserve - 160 - 5);
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 960);
  EXPECT_EQ(fund(0).Flag1 & (KoersFlag::BuySell | KoersFlag::RefWaarde),
            KoersFlag::BuySell | KoersFlag::RefWaarde);
  EXPECT_TRUE(portfolio().bPortChanged());
}

TEST_F(TradingTest, CostsPercentAddsToTheFixedCostsAndASellAdvicePresetsWholeShares) {
  threeDataSets();
  fund(0).KostenProc = 1;
  fund(0).Koers = 130;  // above the sell threshold: sell 2.3077 shares
  calc();
  ASSERT_TRUE(trade(-2, 130, 4).ok());
  EXPECT_EQ(prompter.lastTrade.presetQuantity, "          -2");
  EXPECT_NEAR(fund(0).Kosten, -2 * 130 * 0.01 + 4, 1e-9);
  EXPECT_DOUBLE_EQ(fund(0).Aantal, 8);
}

TEST_F(TradingTest, APurchaseCostingExactlyTheAccountsMoneyIsRefused) {
  threeDataSets();
  const KoersRec before = fund(0);
  const double money = portfolio().rek().Saldo;
  entering(money / 80, 80, 7).expectMessage("The Reserve on your Account is too small to buy.");
  EXPECT_TRUE(doubleClick(GridRow::Aantal).isFailure());
  // Quantity, price and costs stay: a refused purchase costs nothing.
  EXPECT_EQ(fund(0).Aantal.value(), before.Aantal.value());
  EXPECT_EQ(fund(0).Kosten.value(), before.Kosten.value());
  EXPECT_FALSE(portfolio().bPortChanged());

  ASSERT_TRUE(trade(money / 80 - 0.01).ok());
}

TEST_F(TradingTest, ASaleAlwaysPassesAndZeroChangesNothing) {
  threeDataSets(1000);  // nothing left: neither the account nor the fund can pay
  const KoersRec before = fund(0);
  EXPECT_EQ(trade(0, 85, 3).kind(), Outcome::Kind::Stopped);
  EXPECT_EQ(fund(0).Koers.value(), before.Koers.value());
  EXPECT_EQ(fund(0).Kosten.value(), before.Kosten.value());
  EXPECT_FALSE(portfolio().bPortChanged());

  ASSERT_TRUE(trade(-5).ok());
  EXPECT_DOUBLE_EQ(fund(0).Aantal, 5);
  EXPECT_DOUBLE_EQ(fund(0).Reserve, before.Reserve + 400);

  // Even a fund whose reserve is below zero may sell.
  fund(0).Kosten = 1500;
  calc();
  ASSERT_LT(fund(0).Reserve, -1000);
  ASSERT_TRUE(trade(-1).ok());
  EXPECT_DOUBLE_EQ(fund(0).Aantal, 4);
}

TEST_F(TradingTest, TheCostsOfTradesOnOneDayAddUp) {
  threeDataSets();
  const double reserve = fund(0).Reserve;
  const double cumKosten = fund(0).CumKosten;
  ASSERT_TRUE(trade(2, 80, 5).ok());
  // Selling the same shares again without costs keeps the 5 paid.
  ASSERT_TRUE(trade(-2, 80, 0).ok());
  EXPECT_DOUBLE_EQ(fund(0).Aantal, 10);
  EXPECT_DOUBLE_EQ(fund(0).Kosten, 5);
  EXPECT_DOUBLE_EQ(fund(0).CumKosten, cumKosten + 5);
  EXPECT_NEAR(fund(0).Reserve, reserve - 5, 1e-6);
  EXPECT_NEAR(alg().Totaal, 10 * 80 + reserve - 5, 1e-6);
  // A third trade with costs adds them to both.
  ASSERT_TRUE(trade(1, 80, 2.5).ok());
  EXPECT_DOUBLE_EQ(fund(0).Kosten, 7.5);
}

TEST_F(TradingTest, DivirOzevLendsHalfTheAccountsValueAtCreditPercentFifty) {
  threeDataSets();
  portfolio().rek().CredPerc = 50;
  const double plain = ProposeTrade(session).affordable;
  (void)DivirOzevClick(session);
  const RekeningRec& account = portfolio().rekAt(portfolio().FirstRekIndex());
  EXPECT_DOUBLE_EQ(ProposeTrade(session).affordable, plain + account.Waarde * 0.5 / 80);
  EXPECT_TRUE(account.DivirOzevB);
}

TEST_F(TradingTest, ATradeInAnOlderDataSetReachesEachLaterDataSetOnce) {
  threeDataSets(5000);
  goToDataSet(2);
  prompter.expectMessage("This value of Old Datasets may not be changed.");
  EXPECT_TRUE(doubleClick(GridRow::Aantal).isFailure());
  EXPECT_EQ(doubleClick(GridRow::Kosten).kind(), Outcome::Kind::Stopped);

  session.settings().editOldDates = true;
  ASSERT_TRUE(trade(3, 100).ok());
  EXPECT_EQ(QList<double>({shares(1), shares(2), shares(3)}), QList<double>({10, 13, 13}));
  // The later dataset's reserve was recomputed from the trade.
  goToDataSet(3);
  EXPECT_NEAR(fund(0).Reserve, 5000 - 1000 - 300, 1e-6);
}

TEST_F(TradingTest, TickerCurrencyAndInvestmentRowsChangeNothingYetOrChooseTheAccount) {
  threeDataSets();
  const int placeholder = funds() - 1;
  select(placeholder);
  EXPECT_EQ(doubleClick(GridRow::Aantal).kind(), Outcome::Kind::Stopped) << "no price, no dialog";
  prompter.expectQuestion("Is Name of Stock in Download Lists?", Answer::Cancel);
  EXPECT_EQ(doubleClick(GridRow::Ticker).kind(), Outcome::Kind::Stopped);
  prompter.expectQuestion("Add Stock", Answer::Yes).expectNewFund([](const NewFundForm&) {
    return NewFundEntry{};  // the new-fund dialog cancelled
  });
  EXPECT_EQ(doubleClick(GridRow::Ticker).kind(), Outcome::Kind::Stopped);

  select(0);
  prompter.expectMessage("Valuta can only be changed in the first DataSet");
  EXPECT_TRUE(doubleClick(GridRow::Valuta).isFailure());
  // Money invested: the account stays.
  EXPECT_EQ(doubleClick(GridRow::Inleg).kind(), Outcome::Kind::Stopped);

  select(1);
  fund(1).CumInleg = 0;
  prompter.expectMessage("You may use five accounts.").expectAccountChoice(3);
  ASSERT_TRUE(doubleClick(GridRow::Inleg).ok());
  EXPECT_EQ(fund(1).RekNr, 3);
}

}  // namespace
}  // namespace pelmar
