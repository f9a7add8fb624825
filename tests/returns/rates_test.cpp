#include "returns/rates.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <cmath>

#include "model/dates.h"
#include "support/portfolio_fixture.h"

namespace pelmar::test {
namespace {

qint64 dayOf(int year, int month, int day) {
  return static_cast<qint64>(dateToSerial(QDate(year, month, day)));
}

double annualRate(const std::vector<DatedFlow>& flows) {
  const std::optional<long double> perYear = InternalRatePerYear(flows);
  return perYear ? double(std::expm1(*perYear)) : NAN;
}

// Textbook time-weighted returns: the growth of each stretch between
// payments, chained; the payments themselves are no growth.
TEST(TimeWeightedChainTest, ChainsTheStretchesBetweenPayments) {
  // 1,000,000 grows to 1,100,000 in half a year; 200,000 is paid in; the
  // 1,300,000 grows to 1,350,000 by the year's end: 1.1 × 1350/1300.
  TimeWeightedChain chain;
  chain.startFrom(1000000);
  chain.add({182, 1100000, 200000, 1300000});
  chain.add({365, 1350000, 0, 1350000});
  EXPECT_NEAR(double(*chain.growth()), 1.1 * 1350000 / 1300000, 1e-15);

  // A withdrawal: 500 grows to 550, 250 taken out, 300 falls to 270.
  TimeWeightedChain withdrawn;
  withdrawn.startFrom(500);
  withdrawn.add({10, 550, -250, 300});
  withdrawn.add({20, 270, 0, 270});
  EXPECT_NEAR(double(*withdrawn.growth()), 1.1 * 0.9, 1e-15);
}

TEST(TimeWeightedChainTest, AllMoneyOutAndBackInOnOneDayChangesNothing) {
  TimeWeightedChain plain;
  plain.add({0, 0, 1000, 1000});
  plain.add({100, 1200, 0, 1200});
  plain.add({200, 1080, 0, 1080});

  TimeWeightedChain outAndIn;
  outAndIn.add({0, 0, 1000, 1000});
  outAndIn.add({100, 1200, -1200, 0});  // everything out
  outAndIn.add({100, 0, 1200, 1200});   // and back in
  outAndIn.add({200, 1080, 0, 1080});
  EXPECT_NEAR(double(*outAndIn.growth()), double(*plain.growth()), 1e-15);
  EXPECT_NEAR(double(*plain.growth()), 1.08, 1e-15);
}

TEST(TimeWeightedChainTest, CostsOfATradeAreLostAgainstTheMoneyAtWork) {
  // Bought for 1000 plus 10 costs from nothing; later sold for 1100 with
  // 10 costs: 1000/1010 × 1100/1110... of the sale's holding.
  TimeWeightedChain chain;
  chain.add({0, 0, 1010, 1000});
  chain.add({50, 1100, -1090, 0});
  EXPECT_NEAR(double(*chain.growth()), 1000.0 / 1010 * 1.1 * 1090 / 1100, 1e-15);
  // Costs paid while nothing is held measure nothing.
  chain.add({60, 0, 5, 0});
  EXPECT_NEAR(double(*chain.growth()), 1000.0 / 1010 * 1.1 * 1090 / 1100, 1e-15);
}

TEST(TimeWeightedChainTest, ANegativeCapitalHasNoMeaningfulRate) {
  TimeWeightedChain chain;
  chain.startFrom(-100);
  chain.add({10, -90, 0, -90});
  EXPECT_FALSE(chain.growth());

  TimeWeightedChain overdrawn;
  overdrawn.startFrom(100);
  overdrawn.add({10, -20, 0, -20});  // lost more than everything
  EXPECT_FALSE(overdrawn.growth());
}

// Textbook internal rates whose answers are known in closed form.
TEST(InternalRateTest, ClosedFormExamples) {
  // 1000 becomes 1100 in 365 days: 10 %.
  EXPECT_NEAR(annualRate({{0, -1000}, {365, 1100}}), 0.10, 1e-12);
  // 100 now and 100 in a year become 231 in two years: 1.1² + 1.1 = 2.31.
  EXPECT_NEAR(annualRate({{0, -100}, {365, -100}, {730, 231}}), 0.10, 1e-12);
  // Half a year's growth of 5 %: 1.05² − 1 per year (actual/365).
  EXPECT_NEAR(annualRate({{0, -1000}, {182, 1050}}), std::pow(1.05, 365.0 / 182) - 1, 1e-12);
  // Payments of one day are added up; their order does not matter.
  EXPECT_NEAR(annualRate({{365, 600}, {0, -400}, {365, 500}, {0, -600}}), 0.10, 1e-12);
  // A total loss is no rate (no payment back); a deep loss is.
  EXPECT_NEAR(annualRate({{0, -1000}, {365, 1}}), 0.001 - 1, 1e-12);
}

TEST(InternalRateTest, NoMeaningfulRate) {
  EXPECT_FALSE(InternalRatePerYear({}));
  EXPECT_FALSE(InternalRatePerYear({{0, -1000}, {365, -100}}));  // nothing received
  EXPECT_FALSE(InternalRatePerYear({{0, 1000}, {365, 100}}));    // nothing paid in
  EXPECT_FALSE(InternalRatePerYear({{0, -1000}, {0, 1100}}));    // one day
  EXPECT_FALSE(InternalRatePerYear({{0, -1000}, {365, 1000}, {365, -1000}}));
  // A growth beyond e^30 over the span: no root in reach.
  EXPECT_FALSE(InternalRatePerYear({{0, -1}, {1, 1e20}}));
  // Two rates (10 % and 20 %) fit these payments: neither is given.
  EXPECT_FALSE(InternalRatePerYear({{0, -100}, {365, 230}, {730, -132}}));
}

// The same payments as a spreadsheet computes them: each case is written
// into a flat OpenDocument spreadsheet with an XIRR formula, converted to
// CSV by LibreOffice Calc without a window, and the results compared.
TEST(InternalRateTest, AgreesWithLibreOfficeCalcXirr) {
  const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
  if (soffice.isEmpty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  const std::vector<std::vector<DatedFlow>> cases = {
      {{dayOf(2008, 1, 1), -10000},
       {dayOf(2008, 3, 1), 2750},
       {dayOf(2008, 10, 30), 4250},
       {dayOf(2009, 2, 15), 3250},
       {dayOf(2009, 4, 1), 2750}},
      {{dayOf(2023, 1, 2), -1010},
       {dayOf(2023, 3, 15), -512.5},
       {dayOf(2023, 6, 30), 37.8},
       {dayOf(2023, 11, 20), 640},
       {dayOf(2024, 2, 29), -250},
       {dayOf(2024, 12, 31), 1302.44}},
      {{dayOf(2020, 1, 6), -5000}, {dayOf(2020, 2, 3), 4100.25}},  // a loss in four weeks
      {{dayOf(2015, 5, 4), -200000},
       {dayOf(2017, 8, 14), 15000},
       {dayOf(2019, 1, 2), -30000},
       {dayOf(2025, 12, 31), 420000.5}},
  };
  QString rows;
  std::size_t longest = 0;
  for (const auto& flows : cases) longest = std::max(longest, flows.size());
  for (std::size_t row = 0; row < longest; ++row) {
    rows += QStringLiteral("<table:table-row>");
    for (std::size_t c = 0; c < cases.size(); ++c) {
      const auto& flows = cases[c];
      if (row < flows.size()) {
        rows += QStringLiteral(
                    "<table:table-cell office:value-type=\"float\" office:value=\"%1\"/>"
                    "<table:table-cell office:value-type=\"date\" office:date-value=\"%2\"/>")
                    .arg(double(flows[row].amount), 0, 'g', 17)
                    .arg(serialToDate(double(flows[row].day)).toString(Qt::ISODate));
      } else {
        rows += QStringLiteral("<table:table-cell/><table:table-cell/>");
      }
      const QString a = QChar(char16_t(u'A' + 3 * c)), b = QChar(char16_t(u'B' + 3 * c));
      if (row == 0) {
        rows += QStringLiteral(
                    "<table:table-cell table:formula=\"of:=XIRR([.%1%3:.%1%4];[.%2%3:.%2%4])\"/>")
                    .arg(a, b)
                    .arg(1)
                    .arg(flows.size());
      } else {
        rows += QStringLiteral("<table:table-cell/>");
      }
    }
    rows += QStringLiteral("</table:table-row>\n");
  }
  QTemporaryDir dir;
  const QString sheet = dir.filePath(QStringLiteral("flows.fods"));
  writeFile(
      sheet,
      QStringLiteral(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
          "xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\" office:version=\"1.2\" "
          "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">"
          "<office:body><office:spreadsheet><table:table table:name=\"Flows\">\n%1"
          "</table:table></office:spreadsheet></office:body></office:document>\n")
          .arg(rows)
          .toUtf8());
  // Its own profile, so no user's LibreOffice settings are read or written.
  QProcess calc;
  calc.start(soffice, {QStringLiteral("-env:UserInstallation=") +
                           QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString(),
                       QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                       QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,"
                                      "false,false"),
                       QStringLiteral("--outdir"), dir.path(), sheet});
  ASSERT_TRUE(calc.waitForFinished(120000)) << "LibreOffice did not finish";
  const QByteArray csv = readFile(dir.filePath(QStringLiteral("flows.csv")));
  ASSERT_FALSE(csv.isEmpty()) << calc.readAllStandardError().toStdString();
  const QList<QByteArray> first = csv.split('\n').first().trimmed().split(',');
  for (std::size_t c = 0; c < cases.size(); ++c) {
    bool number = false;
    const double xirr = first.value(qsizetype(3 * c + 2)).toDouble(&number);
    ASSERT_TRUE(number) << "case " << c << ": " << csv.toStdString();
    EXPECT_NEAR(annualRate(cases[c]), xirr, 1e-6) << "case " << c;
  }
}

}  // namespace
}  // namespace pelmar::test
