#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <map>
#include <optional>

#include "lang/outcome.h"
#include "prices/http_get.h"
#include "prices/price_store.h"

namespace pelmar {

// The euro reference rates a central bank publishes once a working day, as
// XML: <Cube time="YYYY-MM-DD"><Cube currency="USD" rate="1.0843"/>…</Cube>,
// in a file of the last day, of the last 90 days or of the whole history.

// The dollars one euro cost on each day that has a rate.
struct ReferenceRates {
  std::map<QDate, double> usdPerEuro;
  std::optional<Reason> failure;
  bool ok() const { return !failure; }
};

// Reads a rates file. A rate that is no positive number, a day given twice
// or XML that cannot be read refuses the file with its line; a file without
// one dollar rate is refused too.
ReferenceRates ParseReferenceRates(const QByteArray& xml);

// The file that holds the days from `from` up to `today`: the last day's, the
// 90 days', or the whole history; under the base address.
QString ReferenceRatesUrl(const QString& base, QDate from, QDate today);

// Fetches the file for the days from `from` and reads it; a failure names
// the host.
ReferenceRates FetchReferenceRates(HttpGet& http, const QString& base, QDate from, QDate today);

// The rates of the days from `from` up to `to` into the daily price files,
// each as the four currency lines of the dollar quote (the price of a dollar
// in euros and its inverse); a day without a rate gets none. Needs the
// store's batch open. Returns the days written.
int StoreReferenceRates(PriceStore& store, const ReferenceRates& rates, QDate from, QDate to);

}  // namespace pelmar
