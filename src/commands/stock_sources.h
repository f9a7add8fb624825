#pragma once

#include <QDate>
#include <optional>

#include "commands/session.h"
#include "prices/price_source.h"
#include "prices/source_map.h"

namespace pelmar {

// What a download pass fetches its stocks with: the list's source from the
// settings and the stocks' own sources and symbols beside the list.
struct PassSources {
  QString listSource;
  SourceMap own;
  std::optional<Reason> refused;  // the stocks' own sources could not be read

  // Whether any stock of the list has a source to fetch from.
  bool anySource(const QStringList& tickers) const;
};
PassSources SourcesOf(const Session& session, Market market);

// One stock's closes from its source with the settings' address, from the
// day `from` up to `now`; a stock whose source is "none" gives nothing
// (status NotFound without a reason). Touches no session: it runs on the
// download's worker thread.
SourceCloses FetchStockCloses(const Settings& settings, const QDateTime& now, HttpGet& http,
                              const PassSources& sources, const QString& ticker, QDate from);

}  // namespace pelmar
