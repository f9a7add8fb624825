#include "reports/chart_scale.h"

#include <algorithm>
#include <cmath>

#include "lang/texts.h"
#include "model/dates.h"

namespace pelmar {

namespace {

constexpr double kNoValue = 99999.99;

}  // namespace

double ScaleDivisor(const std::vector<double>& values) {
  if (values.empty()) return 1;
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  const double largest = std::abs(*high);
  const double smallest = std::abs(*low);
  // A series of zeros has nothing to divide by; it gets the unit divisor.
  double divisor = largest > 0 ? 1000 / largest : 0;
  if (smallest >= 0.1) divisor = largest > 0 ? std::min(divisor, 1000 / smallest) : 1000 / smallest;
  divisor = std::round(divisor * 100) / 100;
  const int k = divisor > 0 ? static_cast<int>(std::trunc(std::log10(divisor))) : 0;
  if (k < 0 || k > 6) return divisor;
  const double power = std::pow(10.0, k);
  const double m = divisor / power;
  const double normal = m < 2 ? 1 : m < 7 ? 5 : 10;
  return normal * power;
}

std::vector<double> PlotValues(const ChartSeries& series, ChartScale scale) {
  std::vector<double> values;
  values.reserve(series.size());
  double base = 0;
  if (scale == ChartScale::Relative) {
    const auto first = std::find_if(series.begin(), series.end(),
                                    [](const ChartPoint& p) { return p.value > kChartMissing; });
    if (first != series.end()) base = first->value;
  }
  for (const ChartPoint& point : series) {
    if (scale == ChartScale::Normal)
      values.push_back(point.value);
    else
      values.push_back(base > 0 ? (point.value - base) * 100 / base : 0);
  }
  return values;
}

bool ValueRange::empty() const {
  return std::abs(min) <= kChartMissing && std::abs(max) <= kChartMissing;
}

ValueRange PlotRange(const std::vector<double>& values, ChartScale scale) {
  double max = -kNoValue;
  double min = kNoValue;
  for (const double v : values) {
    max = std::max(max, v);
    if (std::abs(v) > kChartMissing) min = std::min(min, v);
  }
  if (values.empty()) return {};
  // Every value is (close to) zero: the range is that of the zeros.
  if (min > max) min = max;
  if (scale == ChartScale::Normal && min >= 0) return {0, 1.1 * max};
  const double margin = (max - min) / 10;
  return {min - margin, max + margin};
}

std::vector<AxisMark> TimeAxisMarks(const ChartSeries& series, int daysBack,
                                    const Language& language) {
  using Kind = AxisMark::Kind;
  const QStringList months = language.text(TextId::ChartMonthNames).split(u' ');
  std::vector<AxisMark> marks;
  QDate previous;
  for (std::size_t i = 0; i < series.size(); ++i) {
    const int index = static_cast<int>(i);
    const QDate date = serialToDate(double(series[i].day));
    const int day = date.day();
    if (daysBack < 50) {
      if (day % 5 == 0)
        marks.push_back({index, Kind::FifthDay, 10, QString::number(day), 2, false});
      else
        marks.push_back({index, Kind::Day, 5, {}, 0, false});
    } else if (daysBack < 500 && day % 10 == 0) {
      const bool labelled = daysBack < 200;
      marks.push_back(
          {index, Kind::TenthDay, 10, labelled ? QString::number(day) : QString(), 2, false});
    }
    if (previous.isValid() && date.month() != previous.month()) {
      const bool named = daysBack < 500 || (daysBack <= 1500 && (date.month() - 1) % 3 == 0);
      const QString name = named ? months.value(date.month() - 1) : QString();
      marks.push_back({index, Kind::Month, 15, name, 14, true});
    }
    if (previous.isValid() && date.year() != previous.year())
      marks.push_back({index, Kind::Year, 20, QString::number(date.year()), 31, false});
    previous = date;
  }
  return marks;
}

}  // namespace pelmar
