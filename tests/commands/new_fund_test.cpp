#include "commands/new_fund.h"

#include <gtest/gtest.h>

#include "commands/datasets.h"
#include "engine/fund_names.h"
#include "model/conversions.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

const QDate kStart(2023, 1, 2);

class NewFundTest : public test::PortfolioFixture {
 protected:
  // Three datasets a month apart holding BETA; the middle one is current.
  // The Dutch list holds ASML and BETA, the US list IBM.
  void threeDataSets() {
    start(kStart);
    addFund("BETA", 1000, 10, 100);
    calc();
    next(kStart.addMonths(1));
    next(kStart.addMonths(2));
    goToDataSet(2);
    writeList("Stocks_nl.txt", "ASML Holding,ASML,2023-01-02\r\nBeta Fund,BETA,2023-01-02\r\n");
    writeList("Stocks_us.txt", "International Business Machines,IBM,2023-01-02\r\n");
    portfolio().markUnchanged();
  }
  void writeList(const QString& name, const QByteArray& lines) {
    test::writeFile(session.settings().pricePath + name, lines);
  }
  // A daily price file of one line for the ticker.
  void writePrice(QDate day, const QString& ticker, const QString& price) {
    test::writeFile(
        session.settings().pricePath + day.toString("yyMMdd") + "A.csv",
        (ticker + " name," + ticker + "," + day.toString("yy/MM/dd") + "," + price + "\r\n")
            .toLatin1());
    session.prices().refresh();
  }
  // The fund of that ticker in dataset `number`, or null.
  const KoersRec* fundIn(int number, const QString& ticker) {
    goToDataSet(number);
    const int offset = FundNameIndex(portfolio(), portfolio().FirstKoersIndex())
                           .offsetOf(FundNameIndex::key(ticker));
    return offset < 0 ? nullptr : &fund(offset);
  }
  // The user picks the row from the list of the market inside the dialog,
  // then types the purchase and presses OK.
  void pickingInDialog(Market market, const StockLine& row, double investment, double quantity) {
    prompter.expectNewFund([=](const NewFundForm& form) {
      const NewFundPick pick = form.pick(market);
      NewFundEntry entry;
      entry.accepted = pick.ok;
      entry.market = pick.market;
      entry.company = pick.company;
      entry.ticker = pick.ticker;
      entry.price = pick.price;
      entry.investment = investment;
      entry.quantity = quantity;
      return entry;
    });
    prompter.expectPickStock(market, row);
  }

  test::ScriptedPrompter prompter;
};

TEST_F(NewFundTest, ANewFundInAMiddleDataSetReachesEveryLaterOneButNoEarlierOne) {
  threeDataSets();
  writePrice(kStart.addMonths(1), "ASML", "250.5");
  writePrice(kStart.addMonths(2), "ASML", "260");
  prompter.expectQuestion("Is Name of Stock in Download Lists?", Answer::Yes);
  pickingInDialog(Market::Dutch, {"ASML Holding", "ASML", ""}, 2600, 10);
  prompter.expectMessage("You may use five accounts.").expectAccountChoice(2);
  const Report report = NieuwFondsClick(session, prompter);
  ASSERT_TRUE(report.ok());
  EXPECT_TRUE(report.changes() & Change::Funds);
  EXPECT_TRUE(portfolio().bPortChanged());
  // The new fund is the selected one of the dataset where it was added.
  EXPECT_EQ(RemoveBlanks(portfolio().koers().Ticker), "ASML");

  EXPECT_EQ(fundIn(1, "ASML"), nullptr);
  const KoersRec* added = fundIn(2, "ASML");
  ASSERT_NE(added, nullptr);
  EXPECT_DOUBLE_EQ(added->Koers, Real48(250.5).value());
  EXPECT_EQ(added->Aantal, 10);
  EXPECT_EQ(added->Inleg, 2600);
  EXPECT_EQ(added->Country.str(), "nl");
  EXPECT_EQ(added->Valuta.str(), "EUR");
  EXPECT_EQ(added->RekNr, 2);
  EXPECT_NEAR(added->Reserve, 2600 - 2505, 1e-6);
  EXPECT_TRUE(fund(funds() - 1).isPlaceholder());

  const KoersRec* later = fundIn(3, "ASML");
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(later->Koers, 260);
  EXPECT_EQ(later->Aantal, 10) << "the shares bought are held in later datasets";
  EXPECT_EQ(later->Inleg, 0);
  EXPECT_EQ(later->RekNr, 2);
  EXPECT_EQ(later->Flag1 & KoersFlag::FakeFund, 0);
  EXPECT_NEAR(later->Reserve, 2600 - 2505, 1e-6) << "holding is no trade";
  EXPECT_TRUE(fund(funds() - 1).isPlaceholder());
}

TEST_F(NewFundTest, ADuplicateTickerIsRefusedWithItsMessageAndNothingChanges) {
  threeDataSets();
  // BETA is in the current dataset; GAMMA only in the last one.
  goToDataSet(3);
  addFund("GAMMA", 0, 0, 10);
  goToDataSet(2);
  const int records = portfolio().size();

  prompter.expectPickStock(Market::Dutch, StockLine{"Beta Fund", "BETA", ""});
  prompter.expectInput("Price has not yet been downloaded", {true, "12"});
  prompter.expectMessage("The stock BETA is already in the portfolio; nothing has been added.");
  EXPECT_FALSE(PickNewFund(session, prompter, Market::Dutch).ok);

  NewFundEntry entry{true, Market::Dutch, "Gamma", "gam ma", 10, 100, 10};
  prompter.expectMessage("The stock gamma is already in the portfolio");
  EXPECT_TRUE(AddNewFund(session, prompter, entry, false).isFailure());
  EXPECT_EQ(portfolio().size(), records);
  EXPECT_FALSE(portfolio().bPortChanged());
}

TEST_F(NewFundTest, APriceMissingFromTheFilesIsAskedForAndATooSmallOneRefused) {
  threeDataSets();
  prompter.expectPickStock(Market::Us, StockLine{"International Business Machines", "IBM", ""});
  prompter.expectInput("Price has not yet been downloaded", {false, ""});
  EXPECT_FALSE(PickNewFund(session, prompter, Market::Us).ok) << "price question cancelled";

  prompter.expectPickStock(Market::Us, StockLine{"International Business Machines", "IBM", ""});
  prompter.expectInput("Price has not yet been downloaded", {true, "0,005"});
  prompter.expectMessage("needs a price above 0.01");
  EXPECT_FALSE(PickNewFund(session, prompter, Market::Us).ok);

  prompter.expectPickStock(Market::Us, std::nullopt);
  EXPECT_FALSE(PickNewFund(session, prompter, Market::Us).ok) << "list cancelled";

  prompter.expectPickStock(Market::Us, StockLine{"International Business Machines", " I B M ", ""});
  prompter.expectInput("Price has not yet been downloaded", {true, "120,50"});
  const NewFundPick pick = PickNewFund(session, prompter, Market::Us);
  ASSERT_TRUE(pick.ok);
  EXPECT_EQ(pick.ticker, "IBM");
  EXPECT_EQ(pick.price, 120.5);

  // A US stock is a dollar fund; without an investment no account is asked.
  NewFundEntry entry{true, Market::Us, pick.company, pick.ticker, pick.price, 0, 0};
  ASSERT_TRUE(AddNewFund(session, prompter, entry, false).ok());
  const KoersRec* ibm = fundIn(2, "IBM");
  ASSERT_NE(ibm, nullptr);
  EXPECT_EQ(ibm->Country.str(), "us");
  EXPECT_EQ(ibm->Valuta.str(), "US$");
}

TEST_F(NewFundTest, AManualFundCarriesFakeFundAndKeepsItsTypedPriceThroughARefresh) {
  threeDataSets();
  prompter.expectQuestion("Is Name of Stock in Download Lists?", Answer::No);
  prompter.expectManualFund({true, Market::Dutch, "My House", "my house", 150000, 0, 1});
  ASSERT_TRUE(NieuwFondsClick(session, prompter).ok());

  // A daily file that happens to list the same name does not move it.
  writePrice(kStart.addMonths(1), "myhouse", "1");
  writePrice(kStart.addMonths(2), "myhouse", "1");
  SpeedRekenClick(session);
  for (int number : {2, 3}) {
    const KoersRec* house = fundIn(number, "myhouse");
    ASSERT_NE(house, nullptr) << number;
    EXPECT_EQ(house->Koers, 150000) << number;
    EXPECT_EQ(house->Aantal, 1) << number;
    EXPECT_NE(house->Flag1 & KoersFlag::FakeFund, 0) << number;
  }
  EXPECT_EQ(fundIn(1, "myhouse"), nullptr);
  // The placeholder rows stay plain, so their datasets still take prices.
  goToDataSet(2);
  EXPECT_EQ(fund(funds() - 1).Flag1 & KoersFlag::FakeFund, 0);
}

// The account is chosen before the dataset is computed: the account the
// fund is booked on takes its currency, account 1 (the placeholder row's)
// keeps its own.
TEST_F(NewFundTest, TheChosenAccountAloneTakesTheNewFundsCurrency) {
  threeDataSets();
  // BETA moves to account 2: account 1 holds no fund.
  for (int number : {1, 2, 3}) {
    goToDataSet(number);
    fund(0).RekNr = 2;
    account(1).Valuta = QStringLiteral("   ");
    alg().Dollar = 0.8;
  }
  SpeedRekenClick(session);
  prompter.expectMessage("You may use five accounts").expectAccountChoice(3);
  ASSERT_TRUE(
      AddNewFund(session, prompter, {true, Market::Us, "IBM", "IBM", 100, 1000, 10}, false).ok());
  goToDataSet(3);
  EXPECT_EQ(fund(1).Ticker.str(), "IBM");
  EXPECT_EQ(fund(1).RekNr, 3);
  EXPECT_EQ(account(3).Valuta.str(), "US$");
  EXPECT_EQ(account(1).Valuta.str(), "   ");
  // The reference value is the holding in the fund's own currency, as the
  // advice compares it with the fund's price.
  EXPECT_DOUBLE_EQ(fund(1).RefWrde, 1000);
}

TEST_F(NewFundTest, EveryManualFundHasThePortfolioCurrencyAndItsCountry) {
  for (const bool inDollars : {false, true}) {
    start(kStart, inDollars);
    // The second fund is made from a placeholder row that the first one left,
    // which holds the English default country "us" with the currency EUR.
    for (const QString name : {"House", "Boat"})
      ASSERT_TRUE(
          AddNewFund(session, prompter, {true, Market::Dutch, name, name, 100, 0, 1}, true).ok());
    for (const int offset : {0, 1}) {
      EXPECT_EQ(fund(offset).Valuta.str(), inDollars ? "US$" : "EUR") << offset;
      EXPECT_EQ(fund(offset).Country.str(), inDollars ? "us" : "nl") << offset;
    }
  }
}

TEST_F(NewFundTest, EntriesThatCannotBeAFundAreRefused) {
  threeDataSets();
  const int records = portfolio().size();
  const struct {
    NewFundEntry entry;
    const char* message;
  } cases[] = {
      {{true, Market::Dutch, "", "  ", 10, 0, 1}, "needs a name"},
      {{true, Market::Dutch, "", "[New]", 10, 0, 1}, "needs a name"},
      {{true, Market::Dutch, "", "X", 0.01, 0, 1}, "needs a price above 0.01"},
      {{true, Market::Dutch, "", "X", 10, -5, 1}, "may not be negative"},
      {{true, Market::Dutch, "", "X", 10, 5, -1}, "may not be negative"},
      // Where a ticker enters: the daily files' separator, a path, a control
      // character.
      {{true, Market::Dutch, "", "AAA,DBG", 10, 0, 1}, "The ticker \"AAA,DBG\" does not fit"},
      {{true, Market::Dutch, "", "A/B", 10, 0, 1}, "The ticker \"A/B\" does not fit"},
      {{true, Market::Dutch, "", "A\x01", 10, 0, 1}, "does not fit the price files"},
  };
  for (const auto& c : cases) {
    prompter.expectMessage(c.message);
    EXPECT_TRUE(AddNewFund(session, prompter, c.entry, true).isFailure()) << c.message;
  }
  EXPECT_EQ(portfolio().size(), records);
}

TEST_F(NewFundTest, TheHeadlessNewFundFindsTheTickerInEitherList) {
  threeDataSets();
  writePrice(kStart.addMonths(1), "ASML", "250");
  prompter.expectMessage("You may use five accounts.").expectAccountChoice(1);
  ASSERT_TRUE(NewFundByTicker(session, prompter, "asml", std::nullopt, 4).ok());
  const KoersRec* asml = fundIn(2, "ASML");
  ASSERT_NE(asml, nullptr);
  EXPECT_EQ(asml->Inleg, 1000) << "the investment pays for the shares";

  goToDataSet(2);
  prompter.expectMessage("NOPE is not in the download lists.");
  EXPECT_TRUE(NewFundByTicker(session, prompter, "NOPE", 10.0, 1).isFailure());
  prompter.expectMessage("needs a price above 0.01");
  EXPECT_TRUE(NewFundByTicker(session, prompter, "IBM", std::nullopt, 1).isFailure());
}

// The dialog's recomputes once typing pauses, in English texts.
TEST(NewFundFigures, RecomputesAfterAPause) {
  const Language en(Language::Code::English);
  const Language nl(Language::Code::Dutch);
  struct Row {
    const char* name;
    NewFundFigures typed;
    int timer;  // 0 investment, 1 number, 2 value
    const Language* language;
    NewFundFigures expected;
  };
  const Row rows[] = {
      {"investment above the value stays",
       {"1000", "2", "500.00"},
       0,
       &en,
       {"1000.00", "2", "500.00"}},
      {"value above the investment wins",
       {"100", "2", "500.00"},
       0,
       &en,
       {"500.00", "2", "500.00"}},
      {"a zero number is emptied", {"100", "0.0000", ""}, 0, &en, {"100.00", "", ""}},
      {"number gives the value", {"", "3", ""}, 1, &en, {"375.00", "3", "375.00"}},
      {"value gives an unrounded number", {"", "", "1000"}, 2, &en, {"1000.00", "8.0000", "1000"}},
      {"Dutch separators", {"", "", "100,5"}, 2, &nl, {"100,50", "0,8040", "100,5"}},
      {"no number reads as zero", {"", "", "abc"}, 2, &en, {"0.00", "", "abc"}},
  };
  for (const Row& row : rows) {
    const double price = 125;
    const NewFundFigures got = row.timer == 0   ? InvestmentTimerTimer(row.typed, *row.language)
                               : row.timer == 1 ? NumberTimerTimer(row.typed, price, *row.language)
                                                : ValueTimerTimer(row.typed, price, *row.language);
    EXPECT_EQ(got.investment, row.expected.investment) << row.name;
    EXPECT_EQ(got.number, row.expected.number) << row.name;
    EXPECT_EQ(got.value, row.expected.value) << row.name;
  }
  EXPECT_EQ(FakeFundValue("12,5", "4", en), "50.00");
}

}  // namespace
}  // namespace pelmar
