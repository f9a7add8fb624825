#include "reports/chart_picture.h"

#include <algorithm>
#include <cmath>

#include "lang/texts.h"

namespace pelmar {

namespace {

std::vector<double> movingAverage(const std::vector<double>& values) {
  std::vector<double> average(values.size(), 0.0);
  double sum = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i >= std::size_t(kChartAverageDays)) {
      average[i] = sum / kChartAverageDays;
      sum -= values[i - kChartAverageDays];
    }
    sum += values[i];
  }
  return average;
}

// A finer divisor means smaller values: up to two decimals on the axis.
int decimalsFor(double divisor) {
  if (divisor >= 100) return 2;
  if (divisor >= 10) return 1;
  return 0;
}

}  // namespace

ChartPicture PictureOf(const ChartSeries& series, const QString& heading, ChartScale scale,
                       int daysBack, const Language& language) {
  ChartPicture picture;
  picture.heading = heading;
  picture.values = PlotValues(series, scale);
  picture.average = movingAverage(picture.values);
  // Whether there is anything to draw is decided on the values themselves:
  // a flat series is 0 % all along on the relative scale, yet drawable.
  // A series of nothing but the leading fill (0.0002) holds no price either.
  const bool known = std::any_of(series.begin(), series.end(), [](const ChartPoint& p) {
    return std::abs(p.value) > kChartLeadingFill;
  });
  const ValueRange raw =
      known ? PlotRange(PlotValues(series, ChartScale::Normal), ChartScale::Normal) : ValueRange{};
  picture.range = raw.empty() ? raw : PlotRange(picture.values, scale);
  if (picture.range.max - picture.range.min < 1e-9 && !raw.empty()) {
    picture.range.min -= 1;
    picture.range.max += 1;
  }
  picture.scaleDivisor = ScaleDivisor(picture.values);
  picture.valueDecimals = decimalsFor(picture.scaleDivisor);
  picture.marks = TimeAxisMarks(series, ClampDaysBack(daysBack), language);
  if (scale == ChartScale::Relative && !picture.values.empty())
    picture.totalChange =
        language.text(TextId::ChartTotalChange).arg(ChangeText(picture.values.back(), language));
  return picture;
}

}  // namespace pelmar
