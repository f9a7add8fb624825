#include "commands/source_test.h"

#include "commands/dataset_view.h"
#include "model/dates.h"
#include "prices/price_source.h"
#include "prices/source_map.h"

namespace pelmar {

namespace {

constexpr int kTestDays = 10;

}  // namespace

QString TestPriceSource(const Session& session, HttpGet& http, const Settings& settings,
                        const QString& source, const QString& symbol) {
  const std::unique_ptr<PriceSource> made = MakePriceSource(source, settings);
  if (!made) return session.text(TextId::SourceNone);
  const QDateTime now = session.clock().now();
  const SourceCloses got =
      made->closes(http, symbol.trimmed(), now.date().addDays(-kTestDays), now);
  if (!got.ok())
    return got.reason ? got.reason->text(session.language()) : session.text(TextId::SourceNone);
  return session.text(TextId::OptTestResult)
      .arg(symbol.trimmed())
      .arg(got.closes.size())
      .arg(got.closes.back().price + (got.currency.isEmpty() ? QString() : u' ' + got.currency))
      .arg(ShortDate(session, dateToSerial(got.newest())));
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
