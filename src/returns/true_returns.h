#pragma once

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "model/portfolio.h"

namespace pelmar {

// The true returns of the portfolio and its funds as of one dataset: the
// time-weighted return (the growth of each stretch between two days on which
// money moved, chained) and the money-weighted return (the internal rate of
// the dated payments, as a spreadsheet's XIRR computes it). What counts as a
// payment is told in docs/decisions/true-returns.md.

// The periods, each ending on the dataset's day.
enum class ReturnPeriod { SinceStart = 0, ThisYear = 1, Last12Months = 2 };
inline constexpr int kReturnPeriods = 3;

// The returns of one holding over one period, in percent.
struct PeriodReturns {
  // The first day with capital at work in the period, and the last.
  qint64 from = 0;
  qint64 to = 0;
  // Per year: the period since the start, when its span is longer than a
  // year. Otherwise over the span.
  bool annualised = false;
  // Nothing where there is no meaningful rate.
  std::optional<double> twr;
  std::optional<double> irr;
  int days() const { return int(to - from); }
};
using HoldingReturns = std::array<PeriodReturns, kReturnPeriods>;

struct FundTrueReturns {
  QString ticker;
  // The fund's offset in the dataset.
  int offset = 0;
  HoldingReturns returns;
};

struct TrueReturns {
  HoldingReturns portfolio;
  // The funds of the dataset in its order, the placeholder row and a
  // second fund of the same name left out.
  std::vector<FundTrueReturns> funds;
};

// Which funds to compute besides the portfolio.
struct FundChoice {
  bool all = true;
  // With `all` false: only the fund of this ticker (blanks and case
  // ignored), or none when it is empty.
  QString ticker;
};

// The true returns as of the dataset whose first account is at rekIndex,
// from the datasets up to it.
TrueReturns TrueReturnsOf(const Portfolio& portfolio, int rekIndex, const FundChoice& funds = {});

// The time-weighted return since the start, in percent, as of each dataset
// up to the last: of the portfolio (empty ticker) or of a fund, whose
// history starts again where it was missing from a dataset. Nothing where
// the fund is not in the dataset or there is no meaningful rate.
struct TwrStep {
  qint64 day = 0;
  std::optional<double> twr;
};
std::vector<TwrStep> TwrHistory(const Portfolio& portfolio, const QString& ticker);

}  // namespace pelmar
