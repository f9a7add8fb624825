#pragma once

#include "model/portfolio.h"
#include "prices/price_store.h"

namespace pelmar {

// Puts the daily prices into the funds of the dataset whose first account
// is at rekIndex: every fund that is neither Cumulatief, BuySell nor
// FakeFund gets
// the price of its Ticker on the dataset's date. A fund for which the
// files hold no price keeps the price it has; a fund without a price takes
// PriceFromEarlierSets. True when a stored price (as a Real48) changed;
// marking the portfolio changed is the caller's.
bool UpdatePricesFromFiles(Portfolio& portfolio, PriceStore& prices, int rekIndex);

// The price of the fund in the datasets before the one at rekIndex, looking
// back three datasets at most; tickers match with blanks and case ignored.
// PriceStore::kNotFound when there is no earlier dataset or none holds it.
double PriceFromEarlierSets(const Portfolio& portfolio, int rekIndex, const KoersRec& fund);

}  // namespace pelmar
