#pragma once

#include <QString>
#include <functional>

#include "commands/session.h"
#include "prices/http_get.h"
#include "prices/stock_list.h"

namespace pelmar {

// The settings window's "Test": asks a source (by name, with the addresses
// of `settings`, which may be the window's unsaved ones) for the closes of
// one symbol over the last ten days and says what came: how many closes and
// the latest, or why none.
QString TestPriceSource(const Session& session, HttpGet& http, const Settings& settings,
                        const QString& source, const QString& symbol);
// The same test as a fetch for a worker thread: what it takes of the
// session is copied now.
std::function<QString(HttpGet&)> SourceTestFetch(const Session& session, const Settings& settings,
                                                 const QString& source, const QString& symbol);

// The symbol the test proposes for a list: its first stock's, as its source
// knows it; empty for an empty list.
QString ProposedTestSymbol(const Session& session, Market market);

}  // namespace pelmar
