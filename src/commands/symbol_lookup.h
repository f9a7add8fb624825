#pragma once

#include <QString>
#include <functional>

#include "commands/session.h"
#include "prices/http_get.h"

namespace pelmar {

// What the symbol look-up of the US list window found: the company and
// ticker when exactly one stock was found, and the page's address for the
// browser otherwise.
struct SymbolLookup {
  bool found = false;
  QString company;
  QString ticker;
  QString url;
  // Why the service could not be reached; empty when it answered.
  QString unreachable;
};

// Looks a stock up by its ticker (when the company is empty) or by its
// company name on the symbol-lookup service of the settings. A page that
// cannot be fetched (`unreachable` says why), names more or fewer than one
// stock, or gives a name or ticker that cannot go into the list (empty, a
// comma, over 100 characters) counts as not found.
SymbolLookup LookUpSymbol(const Session& session, HttpGet& http, const QString& company,
                          const QString& ticker);
// The same look-up as a fetch for a worker thread: what it takes of the
// session is copied now.
std::function<SymbolLookup(HttpGet&)> SymbolLookupFetch(const Session& session,
                                                        const QString& company,
                                                        const QString& ticker);

}  // namespace pelmar
