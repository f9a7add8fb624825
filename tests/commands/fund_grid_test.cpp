#include "commands/fund_grid.h"

#include <gtest/gtest.h>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

const QDate kStart(2023, 1, 2);

class FundGridTest : public test::PortfolioFixture {
 protected:
  FundGridTest() : PortfolioFixture(Language::Code::Dutch) {}

  // Three datasets a month apart holding ALPHA (bought for 1000 at 100)
  // and BETA; the first dataset is current.
  void threeDataSets() {
    start(kStart);
    addFund("ALPHA", 1000, 10, 100);
    addFund("BETA", 500, 5, 100);
    calc();
    next(kStart.addMonths(1));
    next(kStart.addMonths(2));
    goToDataSet(1);
  }

  UpdateFondsResult update(const QStringList& cells, int row) {
    return UpdateFonds(session, prompter, cells, row);
  }

  QStringList edited(int row, const QString& text) {
    QStringList cells = FillGrid(session);
    cells[row] = text;
    return cells;
  }

  // The tickers of the dataset with that number, placeholder row included.
  QStringList tickers(int number) {
    goToDataSet(number);
    QStringList names;
    for (int i = 0; i < funds(); ++i) names << fund(i).Ticker.str();
    return names;
  }

  test::ScriptedPrompter prompter;
};

TEST_F(FundGridTest, FillGridShowsTheFundInTheLanguageOfTheSession) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100).KostenProc = 0.5;
  calc();
  select(0);
  EXPECT_EQ(FillGrid(session),
            QStringList({"ALPHA", "nl", "EUR", "100,0000", "10,0000", "1.000,00", "0,00", "0,50",
                         "0,00", "0,00", "0,00", "10,00", "10,00", "0,0000", "0,0000"}));
}

TEST_F(FundGridTest, PriceRowIsHiddenAtOrBelowMinusAThousandthAndMarkedWhenRealTime) {
  start(kStart);
  addFund("dol.eur", 0, 1, -0.0001);
  select(0);
  EXPECT_EQ(FillGrid(session)[GridRow::Koers], "");
  portfolio().koers().Koers = -0.00009;
  EXPECT_EQ(FillGrid(session)[GridRow::Koers], "-0,0001");

  portfolio().koers().Koers = 0.9321;
  session.settings().downloadDollarQuote = true;
  EXPECT_EQ(FillGrid(session)[GridRow::Koers], "*         0,9321");
  append(kStart.addDays(1));
  goToDataSet(1);  // no real-time box on older datasets
  EXPECT_EQ(FillGrid(session)[GridRow::Koers], "0,9321");
}

TEST_F(FundGridTest, CellValuesReadGroupedAndTypedNumbers) {
  const Language dutch(Language::Code::Dutch, QLocale(QLocale::Dutch, QLocale::Netherlands));
  const Language english(Language::Code::English, QLocale(QLocale::English, QLocale::UnitedStates));
  const std::tuple<const Language&, QString, double> cases[] = {
      {dutch, " -1.234.567,89 ", -1234567.89},
      {dutch, "12,5", 12.5},
      {dutch, "", 0},
      {dutch, "12a", 0},
      {english, "12,5", 12.5},
      {english, "1,234,567.5", 1234567.5}};
  for (const auto& [language, text, value] : cases)
    EXPECT_DOUBLE_EQ(GridCellValue(text, language), value) << text.toStdString();
}

TEST_F(FundGridTest, ReadGridKeepsUntouchedValuesAndTakesEditedOnes) {
  start(kStart);
  addFund("ALPHA", 1000.005, 10, 100).KostenProc = 0.125;
  select(0);
  portfolio().markUnchanged();

  // The shown texts round to two decimals; reading them back loses nothing.
  EXPECT_FALSE(ReadGrid(session, prompter, FillGrid(session)));
  EXPECT_FALSE(portfolio().bPortChanged());
  EXPECT_DOUBLE_EQ(portfolio().koers().KostenProc, Real48(0.125));
  EXPECT_DOUBLE_EQ(portfolio().koers().Inleg, Real48(1000.005));

  QStringList cells = FillGrid(session);
  cells[GridRow::Kosten] = "   12,50";
  cells[GridRow::Valuta] = " US$";
  cells[GridRow::Inleg] = "2.000,00";
  EXPECT_TRUE(ReadGrid(session, prompter, cells));
  EXPECT_TRUE(portfolio().bPortChanged());
  EXPECT_DOUBLE_EQ(fund(0).Kosten, 12.5);
  EXPECT_DOUBLE_EQ(fund(0).Inleg, 2000);
  EXPECT_EQ(fund(0).Valuta, QStringLiteral("US$"));
}

// A negative price or quantity, or a value no 6-byte real holds, is
// refused and the stored value kept; a negative investment is a withdrawal.
TEST_F(FundGridTest, ValuesThatCannotBeStoredAreRefusedAndTheOldOneKept) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  calc();
  select(0);
  portfolio().markUnchanged();
  struct Case {
    int row;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {GridRow::Aantal, "-5,0000", "Aantal mag niet negatief zijn. De oude waarde blijft staan."},
      {GridRow::Koers, "-1", "Koers mag niet negatief zijn."},
      {GridRow::Aantal, "1000000000000000000000000000000000000000", "Aantal is te groot"},
      {GridRow::Kosten, "-400.000.000.000.000.000.000.000.000.000.000.000.000,00",
       "Kosten is te groot om te bewaren."},
  };
  for (const Case& c : cases) {
    prompter.expectMessage(c.message);
    EXPECT_FALSE(ReadGrid(session, prompter, edited(c.row, c.text))) << c.text;
    prompter.expectMessage(c.message);
    EXPECT_FALSE(update(edited(c.row, c.text), c.row).changed) << c.text;
  }
  EXPECT_DOUBLE_EQ(fund(0).Aantal, 10);
  EXPECT_DOUBLE_EQ(fund(0).Koers, 100);
  EXPECT_DOUBLE_EQ(fund(0).Kosten, 0);
  EXPECT_FALSE(portfolio().bPortChanged());

  EXPECT_TRUE(ReadGrid(session, prompter, edited(GridRow::Inleg, "-250,00")));
  EXPECT_DOUBLE_EQ(fund(0).Inleg, -250);
}

TEST_F(FundGridTest, OlderDataSetsProtectAllButTheCostRowsOutsideMaintenance) {
  threeDataSets();
  portfolio().markUnchanged();
  for (int row = 0; row < GridRow::Count; ++row)
    EXPECT_EQ(GridRowEditable(session, row), row >= GridRow::Kosten && row <= GridRow::BTW) << row;
  // An edit about to start in a protected row is refused with the reason.
  prompter.expectMessage("U mag deze waarde van oude Datasets niet wijzigen");
  EXPECT_TRUE(EditGridRow(session, prompter, GridRow::Koers).isFailure());
  EXPECT_TRUE(EditGridRow(session, prompter, GridRow::BTW));

  QStringList cells = FillGrid(session);
  cells[GridRow::Aantal] = "99,0000";
  cells[GridRow::Country] = "de";
  cells[GridRow::BTW] = "3,00";
  EXPECT_TRUE(ReadGrid(session, prompter, cells));
  EXPECT_DOUBLE_EQ(fund(0).Aantal, 10);
  EXPECT_EQ(fund(0).Country, QStringLiteral("nl"));
  EXPECT_DOUBLE_EQ(fund(0).BTW, 3);

  // UpdateFonds ignores a commit from a protected row, and takes one from a
  // cost row.
  EXPECT_FALSE(update(edited(GridRow::Kosten, "7,00"), GridRow::Aantal).changed);
  EXPECT_DOUBLE_EQ(fund(0).Kosten, 0);
  EXPECT_TRUE(update(edited(GridRow::Kosten, "7,00"), GridRow::Kosten).changed);
  EXPECT_DOUBLE_EQ(fund(0).Kosten, 7);

  // The placeholder row and maintenance mode open every row but the ticker.
  select(funds() - 1);
  EXPECT_TRUE(GridRowEditable(session, GridRow::Aantal));
  select(0);
  session.settings().editOldDates = true;
  EXPECT_TRUE(GridRowEditable(session, GridRow::Aantal));
  EXPECT_FALSE(GridRowEditable(session, GridRow::Ticker));
}

TEST_F(FundGridTest, NewFundThroughThePlaceholderReachesEveryLaterDataSet) {
  threeDataSets();
  goToDataSet(2);
  session.settings().editOldDates = true;
  select(2);
  QStringList cells = FillGrid(session);
  cells[GridRow::Ticker] = " gamma ";
  cells[GridRow::Valuta] = "us$";  // the copies take it too, in capitals
  cells[GridRow::Inleg] = "300,00";
  // The first investment is booked on the account the user chooses.
  prompter.expectMessage("U kunt vijf rekeningen gebruiken.").expectAccountChoice(3);
  const UpdateFondsResult result = update(cells, GridRow::Ticker);
  EXPECT_EQ(fund(2).RekNr, 3);
  EXPECT_TRUE(result.fundsChanged);
  EXPECT_EQ(fund(2).CumDatum, portfolio().alg().Datum);
  EXPECT_DOUBLE_EQ(fund(2).Inleg, 300);
  EXPECT_TRUE(fund(3).EndOfSetB) << "the placeholder still ends the dataset";

  EXPECT_EQ(tickers(1), QStringList({"ALPHA", "BETA", "[Nieuw]"}));
  EXPECT_EQ(tickers(2), QStringList({"ALPHA", "BETA", "gamma", "[Nieuw]"}));
  EXPECT_EQ(tickers(3), QStringList({"ALPHA", "BETA", "gamma", "[Nieuw]"}));
  EXPECT_EQ(fund(2).Valuta, QStringLiteral("US$"));
}

TEST_F(FundGridTest, DuplicateNewFundIsRefusedWithNothingChanged) {
  threeDataSets();
  goToDataSet(3);
  select(2);
  portfolio().markUnchanged();
  const int size = portfolio().size();
  prompter.expectMessage("Een fondsnaam mag niet tweemaal voorkomen. Kies een andere.");
  EXPECT_FALSE(update(edited(GridRow::Ticker, "  beta "), GridRow::Ticker).fundsChanged);
  prompter.verify();
  EXPECT_FALSE(portfolio().bPortChanged());

  // The placeholder text itself, or an empty cell, adds nothing.
  EXPECT_FALSE(update(edited(GridRow::Ticker, "[New]"), GridRow::Ticker).fundsChanged);
  EXPECT_FALSE(update(edited(GridRow::Ticker, ""), GridRow::Ticker).fundsChanged);
  EXPECT_EQ(portfolio().size(), size);
}

TEST_F(FundGridTest, RenameReachesLaterDataSetsAndRefusesAnotherFundsName) {
  threeDataSets();
  session.settings().editOldDates = true;
  goToDataSet(3);
  fund(0).Ticker2 = QStringLiteral("AL");
  goToDataSet(2);

  EXPECT_TRUE(update(edited(GridRow::Ticker, "OMEGA"), GridRow::Ticker).fundsChanged);
  EXPECT_EQ(tickers(1), QStringList({"ALPHA", "BETA", "[Nieuw]"}));
  EXPECT_EQ(tickers(2), QStringList({"OMEGA", "BETA", "[Nieuw]"}));
  EXPECT_EQ(tickers(3), QStringList({"OMEGA", "BETA", "[Nieuw]"}));
  EXPECT_EQ(fund(0).Ticker2, QStringLiteral(""));
  // The renamed fund keeps its history from the renamed dataset on.
  EXPECT_DOUBLE_EQ(fund(0).CumInleg, 1000);

  goToDataSet(2);
  prompter.expectMessage("Een fondsnaam mag niet tweemaal voorkomen");
  EXPECT_FALSE(update(edited(GridRow::Ticker, "Beta"), GridRow::Ticker).fundsChanged);
  EXPECT_EQ(fund(0).Ticker, QStringLiteral("OMEGA"));
  // Changing only the case of its own name is a rename, not a duplicate.
  EXPECT_TRUE(update(edited(GridRow::Ticker, "Omega"), GridRow::Ticker).fundsChanged);
  EXPECT_EQ(fund(0).Ticker, QStringLiteral("Omega"));

  prompter.expectMessage("To remove a Fund from the list please enter zero  for the quantity");
  session.setLanguage(Language::Code::English);
  EXPECT_FALSE(update(edited(GridRow::Ticker, " "), GridRow::Ticker).fundsChanged);
}

TEST_F(FundGridTest, CommittedValuesFollowTheChangeThresholds) {
  threeDataSets();
  goToDataSet(3);

  // Too small a price move is not taken at all.
  EXPECT_FALSE(update(edited(GridRow::Koers, "100,00005"), GridRow::Koers).changed);
  EXPECT_DOUBLE_EQ(fund(0).Koers, 100);

  // A new quantity is kept without recalculating the later datasets.
  EXPECT_FALSE(update(edited(GridRow::Aantal, "12,0000"), GridRow::Aantal).changed);
  EXPECT_DOUBLE_EQ(fund(0).Aantal, 12);

  // Growth factors are capped.
  EXPECT_TRUE(update(edited(GridRow::f, "5"), GridRow::f).changed);
  EXPECT_DOUBLE_EQ(fund(0).f, Real48(0.99999));
  EXPECT_EQ(FillGrid(session)[GridRow::f], "1,0000");
}

TEST_F(FundGridTest, SignChangeOfAnEarlierInvestmentIsRecalculatedIntoLaterDataSets) {
  threeDataSets();
  goToDataSet(3);
  next(kStart.addMonths(3));
  session.settings().editOldDates = true;
  goToDataSet(2);
  fund(1).Inleg = 200;
  calc();
  select(1);
  EXPECT_TRUE(update(edited(GridRow::Inleg, "-200,00"), GridRow::Inleg).changed);
  EXPECT_DOUBLE_EQ(fund(1).Inleg, -200);
  EXPECT_DOUBLE_EQ(fund(1).CumInleg, 300);
  // The dataset after it was recalculated too, not only the current one.
  goToDataSet(3);
  EXPECT_DOUBLE_EQ(fund(1).CumInleg, 300);
}

TEST_F(FundGridTest, AFullPortfolioRefusesTheNewFund) {
  start(kStart);
  // Fill the single dataset up to the fund limit, placeholder included.
  while (funds() < Portfolio::kMaxFundsPerDataSet)
    addFund(QStringLiteral("F%1").arg(funds()), 0, 0, 1);
  select(funds() - 1);
  prompter.expectMessage("De portefeuille is vol");
  EXPECT_FALSE(update(edited(GridRow::Ticker, "NEW"), GridRow::Ticker).fundsChanged);
}

}  // namespace
}  // namespace pelmar
