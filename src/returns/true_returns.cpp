#include "returns/true_returns.h"

#include <QDate>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "engine/engine_support.h"
#include "engine/fund_names.h"
#include "model/conversions.h"
#include "model/currency.h"
#include "model/dates.h"
#include "returns/rates.h"

namespace pelmar {

namespace {

constexpr long double kDaysPerYear = 365;

// The points of one holding, each with the number of its dataset (0 = the
// first). A fund missing from a dataset starts a new run where it is back,
// as the engine starts it again as a new fund.
struct Holding {
  std::vector<ValuationPoint> points;
  std::vector<int> sets;
  std::size_t run = 0;
  double lastAantal = 0;

  void add(const ValuationPoint& point, int set) {
    if (sets.empty() || sets.back() != set - 1) run = points.size();
    points.push_back(point);
    sets.push_back(set);
  }
  bool continuesInto(int set) const { return !sets.empty() && sets.back() == set - 1; }
  std::span<const ValuationPoint> currentRun() const {
    return std::span<const ValuationPoint>(points).subspan(run);
  }
};

// The shares of one fund in its dataset: their value, and the money the
// investor put into them (net): the shares bought or sold at the dataset's
// price, costs, VAT and dividend tax paid, less the dividend received.
ValuationPoint fundPoint(const Portfolio& portfolio, const AlgemeenRec& alg, const KoersRec& k,
                         qint64 day, double previousAantal) {
  const long double f = FundCurrencyFactor(portfolio, alg, k);
  const long double traded = TradedShares(k, previousAantal);
  ValuationPoint point{day};
  point.after = f * k.Aantal * k.Koers;
  point.before = f * (ld(k.Aantal) - traded) * k.Koers;
  point.flow = f * (traded * k.Koers + k.Kosten + k.BTW + k.DivBel - k.Dividend);
  return point;
}

// Walks the datasets from the first to the one at endRek, collecting the
// points of the portfolio and of the chosen funds.
class DataSetWalk {
 public:
  DataSetWalk(const Portfolio& portfolio, const FundChoice& choice)
      : portfolio_(portfolio), choice_(choice), chosenKey_(FundNameIndex::key(choice.ticker)) {}

  // False when there is no dataset at endRek (-1: up to the last one).
  bool run(int endRek) {
    int rek = 0;
    int koers = 0;
    if (portfolio_.isEmpty() || !portfolio_.FirstDataSet(rek, koers)) return false;
    for (int set = 0;; ++set) {
      addDataSet(rek, koers, set);
      endKoers_ = koers;
      if (rek == endRek) return true;
      const int before = rek;
      if (portfolio_.IsLastDataSet(rek) || !portfolio_.NextDataSet(rek, koers) || rek == before)
        return endRek < 0;
    }
  }

  const Holding& whole() const { return whole_; }
  const std::vector<qint64>& days() const { return days_; }
  // The holding of the fund at an offset of the last dataset walked, or
  // nullptr when it was not chosen.
  const Holding* fund(int offset) const {
    const int slot = slotOf_[offset];
    return slot < 0 ? nullptr : &holdings_[slot];
  }
  // The one fund chosen by its ticker, when it was in any dataset.
  const Holding* chosen() const { return holdings_.empty() ? nullptr : &holdings_.front(); }
  int endKoers() const { return endKoers_; }
  int fundCount() const { return int(slotOf_.size()); }

 private:
  // Each fund's holding, found by name once for datasets whose tickers
  // differ from the dataset before; -1 for the placeholder row, a second
  // fund of one name and a fund not chosen.
  void indexFunds(int koers) {
    if (names_.holdsTickersOf(portfolio_, koers)) return;
    names_ = FundNameIndex(portfolio_, koers);
    const int count = portfolio_.fundCount(koers);
    slotOf_.assign(count, -1);
    placeholder_.assign(count, false);
    for (int offset = 0; offset < count; ++offset) {
      const QString& key = names_.keyAt(offset);
      placeholder_[offset] = portfolio_.koersAt(koers + offset).isPlaceholder();
      if (placeholder_[offset] || names_.offsetOf(key) != offset) continue;
      if (!choice_.all && key != chosenKey_) continue;
      auto found = slots_.constFind(key);
      if (found == slots_.constEnd()) {
        found = slots_.insert(key, int(holdings_.size()));
        holdings_.emplace_back();
      }
      slotOf_[offset] = *found;
    }
  }

  void addDataSet(int rek, int koers, int set) {
    const AlgemeenRec& alg = portfolio_.algAt(rek - 1);
    const qint64 day = static_cast<qint64>(std::floor(alg.Datum));
    days_.push_back(day);
    indexFunds(koers);
    ValuationPoint whole{day};
    for (int offset = 0; offset < int(slotOf_.size()); ++offset) {
      if (placeholder_[offset]) continue;
      const KoersRec& k = portfolio_.koersAt(koers + offset);
      const long double f = FundCurrencyFactor(portfolio_, alg, k);
      whole.after += f * k.Aantal * k.Koers + k.Reserve;
      whole.flow += f * k.Inleg;
      if (slotOf_[offset] < 0) continue;
      Holding& holding = holdings_[slotOf_[offset]];
      const double previous = holding.continuesInto(set) ? holding.lastAantal : 0.0;
      holding.add(fundPoint(portfolio_, alg, k, day, previous), set);
      holding.lastAantal = k.Aantal;
    }
    // Only the money put in or taken out is no growth of the portfolio;
    // before its first dataset it held nothing.
    whole.before = set == 0 ? 0 : whole.after - whole.flow;
    whole_.add(whole, set);
  }

  const Portfolio& portfolio_;
  FundChoice choice_;
  QString chosenKey_;
  FundNameIndex names_;
  std::vector<int> slotOf_;
  std::vector<bool> placeholder_;
  QHash<QString, int> slots_;
  std::vector<Holding> holdings_;
  Holding whole_;
  std::vector<qint64> days_;
  int endKoers_ = 0;
};

long double percent(long double growth) {
  return (growth - 1) * 100;
}

// The returns of a run of points from the last point before the period's
// first day, or from nothing at the run's start when there is none.
PeriodReturns periodReturns(std::span<const ValuationPoint> run, qint64 firstDay) {
  std::size_t start = 0;
  bool fromNothing = true;
  for (std::size_t i = 0; i < run.size() && run[i].day < firstDay; ++i) {
    start = i;
    fromNothing = false;
  }
  const std::span<const ValuationPoint> points = run.subspan(start);
  TimeWeightedChain chain;
  std::vector<DatedFlow> flows;
  if (!fromNothing) {
    chain.startFrom(points.front().after);
    flows.push_back({points.front().day, -points.front().after});
  }
  for (std::size_t i = fromNothing ? 0 : 1; i < points.size(); ++i) {
    chain.add(points[i]);
    flows.push_back({points[i].day, -points[i].flow});
  }
  flows.push_back({points.back().day, points.back().after});

  PeriodReturns returns;
  returns.to = points.back().day;
  const auto atWork = std::find_if(flows.begin(), flows.end(), [](const DatedFlow& flow) {
    return std::fabs(flow.amount) > kNoMoney;
  });
  // Nothing was ever at work in the period: no rate.
  if (atWork == flows.end()) {
    returns.from = returns.to;
    return returns;
  }
  returns.from = atWork->day;
  const long double days = returns.days();
  returns.annualised = days > kDaysPerYear;
  if (const std::optional<long double> growth = chain.growth()) {
    if (returns.annualised)
      returns.twr = double(percent(std::pow(*growth, kDaysPerYear / days)));
    else
      returns.twr = double(percent(*growth));
  }
  if (const std::optional<long double> perYear = InternalRatePerYear(flows)) {
    const long double over = returns.annualised ? *perYear : *perYear * days / kDaysPerYear;
    returns.irr = double(std::expm1(over) * 100);
  }
  return returns;
}

HoldingReturns holdingReturns(std::span<const ValuationPoint> run) {
  const QDate end = serialToDate(double(run.back().day));
  const auto dayOf = [](QDate date) { return static_cast<qint64>(dateToSerial(date)); };
  HoldingReturns returns;
  returns[int(ReturnPeriod::SinceStart)] = periodReturns(run, std::numeric_limits<qint64>::min());
  returns[int(ReturnPeriod::ThisYear)] = periodReturns(run, dayOf(QDate(end.year(), 1, 1)));
  returns[int(ReturnPeriod::Last12Months)] = periodReturns(run, dayOf(end.addYears(-1).addDays(1)));
  return returns;
}

}  // namespace

TrueReturns TrueReturnsOf(const Portfolio& portfolio, int rekIndex, const FundChoice& funds) {
  DataSetWalk walk(portfolio, funds);
  TrueReturns returns;
  if (!walk.run(rekIndex)) return returns;
  returns.portfolio = holdingReturns(walk.whole().currentRun());
  for (int offset = 0; offset < walk.fundCount(); ++offset) {
    if (const Holding* holding = walk.fund(offset)) {
      const KoersRec& fund = portfolio.koersAt(walk.endKoers() + offset);
      returns.funds.push_back(
          {TrimRightBlanks(fund.Ticker), offset, holdingReturns(holding->currentRun())});
    }
  }
  return returns;
}

std::vector<TwrStep> TwrHistory(const Portfolio& portfolio, const QString& ticker) {
  const bool ofPortfolio = RemoveBlanks(ticker).isEmpty();
  DataSetWalk walk(portfolio, {false, ofPortfolio ? QString() : ticker});
  std::vector<TwrStep> steps;
  if (!walk.run(-1)) return steps;
  for (const qint64 day : walk.days()) steps.push_back({day, std::nullopt});
  const Holding* holding = ofPortfolio ? &walk.whole() : walk.chosen();
  if (!holding) return steps;
  TimeWeightedChain chain;
  for (std::size_t i = 0; i < holding->points.size(); ++i) {
    const int set = holding->sets[i];
    if (i > 0 && holding->sets[i - 1] != set - 1) chain = TimeWeightedChain();
    chain.add(holding->points[i]);
    if (const std::optional<long double> growth = chain.growth())
      steps[set].twr = double(percent(*growth));
  }
  return steps;
}

}  // namespace pelmar
