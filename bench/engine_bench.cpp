#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <random>

#include "engine/engine.h"
#include "model/dates.h"
#include "returns/true_returns.h"

namespace {

using namespace pelmar;

// A portfolio of `dataSets` datasets `daysApart` days apart, each holding
// `funds` funds on the five accounts with prices that wander and now and
// then a trade, computed once in order as the reader would.
struct BenchPortfolio {
  BenchPortfolio(int dataSets, int funds, int daysApart, bool lookUpPrices) {
    portfolio.setRecordTexts({QStringLiteral("      Name"), QStringLiteral("Number"),
                              QStringLiteral("us"), QStringLiteral("[New]")});
    const DateTime start = dateToSerial(QDate(2015, 1, 5));
    portfolio.NewPortfolio(IdentRec(), start);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> move(0.97, 1.03);
    for (int i = 0; i < funds; ++i) {
      KoersRec fund = portfolio.initialRecords().DefaultKoersRec;
      fund.EndOfSetB = false;
      fund.Ticker = QStringLiteral("Fund %1").arg(i);
      fund.RekNr = static_cast<quint8>(1 + i % Portfolio::kAccountsPerDataSet);
      fund.Koers = 10 + i;
      fund.Aantal = 100;
      fund.Inleg = 1100 * (10 + i);
      fund.CumDatum = start;
      portfolio.insertRecord(portfolio.size() - 1, fund);
    }
    // The placeholder row's FakeFund bit makes later datasets skip the
    // daily price look-up.
    if (!lookUpPrices) portfolio.koersAt(portfolio.size() - 1).Flag1 = KoersFlag::FakeFund;
    int rek = Portfolio::kFirstRekIndex;
    int koers = Portfolio::kFirstKoersIndex;
    (void)engine.CalcDataSet(rek);
    for (int set = 1; set < dataSets; ++set) {
      portfolio.appendDataSet(rek, koers, start + set * daysApart, daysApart);
      for (int i = 0; i < funds; ++i) {
        KoersRec& fund = portfolio.koersAt(koers + i);
        fund.Koers = fund.Koers * move(random);
        if (random() % 10 == 0) fund.Aantal = fund.Aantal + (random() % 2 ? 5 : -5);
      }
      (void)engine.CalcDataSet(rek);
    }
  }

  QTemporaryDir priceFolder;  // empty: the engine is measured, not the files
  PriceStore prices{priceFolder.path()};
  Portfolio portfolio;
  Engine engine{portfolio, prices};
};

void recalculate(benchmark::State& state, int dataSets, int funds, int daysApart,
                 bool lookUpPrices) {
  BenchPortfolio bench(dataSets, funds, daysApart, lookUpPrices);
  for (auto _ : state) bench.engine.CalcAllDataSets();
  // Time per dataset.
  state.counters["per_dataset"] = benchmark::Counter(
      dataSets, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["records"] = bench.portfolio.size();
}

// Near the record limit: 400 datasets of 150 funds. The argument says
// whether the daily prices are looked up (in an empty folder).
void BM_SpeedRekenClickNearLimit(benchmark::State& state) {
  recalculate(state, 400, 150, 7, state.range(0) != 0);
}
BENCHMARK(BM_SpeedRekenClickNearLimit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Ten years of weekly datasets of 40 funds.
void BM_SpeedRekenClickTenYearsWeekly(benchmark::State& state) {
  recalculate(state, 520, 40, 7, state.range(0) != 0);
}
BENCHMARK(BM_SpeedRekenClickTenYearsWeekly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The true returns (time-weighted and money-weighted, three periods) of the
// portfolio and every fund of the last dataset of the near-limit portfolio.
// The counter ratio_to_recalculation sets the time of one computation against
// that of recalculating every dataset (the median of three), measured in the
// same run.
void BM_TrueReturnsNearLimit(benchmark::State& state) {
  BenchPortfolio bench(400, 150, 7, false);
  const int lastRek = bench.portfolio.lastRekIndex();
  using Clock = std::chrono::steady_clock;
  std::vector<double> recalculations;
  for (int run = 0; run < 3; ++run) {
    const Clock::time_point begin = Clock::now();
    bench.engine.CalcAllDataSets();
    recalculations.push_back(std::chrono::duration<double>(Clock::now() - begin).count());
  }
  std::sort(recalculations.begin(), recalculations.end());
  std::size_t funds = 0;
  const Clock::time_point begin = Clock::now();
  for (auto _ : state) {
    const TrueReturns returns = TrueReturnsOf(bench.portfolio, lastRek);
    funds = returns.funds.size();
    benchmark::DoNotOptimize(returns);
  }
  const double each =
      std::chrono::duration<double>(Clock::now() - begin).count() / double(state.iterations());
  state.counters["funds"] = double(funds);
  state.counters["recalculation_ms"] = recalculations[1] * 1000;
  state.counters["ratio_to_recalculation"] = each / recalculations[1];
}
BENCHMARK(BM_TrueReturnsNearLimit)->Unit(benchmark::kMillisecond);

}  // namespace
