#include "reports/chart_series.h"

#include <gtest/gtest.h>

#include <cmath>

#include "reports/chart_scale.h"
#include "reports/chart_texts.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

// --- Repairing a series -------------------------------------------------------------

struct RepairCase {
  const char* name;
  std::vector<double> in;
  std::vector<double> out;
};

class RepairSeriesTest : public ::testing::TestWithParam<RepairCase> {};

TEST_P(RepairSeriesTest, FillsTheGaps) {
  std::vector<double> values = GetParam().in;
  RepairSeries(values);
  ASSERT_EQ(values.size(), GetParam().out.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_NEAR(values[i], GetParam().out[i], 1e-9) << "value " << i;
}

constexpr double L = kChartLeadingFill;

INSTANTIATE_TEST_SUITE_P(
    Gaps, RepairSeriesTest,
    ::testing::Values(
        RepairCase{"OneMissingDay", {9, 9, 9, 10, 0, 12}, {9, 9, 9, 10, 11, 12}},
        RepairCase{"TwoMissingDays", {9, 9, 9, 10, 0, 0, 13}, {9, 9, 9, 10, 11, 12, 13}},
        RepairCase{"ThreeMissingDays", {9, 9, 9, 10, 0, 0, 0, 14}, {9, 9, 9, 10, 11, 12, 13, 14}},
        // Longer gaps (a holiday next to a weekend) follow the same line.
        RepairCase{
            "FourMissingDays", {9, 9, 9, 10, 0, 0, 0, 0, 15}, {9, 9, 9, 10, 11, 12, 13, 14, 15}},
        // Tiny values count as missing; negative ones too.
        RepairCase{"TinyAndNegative", {9, 9, 9, 10, 0.0001, -3, 13}, {9, 9, 9, 10, 11, 12, 13}},
        RepairCase{"FirstThreeZerosTakeTheFourth", {0, 5, 0, 7, 8}, {7, 5, 7, 7, 8}},
        RepairCase{"LeadingGap", {0, 0, 0, 0, 0, 4, 5}, {L, L, L, L, L, 4, 5}},
        RepairCase{"TrailingGapCarriedForward", {5, 5, 5, 6, 7, 0, 0}, {5, 5, 5, 6, 7, 7, 7}},
        // Ten missing days at the end are no short gap: they stay.
        RepairCase{"LongTrailingGapStays",
                   {5, 5, 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                   {5, 5, 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        RepairCase{"NothingKnown", {0, 0, 0, 0, 0}, {L, L, L, L, L}}, RepairCase{"Empty", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Building series from a portfolio and the daily price files ----------------------

class ChartSeriesTest : public test::PortfolioFixture {
 protected:
  // A daily price file of one line for the ticker.
  void price(QDate day, const QString& ticker, const QString& text) {
    const QString file = session.settings().pricePath + PriceStore::dayFileName(day);
    const QByteArray line = QStringLiteral("Name,%1,%2,%3\r\n")
                                .arg(ticker, day.toString(QStringLiteral("yy/MM/dd")), text)
                                .toLatin1();
    QByteArray old = test::readFile(file);
    test::writeFile(file, old + line);
  }
  ChartSeries build(ChartKind kind, int days, const QString& ticker = QStringLiteral("ABC")) {
    session.prices().refresh();
    return BuildChartSeries(portfolio(), session.prices(), {kind, ticker, days, true});
  }
  static double at(const ChartSeries& s, QDate day) {
    for (const ChartPoint& p : s)
      if (p.day == qint64(dateToSerial(day))) return p.value;
    ADD_FAILURE() << "no point for " << day.toString().toStdString();
    return -1;
  }
};

TEST_F(ChartSeriesTest, PriceSeriesRunsOverCalendarDaysWithAtLeast21DaysBack) {
  const QDate end(2026, 3, 31);
  start(end.addDays(-40));
  addFund(QStringLiteral("ABC"), 1000, 10, 100);
  next(end);
  price(QDate(2026, 3, 2), QStringLiteral("abc"), QStringLiteral("10.00"));
  price(QDate(2026, 3, 20), QStringLiteral("ABC"), QStringLiteral("12,50"));

  const ChartSeries series = build(ChartKind::FundPrice, 5);
  ASSERT_EQ(series.size(), 22u);  // 21 days back and the last day
  EXPECT_EQ(series.front().day, qint64(dateToSerial(end.addDays(-21))));
  EXPECT_EQ(series.back().day, qint64(dateToSerial(end)));
  // Days without a file take the newest earlier price.
  EXPECT_DOUBLE_EQ(at(series, QDate(2026, 3, 19)), 10.0);
  EXPECT_DOUBLE_EQ(at(series, QDate(2026, 3, 22)), 12.5);
  EXPECT_DOUBLE_EQ(series.back().value, 12.5);
}

TEST_F(ChartSeriesTest, PortfolioValueFillsWeekendsAndFollowsTheDataSetInEffect) {
  start(QDate(2026, 3, 2));  // a Monday
  addFund(QStringLiteral("ABC"), 1000, 10, 100);
  next(QDate(2026, 3, 16));
  fund(0).Aantal = 20;
  for (QDate d(2026, 2, 20); d <= QDate(2026, 3, 23); d = d.addDays(1))
    if (d.dayOfWeek() <= 5) price(d, QStringLiteral("ABC"), QString::number(100 + d.day()));
  next(QDate(2026, 3, 23));

  const ChartSeries series = build(ChartKind::PortfolioValue, 30);
  // Friday 13 and Monday 16 March: 10 shares, then 20 shares.
  EXPECT_DOUBLE_EQ(at(series, QDate(2026, 3, 13)), 10 * 113.0);
  EXPECT_DOUBLE_EQ(at(series, QDate(2026, 3, 16)), 20 * 116.0);
  // The weekend between lies on the line between them.
  EXPECT_NEAR(at(series, QDate(2026, 3, 14)), (2 * 1130.0 + 2320.0) / 3, 1e-4);
  EXPECT_NEAR(at(series, QDate(2026, 3, 15)), (1130.0 + 2 * 2320.0) / 3, 1e-4);
  // Before the first dataset the first dataset counts.
  EXPECT_DOUBLE_EQ(at(series, QDate(2026, 2, 27)), 10 * 127.0);
}

TEST_F(ChartSeriesTest, FundValueTakesTheStoredPriceWhenNoFileHasOne) {
  start(QDate(2026, 3, 2));
  addFund(QStringLiteral("Typed"), 1000, 10, 42);
  next(QDate(2026, 3, 30));
  const ChartSeries series = build(ChartKind::FundValue, 21, QStringLiteral(" typed "));
  ASSERT_FALSE(series.empty());
  EXPECT_DOUBLE_EQ(series.back().value, 420.0);
}

TEST_F(ChartSeriesTest, YieldSeriesStartsAtTheFirstDataSetAndZeroesTheFirstThree) {
  start(QDate(2026, 1, 5));
  addFund(QStringLiteral("ABC"), 1000, 10, 100);
  for (const int day : {12, 19, 26}) next(QDate(2026, 1, day));
  fund(0).ROTAIFRend = 7.5;
  fund(0).FRend = 3.25;
  alg().ROTAIRendement = 4.5;
  ASSERT_EQ(alg().NrOfSet, 4);

  const ChartSeries fundYield = build(ChartKind::FundYield, 400);
  EXPECT_EQ(fundYield.front().day, qint64(dateToSerial(QDate(2026, 1, 5))));
  EXPECT_DOUBLE_EQ(at(fundYield, QDate(2026, 1, 25)), 0.0);  // third dataset
  EXPECT_DOUBLE_EQ(fundYield.back().value, 7.5);
  session.prices().refresh();
  const ChartSeries plain = BuildChartSeries(
      portfolio(), session.prices(), {ChartKind::FundYield, QStringLiteral("ABC"), 400, false});
  EXPECT_DOUBLE_EQ(plain.back().value, 3.25);
  EXPECT_DOUBLE_EQ(build(ChartKind::PortfolioYield, 21).back().value, 4.5);
}

TEST_F(ChartSeriesTest, TwrSeriesCarriesTheReturnSinceTheStartOfTheDataSetInEffect) {
  start(QDate(2026, 1, 5));
  addFund(QStringLiteral("ABC"), 1000, 10, 100);
  calc();
  append(QDate(2026, 1, 12));
  fund(0).Koers = 110;
  fund(0).Inleg = 500;  // a deposit is no return
  calc();
  append(QDate(2026, 1, 19));
  fund(0).Koers = 99;
  calc();
  for (const ChartKind kind : {ChartKind::FundTwr, ChartKind::PortfolioTwr}) {
    const ChartSeries series = build(kind, 400);
    EXPECT_EQ(series.front().day, qint64(dateToSerial(QDate(2026, 1, 5))));
    EXPECT_DOUBLE_EQ(at(series, QDate(2026, 1, 11)), 0.0);
    EXPECT_DOUBLE_EQ(at(series, QDate(2026, 1, 12)), 10.0);
  }
  // The shares lost 10 % in the last week; the portfolio's 500 in reserve did not.
  EXPECT_DOUBLE_EQ(build(ChartKind::FundTwr, 21).back().value, -1.0);
  EXPECT_DOUBLE_EQ(build(ChartKind::PortfolioTwr, 21).back().value,
                   std::round((1.1 * 1490.0 / 1600 - 1) * 1000000) / 10000);
}

TEST_F(ChartSeriesTest, NothingToChartWithoutDataSetOrFund) {
  EXPECT_TRUE(build(ChartKind::FundPrice, 30).empty());
  start(QDate(2026, 3, 2));
  EXPECT_TRUE(build(ChartKind::FundPrice, 30, QStringLiteral("  ")).empty());
}

// --- Heading and change figure ------------------------------------------------------

ChartSeries seriesOf(std::vector<double> values) {
  ChartSeries series;
  for (std::size_t i = 0; i < values.size(); ++i) series.push_back({45000 + qint64(i), values[i]});
  return series;
}

TEST(ChartChange, FromTheFirstValueToTheLastKnownOne) {
  const Language en(Language::Code::English);
  const Language nl(Language::Code::Dutch);
  EXPECT_EQ(ChangeText(SeriesChange(seriesOf({10, 11, 12})), en), "+20.00");
  EXPECT_EQ(ChangeText(SeriesChange(seriesOf({10, 12, 0, 0})), nl), "+20,00");
  EXPECT_EQ(ChangeText(SeriesChange(seriesOf({8, 6, 4})), en), "-50.00");
  EXPECT_EQ(ChangeText(SeriesChange(seriesOf({0.0001, 6})), en), "0.00");
  EXPECT_EQ(ChangeText(SeriesChange(seriesOf({10, 10.00005})), en), "0.00");
  EXPECT_EQ(ChangeText(SeriesChange({}), en), "0.00");
}

TEST_F(ChartSeriesTest, TextsNameTheFundFromTheStockLists) {
  test::writeFile(session.settings().pricePath + "Stocks_us.txt", "Apple Inc,AAPL,2026-03-01\r\n");
  const Language& en = session.language();
  const ChartSeries s = seriesOf({10, 12.5});
  const auto apple = StockListName(session.settings().pricePath, QStringLiteral("aapl "));
  EXPECT_EQ(apple, QStringLiteral("Apple Inc"));
  EXPECT_EQ(StockListName(session.settings().pricePath, QStringLiteral("XYZ")), std::nullopt);

  ChartTexts price = ChartTextsOf(ChartKind::FundPrice, "AAPL", apple, "Test-1", s, en);
  EXPECT_EQ(price.caption, "AAPL (Apple Inc)");
  EXPECT_EQ(price.heading, "AAPL (Apple Inc) [+25.00%]");
  ChartTexts value = ChartTextsOf(ChartKind::FundValue, "XYZ", std::nullopt, "Test-1", s, en);
  EXPECT_EQ(value.caption, "Value XYZ (Not Listed)");
  EXPECT_EQ(value.heading, "Value XYZ (Not Listed) [+25.00%]");
  EXPECT_EQ(ChartTextsOf(ChartKind::FundYield, "XYZ", std::nullopt, "T", s, en).heading,
            "Yield XYZ (Not Listed)");
  EXPECT_EQ(ChartTextsOf(ChartKind::PortfolioValue, "", std::nullopt, "Test-1", s, en).caption,
            "\"Test-1\" Value");
  const Language nl(Language::Code::Dutch);
  const ChartTexts port =
      ChartTextsOf(ChartKind::PortfolioValue, "", std::nullopt, "Test-1", s, nl);
  EXPECT_EQ(port.caption, "Waarde \"Test-1\"");
  EXPECT_EQ(port.heading, "Waarde Portefeuille");
}

}  // namespace
}  // namespace pelmar
