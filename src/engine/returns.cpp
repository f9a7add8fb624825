#include "engine/returns.h"

#include <cmath>

#include "model/conversions.h"
#include "model/real48.h"

namespace pelmar {

namespace {

constexpr long double kDaysPerYear = 365.25L;

// (G^E − 1) × 100, where G and E are stored values. A negative G (a loss
// larger than the average capital) is a return without meaning, decided on
// the sign of G itself: after the power a tiny |G|^E rounds the figure to
// exactly −100 and would pass as a total loss. A G below 0.001 is a power
// SignedPower cannot compute; it and anything not finite are returns
// without meaning too.
long double compounded(Real48 g, Real48 e) {
  if (g.value() < 0.001) return kNoReturn;
  const long double result = (SignedPower(g, e) - 1) * 100;
  if (!std::isfinite(result) || result < -100) return kNoReturn;
  return result;
}

}  // namespace

long double FundReturn(long double w, long double gi, int d) {
  if (gi < 1.0L || d < 1) return kNoReturn;
  const Real48 g = w / (gi / d) + 1;
  const Real48 e = kDaysPerYear / d;
  if (e * Log10OrZero(std::fabs(g.value())) > Log10OrZero(kNoReturn)) return kNoReturn;
  return compounded(g, e);
}

long double PortfolioReturn(long double w, long double gi, int d) {
  if (std::fabs(gi) < 1.0L || d < 1) return kNoReturn;
  const long double a = gi / d;
  const Real48 g = (w + a) / a;
  if (Log10OrZero(g) * kDaysPerYear / d > Log10OrZero(kNoReturn) || gi < 0) return kNoReturn;
  return compounded(g, kDaysPerYear / d);
}

}  // namespace pelmar
