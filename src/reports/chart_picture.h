#pragma once

#include <QString>
#include <vector>

#include "lang/language.h"
#include "reports/chart_scale.h"
#include "reports/chart_series.h"

namespace pelmar {

// Everything a chart drawing needs, as plain data: the painter only places
// and draws it, on a screen, an image or a printer alike.
struct ChartPicture {
  QString heading;
  // The values as drawn (per cent changes on the relative scale).
  std::vector<double> values;
  // From index 30 on, the mean of the 30 values before each day; the first
  // 30 entries are unused.
  std::vector<double> average;
  ValueRange range;
  double scaleDivisor = 1;
  // Decimals of the value axis labels, from the scale divisor.
  int valueDecimals = 0;
  std::vector<AxisMark> marks;
  // On the relative scale: "Total: +12.34%" for the last value.
  QString totalChange;
  // Nothing to draw (a fund without any downloaded price).
  bool empty() const { return values.empty() || range.empty(); }
};

// The days of the moving average.
inline constexpr int kChartAverageDays = 30;

ChartPicture PictureOf(const ChartSeries& series, const QString& heading, ChartScale scale,
                       int daysBack, const Language& language);

}  // namespace pelmar
