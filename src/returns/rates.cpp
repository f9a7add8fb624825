#include "returns/rates.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pelmar {

namespace {

constexpr long double kDaysPerYear = 365;
// The growth over the payments' span is sought between e^-30 and e^30.
constexpr std::array<long double, 21> kGrid = {-30, -20, -12, -8, -5, -3, -2, -1, -0.5, -0.2, 0,
                                               0.2, 0.5, 1,   2,  3,  5,  8,  12, 20,   30};
constexpr int kMostSteps = 200;
constexpr long double kPrecision = 1e-15L;

// A payment at its place in the span, 0 at the first day and 1 at the last.
struct Term {
  long double at = 0;
  long double amount = 0;
};

// The present value of the payments at a log growth x over the span,
// Σ amount × e^(−x·at), and its slope.
struct Value {
  long double value = 0;
  long double slope = 0;
};
Value presentValue(const std::vector<Term>& terms, long double x) {
  Value sum;
  for (const Term& term : terms) {
    const long double discounted = term.amount * std::exp(-x * term.at);
    sum.value += discounted;
    sum.slope -= term.at * discounted;
  }
  return sum;
}

bool differ(long double a, long double b) {
  return (a < 0) != (b < 0);
}

// The root in [low, high], where the value changes sign: Newton steps while
// they stay inside the bracket, halving it otherwise.
long double rootBetween(const std::vector<Term>& terms, long double low, long double high) {
  long double lowValue = presentValue(terms, low).value;
  long double x = (low + high) / 2;
  for (int step = 0; step < kMostSteps; ++step) {
    const Value at = presentValue(terms, x);
    if (at.value == 0) return x;
    if (differ(at.value, lowValue)) {
      high = x;
    } else {
      low = x;
      lowValue = at.value;
    }
    long double next = at.slope != 0 ? x - at.value / at.slope : low;
    if (!(next > low && next < high)) next = (low + high) / 2;
    const bool done = std::fabs(next - x) <= kPrecision * std::max(1.0L, std::fabs(x)) ||
                      high - low <= kPrecision * std::max(1.0L, std::fabs(x));
    x = next;
    if (done) break;
  }
  return x;
}

}  // namespace

void TimeWeightedChain::grow(long double top, long double base) {
  if (base < -kNoMoney || (base > kNoMoney && top < 0)) {
    meaningful_ = false;
  } else if (base > kNoMoney) {
    growth_ *= top / base;
  }
}

void TimeWeightedChain::add(const ValuationPoint& point) {
  if (!meaningful_) return;
  long double before = point.before;
  if (std::fabs(previous_) > kNoMoney) {
    grow(before, previous_);
  } else {
    // Nothing was at work: whatever the holding has before the day's money
    // is measured with that money, from which it cannot be told apart.
    before = 0;
  }
  // Money moved while nothing was held before or after (costs or a
  // dividend of a fund without shares) measures nothing.
  if (std::fabs(before) > kNoMoney || std::fabs(point.after) > kNoMoney) {
    const long double in = std::max(point.flow, 0.0L);
    const long double out = std::max(-point.flow, 0.0L);
    grow(point.after + out, before + in);
  }
  previous_ = point.after;
}

std::optional<long double> TimeWeightedChain::growth() const {
  if (!meaningful_) return std::nullopt;
  return growth_;
}

std::optional<long double> InternalRatePerYear(std::vector<DatedFlow> flows) {
  std::stable_sort(flows.begin(), flows.end(),
                   [](const DatedFlow& a, const DatedFlow& b) { return a.day < b.day; });
  std::vector<DatedFlow> days;
  for (const DatedFlow& flow : flows) {
    if (!days.empty() && days.back().day == flow.day)
      days.back().amount += flow.amount;
    else
      days.push_back(flow);
  }
  std::erase_if(days, [](const DatedFlow& flow) { return flow.amount == 0; });
  const bool paysIn = std::any_of(days.begin(), days.end(), [](auto& f) { return f.amount < 0; });
  const bool receives = std::any_of(days.begin(), days.end(), [](auto& f) { return f.amount > 0; });
  if (!paysIn || !receives) return std::nullopt;
  const long double span = days.back().day - days.front().day;
  if (span <= 0) return std::nullopt;

  std::vector<Term> terms;
  terms.reserve(days.size());
  for (const DatedFlow& flow : days)
    terms.push_back({(flow.day - days.front().day) / span, flow.amount});

  std::optional<long double> root;
  int roots = 0;
  long double previous = presentValue(terms, kGrid.front()).value;
  for (std::size_t i = 1; i < kGrid.size(); ++i) {
    const long double value = presentValue(terms, kGrid[i]).value;
    if (value == 0) {
      ++roots;
      root = kGrid[i];
    } else if (previous != 0 && differ(previous, value)) {
      ++roots;
      root = rootBetween(terms, kGrid[i - 1], kGrid[i]);
    }
    previous = value;
  }
  if (roots != 1) return std::nullopt;
  return *root * kDaysPerYear / span;
}

}  // namespace pelmar
