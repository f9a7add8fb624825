#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <random>

#include "engine/engine.h"
#include "model/dates.h"

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
  Language language{Language::Code::English, QLocale::c()};
  Portfolio portfolio;
  Engine engine{portfolio, prices, language};
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

}  // namespace
