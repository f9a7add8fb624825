// What a user enters is kept: the save prompt that names the entries of
// today, prices the user set against older daily files, and opening a
// portfolio twice on one day.

#include <gtest/gtest.h>

#include "commands/accounts.h"
#include "commands/dataset_view.h"
#include "commands/file_commands.h"
#include "commands/fund_grid.h"
#include "commands/latest_prices.h"
#include "commands/navigation.h"
#include "commands/splits.h"
#include "commands/todays_entries.h"
#include "commands/trading.h"
#include "engine/fund_names.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

const QDate kFirst(2026, 1, 2);
const QDate kSecond(2026, 6, 1);
const QDate kToday(2026, 12, 7);  // a Monday

// A portfolio "Mine.xml" of two datasets, 2 January and 1 June 2026, with
// DBG (500 shares) and RMH (300 shares); the daily price files end on
// 2 January (DBG 7.05, RMH 16.94), eleven months before today.
class EntriesKeptTest : public test::PortfolioFixture {
 protected:
  explicit EntriesKeptTest(Language::Code code = Language::Code::English) : PortfolioFixture(code) {
    session.clock().fix(kToday);
    session.setSettingsStore(&store);
    writePrices(kFirst, "7.05", "16.94");
    start(kFirst);
    addFund("DBG", 5000, 500, 7.05);
    addFund("RMH", 6000, 300, 16.94);
    calc();
    next(kSecond);
    test::ScriptedPrompter quiet;
    EXPECT_TRUE(SavePortfolio(session, quiet, file(), WriteLimitAll(portfolio()), false));
    portfolio().clear();
  }

  QString file() const { return path("Port/Mine.xml"); }
  void writePrices(QDate day, const char* dbg, const char* rmh) {
    const QByteArray date = day.toString("yy/MM/dd").toLatin1();
    test::writeFile(
        path("Prices/" + day.toString("yyMMdd") + "A.csv"),
        "DBG name,DBG," + date + "," + dbg + "\r\nRMH name,RMH," + date + "," + rmh + "\r\n");
    session.prices().refresh();
  }
  void open() { ASSERT_TRUE(LoadPortfolio(session, prompter, file())); }
  int dataSets() const {
    return session.portfolio().algAt(session.portfolio().lastRekIndex() - 1).NrOfSet;
  }
  int dataSetsIn() { return test::readFile(file()).count("<AlgemeenRec>"); }
  void select(const QString& ticker) { ASSERT_TRUE(FondsenBoxClick(session, ticker)); }
  KoersRec& selected() { return portfolio().koers(); }
  // Types a value into a row of the selected fund and commits it.
  void type(int row, const QString& text) {
    QStringList cells = FillGrid(session);
    cells[row] = text;
    UpdateFonds(session, prompter, cells, row);
  }
  // Types a value into a row of the accounts window and presses Apply.
  void applyAccount(int number, int row, const QString& text) {
    QStringList cells = ShowAccount(session, number);
    cells[row] = text;
    ASSERT_TRUE(ToepassenBtnClick(session, prompter, number, cells).ok());
  }
  void trade(double quantity, double price, double costs) {
    prompter.expectBuySell({true, quantity, price, costs});
    ASSERT_TRUE(FondsGridDblClick(session, prompter, FillGrid(session), GridRow::Aantal).ok());
  }
  // The fund of that ticker in dataset `number`.
  const KoersRec& fundIn(int number, const QString& ticker) {
    goToDataSet(number);
    return fund(FundNameIndex(portfolio(), portfolio().FirstKoersIndex())
                    .offsetOf(FundNameIndex::key(ticker)));
  }

  test::ScriptedPrompter prompter;
  MemorySettingsStore store;
};

struct DutchEntriesKeptTest : EntriesKeptTest {
  DutchEntriesKeptTest() : EntriesKeptTest(Language::Code::Dutch) {}
};

TEST_F(EntriesKeptTest, WithoutEntriesOfTodayThePromptIsAsBefore) {
  open();
  portfolio().markChanged();
  EXPECT_TRUE(EntriesOfToday(session).isEmpty());
  prompter.expectSavePrompt("With or without DataSet \"New\")", SaveChoice::SaveChanges)
      .expectTimedMessage("2 Datasets written");
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
  EXPECT_EQ(prompter.lastSaveDefault, SaveChoice::SaveChanges);
  EXPECT_EQ(dataSetsIn(), 2);
}

// The prompt names the entries, saves them by default, and "Save changes"
// asks once more before it drops them.
TEST_F(EntriesKeptTest, ThePromptNamesTodaysEntriesAndKeepsThemByDefault) {
  open();
  select("DBG");
  type(GridRow::Kosten, "5");
  trade(50, 7.05, 5);
  select("RMH");
  type(GridRow::Koers, "17.10");
  applyAccount(2, AccountRow::CredRente, "2.5");
  const QString entries = "DBG (buy/sell, Costs); RMH (Unit Price); account 2 (Credit Interest %)";
  EXPECT_EQ(EntriesOfToday(session).join("; "), entries);

  // "Save changes", then No: today's dataset is saved too.
  prompter
      .expectSavePrompt("Today's dataset holds your entries: " + entries + ".",
                        SaveChoice::SaveChanges)
      .expectQuestion("Without the DataSet \"New\" your entries of today are lost: " + entries,
                      Answer::No)
      .expectTimedMessage("3 Datasets written");
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
  EXPECT_EQ(prompter.lastSaveDefault, SaveChoice::SaveWithNew);
  EXPECT_FALSE(prompter.lastQuestion().yesIsDefault);
  EXPECT_EQ(dataSetsIn(), 3);

  // Cancel there saves nothing; Yes drops them knowingly.
  portfolio().markChanged();
  prompter.expectSavePrompt("", SaveChoice::SaveChanges).expectQuestion("", Answer::Cancel);
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Cancelled);
  prompter.expectSavePrompt("", SaveChoice::SaveChanges)
      .expectQuestion("", Answer::Yes)
      .expectTimedMessage("2 Datasets written");
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
  EXPECT_EQ(dataSetsIn(), 2);

  // Closing asks the same way.
  portfolio().markChanged();
  prompter.expectSavePrompt("Today's dataset holds your entries", SaveChoice::Cancel);
  EXPECT_FALSE(FormClose(session, prompter));
}

TEST_F(DutchEntriesKeptTest, ThePromptNamesTodaysEntriesInDutch) {
  open();
  select("DBG");
  type(GridRow::Dividend, "12,50");
  prompter
      .expectSavePrompt("De Dataset \"Nieuw\" bevat uw invoer van vandaag: DBG (Dividend).",
                        SaveChoice::SaveChanges)
      .expectQuestion(
          "Zonder de Dataset \"Nieuw\" gaat uw invoer van vandaag verloren: DBG "
          "(Dividend).\r\nJa: bewaar zonder deze invoer. Nee: bewaar ook de Dataset "
          "\"Nieuw\".",
          Answer::No)
      .expectTimedMessage("3 Datasets geschreven");
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
}

// What reaches today's dataset from an older one is that dataset's: it is
// saved with it and no entry of today.
TEST_F(EntriesKeptTest, EntriesOfOlderDataSetsAreNoEntriesOfToday) {
  open();
  session.settings().editOldDates = true;
  ASSERT_TRUE(PrevDateBtnClick(session));
  select("RMH");
  trade(10, 16.94, 0);  // reaches today's dataset's quantity too
  applyAccount(1, AccountRow::DebRente, "9");
  ASSERT_TRUE(LastDateBtnClick(session));
  EXPECT_TRUE(EntriesOfToday(session).isEmpty())
      << EntriesOfToday(session).join("; ").toStdString();
}

// Buy 50 with costs 5 and sell 50 without costs on one day: the 5 paid stay,
// in the fund and in what opening the saved file shows.
TEST_F(EntriesKeptTest, TheWalkOfADayKeepsEveryEntryAndOpensOnItAgain) {
  open();
  select("DBG");
  type(GridRow::Kosten, "1.50");
  type(GridRow::Dividend, "20");
  trade(50, 7.05, 5);
  trade(-50, 7.05, 0);
  type(GridRow::Koers, "7.20");
  const double reserve = selected().Reserve;
  // The window's Enter takes the default button: today's dataset too.
  prompter.expectSavePrompt("Today's dataset holds your entries: DBG (", SaveChoice::SaveWithNew)
      .expectTimedMessage("3 Datasets written");
  ASSERT_TRUE(FormClose(session, prompter));
  prompter.verify();

  // The same day again: the portfolio opens on the dataset of today.
  portfolio().clear();
  open();
  EXPECT_EQ(dataSets(), 3) << "no second dataset of today";
  EXPECT_FALSE(session.files().dataSetOfTodayAdded);
  select("DBG");
  EXPECT_DOUBLE_EQ(selected().Kosten, 6.5) << "both costs";
  EXPECT_DOUBLE_EQ(selected().Dividend, 20);
  EXPECT_NEAR(selected().Koers, 7.2, 1e-9) << "the typed price, not the file's of January";
  EXPECT_DOUBLE_EQ(selected().Aantal, 500);
  EXPECT_NEAR(selected().Reserve, reserve, 1e-6);
  EXPECT_FALSE(portfolio().bPortChanged());
  // Both buttons now write every dataset: the last one is a stored one.
  portfolio().markChanged();
  prompter.expectSavePrompt("", SaveChoice::SaveChanges).expectTimedMessage("3 Datasets written");
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
}

TEST_F(EntriesKeptTest, ATypedPriceIsReplacedOnlyByAFileOfItsDayOrLater) {
  open();
  select("DBG");
  type(GridRow::Koers, "7.20");
  SpeedRekenClick(session);
  ShowDataSet(session, portfolio().pKoersRec());
  EXPECT_NEAR(selected().Koers, 7.2, 1e-9);
  EXPECT_TRUE(session.engine().takeReplacedPrices().empty());

  // Saved and opened the next day: the new dataset carries the typed price
  // on, not the January file's.
  prompter.expectSavePrompt("", SaveChoice::SaveWithNew).expectTimedMessage("3 Datasets written");
  ASSERT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
  session.clock().fix(kToday.addDays(1));
  open();
  EXPECT_EQ(dataSets(), 4);
  EXPECT_NEAR(fundIn(4, "DBG").Koers, 7.2, 1e-9);
  EXPECT_NEAR(fundIn(3, "DBG").Koers, 7.2, 1e-9);

  // A file of the day it was set replaces it, and says so.
  writePrices(kToday, "7.31", "17");
  SpeedRekenClick(session);
  EXPECT_NEAR(fundIn(3, "DBG").Koers, 7.31, 1e-9);
  EXPECT_FALSE(fundIn(3, "DBG").Flag1 & KoersFlag::PriceSet);
  const std::vector<PriceReplacement> replaced = session.engine().takeReplacedPrices();
  ASSERT_EQ(replaced.size(), 1u);
  EXPECT_EQ(PricesReplacedText(session, replaced),
            "The price 7.2000 of DBG (set for 2026-12-07) has been replaced by 7.3100 from the "
            "price file of 2026-12-07.");
  session.setLanguage(Language::Code::Dutch);
  EXPECT_EQ(PricesReplacedText(session, replaced),
            "De koers 7,2000 van DBG (ingevoerd voor 2026-12-07) is vervangen door 7,3100 uit het "
            "koersbestand van 2026-12-07.");
}

// A 2-for-1 split in the middle dataset, which also holds a purchase: the
// split moves no money, and the later dataset keeps the split price where
// the files only know the price before the split.
TEST_F(EntriesKeptTest, ASplitMovesNoMoneyAndOlderFilesDoNotUndoIt) {
  // The file of the split dataset's own day still knows the price before
  // the split, which is made today.
  writePrices(kSecond, "7.10", "16.94");
  open();
  session.settings().editOldDates = true;
  ASSERT_TRUE(PrevDateBtnClick(session));
  select("RMH");
  trade(34, 16.94, 0);
  const double reserve = selected().Reserve;
  const double winst = alg().Winst;
  prompter.expectInput("In how many parts", {true, "2"});
  ASSERT_TRUE(SpeedSplitsClick(session, prompter).ok());
  RecalculateEveryDataSet(session);
  const KoersRec& split = fundIn(2, "RMH");
  EXPECT_DOUBLE_EQ(split.Aantal, 668);
  EXPECT_NEAR(split.Koers, 8.47, 1e-9);
  EXPECT_NEAR(split.Reserve, reserve, 1e-6) << "the purchase's money left the reserve once";
  EXPECT_NEAR(alg().Winst, winst, 1e-6) << "a split makes no profit";
  const KoersRec& today = fundIn(3, "RMH");
  EXPECT_DOUBLE_EQ(today.Aantal, 668);
  EXPECT_NEAR(today.Koers, 8.47, 1e-9) << "not the file's 16.94 of before the split";
  EXPECT_TRUE(today.Reserve > 0 && std::fabs(today.Reserve - split.Reserve) < 1);

  // Saved and opened again the next day, the figures are the same.
  const double total = alg().Totaal;
  prompter.expectSavePrompt("", SaveChoice::SaveWithNew).expectTimedMessage("3 Datasets written");
  ASSERT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
  session.clock().fix(kToday.addDays(1));
  open();
  EXPECT_NEAR(fundIn(2, "RMH").Koers, 8.47, 1e-9);
  EXPECT_NEAR(fundIn(4, "RMH").Koers, 8.47, 1e-9);
  goToDataSet(3);
  EXPECT_NEAR(alg().Totaal, total, 0.01);
}

}  // namespace
}  // namespace pelmar
