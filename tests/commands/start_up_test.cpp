#include "commands/start_up.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class StartUpTest : public test::PortfolioFixture {
 protected:
  StartUpTest() : PortfolioFixture(Language::Code::English) {
    session.clock().fix(QDate(2024, 6, 12));
  }

  QString program(const QString& name = {}) const { return path("program/" + name); }
  QString port(const QString& name) const { return session.settings().portfolioPath + name; }
  QString prices(const QString& name) const { return session.settings().pricePath + name; }

  // Saves a portfolio holding "AAA" as `fileName`; memory is left empty.
  void saveExample(const QString& fileName) {
    start(QDate(2024, 6, 3));
    addFund("AAA", 100, 10, 10);
    calc();
    QDir().mkpath(QFileInfo(fileName).path());
    ASSERT_TRUE(SavePortfolio(session, prompter, fileName, WriteLimitAll(portfolio()), false));
    portfolio().clear();
  }

  // The program folder's examples: a portfolio, a day's prices and a stock
  // list.
  void writeExamples() {
    saveExample(program("Port/Demo.xml"));
    test::writeFile(program("Prices/") + PriceStore::dayFileName(QDate(2024, 6, 12)),
                    "Aaa fund,AAA,24/06/12,12.5\r\n");
    test::writeFile(program("Prices/Stocks_nl.txt"), "theirs");
  }

  test::ScriptedPrompter prompter;
};

TEST_F(StartUpTest, TheFirstStartCopiesTheExamplesAndOpensTheRecordedPortfolio) {
  writeExamples();
  test::writeFile(prices("Stocks_nl.txt"), "mine");
  session.settings().fileName = QStringLiteral("Demo.xml");

  ASSERT_TRUE(StartUp(session, prompter, program()));
  EXPECT_TRUE(QFileInfo::exists(port("Demo.xml")));
  EXPECT_TRUE(QFileInfo::exists(prices(PriceStore::dayFileName(QDate(2024, 6, 12)))));
  EXPECT_EQ(test::readFile(prices("Stocks_nl.txt")), "mine")
      << "the user's file is never overwritten";
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
  writeExamples();
  test::writeFile(path("PriceFile"), "a file where the price folder should be");
  session.settings().pricePath = path("PriceFile/");
  session.applyPricePath();
  session.settings().fileName = QStringLiteral("Demo.xml");
  const QString notMade = "The folder " + QDir::toNativeSeparators(path("PriceFile/"));
  prompter.expectMessage(notMade).expectMessage(notMade).expectMessage(
      "There are no Prices files present.");
  ASSERT_TRUE(StartUp(session, prompter, program()));
  EXPECT_TRUE(QFileInfo::exists(port("Demo.xml")));
  EXPECT_TRUE(portfolio().bPortOpened());
  EXPECT_FALSE(portfolio().bPortChanged()) << "no stored value changed";
}

}  // namespace
}  // namespace pelmar
