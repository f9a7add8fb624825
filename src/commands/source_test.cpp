#include "commands/source_test.h"

#include "commands/fetch_worker.h"
#include "model/dates.h"
#include "prices/price_source.h"
#include "prices/source_map.h"

namespace pelmar {

namespace {

constexpr int kTestDays = 10;

}  // namespace

QString TestPriceSource(const Session& session, HttpGet& http, const Settings& settings,
                        const QString& source, const QString& symbol) {
  return SourceTestFetch(session, settings, source, symbol)(http);
}

std::function<QString(HttpGet&)> SourceTestFetch(const Session& session, const Settings& settings,
                                                 const QString& source, const QString& symbol) {
  const std::shared_ptr<PriceSource> made = MakePriceSource(source, settings);
  return [made, context = FetchContext(session), symbol = symbol.trimmed()](HttpGet& http) {
    if (!made) return context.text(TextId::SourceNone);
    const SourceCloses got =
        made->closes(http, symbol, context.now.date().addDays(-kTestDays), context.now);
    if (!got.ok())
      return got.reason ? got.reason->text(context.language) : context.text(TextId::SourceNone);
    return context.text(TextId::OptTestResult)
        .arg(symbol)
        .arg(got.closes.size())
        .arg(got.closes.back().price + (got.currency.isEmpty() ? QString() : u' ' + got.currency))
        .arg(formatDate(got.newest(), dateFormatFromSetting(context.settings.dateFormat)));
  };
}

QString ProposedTestSymbol(const Session& session, Market market) {
  const QString folder = session.settings().pricePath;
  for (const QString& line : LoadStockList(stockListPath(folder, market))) {
    const QString ticker = StockLine::split(line).ticker.trimmed();
    if (!ticker.isEmpty()) return LoadSourceMap(sourceMapPath(folder, market)).map.symbolOf(ticker);
  }
  return {};
}

}  // namespace pelmar
