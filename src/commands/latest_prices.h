#pragma once

#include <QString>

#include "commands/session.h"
#include "prices/price_update.h"

namespace pelmar {

// The line of the latest download days of both stock lists.

// The days come from the price store (PriceStore::latestPriceDays), which
// reads "Last Prices.txt" of the price folder only when it changed.
struct LatestPricesLines {
  QString status;         // the status line
  QString downloadLabel;  // the download window's label
};
// With the day of the newest daily file of the price folder, the line also
// says how old that file is when it is more than five working days old.
LatestPricesLines ShowLatestPrices(const Session& session, const LatestPriceDays& days,
                                   const QString& lastReadFile, QDate newestFile = {});

// The status line's words on prices the user set that daily files of a
// later day replaced: which price replaced which.
QString PricesReplacedText(const Session& session, const std::vector<PriceReplacement>& replaced);

}  // namespace pelmar
