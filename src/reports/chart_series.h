#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

#include "lang/language.h"
#include "model/portfolio.h"
#include "prices/price_store.h"

namespace pelmar {

// What a chart shows; the numbers are those the chart window and its stored
// state use.
enum class ChartKind {
  FundPrice = 1,
  FundValue = 2,
  FundYield = 3,
  PortfolioValue = 4,
  PortfolioYield = 5,
  // The time-weighted return since the start, of a fund and of the portfolio.
  FundTwr = 6,
  PortfolioTwr = 7,
};

bool isFundChart(ChartKind kind);
bool isYieldChart(ChartKind kind);
bool isTwrChart(ChartKind kind);

// One day of a series: the date serial of the day as a whole number and the
// value as the series line holds it (four decimals).
struct ChartPoint {
  qint64 day = 0;
  double value = 0;
  bool operator==(const ChartPoint&) const = default;
};
using ChartSeries = std::vector<ChartPoint>;

// What to chart: the kind, the fund's ticker (fund kinds only), the days back
// and the return family (ROTAI or plain) of the yield charts.
struct ChartRequest {
  ChartKind kind = ChartKind::FundPrice;
  QString ticker;
  int daysBack = 301;
  bool rotai = true;
};

// The days-back setting as the chart uses it: at least 21.
inline constexpr int kMinChartDays = 21;
int ClampDaysBack(int days);

// Values of 0.0001 or less count as missing in a series.
inline constexpr double kChartMissing = 0.0001;
// The value that leading missing days get, just above "missing".
inline constexpr double kChartLeadingFill = 0.0002;

// Mends the gaps of a series in place, in this order: each of the first three
// values that is exactly 0 takes the fourth value; fewer than 10 missing
// values at the end each take the value before them; missing values at the
// start become 0.0002; a gap between two known values a and b is filled on
// the straight line between them ((n + 1 − i)·a + i·b) / (n + 1).
void RepairSeries(std::vector<double>& values);

// Builds the series of a chart over consecutive calendar days, the last day
// being the date of the last dataset, oldest day first. Empty when the
// portfolio holds no dataset or a fund chart names no fund.
ChartSeries BuildChartSeries(const Portfolio& portfolio, PriceStore& prices,
                             const ChartRequest& request);

// A series line as the chart's price list shows it: "45678 12,3400".
QString SeriesLine(const ChartPoint& point, const Language& language);
QStringList SeriesLines(const ChartSeries& series, const Language& language);

// The change of a series from its first value to its last value above
// 0.0001, in per cent; 0 when the first value is missing or the two differ by
// no more than 0.0001.
double SeriesChange(const ChartSeries& series);
// That change as the heading writes it: "+12.34", "-3.50", "0.00".
QString ChangeText(double change, const Language& language);

}  // namespace pelmar
