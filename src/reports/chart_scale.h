#pragma once

#include <QString>
#include <vector>

#include "lang/language.h"
#include "reports/chart_series.h"

namespace pelmar {

// Normal or relative scale: the relative scale draws each value as its change
// in per cent against the first value of the series.
enum class ChartScale { Normal, Relative };

// 1000 divided by the largest absolute value of the series (by the smaller of
// that and 1000 / |smallest| when |smallest| is 0.1 or more), rounded to two
// decimals, then normalised to 1, 5 or 10 times a power of ten from 10^0 to
// 10^6; outside that range it stays as it is. It tells how finely the value
// axis is written.
double ScaleDivisor(const std::vector<double>& values);

// The values as drawn: the series itself, or on the relative scale the change
// against the first value above 0.0001 (all 0 when there is none).
std::vector<double> PlotValues(const ChartSeries& series, ChartScale scale);

// The value range of the plot, widened as the scale asks.
struct ValueRange {
  double min = 0;
  double max = 0;
  // Both ends lie within 0.0001 of zero: a fund without any downloaded price.
  bool empty() const;
};
// max = the largest value, min = the smallest whose absolute value exceeds
// 0.0001. On the normal scale with min at or above 0 the range runs from 0 to
// 1.1 × max; otherwise both ends move outward by a tenth of max − min.
ValueRange PlotRange(const std::vector<double>& values, ChartScale scale);

// One mark of the time axis, under the day at `index` of the series. Ticks
// are drawn down from the plot's bottom edge; labels stand `labelOffset`
// pixels below that edge.
struct AxisMark {
  enum class Kind { Day, FifthDay, TenthDay, Month, Year };
  int index = 0;
  Kind kind = Kind::Day;
  int tickLength = 0;
  QString label;
  int labelOffset = 0;
  // A light grey line across the plot (at every change of month).
  bool gridLine = false;
  bool operator==(const AxisMark&) const = default;
};
// The marks of the days of a series drawn with `daysBack` days back.
std::vector<AxisMark> TimeAxisMarks(const ChartSeries& series, int daysBack,
                                    const Language& language);

}  // namespace pelmar
