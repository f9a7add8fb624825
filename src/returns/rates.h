#pragma once

#include <QtGlobal>
#include <optional>
#include <span>
#include <vector>

namespace pelmar {

// Time-weighted and money-weighted growth of one holding (the portfolio, or
// the shares of one fund) from its values and the money that went in and
// out. Amounts are in one currency; days are whole-day date serials.

// Amounts of this size or less are nothing: no capital at work, no payment.
inline constexpr long double kNoMoney = 0.01L;

// A holding on one day: its value before the day's money moved (the market
// having moved since the point before), the money put in that day, net
// (negative when more was taken out), and its value after.
struct ValuationPoint {
  qint64 day = 0;
  long double before = 0;
  long double flow = 0;
  long double after = 0;
};

// The time-weighted growth factor, kept point by point: each stretch
// between two points grows by before / previous after, each day's money
// movement by (after + money out) / (before + money in), and the factors
// are chained, so money put in or taken out changes nothing by itself.
// A stretch or a day without capital at work is left out. A negative capital
// at work, or a negative factor, has no meaningful rate.
class TimeWeightedChain {
 public:
  // Starts from a value already held (the day's own money not counted);
  // without a start the holding starts from nothing.
  void startFrom(long double value) { previous_ = value; }
  void add(const ValuationPoint& point);
  // The chained factor; nothing when there is no meaningful rate.
  std::optional<long double> growth() const;

 private:
  // Multiplies by top / base; a base of nothing counts no growth.
  void grow(long double top, long double base);

  long double growth_ = 1;
  long double previous_ = 0;
  bool meaningful_ = true;
};

// A payment on a day as the investor sees it: paid in negative, received
// positive.
struct DatedFlow {
  qint64 day = 0;
  long double amount = 0;
};

// The internal rate of the payments with actual/365 day counts, as a
// spreadsheet's XIRR defines it (Σ amount / (1 + r)^((day − first day) /
// 365) = 0), given as ln(1 + r) per year. Payments of one day are added up
// first. Nothing when there is no meaningful rate: the payments do not both
// pay in and receive, fall on one day, have no root within a growth of
// e^±30 over their span, or have more than one.
std::optional<long double> InternalRatePerYear(std::vector<DatedFlow> flows);

}  // namespace pelmar
