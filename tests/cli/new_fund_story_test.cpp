#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli_run.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

using test::CliRun;

// The funds of a printed dataset by ticker.
QJsonObject fundsOf(const CliRun& r) {
  QJsonObject funds;
  const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).object()["funds"].toArray();
  for (const QJsonValue& fund : list) funds[fund["ticker"].toString()] = fund;
  return funds;
}

// From an empty new portfolio to three funds through the headless tool only;
// the saved file, opened again, shows the same figures.
TEST(NewFundStory, AnEmptyPortfolioGetsThreeFundsThatSurviveSavingAndOpening) {
  QTemporaryDir dir;
  const QString prices = dir.filePath("Prices/");
  test::writeFile(prices + "Stocks_nl.txt", "ASML Holding,ASML,2026-01-02\r\n");
  test::writeFile(prices + "Stocks_us.txt", "International Business Machines,IBM,2026-01-02\r\n");
  test::writeFile(prices + "260105A.csv", "IBM (US),IBM,26/01/05,150.25\r\n");
  const QString made = dir.filePath("Mine.xml");
  const CliRun created =
      test::runCliWith({"new", made, "--currency", "EUR", "--today", "2026-01-02", "--lang", "en"});
  ASSERT_EQ(created.code, 0) << created.err.toStdString();

  test::writeFile(dir.filePath("steps.txt"),
                  "newfund ASML 250 10 2\n"
                  "newfund IBM - 4\n"
                  "newfund-manual House 1000 1\n"
                  "newfund asml 1 1   # already there: refused, the run goes on\n"
                  "newfund NOPE 1 1\n");
  const QStringList common{"--prices", prices, "--today", "2026-01-05", "--lang", "en", "--json"};
  const QString saved = dir.filePath("Saved.xml");
  const CliRun run = test::runCliWith(
      QStringList{"run", made, "--script", dir.filePath("steps.txt"), "--save", saved} + common);
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("The stock ASML is already in the portfolio"))
      << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("NOPE is not in the download lists."));
  const QJsonObject funds = fundsOf(run);
  ASSERT_EQ(funds.size(), 3) << run.out.toStdString();
  EXPECT_EQ(funds["ASML"]["shares"].toDouble(), 10);
  EXPECT_EQ(funds["ASML"]["price"].toDouble(), 250);
  EXPECT_EQ(funds["IBM"]["price"].toDouble(), 150.25) << "the daily file's price";
  EXPECT_EQ(funds["house"]["price"].toDouble(), 1000);

  const CliRun opened = test::runCliWith(QStringList{"open", saved} + common);
  ASSERT_EQ(opened.code, 0) << opened.err.toStdString();
  EXPECT_EQ(fundsOf(opened), funds);

  const CliRun wrong = test::runCliWith({"new", made, "--currency", "GBP"});
  EXPECT_EQ(wrong.code, 2);
}

}  // namespace
}  // namespace pelmar
