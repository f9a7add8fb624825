#pragma once

#include "model/real48.h"

namespace pelmar {

// The sums of one computed dataset that no record stores: the value of its
// holdings, its reserve, the cumulative interest of its accounts and the
// cumulative investment, costs and VAT, all in the portfolio currency.
struct DataSetTotals {
  Real48 value;
  Real48 reserve;
  Real48 interest;
  Real48 cumInleg;
  Real48 cumKosten;
  Real48 cumBTW;
};

}  // namespace pelmar
