#pragma once

#include "model/portfolio.h"

namespace pelmar {

// Prices and numbers of shares of 0.0001 or less count as none.
inline constexpr double kSmallest = 0.0001;

// A stored value widened for computing: the engine and the advice compute
// in long double and round only when they store.
inline long double ld(double value) {
  return value;
}

// The account (1 to 5) a fund's RekNr books it on: a number outside that
// range counts as account 1.
inline int bookedAccount(int rekNr) {
  return rekNr >= 1 && rekNr <= Portfolio::kAccountsPerDataSet ? rekNr : 1;
}

}  // namespace pelmar
