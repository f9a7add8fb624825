#include "cli/script.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli_run.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

using test::CliRun;

const QString kExamples = QStringLiteral(PELMAR_SOURCE_DIR "/data");

// `pelmar-cli run` on a copy of the first example portfolio.
class ScriptRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QFile::copy(kExamples + "/Port/Test-1.xml", dir.filePath("Test-1.xml")));
  }
  CliRun run(const QString& steps, QStringList extra = {}) {
    test::writeFile(dir.filePath("steps.txt"), steps.toUtf8());
    QStringList args{"run",      dir.filePath("Test-1.xml"),
                     "--script", dir.filePath("steps.txt"),
                     "--prices", kExamples + "/Prices",
                     "--today",  "2026-01-05",
                     "--lang",   "en"};
    return test::runCliWith(args + extra);
  }
  // The funds of the printed dataset by ticker.
  static QJsonObject fundsOf(const CliRun& r) {
    QJsonObject funds;
    const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).object()["funds"].toArray();
    for (const QJsonValue& fund : list) funds[fund["ticker"].toString()] = fund;
    return funds;
  }

  QTemporaryDir dir;
};

TEST_F(ScriptRun, TradesAreBookedRefusalsReportedAndTheRunGoesOn) {
  const QJsonObject before = fundsOf(run("# nothing\n", {"--json"}));
  const CliRun r =
      run("select NZT\n"
          "buy 39 costs 5      # the advised purchase\n"
          "select TVB\n"
          "buy 15              # TVB's reserve is below zero\n"
          "select PWE\n"
          "sell 20 price 16,00\n",
          {"--json"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.err, "The Funds Reserve becomes negative after this buy.\nThis is not permitted\n");
  const QJsonObject after = fundsOf(r);
  EXPECT_EQ(after["NZT"]["shares"].toDouble(), before["NZT"]["shares"].toDouble() + 39);
  EXPECT_NEAR(after["NZT"]["reserve"].toDouble(),
              before["NZT"]["reserve"].toDouble() - 39 * 2.82 - 5, 0.5);
  EXPECT_EQ(after["TVB"]["shares"], before["TVB"]["shares"]);
  EXPECT_EQ(after["PWE"]["shares"].toDouble(), before["PWE"]["shares"].toDouble() - 20);

  // Strict: the refusal ends the run, nothing is printed or saved.
  const CliRun strict =
      run("select TVB\nbuy 15\nselect NZT\n", {"--strict", "--save", dir.filePath("Out.xml")});
  EXPECT_EQ(strict.code, kScriptRefused);
  EXPECT_TRUE(strict.out.isEmpty());
  EXPECT_FALSE(QFile::exists(dir.filePath("Out.xml")));
}

TEST_F(ScriptRun, AccountStepsApplyTheWindowAndRefuseABadCreditPercent) {
  const CliRun r =
      run("account 1 CredPerc 12.5\n"
          "account 1 RekNaam Broker\n"
          "account apply\n"
          "select NZT\n"
          "divirozev on\n",
          {"--save", dir.filePath("Out.xml")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("\"12.5\" has not been taken")) << r.err.toStdString();
  const QByteArray saved = test::readFile(dir.filePath("Out.xml"));
  EXPECT_TRUE(saved.contains("<RekNaam>Broker</RekNaam>"));
  EXPECT_TRUE(saved.contains("<DivirOzevB>True</DivirOzevB>") ||
              saved.contains("<DivirOzevB>1</DivirOzevB>"));
}

TEST_F(ScriptRun, MalformedStepsAreUsageErrorsNamingTheirLine) {
  const struct {
    const char* steps;
    const char* reason;
  } rows[] = {
      {"select NZT\nbuy many\n", "line 2: buy takes a number of shares"},
      {"# first\n\nsell 3 price\n", "line 3: expected \"price P\""},
      {"set Aantal 5\n", "line 1: no grid field Aantal"},
      {"account 6 CredRente 1\n", "line 1: accounts are numbered 1 to 5"},
      {"account 1 Saldo 1\n", "line 1: no account field Saldo"},
      {"dataset sideways\n", "line 1: not a step"},
      {"rividudori maybe\n", "line 1: not a step"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.steps);
    const CliRun r = run(row.steps);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(row.reason)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
  }
}

TEST(ScriptParse, StepsKeepTheirFieldsAndLines) {
  const ParsedScript parsed = ParseScript(
      "select  ABC \r\n# note\nbuy 2,5 price 10 costs 1.5\nanswer Naam 1 # why\nrividudori on\n");
  ASSERT_TRUE(parsed.error.isEmpty());
  ASSERT_EQ(parsed.steps.size(), 4u);
  EXPECT_EQ(parsed.steps[0].text, "ABC");
  EXPECT_EQ(parsed.steps[2].text, "Naam 1");
  EXPECT_EQ(parsed.steps[3].kind, ScriptStep::Kind::RividuDori);
  EXPECT_TRUE(parsed.steps[3].on);
}

}  // namespace
}  // namespace pelmar

namespace pelmar {
namespace {

// The check listing of the first example portfolio, byte for byte.
TEST(CheckListingGolden, FirstExamplePortfolio) {
  const test::CliRun r =
      test::runCliWith({"check", kExamples + "/Port/Test-1.xml", "--prices", kExamples + "/Prices",
                        "--today", "2026-01-05", "--lang", "en"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(
      r.out.toUtf8(),
      test::readFile(QStringLiteral(PELMAR_SOURCE_DIR "/tests/golden/check_listing_test1_en.txt")));
}

// Split, reference value, flags and the year closing as script steps. The
// file reaches over two new years, so a flag set by hand does not stop the
// closing: the years are closed one after the other, until the file lies in
// one year and is closed already.
TEST_F(ScriptRun, MethodStepsSplitFlagAndCloseTheYear) {
  const CliRun split =
      run("select NZT\nsplit 2\nsplit 1,005\nsplit x\nrefvalue\nanswer yes\nrefvalue\n"
          "flag Cumulatief on\nflag jaarafsl on\nyearclose " +
          dir.filePath("New.xml") + "\nyearclose " + dir.filePath("Newer.xml") + "\nyearclose " +
          dir.filePath("Newest.xml") + "\n");
  ASSERT_EQ(split.code, 0) << split.err.toStdString();
  EXPECT_TRUE(split.err.contains("\"x\" is no ratio above 0")) << split.err.toStdString();
  EXPECT_TRUE(split.err.contains("closed already")) << split.err.toStdString();
  EXPECT_TRUE(QFile::exists(dir.filePath("New.xml")));
  EXPECT_TRUE(QFile::exists(dir.filePath("Newer.xml")));
  EXPECT_FALSE(QFile::exists(dir.filePath("Newest.xml")));
  EXPECT_TRUE(test::readFile(dir.filePath("Test-1.xml")).contains("<Flag1>1</Flag1>"));
  EXPECT_EQ(ParseScript("flag Fake on\n").error.left(7), "line 1:");
  EXPECT_EQ(ParseScript("maintenance maybe\n").error.left(7), "line 1:");
}

}  // namespace
}  // namespace pelmar
