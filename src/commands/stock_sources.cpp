#include "commands/stock_sources.h"

namespace pelmar {

bool PassSources::anySource(const QStringList& tickers) const {
  for (const QString& ticker : tickers)
    if (PriceSourceId(own.sourceOf(ticker, listSource)).value_or(SourceId::None) != SourceId::None)
      return true;
  return false;
}

PassSources SourcesOf(const Session& session, Market market) {
  const Settings& settings = session.settings();
  LoadedSourceMap loaded = LoadSourceMap(sourceMapPath(settings.pricePath, market));
  return {market == Market::Dutch ? settings.dutchSource : settings.usSource, std::move(loaded.map),
          std::move(loaded.refused)};
}

SourceCloses FetchStockCloses(const Settings& settings, const QDateTime& now, HttpGet& http,
                              const PassSources& sources, const QString& ticker, QDate from) {
  const std::unique_ptr<PriceSource> source =
      MakePriceSource(sources.own.sourceOf(ticker, sources.listSource), settings);
  if (!source) return {};
  return source->closes(http, sources.own.symbolOf(ticker), from, now);
}

}  // namespace pelmar
