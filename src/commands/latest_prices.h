#pragma once

#include <QString>

#include "commands/session.h"

namespace pelmar {

// The line of the latest download days of both stock lists.

// The latest download days (date serials) of the Dutch and the US stock
// list, as "Last Prices.txt" of the price folder holds them; 0 when unknown.
struct LatestPriceDays {
  qint64 dutch = 0;
  qint64 us = 0;
};
LatestPriceDays ReadLastPrices(const QString& priceFolder);

struct LatestPricesLines {
  QString status;         // the status line
  QString downloadLabel;  // the download window's label
};
LatestPricesLines ShowLatestPrices(const Session& session, const LatestPriceDays& days,
                                   const QString& lastReadFile);

}  // namespace pelmar
