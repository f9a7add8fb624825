#pragma once

#include <QString>

#include "commands/session.h"

namespace pelmar {

// The line of the latest download days of both stock lists.

// The days come from the price store (PriceStore::latestPriceDays), which
// reads "Last Prices.txt" of the price folder only when it changed.
struct LatestPricesLines {
  QString status;         // the status line
  QString downloadLabel;  // the download window's label
};
LatestPricesLines ShowLatestPrices(const Session& session, const LatestPriceDays& days,
                                   const QString& lastReadFile);

}  // namespace pelmar
