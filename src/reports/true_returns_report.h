#pragma once

#include <vector>

#include "reports/report_context.h"

namespace pelmar {

// Tab stops of the true-returns table: the fund, then three time-weighted
// and three money-weighted returns.
inline const TabStops kTrueReturnTabStops{1, 91, 181, 271, 361, 451, 541};

// The section of the portfolio overview with the time-weighted and the
// money-weighted returns since the start, this year and over the last 12
// months of the funds at the record indices given (in that order) and of the
// portfolio, as of the dataset whose first account is at rekIndex, and what
// the periods and marks mean.
void WriteTrueReturns(ReportWriter& writer, const Portfolio& portfolio, int rekIndex,
                      const std::vector<int>& fundIndices, const ReportContext& context);

}  // namespace pelmar
