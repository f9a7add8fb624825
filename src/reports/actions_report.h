#pragma once

#include "reports/report_context.h"

namespace pelmar {

inline const TabStops kActionsTabStops{1, 81, 176, 256, 336, 391, 446, 501, 556};

// The actions overview: every fund of the first dataset with its starting
// position, then dataset by dataset each fund whose investment, number of
// shares, costs, VAT, dividend or dividend tax moved, and a line for the
// costs and VAT booked on the accounts. The cursor does not move.
ReportDocument ActionsReport(const Portfolio& portfolio, const ReportContext& context);

}  // namespace pelmar
