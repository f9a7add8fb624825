#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "cli/exit_codes.h"
#include "cli_run.h"
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
  const CliRun r = run("import-prices HRBF " + dir.filePath("hrbf.csv") + "\n");
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

}  // namespace
}  // namespace pelmar
