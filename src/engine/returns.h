#pragma once

namespace pelmar {

// Annual returns in percent. The weighted investment is a sum of invested
// amount × days; divided by the days it is the average capital at work. The
// profit on that capital is compounded to a year of 365.25 days.

// The stored value of a return without meaning: one that cannot be
// computed or would exceed 99999.99 %.
inline constexpr double kNoReturn = 99999.99;

// The return of one fund with profit w, weighted investment gi over d days.
long double FundReturn(long double w, long double gi, int d);
// The return of the portfolio with profit w, weighted investment gi over d
// days.
long double PortfolioReturn(long double w, long double gi, int d);

}  // namespace pelmar
