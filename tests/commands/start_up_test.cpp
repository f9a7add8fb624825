#include "commands/start_up.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "commands/navigation.h"
#include "model/dates.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

// Every test starts on Wednesday 12 June 2024 with empty portfolio and
// price folders; the scripted prompter fails on any question not expected.
class StartUpTest : public test::PortfolioFixture {
 protected:
  StartUpTest() : PortfolioFixture(Language::Code::English) { today(QDate(2024, 6, 12)); }

  void today(QDate day) { session.clock().fix(day); }
  QString program(const QString& name = {}) const { return path("program/" + name); }
  QString port(const QString& name) const { return session.settings().portfolioPath + name; }
  QString prices(const QString& name) const { return session.settings().pricePath + name; }
  QString dayFile(QDate day) const { return prices(PriceStore::dayFileName(day)); }
  QDate dataSetDate(int rekIndex) { return serialToDate(portfolio().algAt(rekIndex - 1).Datum); }

  // Saves a portfolio holding "AAA" as `fileName`; memory is left empty.
  void saveExample(const QString& fileName) {
    start(QDate(2024, 6, 3));
    addFund("AAA", 100, 10, 10);
    calc();
    QDir().mkpath(QFileInfo(fileName).path());
    ASSERT_TRUE(SavePortfolio(session, prompter, fileName, WriteLimitAll(portfolio()), false));
    portfolio().clear();
  }

  // The program folder's price file of today.
  void writeProgramPrices() {
    test::writeFile(program("Prices/") + PriceStore::dayFileName(QDate(2024, 6, 12)),
                    "Aaa fund,AAA,24/06/12,12.5\r\n");
  }

  test::ScriptedPrompter prompter;
};

// The first start shows a living portfolio: the examples are made for
// today, end on the working day before, hold this year only (so no year
// closing is offered) and open on the first real fund.
TEST_F(StartUpTest, TheFirstStartMakesTodaysExamplesAndOpensThemWithoutAQuestion) {
  test::writeFile(prices("Stocks_nl.txt"), "mine");
  ASSERT_TRUE(StartUp(session, prompter, program()));

  EXPECT_TRUE(QFileInfo::exists(port("Test-2.xml")));
  EXPECT_TRUE(QFileInfo::exists(dayFile(QDate(2024, 6, 11))));
  EXPECT_FALSE(QFileInfo::exists(dayFile(QDate(2024, 6, 12))));
  EXPECT_EQ(test::readFile(prices("Stocks_nl.txt")), "mine") << "a file there is never replaced";
  EXPECT_EQ(serialToDate(session.prices().latestPriceDays().dutch), QDate(2024, 6, 11));

  const Portfolio& p = portfolio();
  EXPECT_EQ(CurrentFileName(session), port("Test-1.xml"));
  EXPECT_EQ(dataSetDate(Portfolio::kFirstRekIndex), QDate(2024, 1, 1)) << "the year's opening";
  EXPECT_EQ(dataSetDate(p.FirstRekIndex()), QDate(2024, 6, 12)) << "the dataset of today";
  EXPECT_EQ(serialToDate(*p.PrevDataSetDate()), QDate(2024, 6, 11));
  EXPECT_EQ(SelectedFundEntry(p), "DBG");
  EXPECT_GT(fund(0).Aantal, 0.0);
  EXPECT_FALSE(p.bPortChanged());
}

// On the first working day of a year the examples end in the old year: the
// portfolio then holds the opening dataset of 1 January and today's.
TEST_F(StartUpTest, AFirstStartEarlyInJanuaryHoldsTheOpeningOfTheNewYear) {
  today(QDate(2025, 1, 2));
  ASSERT_TRUE(StartUp(session, prompter, program()));
  EXPECT_TRUE(QFileInfo::exists(dayFile(QDate(2024, 12, 31))));
  const Portfolio& p = portfolio();
  EXPECT_EQ(dataSetDate(Portfolio::kFirstRekIndex), QDate(2025, 1, 1));
  EXPECT_EQ(p.alg().NrOfSet, 2);
  EXPECT_EQ(SelectedFundEntry(p), "DBG");
  EXPECT_GT(fund(0).Koers, 0.01);
}

TEST_F(StartUpTest, AnOpenPortfolioWithoutPriceFilesGetsTheProgramsOnes) {
  saveExample(port("Mine.xml"));
  writeProgramPrices();
  session.settings().fileName = QStringLiteral("Mine.xml");
  ASSERT_TRUE(StartUp(session, prompter, program()));
  EXPECT_FALSE(QFileInfo::exists(port("Test-1.xml"))) << "not a first start";
  EXPECT_EQ(fund(0).Koers, 12.5) << "the day's price from the copied file";
  EXPECT_FALSE(portfolio().bPortChanged());
}

// A recorded file that is gone falls back on ".pelmar", which is missing too.
TEST_F(StartUpTest, ARecordedPortfolioThatIsGoneIsTold) {
  saveExample(port("Mine.xml"));
  session.settings().fileName = QStringLiteral("Gone.xml");
  prompter.expectTimedMessage("doesn't contain any information");
  EXPECT_TRUE(StartUp(session, prompter, program()).isFailure());
  EXPECT_FALSE(portfolio().bPortOpened());
}

TEST_F(StartUpTest, ACopyThatFailsIsToldAndTheStartGoesOn) {
  writeProgramPrices();
  test::writeFile(path("PriceFile"), "a file where the price folder should be");
  session.settings().pricePath = path("PriceFile/");
  session.applyPricePath();
  const QString notMade = "The folder " + QDir::toNativeSeparators(path("PriceFile/"));
  prompter.expectMessage(notMade).expectMessage(notMade).expectMessage(
      "There are no Prices files present.");
  ASSERT_TRUE(StartUp(session, prompter, program()));
  EXPECT_TRUE(QFileInfo::exists(port("Test-1.xml")));
  EXPECT_TRUE(portfolio().bPortOpened());
  EXPECT_FALSE(portfolio().bPortChanged()) << "no stored value changed";
}

}  // namespace
}  // namespace pelmar
