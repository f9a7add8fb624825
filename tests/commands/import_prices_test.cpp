#include <gtest/gtest.h>

#include <QFile>

#include "commands/download.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class ImportPricesTest : public test::PortfolioFixture {};

TEST_F(ImportPricesTest, StoresEveryCloseAndMovesTheListDate) {
  const QString folder = session.prices().folder();
  test::writeFile(folder + "Stocks_us.txt", "IBM Corp,IBM,2009-03-04\r\n");
  test::writeFile(path("ibm.csv"), "Date;Close\r\n05-03-2009;12,5\r\n2009-03-06;13\r\n");
  test::ScriptedPrompter prompter;
  prompter.expectMessage("2 prices of IBM imported, the latest of 2009-03-06.");
  ASSERT_TRUE(ImportPrices(session, prompter, "IBM", path("ibm.csv")).ok());
  EXPECT_EQ(test::readFile(folder + "090305A.csv"), "IBM Corp (US),IBM,09/03/05,12.5\r\n");
  EXPECT_EQ(test::readFile(folder + "090306A.csv"), "IBM Corp (US),IBM,09/03/06,13\r\n");
  EXPECT_EQ(test::readFile(folder + "Stocks_us.txt"), "IBM Corp,IBM,2009-03-06\r\n");
  EXPECT_DOUBLE_EQ(session.prices().GetFilePrice("ibm", QDate(2009, 3, 9)), 13);
}

TEST_F(ImportPricesTest, ADamagedFileChangesNothing) {
  const QString folder = session.prices().folder();
  test::writeFile(folder + "090305A.csv", "IBM,IBM,09/03/05,1\r\n");
  test::writeFile(path("bad.csv"), "Date,Close\n2009-03-05,12.5\n2009-03-06,twelve\n");
  test::ScriptedPrompter prompter;
  prompter.expectMessage("line 3: \"twelve\" is no price");
  const Outcome outcome = ImportPrices(session, prompter, "IBM", path("bad.csv"));
  ASSERT_TRUE(outcome.isFailure());
  EXPECT_EQ(test::readFile(folder + "090305A.csv"), "IBM,IBM,09/03/05,1\r\n");
  EXPECT_FALSE(QFile::exists(folder + "090306A.csv"));
}

TEST_F(ImportPricesTest, DownloadsAtStartOnlyWhenAskedAndPriceFilesExist) {
  session.settings().downloadAtStart = true;
  EXPECT_FALSE(DownloadAtStart(session));  // an empty price folder
  test::writeFile(session.prices().folder() + "090305A.csv", "IBM,IBM,09/03/05,1\r\n");
  EXPECT_TRUE(DownloadAtStart(session));
  session.settings().downloadAtStart = false;
  EXPECT_FALSE(DownloadAtStart(session));
}

TEST_F(ImportPricesTest, TheMenuCommandAsksTheFileThenTheTicker) {
  const QString folder = session.prices().folder();
  test::writeFile(path("asml.csv"), "Close,Date\n31.2,2009-03-13\n");
  test::ScriptedPrompter prompter;
  // Cancelled at either question: nothing stored.
  prompter.expectOpenFile(std::nullopt);
  EXPECT_EQ(ImportPricesClick(session, prompter).kind(), Outcome::Kind::Stopped);
  prompter.expectOpenFile(path("asml.csv")).expectInput("Ticker", {true, "  "});
  EXPECT_EQ(ImportPricesClick(session, prompter).kind(), Outcome::Kind::Stopped);
  EXPECT_FALSE(QFile::exists(folder + "090313A.csv"));

  prompter.expectOpenFile(path("asml.csv"))
      .expectInput("Ticker", {true, " asml "})
      .expectMessage("1 prices of asml imported");
  EXPECT_TRUE(ImportPricesClick(session, prompter).ok());
  EXPECT_EQ(test::readFile(folder + "090313A.csv"), "asml,asml,09/03/13,31.2\r\n");
}

}  // namespace
}  // namespace pelmar
