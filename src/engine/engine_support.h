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

// The shares a fund bought (sold: negative) in its dataset, given the
// shares of its previous fund: its change in shares, or in a dataset with a
// split the change beyond the split's (the split ratio times the shares
// before), at the split price. A split of unknown ratio counts no trade.
inline long double TradedShares(const KoersRec& k, double previousAantal) {
  if (!(k.Flag1 & KoersFlag::Splits)) return ld(k.Delta);
  if (k.SplitRatio <= 0) return 0;
  return ld(k.Aantal) - ld(k.SplitRatio) * previousAantal;
}

}  // namespace pelmar
