#include "reports/chart_series.h"

#include <algorithm>
#include <cmath>

#include "engine/fund_names.h"
#include "model/conversions.h"
#include "model/currency.h"
#include "model/dates.h"
#include "returns/true_returns.h"

namespace pelmar {

namespace {

bool missing(double value) {
  return value <= kChartMissing;
}

double fourDecimals(double value) {
  return std::round(value * 10000.0) / 10000.0;
}

// One dataset as the series builders see it: its date, its general record
// and its funds by name.
struct DataSetRef {
  qint64 day = 0;
  int algIndex = 0;
  int koersIndex = 0;
  FundNameIndex names;
};

std::vector<DataSetRef> dataSetsOf(const Portfolio& portfolio) {
  std::vector<DataSetRef> sets;
  int rek = 0;
  int koers = 0;
  if (portfolio.isEmpty() || !portfolio.FirstDataSet(rek, koers)) return sets;
  for (;;) {
    const AlgemeenRec& alg = portfolio.algAt(rek - 1);
    sets.push_back({static_cast<qint64>(std::floor(alg.Datum)), rek - 1, koers,
                    FundNameIndex(portfolio, koers)});
    // The step from the last dataset stays on it.
    if (portfolio.IsLastDataSet(rek) || !portfolio.NextDataSet(rek, koers)) break;
  }
  return sets;
}

// The dataset in effect on a day: the latest one dated no later than the
// day; before the first dataset, the first one. `from` is where the search
// of the day before ended, so a walk over rising days stays linear.
std::size_t inEffect(const std::vector<DataSetRef>& sets, qint64 day, std::size_t from) {
  std::size_t at = from;
  while (at + 1 < sets.size() && sets[at + 1].day <= day) ++at;
  return at;
}

const KoersRec* fundIn(const Portfolio& portfolio, const DataSetRef& set, const QString& key) {
  const int offset = set.names.offsetOf(key);
  return offset < 0 ? nullptr : &portfolio.koersAt(set.koersIndex + offset);
}

// A fund's position on a day: price × shares + reserve. A fund without a
// price in the daily files (typed prices, a fund never downloaded) counts at
// its price in the dataset, so its position is not lost from the value.
double positionValue(PriceStore& prices, const KoersRec& fund, QDate day) {
  double price = prices.GetFilePrice(fund.Ticker, day);
  if (missing(price)) price = std::max(0.0, double(fund.Koers));
  return price * fund.Aantal + fund.Reserve;
}

struct Days {
  qint64 first = 0;
  qint64 last = 0;
};

std::vector<double> priceValues(PriceStore& prices, const QString& ticker, Days days) {
  std::vector<double> values;
  values.reserve(days.last - days.first + 1);
  for (qint64 day = days.first; day <= days.last; ++day)
    values.push_back(prices.GetFilePrice(ticker, serialToDate(double(day))));
  return values;
}

std::vector<double> fundValues(const Portfolio& portfolio, PriceStore& prices,
                               const std::vector<DataSetRef>& sets, const QString& key, Days days) {
  // The currency factor of the last dataset, computed once.
  double factor = 1.0;
  if (const KoersRec* last = fundIn(portfolio, sets.back(), key))
    factor = FundCurrencyFactor(portfolio, portfolio.algAt(sets.back().algIndex), *last);
  std::vector<double> values;
  values.reserve(days.last - days.first + 1);
  std::size_t at = 0;
  for (qint64 day = days.first; day <= days.last; ++day) {
    at = inEffect(sets, day, at);
    const KoersRec* fund = fundIn(portfolio, sets[at], key);
    values.push_back(fund ? positionValue(prices, *fund, serialToDate(double(day))) * factor : 0);
  }
  return values;
}

std::vector<double> portfolioValues(const Portfolio& portfolio, PriceStore& prices,
                                    const std::vector<DataSetRef>& sets, Days days) {
  std::vector<double> values;
  values.reserve(days.last - days.first + 1);
  std::size_t at = 0;
  for (qint64 day = days.first; day <= days.last; ++day) {
    at = inEffect(sets, day, at);
    double sum = 0;
    // Days without trading stay 0 and are filled by the repair.
    if (!IsNonWorkingDay(double(day))) {
      const DataSetRef& set = sets[at];
      const AlgemeenRec& alg = portfolio.algAt(set.algIndex);
      const QDate date = serialToDate(double(day));
      const int count = portfolio.fundCount(set.koersIndex);
      for (int i = 0; i < count; ++i) {
        const KoersRec& fund = portfolio.koersAt(set.koersIndex + i);
        if (fund.isPlaceholder()) continue;
        sum += positionValue(prices, fund, date) * FundCurrencyFactor(portfolio, alg, fund);
      }
    }
    values.push_back(sum);
  }
  return values;
}

// Every day from the first dataset on carries the return of the dataset in
// effect; the first three datasets give 0. Days before `days.first` are
// left out.
ChartSeries yieldSeries(const Portfolio& portfolio, const std::vector<DataSetRef>& sets,
                        const ChartRequest& request, Days days) {
  const QString key = FundNameIndex::key(request.ticker);
  ChartSeries series;
  std::size_t at = 0;
  for (qint64 day = std::max(days.first, sets.front().day); day <= days.last; ++day) {
    at = inEffect(sets, day, at);
    const DataSetRef& set = sets[at];
    const AlgemeenRec& alg = portfolio.algAt(set.algIndex);
    double value = 0;
    if (alg.NrOfSet > 3) {
      if (request.kind == ChartKind::PortfolioYield) {
        value = request.rotai ? alg.ROTAIRendement : alg.Rendement;
      } else if (const KoersRec* fund = fundIn(portfolio, set, key)) {
        value = request.rotai ? fund->ROTAIFRend : fund->FRend;
      }
    }
    series.push_back({day, fourDecimals(value)});
  }
  return series;
}

// Every day from the first dataset on carries the time-weighted return
// since the start as of the dataset in effect; 0 where the fund is not in it
// or there is no meaningful rate. Days before `days.first` are left out.
ChartSeries twrSeries(const Portfolio& portfolio, const std::vector<DataSetRef>& sets,
                      const ChartRequest& request, Days days) {
  const std::vector<TwrStep> steps =
      TwrHistory(portfolio, request.kind == ChartKind::FundTwr ? request.ticker : QString());
  ChartSeries series;
  if (steps.size() != sets.size()) return series;
  std::size_t at = 0;
  for (qint64 day = std::max(days.first, sets.front().day); day <= days.last; ++day) {
    at = inEffect(sets, day, at);
    series.push_back({day, fourDecimals(steps[at].twr.value_or(0))});
  }
  return series;
}

}  // namespace

bool isFundChart(ChartKind kind) {
  return kind == ChartKind::FundPrice || kind == ChartKind::FundValue ||
         kind == ChartKind::FundYield || kind == ChartKind::FundTwr;
}

bool isYieldChart(ChartKind kind) {
  return kind == ChartKind::FundYield || kind == ChartKind::PortfolioYield;
}

bool isTwrChart(ChartKind kind) {
  return kind == ChartKind::FundTwr || kind == ChartKind::PortfolioTwr;
}

int ClampDaysBack(int days) {
  return std::max(days, kMinChartDays);
}

void RepairSeries(std::vector<double>& values) {
  const std::size_t n = values.size();
  if (n >= 4) {
    for (std::size_t i = 0; i < 3; ++i)
      if (values[i] == 0) values[i] = values[3];
  }
  // The last known value carried forward over a short gap at the end.
  std::size_t trailing = 0;
  while (trailing < n && missing(values[n - 1 - trailing])) ++trailing;
  if (trailing > 0 && trailing < 10 && trailing < n) {
    for (std::size_t i = n - trailing; i < n; ++i) values[i] = values[i - 1];
  }
  std::size_t i = 0;
  for (; i < n && missing(values[i]); ++i) values[i] = kChartLeadingFill;
  // Gaps between two known values, on the straight line between them.
  while (i < n) {
    if (!missing(values[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < n && missing(values[end])) ++end;
    if (end == n) break;  // a long gap at the end stays as it is
    const double a = values[i - 1];
    const double b = values[end];
    const double steps = double(end - i + 1);
    for (std::size_t k = i; k < end; ++k) {
      const double j = double(k - i + 1);
      values[k] = ((steps - j) * a + j * b) / steps;
    }
    i = end;
  }
}

ChartSeries BuildChartSeries(const Portfolio& portfolio, PriceStore& prices,
                             const ChartRequest& request) {
  const std::vector<DataSetRef> sets = dataSetsOf(portfolio);
  if (sets.empty()) return {};
  if (isFundChart(request.kind) && RemoveBlanks(request.ticker).isEmpty()) return {};
  const Days days{sets.back().day - ClampDaysBack(request.daysBack), sets.back().day};
  if (isYieldChart(request.kind)) return yieldSeries(portfolio, sets, request, days);
  if (isTwrChart(request.kind)) return twrSeries(portfolio, sets, request, days);

  std::vector<double> values;
  switch (request.kind) {
    case ChartKind::FundPrice:
      values = priceValues(prices, request.ticker, days);
      break;
    case ChartKind::FundValue:
      values = fundValues(portfolio, prices, sets, FundNameIndex::key(request.ticker), days);
      break;
    default:
      values = portfolioValues(portfolio, prices, sets, days);
      break;
  }
  RepairSeries(values);
  ChartSeries series;
  series.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    series.push_back({days.first + qint64(i), fourDecimals(values[i])});
  return series;
}

QString SeriesLine(const ChartPoint& point, const Language& language) {
  QString value = QString::number(point.value, 'f', 4);
  value.replace(u'.', language.decimalSeparator());
  return QString::number(point.day) + u' ' + value;
}

QStringList SeriesLines(const ChartSeries& series, const Language& language) {
  QStringList lines;
  lines.reserve(qsizetype(series.size()));
  for (const ChartPoint& point : series) lines << SeriesLine(point, language);
  return lines;
}

double SeriesChange(const ChartSeries& series) {
  if (series.empty()) return 0;
  const double first = series.front().value;
  double last = first;
  for (auto it = series.rbegin(); it != series.rend(); ++it) {
    if (!missing(it->value)) {
      last = it->value;
      break;
    }
  }
  if (missing(first) || std::abs(last - first) <= kChartMissing) return 0;
  return (last - first) * 100 / first;
}

QString ChangeText(double change, const Language& language) {
  QString text = QString::number(change, 'f', 2);
  if (text == QLatin1String("-0.00")) text = QStringLiteral("0.00");
  if (change > 0 && text != QLatin1String("0.00")) text.prepend(u'+');
  text.replace(u'.', language.decimalSeparator());
  return text;
}

}  // namespace pelmar
