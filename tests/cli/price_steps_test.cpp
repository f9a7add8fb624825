#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "cli/exit_codes.h"
#include "cli_run.h"
#include "net/local_server.h"
#include "prices/price_replies.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

using test::CliRun;

const QString kExamples = QStringLiteral(PELMAR_SOURCE_DIR "/data");

// `pelmar-cli run` with the price steps, on a copy of the first example
// portfolio and a price folder of its own that holds only the stock lists.
class PriceSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QFile::copy(kExamples + "/Port/Test-1.xml", dir.filePath("Test-1.xml")));
    ASSERT_TRUE(QDir(dir.path()).mkpath("Prices"));
    test::writeFile(prices("Stocks_us.txt"), "Harbor Foods Inc,HRBF,2026-01-02\r\n");
    test::writeFile(prices("Stocks_nl.txt"), "");
  }
  QString prices(const QString& name) const { return dir.filePath("Prices/" + name); }
  CliRun run(const QString& steps, QStringList extra = {}) {
    test::writeFile(dir.filePath("steps.txt"), steps.toUtf8());
    const QStringList args{"run",      dir.filePath("Test-1.xml"),
                           "--script", dir.filePath("steps.txt"),
                           "--prices", dir.filePath("Prices"),
                           "--today",  "2026-01-08",
                           "--lang",   "en",
                           "--strict"};
    return test::runCliWith(args + extra);
  }

  QTemporaryDir dir;
};

// A CSV export is stored day by day and moves the list's last date; a
// damaged one is refused with its line and leaves every price file as it
// was.
TEST_F(PriceSteps, ImportStoresTheClosesOrRefusesTheWholeFile) {
  test::writeFile(dir.filePath("hrbf.csv"),
                  "Close;Date\r\n12,50;06-01-2026\r\n12,25;05-01-2026\r\n");
  // Days up to 12 leave the order of day and month to the step.
  const CliRun r = run("import-prices HRBF --date-order dmy " + dir.filePath("hrbf.csv") + "\n");
  ASSERT_EQ(r.code, kDone) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("2 prices of HRBF")) << r.err.toStdString();
  EXPECT_TRUE(test::readFile(prices("260105A.csv")).contains("HRBF"));
  EXPECT_TRUE(test::readFile(prices("260106A.csv")).contains("12.5"));
  EXPECT_EQ(test::readFile(prices("Stocks_us.txt")), "Harbor Foods Inc,HRBF,2026-01-06\r\n");

  const QString day = test::readFile(prices("260106A.csv"));
  test::writeFile(dir.filePath("bad.csv"), "Date,Close\n2026-01-07,13.00\n2026-01-0x,13.10\n");
  const CliRun bad = run("import-prices HRBF " + dir.filePath("bad.csv") + "\n");
  EXPECT_EQ(bad.code, kScriptRefused);
  EXPECT_TRUE(bad.err.contains("not been imported: line 3")) << bad.err.toStdString();
  EXPECT_FALSE(QFile::exists(prices("260107A.csv")));
  EXPECT_EQ(test::readFile(prices("260106A.csv")), day);
  EXPECT_EQ(test::readFile(prices("Stocks_us.txt")), "Harbor Foods Inc,HRBF,2026-01-06\r\n");
}

// The import's questions take the `answer` steps before it; without one
// the cautious No stops the step, which stores nothing.
TEST_F(PriceSteps, ImportQuestionsTakeTheAnswerSteps) {
  const QString csv = dir.filePath("zzz.csv");
  test::writeFile(csv, "Date,Close\n2026-01-05,4.5\n2026-01-06,4.75\n");
  const CliRun no = run("import-prices ZZZ " + csv + "\n");
  EXPECT_EQ(no.code, kScriptRefused);
  EXPECT_TRUE(no.err.contains("The ticker ZZZ is in neither")) << no.err.toStdString();
  EXPECT_FALSE(QFile::exists(prices("260105A.csv")));
  ASSERT_EQ(run("answer yes\nimport-prices ZZZ " + csv + "\n").code, kDone);

  test::writeFile(csv, "Date,Close\n2026-01-05,4.5\n2026-01-06,4.8\n");
  const CliRun yes = run("answer yes\nanswer yes\nimport-prices ZZZ " + csv + "\n");
  EXPECT_EQ(yes.code, kDone) << yes.err.toStdString();
  EXPECT_TRUE(yes.err.contains("Stored prices of ZZZ that the file changes: 1 (from 2026-01-06"))
      << yes.err.toStdString();
  EXPECT_EQ(test::readFile(prices("260106A.csv")), "ZZZ,ZZZ,26/01/06,4.8\r\n");
}

// The download step asks the configured services (here the test's server)
// for the days since each list's last date less the extra days, stores the
// new closes, moves the last date and writes its log on the error stream.
TEST_F(PriceSteps, DownloadFetchesFromTheConfiguredServices) {
  const QDate start = QDate(2026, 1, 2).addDays(-100);  // "Dagen" is 100 by default
  test::LocalServer server(
      {{UsPriceUrl("/us/", "HRBF", start, QDate(2026, 1, 8)),
        test::Route::page("Date,Open,High,Low,Close,Volume,Adj Close\n"
                          "7-Jan-26,1,1,1,13.10,1,13.05\n6-Jan-26,1,1,1,12.90,1,12.85\n")}});
  const auto setting = [](const QString& name, const QString& value) {
    ASSERT_EQ(test::runCliWith({"settings", "set", name, value}).code, kDone) << name.toStdString();
  };
  setting("Download/USPriceService", server.url("/us/"));
  setting("Download/DutchPriceService", server.url("/nl/"));
  setting("Download/USSource", "us-service");
  const CliRun r = run("download\n");
  setting("Download/USSource", "none");
  setting("Download/USPriceService", "https://us-prices.example/");
  setting("Download/DutchPriceService", "https://dutch-prices.example/");

  ASSERT_EQ(r.code, kDone) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("Harbor Foods Inc . . . downloaded: 2026-01-07"))
      << r.err.toStdString();
  EXPECT_TRUE(test::readFile(prices("260107A.csv")).contains("HRBF,26/01/07,13.05"));
  EXPECT_EQ(test::readFile(prices("Stocks_us.txt")), "Harbor Foods Inc,HRBF,2026-01-07\r\n");
  EXPECT_EQ(server.requests().size(), 1);
}

}  // namespace
}  // namespace pelmar
