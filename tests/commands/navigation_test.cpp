#include "commands/navigation.h"

#include <gtest/gtest.h>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

QDateTime at(int y, int m, int d, int hour = 12) {
  return QDateTime(QDate(y, m, d), QTime(hour, 0));
}

class NavigationTest : public test::PortfolioFixture {
 protected:
  NavigationTest() { session.clock().fix(QDate(2024, 6, 12)); }

  // Datasets on the given days holding "AAA" from the first one on.
  void build(std::initializer_list<QDate> days) {
    auto day = days.begin();
    start(*day);
    addFund("AAA", 100, 10, 10);
    calc();
    for (++day; day != days.end(); ++day) next(*day);
    portfolio().markOpened();
  }

  // Adds a fund to the current dataset and to every later one, as a fund
  // that first appears here.
  void addFundFromHere(const QString& ticker) {
    const int number = portfolio().alg().NrOfSet;
    KoersRec& added = addFund(ticker, 50, 5, 10);
    added.Flag1 = KoersFlag::Cumulatief;
    const DateTime start = portfolio().alg().Datum;
    for (int n = number + 1; n <= dataSets(); ++n) {
      goToDataSet(n);
      addFund(ticker, 50, 5, 10).CumDatum = start;
    }
    goToDataSet(number);
  }

  int dataSets() {
    int count = 0;
    for (int i = 0; i < portfolio().size(); ++i) count += portfolio().idAt(i) == AlgemeenRec::Id;
    return count;
  }

  QDate date() { return serialToDate(portfolio().alg().Datum); }

  QStringList tickersOf(int number) {
    goToDataSet(number);
    return FillFondsenBox(portfolio());
  }

  test::ScriptedPrompter prompter;
};

TEST_F(NavigationTest, TheFundListIgnoresCaseAndAClickSelectsTheFund) {
  build({QDate(2024, 6, 3), QDate(2024, 6, 4)});
  addFund("beta", 500, 5, 100);
  addFund("9NINE", 100, 1, 100);
  EXPECT_EQ(FillFondsenBox(portfolio()), QStringList({"9NINE", "AAA", "beta", "[New]"}));
  EXPECT_EQ(FundOffsetOf(portfolio(), "aaa"), -1);

  ASSERT_TRUE(FondsenBoxClick(session, "beta"));
  EXPECT_EQ(portfolio().SelFonds(), 1);
  EXPECT_FALSE(FondsenBoxClick(session, "gone"));
  EXPECT_EQ(portfolio().SelFonds(), 1);

  // A placeholder row the Dutch program wrote is listed in the language shown.
  fund(funds() - 1).Ticker = QStringLiteral("[Nieuw]");
  EXPECT_EQ(FillFondsenBox(portfolio()).last(), "[New]");
  ASSERT_TRUE(FondsenBoxClick(session, "[New]"));
  EXPECT_EQ(portfolio().SelFonds(), funds() - 1);
}

TEST_F(NavigationTest, APortfolioOfOneDataSetCanNeitherMoveNorLoseOrChangeIt) {
  build({QDate(2024, 6, 3)});
  const Portfolio& p = portfolio();
  EXPECT_EQ(SetNavBtns(p), EnableNav(false, false));
  EXPECT_EQ(WindowColour(p), kLastDataSetColour);
  EXPECT_TRUE(PrevDateBtnClick(session));
  EXPECT_TRUE(NextDateBtnClick(session));
  EXPECT_EQ(p.FirstRekIndex(), Portfolio::kFirstRekIndex);

  prompter.expectMessage("The first Dataset cannot be removed!");
  EXPECT_FALSE(SpeedDelClick(session, prompter));
  session.settings().editOldDates = true;
  prompter.expectMessage("The date of the first Dataset may not be changed.");
  EXPECT_FALSE(DatumPanelClick(session, prompter));
}

TEST_F(NavigationTest, NavigationKeepsTheFundByTickerAndColoursOlderDataSets) {
  build({QDate(2024, 6, 3), QDate(2024, 6, 4), QDate(2024, 6, 5)});
  goToDataSet(2);
  addFundFromHere("BBB");
  ASSERT_TRUE(LastDateBtnClick(session));
  SelectFundEntry(portfolio(), " bbb");
  EXPECT_EQ(SelectedFundEntry(portfolio()), "BBB") << "case and leading blanks ignored";

  ASSERT_TRUE(PrevDateBtnClick(session));
  EXPECT_EQ(SelectedFundEntry(portfolio()), "BBB");

  // The first dataset has no "BBB": the list's first entry is selected.
  ASSERT_TRUE(FirstDateBtnClick(session));
  EXPECT_EQ(SelectedFundEntry(portfolio()), FillFondsenBox(portfolio()).first());
}

TEST_F(NavigationTest, InsertingBetweenEqualDatesAsksNothing) {
  build({QDate(2024, 6, 3), QDate(2024, 6, 3), QDate(2024, 6, 6)});
  goToDataSet(1);
  ASSERT_TRUE(SpeedAddClick(session, prompter));
  EXPECT_EQ(dataSets(), 4);
  EXPECT_EQ(date(), QDate(2024, 6, 3));
  EXPECT_TRUE(portfolio().bPortChanged());
}

TEST_F(NavigationTest, DeletingAMiddleDataSetMakesTheNextOneCurrent) {
  build({QDate(2024, 6, 3), QDate(2024, 6, 4), QDate(2024, 6, 5), QDate(2024, 6, 6)});
  goToDataSet(2);
  prompter.expectQuestion("Do you want to permenantly remove DataSet 2 ?", Answer::No);
  EXPECT_FALSE(SpeedDelClick(session, prompter));
  EXPECT_FALSE(prompter.lastQuestion().yesIsDefault) << "Return keeps the dataset";
  EXPECT_EQ(dataSets(), 4);

  prompter.expectQuestion("Remove DataSet", Answer::Yes);
  ASSERT_TRUE(SpeedDelClick(session, prompter));
  EXPECT_EQ(dataSets(), 3);
  EXPECT_EQ(date(), QDate(2024, 6, 5)) << "the following dataset, not the previous one";
  EXPECT_TRUE(portfolio().bPortChanged());
  EXPECT_EQ(SelectedFundEntry(portfolio()), "AAA") << "the selected entry is kept";
  EXPECT_EQ(portfolio().algAt(portfolio().lastRekIndex() - 1).NrOfSet, 3) << "renumbered";
}

// What every dataset holds after a command must be what recalculating all
// of them gives: durations, returns and cumulative costs of later datasets
// follow an inserted, re-dated or deleted one.
TEST_F(NavigationTest, DataSetCommandsRecalculateEveryLaterDataSet) {
  build({QDate(2024, 6, 3), QDate(2024, 6, 10), QDate(2024, 6, 17), QDate(2024, 6, 24),
         QDate(2024, 7, 1)});
  for (int n = 1; n <= 5; ++n) {
    goToDataSet(n);
    fund(0).Koers = 10 + n;
    fund(0).Kosten = n % 2 ? 400 : 0;
    account(1).DebRente = 8;
    account(1).CredRente = 3;
    calc();
  }
  SpeedRekenClick(session);
  const auto figures = [&] {
    std::vector<double> all;
    for (int n = 1; n <= dataSets(); ++n) {
      goToDataSet(n);
      all.insert(all.end(), {alg().Totaal, alg().Winst, alg().Rendement, alg().ROTAIRendement,
                             static_cast<double>(alg().PDuur), fund(0).Reserve, fund(0).CumKosten,
                             fund(0).FRend, fund(0).ROTAIFRend});
    }
    return all;
  };
  const auto expectFresh = [&](const char* command) {
    const int current = portfolio().alg().NrOfSet;
    const std::vector<double> shown = figures();
    SpeedRekenClick(session);
    goToDataSet(dataSets());
    calc();
    EXPECT_EQ(shown, figures()) << command;
    goToDataSet(current);
  };

  goToDataSet(1);
  prompter.expectDate(at(2024, 6, 5));
  ASSERT_TRUE(SpeedAddClick(session, prompter));
  expectFresh("insert");

  session.settings().editOldDates = true;
  goToDataSet(3);
  prompter.expectDate(at(2024, 6, 14));
  ASSERT_TRUE(DatumPanelClick(session, prompter));
  expectFresh("re-date");

  goToDataSet(4);
  prompter.expectQuestion("Remove DataSet", Answer::Yes);
  ASSERT_TRUE(SpeedDelClick(session, prompter));
  expectFresh("delete");
}

TEST_F(NavigationTest, ADataSetWhereAFundStartsOrWasTradedStays) {
  build({QDate(2024, 6, 3), QDate(2024, 6, 4), QDate(2024, 6, 5)});
  prompter.expectMessage("The Dataset \"New\" cannot be removed!");
  EXPECT_FALSE(SpeedDelClick(session, prompter));

  goToDataSet(2);
  addFundFromHere("BBB");
  fund(0).Flag1 = KoersFlag::BuySell;  // AAA, first in the dataset, decides
  prompter.expectMessage("The Fund AAA has been traded in. This Dataset cannot be removed!");
  EXPECT_FALSE(SpeedDelClick(session, prompter));
  fund(0).Flag1 = 0;
  prompter.expectMessage("The Fund BBB ocuurs for the first time here.");
  EXPECT_FALSE(SpeedDelClick(session, prompter));
  EXPECT_EQ(dataSets(), 3);
}

TEST_F(NavigationTest, ChangingADateMovesTheStartOfFundsThatBeganOnIt) {
  build({QDate(2024, 6, 3), QDate(2024, 6, 5), QDate(2024, 6, 7)});
  goToDataSet(2);
  addFundFromHere("BBB");

  prompter.expectMessage("The date of Old Datasets may not be changed.");
  EXPECT_FALSE(DatumPanelClick(session, prompter));

  session.settings().editOldDates = true;
  prompter.expectDate(at(2024, 6, 8)).expectMessage("The date isn't allowed to be lower");
  EXPECT_FALSE(DatumPanelClick(session, prompter));
  EXPECT_EQ(date(), QDate(2024, 6, 5));
  prompter.expectDate(at(2024, 6, 6, 15));
  ASSERT_TRUE(DatumPanelClick(session, prompter));
  EXPECT_EQ(portfolio().alg().Datum, dateToSerial(QDate(2024, 6, 6))) << "a whole day";
  EXPECT_EQ(fund(1).CumDatum, dateToSerial(QDate(2024, 6, 6)));
  EXPECT_TRUE(portfolio().bPortChanged());
  goToDataSet(3);
  EXPECT_EQ(fund(1).CumDatum, dateToSerial(QDate(2024, 6, 6))) << "follows in later datasets";

  // The last dataset keeps the time of day, up to 100 days ahead; a fund
  // that starts in it starts on the new date.
  addFundFromHere("CCC");
  session.settings().editOldDates = false;
  prompter.expectDate(at(2024, 9, 21)).expectMessage("The date isn't allowed");
  EXPECT_FALSE(DatumPanelClick(session, prompter));
  prompter.expectDate(at(2024, 9, 20, 9));
  ASSERT_TRUE(DatumPanelClick(session, prompter));
  EXPECT_EQ(portfolio().alg().Datum, dateTimeToSerial(at(2024, 9, 20, 9)));
  EXPECT_EQ(fund(2).CumDatum, portfolio().alg().Datum);
  EXPECT_EQ(fund(0).CumDatum, dateToSerial(QDate(2024, 6, 3))) << "AAA started earlier";
}

TEST_F(NavigationTest, AFundStartDateChangesOnlyInMaintenanceMode) {
  build({QDate(2024, 6, 3), QDate(2024, 6, 5)});
  select(0);
  prompter.expectMessage("The date of Old Datasets may not be changed.");
  EXPECT_FALSE(FCumDatumPanelClick(session, prompter));

  session.settings().editOldDates = true;
  portfolio().markUnchanged();
  prompter.expectDate(at(2024, 6, 4, 18));
  ASSERT_TRUE(FCumDatumPanelClick(session, prompter));
  EXPECT_EQ(fund(0).CumDatum, dateToSerial(QDate(2024, 6, 4)));
  EXPECT_TRUE(portfolio().bPortChanged()) << "the change is offered for saving";
}

TEST_F(NavigationTest, RemovingAFundLeavesDataSetsOfTwoFundsAndSharedAccounts) {
  build({QDate(2024, 6, 3), QDate(2024, 6, 4), QDate(2024, 6, 5)});
  // AAA is alone on account 2; BBB, from the second dataset on, on 1.
  for (int n = 1; n <= 3; ++n) {
    goToDataSet(n);
    fund(0).RekNr = 2;
    account(2).RekNaam = QStringLiteral("Broker");
    account(1).RekNaam = QStringLiteral("Bank");
  }
  goToDataSet(2);
  addFundFromHere("BBB");
  goToDataSet(3);

  select(funds() - 1);
  EXPECT_FALSE(SpeedDelFondsClick(session, prompter)) << "the placeholder is no fund";
  select(0);
  prompter.expectQuestion("Do you really want to entirely remove the Stock AAA?", Answer::No);
  EXPECT_FALSE(SpeedDelFondsClick(session, prompter));
  EXPECT_FALSE(prompter.lastQuestion().yesIsDefault) << "Return keeps the fund";

  prompter.expectQuestion("Remove Stock", Answer::Yes);
  ASSERT_TRUE(SpeedDelFondsClick(session, prompter));
  EXPECT_EQ(portfolio().alg().NrOfSet, 3) << "the dataset stays current";
  EXPECT_EQ(SelectedFundEntry(portfolio()), "BBB") << "the entry after the removed one";
  EXPECT_EQ(tickersOf(1), QStringList({"AAA", "[New]"}));
  EXPECT_EQ(tickersOf(2), QStringList({"BBB", "[New]"}));
  EXPECT_EQ(tickersOf(3), QStringList({"BBB", "[New]"}));

  const QString defaultName = portfolio().initialRecords().DefaultRekeningRec.RekNaam;
  goToDataSet(1);
  EXPECT_EQ(account(2).RekNaam.str(), "Broker") << "AAA still uses it here";
  goToDataSet(3);
  EXPECT_EQ(account(2).RekNaam, defaultName);
  EXPECT_EQ(account(1).RekNaam.str(), "Bank");
}

}  // namespace
}  // namespace pelmar
