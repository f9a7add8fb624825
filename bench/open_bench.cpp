#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <vector>

#include "cli/cli.h"
#include "commands/portfolio_io.h"
#include "commands/synthetic_data.h"
#include "model/dates.h"
#include "model/portfolio_file.h"
#include "prices/price_update.h"

// Opening a near-limit portfolio: 400 weekly datasets of 150 funds (about
// 63,000 records, 62 MB) with ten years of daily price files of 300 stocks.
// The whole sequence runs as `pelmar-cli open` runs it; its parts (reading
// the file, refreshing the prices of every dataset from cold price files,
// recalculating every dataset, writing it) are measured one by one. The
// whole sequence, and the sequence with a save, report their processor time
// against that of `xmllint --stream --noout` on the same file (steadier than
// the tree-building run, whose time swings with page faults), and their
// peak memory.

namespace {

using namespace pelmar;

constexpr int kStocks = 300;
constexpr int kFunds = 150;
constexpr int kDataSets = 400;
const QDate kFirstPriceDay(2016, 1, 4);
const QDate kLastPriceDay(2025, 12, 31);
const QDate kFirstDataSet(2018, 4, 6);
const QDate kToday(2026, 1, 5);

// The peak resident memory of the process in MB, and its reset, through
// /proc (Linux); -1 elsewhere.
double peakMemoryMb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
  return -1;
}
// Processor time, user and system, of this process or of its finished
// children. The ratio to xmllint compares processor times, which a busy
// machine disturbs less than wall-clock times.
double cpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
void resetPeakMemory() {
  malloc_trim(0);
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

// The generated files, made once for all benchmarks in a temporary folder.
struct OpenData {
  QTemporaryDir dir;
  QString prices;
  QString file;
  double xmllintSeconds = -1;

  OpenData() {
    // The command-line tool reads its settings: keep it out of the home folder.
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    prices = dir.filePath(QStringLiteral("Prices"));
    file = dir.filePath(QStringLiteral("Large.xml"));
    QDir().mkpath(prices);

    synthetic::Random random(400150);
    std::vector<synthetic::Stock> stocks;
    for (int s = 0; s < kStocks; ++s) {
      stocks.push_back({QStringLiteral("Stock %1").arg(s, 3, 10, QChar('0')),
                        QStringLiteral("T%1").arg(s, 3, 10, QChar('0')), s % 2 == 1,
                        5.0 + random.between(0, 200), 0.01 * random.between(0, 10),
                        0.15 + 0.01 * random.between(0, 25)});
    }
    const std::vector<QDate> days = synthetic::tradingDays(kFirstPriceDay, kLastPriceDay);
    synthetic::PriceTable table;
    for (const auto& stock : stocks)
      table.push_back(synthetic::priceSeries(stock, static_cast<int>(days.size()), random));
    synthetic::writeDayFiles(prices, stocks, days, table);
    makePortfolio(stocks, random);
    timeXmllint();
  }

  // Every other stock is held; every week a tenth of the funds trade, now
  // and then one pays a dividend, and the account is charged monthly.
  void makePortfolio(const std::vector<synthetic::Stock>& stocks, synthetic::Random& random) {
    Session session(dir.path() + u'/', QLocale::c());
    session.setLanguage(Language::Code::English);
    session.settings().pricePath = prices + u'/';
    session.applyPricePath();
    synthetic::PortfolioBuilder builder(session, false, kFirstDataSet);
    for (int f = 0; f < kFunds; ++f) {
      KoersRec& fund = builder.addFund(stocks[2 * f], 1 + f % Portfolio::kAccountsPerDataSet);
      fund.Aantal = std::floor(5000.0 / fund.Koers) + 1;
      fund.Inleg = std::round(1.3 * fund.Aantal * fund.Koers);
    }
    builder.calculate();
    for (int set = 1; set < kDataSets; ++set) {
      builder.appendDataSet(kFirstDataSet.addDays(7 * set));
      for (int f = 0; f < kFunds; ++f) {
        KoersRec& fund = builder.fund(f);
        if (random.between(0, 9) == 0) {
          fund.Aantal = std::max(0.0, fund.Aantal + random.between(-10, 10));
          fund.Kosten = 7.5;
        }
        if (random.between(0, 99) == 0) fund.Dividend = std::round(0.01 * fund.Aantal * fund.Koers);
      }
      if (set % 4 == 0) builder.account(1).Kosten = 4.95;
      builder.calculate();
    }
    QSaveFile out(file);
    out.open(QIODevice::WriteOnly);
    const Portfolio& p = session.portfolio();
    portfolio_file::write(out, p, WriteLimitAll(p), session.language());
    out.commit();
  }

  // xmllint's processor time (user and system) parsing the same file as
  // a stream; the median of three runs.
  void timeXmllint() {
    std::vector<double> runs;
    for (int run = 0; run < 3; ++run) {
      const double before = cpuSeconds(RUSAGE_CHILDREN);
      QProcess xmllint;
      xmllint.start(QStringLiteral("xmllint"),
                    {QStringLiteral("--stream"), QStringLiteral("--noout"), file});
      if (xmllint.waitForFinished(600000) && xmllint.exitCode() == 0)
        runs.push_back(cpuSeconds(RUSAGE_CHILDREN) - before);
    }
    if (runs.empty()) return;
    std::sort(runs.begin(), runs.end());
    xmllintSeconds = runs[runs.size() / 2];
  }
};

OpenData& data() {
  static OpenData instance;
  return instance;
}

// A portfolio read from the generated file, without any price look-up.
void readFile(Portfolio& portfolio) {
  QFile in(data().file);
  in.open(QIODevice::ReadOnly);
  portfolio_file::ReadOptions options;
  options.priceFor = [](const QString&, DateTime) { return 0.0; };
  portfolio_file::read(in, portfolio, options);
}

void BM_OpenRead(benchmark::State& state) {
  data();
  for (auto _ : state) {
    Portfolio portfolio;
    readFile(portfolio);
    benchmark::DoNotOptimize(portfolio.size());
  }
  state.counters["MB"] = QFileInfo(data().file).size() / 1e6;
}
BENCHMARK(BM_OpenRead)->Unit(benchmark::kMillisecond);

// Every dataset's prices from the daily files, through a fresh (cold) store.
void BM_OpenPriceRefresh(benchmark::State& state) {
  Portfolio portfolio;
  readFile(portfolio);
  for (auto _ : state) {
    PriceStore store(data().prices + u'/');
    int rek = Portfolio::kFirstRekIndex;
    int koers = Portfolio::kFirstKoersIndex;
    for (bool more = true; more;) {
      UpdatePricesFromFiles(portfolio, store, rek);
      const int before = rek;
      portfolio.NextDataSet(rek, koers);
      more = rek != before;
    }
  }
}
BENCHMARK(BM_OpenPriceRefresh)->Unit(benchmark::kMillisecond);

// Every dataset recalculated in order, the price files already cached.
void BM_OpenRecalculate(benchmark::State& state) {
  Session session(data().dir.path() + u'/', QLocale::c());
  session.settings().pricePath = data().prices + u'/';
  session.applyPricePath();
  readFile(session.portfolio());
  session.engine().CalcAllDataSets();
  for (auto _ : state) session.engine().CalcAllDataSets();
}
BENCHMARK(BM_OpenRecalculate)->Unit(benchmark::kMillisecond);

// Writing the portfolio as a save does, into memory.
void BM_OpenWrite(benchmark::State& state) {
  Session session(data().dir.path() + u'/', QLocale::c());
  readFile(session.portfolio());
  const Portfolio& p = session.portfolio();
  for (auto _ : state) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    portfolio_file::write(out, p, WriteLimitAll(p), session.language());
    benchmark::DoNotOptimize(out.size());
  }
}
BENCHMARK(BM_OpenWrite)->Unit(benchmark::kMillisecond);

// A run of `pelmar-cli` with these arguments after "open FILE": its
// processor time against xmllint's, and the peak memory.
void runWhole(benchmark::State& state, const QStringList& extra) {
  data();
  const QStringList args =
      QStringList{QStringLiteral("pelmar-cli"), QStringLiteral("open"), data().file,
                  QStringLiteral("--prices"),   data().prices,          QStringLiteral("--today"),
                  kToday.toString(Qt::ISODate)} +
      extra;
  resetPeakMemory();
  std::vector<double> runs;
  for (auto _ : state) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const double start = cpuSeconds(RUSAGE_SELF);
    const int code = runCli(args, o, e);
    runs.push_back(cpuSeconds(RUSAGE_SELF) - start);
    if (code != 0) state.SkipWithError("open failed");
  }
  std::sort(runs.begin(), runs.end());
  const double median = runs[runs.size() / 2];
  state.counters["cpu_s"] = median;
  state.counters["peak_MB"] = peakMemoryMb();
  state.counters["file_MB"] = QFileInfo(data().file).size() / 1e6;
  state.counters["xmllint_s"] = data().xmllintSeconds;
  if (data().xmllintSeconds > 0)
    state.counters["ratio_to_xmllint"] = median / data().xmllintSeconds;
}

// The whole sequence of `pelmar-cli open`: read, the dataset of today,
// prices, every dataset recalculated twice (by the reader and the open
// command), the listing. Target: within 0.95 of xmllint.
void BM_OpenWhole(benchmark::State& state) {
  runWhole(state, {});
}
BENCHMARK(BM_OpenWhole)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same with the save of the whole portfolio. Target: within 1.3.
void BM_OpenWholeAndSave(benchmark::State& state) {
  runWhole(state, {QStringLiteral("--save"), data().dir.filePath(QStringLiteral("Saved.xml"))});
}
BENCHMARK(BM_OpenWholeAndSave)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
