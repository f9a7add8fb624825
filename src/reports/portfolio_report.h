#pragma once

#include "reports/report_context.h"

namespace pelmar {

// Tab stops of the portfolio overview (points).
inline const TabStops kFundTabStops{1, 91, 161, 231, 321, 411, 496, 581};
inline const TabStops kAccountTabStopsDutch{1, 81, 156, 206, 256, 346, 416, 486, 556};
// One unit less in English, except the first: a stop at 0 is never reached
// by the tab that starts a line, which would shift every column by one.
inline const TabStops kAccountTabStopsEnglish{1, 80, 155, 205, 255, 345, 415, 485, 555};

// The euro/dollar rate the account section of the dataset uses: the
// dataset's own for a dataset dated after today, else the program's current
// rate unless that is below 0.1. The caller stores it as the dataset's
// `Dollar` when it differs (the one change the report makes).
double AccountDollarRate(const AlgemeenRec& dataSet, const ReportContext& context);

// The portfolio overview of the dataset whose first account is at rekIndex:
// the funds the ROTAC way and the ROTAI way, then the five accounts, each
// with totals, the true returns of the funds and the portfolio, and the
// remarks heading. Funds in the fund list's order, the
// placeholder row left out.
ReportDocument PortfolioReport(const Portfolio& portfolio, int rekIndex,
                               const ReportContext& context);

}  // namespace pelmar
