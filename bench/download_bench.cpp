#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <vector>

#include "commands/download.h"
#include "commands/session.h"
#include "commands/synthetic_data.h"
#include "prices/price_store.h"

// What a download costs after the network: a year of prices of 300 stocks
// stored into the daily files in one batch (the first download of a new price folder,
// the largest there is), and the refresh of every dataset from those files
// afterwards. Each is set against a yardstick measured in the same run:
// storing against writing the same files once each, as a plain export
// would; the refresh against recalculating the same datasets without
// reading prices.

namespace {

using namespace pelmar;

constexpr int kStocks = 300;
constexpr int kFunds = 150;
const QDate kFirstDay(2025, 1, 2);
const QDate kLastDay(2025, 12, 31);

// The stocks, their trading days and prices, and each stock's download
// list ("yymmdd,price", oldest first) as the fetchers hand it over.
struct YearOfPrices {
  std::vector<synthetic::Stock> stocks;
  std::vector<QDate> days;
  synthetic::PriceTable table;
  std::vector<QStringList> downloadLists;

  YearOfPrices() {
    synthetic::Random random(300365);
    for (int s = 0; s < kStocks; ++s)
      stocks.push_back({QStringLiteral("Stock %1").arg(s, 3, 10, QChar('0')),
                        QStringLiteral("T%1").arg(s, 3, 10, QChar('0')), s % 2 == 1,
                        5.0 + random.between(0, 200), 0.01 * random.between(0, 10),
                        0.15 + 0.01 * random.between(0, 25)});
    days = synthetic::tradingDays(kFirstDay, kLastDay);
    for (const auto& stock : stocks) {
      table.push_back(synthetic::priceSeries(stock, static_cast<int>(days.size()), random));
      QStringList lines;
      for (size_t d = 0; d < days.size(); ++d)
        lines << days[d].toString(QStringLiteral("yyMMdd")) + u',' +
                     synthetic::priceText(table.back()[d]);
      downloadLists.push_back(lines);
    }
  }
  QString storedName(const synthetic::Stock& stock) const {
    return stock.us ? stock.name + QStringLiteral(" (US)") : stock.name;
  }
};

const YearOfPrices& year() {
  static const YearOfPrices data;
  return data;
}

// Every stock's year through StorePrices into a new, empty price folder,
// in one batch as a download stores them.
void BM_StoreYearOfPrices(benchmark::State& state) {
  const YearOfPrices& data = year();
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir dir;
    PriceStore store(dir.path());
    state.ResumeTiming();
    if (!store.openBatch().ok()) state.SkipWithError("the price folder is in use");
    for (int s = 0; s < kStocks; ++s)
      if (!store.StorePrices(data.storedName(data.stocks[s]), data.stocks[s].ticker,
                             data.downloadLists[s], INT_MAX))
        state.SkipWithError("StorePrices stored nothing");
    if (!store.flushBatch().ok()) state.SkipWithError("files not saved");
  }
  state.counters["files"] = static_cast<double>(data.days.size());
  state.counters["lines"] = static_cast<double>(data.days.size() * kStocks);
}
BENCHMARK(BM_StoreYearOfPrices)->Unit(benchmark::kSecond)->Iterations(2);

// The everyday case for comparison: the newest two days of every stock
// stored into a folder that already holds the year.
void BM_StoreDailyDownload(benchmark::State& state) {
  const YearOfPrices& data = year();
  QTemporaryDir dir;
  synthetic::writeDayFiles(dir.path(), data.stocks, data.days, data.table);
  PriceStore store(dir.path());
  for (auto _ : state) {
    if (!store.openBatch().ok()) state.SkipWithError("the price folder is in use");
    for (int s = 0; s < kStocks; ++s)
      if (!store.StorePrices(data.storedName(data.stocks[s]), data.stocks[s].ticker,
                             data.downloadLists[s].mid(data.days.size() - 2), INT_MAX))
        state.SkipWithError("StorePrices stored nothing");
    if (!store.flushBatch().ok()) state.SkipWithError("files not saved");
  }
}
BENCHMARK(BM_StoreDailyDownload)->Unit(benchmark::kMillisecond);

// Yardstick: the same daily files written once each.
void BM_WriteSameFilesOnce(benchmark::State& state) {
  const YearOfPrices& data = year();
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir dir;
    state.ResumeTiming();
    if (!synthetic::writeDayFiles(dir.path(), data.stocks, data.days, data.table))
      state.SkipWithError("files not written");
  }
}
BENCHMARK(BM_WriteSameFilesOnce)->Unit(benchmark::kMillisecond);

// A portfolio of weekly datasets over the year, 150 of the stocks held, on
// the year's price files.
struct RefreshData {
  QTemporaryDir dir;
  QString prices;
  std::unique_ptr<Session> session;

  RefreshData() {
    const YearOfPrices& data = year();
    prices = dir.filePath(QStringLiteral("Prices")) + u'/';
    QDir().mkpath(prices);
    synthetic::writeDayFiles(prices, data.stocks, data.days, data.table);
    session = std::make_unique<Session>(dir.path() + u'/', QLocale::c());
    session->setLanguage(Language::Code::English);
    session->settings().pricePath = prices;
    session->applyPricePath();
    synthetic::PortfolioBuilder builder(*session, false, QDate(2025, 1, 3));
    for (int f = 0; f < kFunds; ++f) {
      KoersRec& fund = builder.addFund(data.stocks[2 * f], 1 + f % Portfolio::kAccountsPerDataSet);
      fund.Aantal = 100;
      fund.Inleg = 100 * fund.Koers;
    }
    builder.calculate();
    for (QDate day = QDate(2025, 1, 10); day <= kLastDay; day = day.addDays(7)) {
      builder.appendDataSet(day);
      builder.calculate();
    }
  }
};

RefreshData& refreshData() {
  static RefreshData data;
  return data;
}

// RefreshAllDataSets as a download ends it; argument 1 starts from a store
// that has read no file yet (as after storing a year), 0 from a warm one.
void BM_RefreshAllDataSets(benchmark::State& state) {
  Session& session = *refreshData().session;
  const bool cold = state.range(0) != 0;
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      session.prices().setFolder(QString());
      session.applyPricePath();
      state.ResumeTiming();
    }
    RefreshAllDataSets(session);
  }
  state.counters["records"] = session.portfolio().size();
}
BENCHMARK(BM_RefreshAllDataSets)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Yardstick: every dataset recalculated, no prices read.
void BM_CalcAllDataSets(benchmark::State& state) {
  Session& session = *refreshData().session;
  for (auto _ : state) benchmark::DoNotOptimize(session.engine().CalcAllDataSets());
}
BENCHMARK(BM_CalcAllDataSets)->Unit(benchmark::kMillisecond);

}  // namespace
