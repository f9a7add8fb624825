#include "reports/chart_scale.h"

#include <gtest/gtest.h>

#include "model/dates.h"
#include "reports/chart_picture.h"

namespace pelmar {
namespace {

struct DivisorCase {
  const char* name;
  std::vector<double> values;
  double divisor;
};

class ScaleDivisorTest : public ::testing::TestWithParam<DivisorCase> {};

TEST_P(ScaleDivisorTest, IsNormalised) {
  EXPECT_DOUBLE_EQ(ScaleDivisor(GetParam().values), GetParam().divisor);
}

INSTANTIATE_TEST_SUITE_P(Worked, ScaleDivisorTest,
                         ::testing::Values(DivisorCase{"OneThousand", {0, 1000}, 1},  // 1, m = 1
                                           DivisorCase{"TwoToFive", {0, 400}, 5},     // 2.5
                                           DivisorCase{"SevenToTen", {0, 130}, 10},   // 7.69
                                           DivisorCase{"TensFive", {0, 50}, 50},      // 20
                                           // |smallest| of 0.1 or more: the smaller of the two
                                           DivisorCase{
                                               "SmallestCounts", {0.5, 8}, 100},  // min(125, 2000)
                                           DivisorCase{"SmallestBelowTenth", {0.05, 8}, 100},
                                           // below 1 the logarithm's whole part is 0: m = divisor
                                           DivisorCase{"BelowOne", {0, 1999}, 1},  // 0.5
                                           // rounds to 0.00, so k = 0 and m = 0 becomes 1
                                           DivisorCase{"Millions", {0, 1000000}, 1},
                                           // k = −1 lies outside 0 to 6: the divisor stays
                                           DivisorCase{"TensOfThousands", {0, 50000}, 0.02},
                                           DivisorCase{"Millionth", {0, 0.001}, 1000000},
                                           DivisorCase{"BeyondMillion", {0, 0.0001}, 10000000},
                                           DivisorCase{"NegativeValues", {-400, -10}, 5},
                                           DivisorCase{"AllZero", {0, 0}, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlotRange, WidensAsTheScaleAsks) {
  ValueRange r = PlotRange({0.0001, 10, 20}, ChartScale::Normal);
  EXPECT_DOUBLE_EQ(r.min, 0);
  EXPECT_DOUBLE_EQ(r.max, 22);
  r = PlotRange({-10, 0, 30}, ChartScale::Normal);
  EXPECT_DOUBLE_EQ(r.min, -14);
  EXPECT_DOUBLE_EQ(r.max, 34);
  // The relative scale widens a positive range too; tiny values are not its minimum.
  r = PlotRange({0.00005, 10, 20}, ChartScale::Relative);
  EXPECT_DOUBLE_EQ(r.min, 9);
  EXPECT_DOUBLE_EQ(r.max, 21);
  EXPECT_TRUE(PlotRange({0.0002, 0.0001, 0}, ChartScale::Relative).empty() == false);
  EXPECT_TRUE(PlotRange({0, 0.00005}, ChartScale::Normal).empty());
  EXPECT_TRUE(PlotRange({}, ChartScale::Normal).empty());
}

ChartSeries days(QDate first, int count, double value = 10) {
  ChartSeries series;
  for (int i = 0; i < count; ++i) series.push_back({qint64(dateToSerial(first.addDays(i))), value});
  return series;
}

std::vector<AxisMark> ofKind(const std::vector<AxisMark>& marks, AxisMark::Kind kind) {
  std::vector<AxisMark> found;
  for (const AxisMark& m : marks)
    if (m.kind == kind) found.push_back(m);
  return found;
}

TEST(TimeAxisMarks, ShortChartsMarkEveryDayAndNameEveryFifth) {
  using K = AxisMark::Kind;
  const Language nl(Language::Code::Dutch);
  // 2025-12-27 to 2026-01-17: 22 days over a change of year.
  const auto marks = TimeAxisMarks(days(QDate(2025, 12, 27), 22), 21, nl);
  EXPECT_EQ(ofKind(marks, K::Day).size() + ofKind(marks, K::FifthDay).size(), 22u);
  const auto fifth = ofKind(marks, K::FifthDay);  // 30, 5, 10, 15
  ASSERT_EQ(fifth.size(), 4u);
  EXPECT_EQ(fifth[0], (AxisMark{3, K::FifthDay, 10, "30", 2, false}));
  EXPECT_EQ(ofKind(marks, K::Day).front().tickLength, 5);
  EXPECT_EQ(ofKind(marks, K::Month), (std::vector<AxisMark>{{5, K::Month, 15, "jan", 14, true}}));
  EXPECT_EQ(ofKind(marks, K::Year), (std::vector<AxisMark>{{5, K::Year, 20, "2026", 31, false}}));
}

TEST(TimeAxisMarks, LongerChartsThinOutTheirLabels) {
  using K = AxisMark::Kind;
  const Language en(Language::Code::English);
  // 100 days back: tenth days labelled, every month named.
  auto marks = TimeAxisMarks(days(QDate(2026, 1, 1), 101), 100, en);
  EXPECT_EQ(ofKind(marks, K::TenthDay).front().label, "10");
  EXPECT_EQ(ofKind(marks, K::Month).front().label, "Feb");
  // 301 days back: tenth days ticked without a label.
  marks = TimeAxisMarks(days(QDate(2026, 1, 1), 302), 301, en);
  EXPECT_EQ(ofKind(marks, K::TenthDay).front().label, "");
  EXPECT_EQ(ofKind(marks, K::TenthDay).front().tickLength, 10);
  EXPECT_EQ(ofKind(marks, K::Day).size(), 0u);
  // 1000 days back: no day ticks, months named every third month only.
  marks = TimeAxisMarks(days(QDate(2026, 1, 1), 1001), 1000, en);
  EXPECT_TRUE(ofKind(marks, K::TenthDay).empty());
  const auto months = ofKind(marks, K::Month);
  EXPECT_EQ(months[0].label, "");     // February
  EXPECT_EQ(months[2].label, "Apr");  // April
  EXPECT_TRUE(months[0].gridLine);
  // Beyond 1500 days back the months keep their grid lines, without names.
  marks = TimeAxisMarks(days(QDate(2020, 1, 1), 1601), 1600, en);
  for (const AxisMark& m : ofKind(marks, K::Month)) EXPECT_EQ(m.label, "");
  EXPECT_EQ(ofKind(marks, K::Year).size(), 4u);
}

TEST(ChartPicture, RelativeScaleDrawsTheChangeAndItsTotal) {
  const Language en(Language::Code::English);
  ChartSeries series = days(QDate(2026, 1, 1), 40, 10);
  series.back().value = 12.5;
  const ChartPicture relative = PictureOf(series, "H", ChartScale::Relative, 39, en);
  EXPECT_DOUBLE_EQ(relative.values.front(), 0);
  EXPECT_DOUBLE_EQ(relative.values.back(), 25);
  EXPECT_EQ(relative.totalChange, "Total: +25.00%");
  // The mean of the 30 days before each day, from the 31st day on.
  EXPECT_DOUBLE_EQ(relative.average[30], 0);
  EXPECT_DOUBLE_EQ(PictureOf(series, "H", ChartScale::Normal, 39, en).average[39], 10);
  EXPECT_FALSE(relative.empty());
  // A flat series can still be drawn on the relative scale.
  EXPECT_FALSE(
      PictureOf(days(QDate(2026, 1, 1), 30, 10), "H", ChartScale::Relative, 29, en).empty());
  // A fund without any price cannot.
  EXPECT_TRUE(PictureOf(days(QDate(2026, 1, 1), 30, 0), "H", ChartScale::Normal, 29, en).empty());
}

}  // namespace
}  // namespace pelmar
