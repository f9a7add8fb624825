#pragma once

#include "model/portfolio.h"

namespace pelmar {

// The account (1 to 5) a fund's RekNr books it on: a number outside that
// range counts as account 1.
inline int bookedAccount(int rekNr) {
  return rekNr >= 1 && rekNr <= Portfolio::kAccountsPerDataSet ? rekNr : 1;
}

}  // namespace pelmar
