#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "model/dates.h"
#include "model/portfolio.h"
#include "prices/price_store.h"
#include "prices/price_update.h"

namespace {

using pelmar::PriceStore;

constexpr int kStocks = 300;
const QDate kFirstDay(2015, 1, 1);
const QDate kLastDay(2024, 12, 31);

QString ticker(int stock) {
  return QStringLiteral("tick%1").arg(stock, 3, 10, QChar(u'0'));
}

// Ten years of weekday price files of 300 stocks each, made once.
const QString& priceFolder() {
  static QTemporaryDir dir;
  static const QString folder = [] {
    for (QDate day = kFirstDay; day <= kLastDay; day = day.addDays(1)) {
      if (day.dayOfWeek() > 5) continue;
      QByteArray bytes;
      const QByteArray date = day.toString(QStringLiteral("yy/MM/dd")).toLatin1();
      for (int stock = 0; stock < kStocks; ++stock) {
        bytes += "Fund number " + QByteArray::number(stock) + ',' + ticker(stock).toLatin1() + ',' +
                 date + ',' + QByteArray::number(10 + stock + day.day() / 100.0) + "\r\n";
      }
      QFile file(dir.path() + u'/' + PriceStore::dayFileName(day));
      if (!file.open(QIODevice::WriteOnly)) std::abort();
      file.write(bytes);
    }
    return dir.path() + u'/';
  }();
  return folder;
}

QDate randomDay(std::mt19937& random) {
  std::uniform_int_distribution<qint64> days(0, kFirstDay.daysTo(kLastDay));
  return kFirstDay.addDays(days(random));
}

// A new store for every look-up: the folder is listed and one file read.
void BM_GetFilePriceCold(benchmark::State& state) {
  const QString& folder = priceFolder();
  std::mt19937 random(1);
  for (auto _ : state) {
    PriceStore store(folder);
    benchmark::DoNotOptimize(store.GetFilePrice(ticker(random() % kStocks), randomDay(random)));
  }
}
BENCHMARK(BM_GetFilePriceCold)->Unit(benchmark::kMicrosecond);

// One store that has read every file already.
void BM_GetFilePriceWarm(benchmark::State& state) {
  PriceStore store(priceFolder());
  for (QDate day = kFirstDay; day <= kLastDay; day = day.addDays(1))
    store.GetFilePrice(ticker(0), day);
  std::mt19937 random(2);
  for (auto _ : state) {
    benchmark::DoNotOptimize(store.GetFilePrice(ticker(random() % kStocks), randomDay(random)));
  }
}
BENCHMARK(BM_GetFilePriceWarm)->Unit(benchmark::kMicrosecond);

// A dataset of 250 funds (one of them in no file) filled from the files;
// argument 0 with a new store each time, 1 with a store kept warm.
void BM_UpdatePricesFromFiles(benchmark::State& state) {
  const bool warm = state.range(0) != 0;
  pelmar::Portfolio portfolio;
  portfolio.setRecordTexts({QStringLiteral("Name"), QStringLiteral("Number"), QStringLiteral("us"),
                            QStringLiteral("[New]")});
  portfolio.NewPortfolio(pelmar::IdentRec(), pelmar::dateToSerial(QDate(2024, 6, 9)));
  for (int stock = 0; stock < 250; ++stock) {
    pelmar::KoersRec fund = portfolio.initialRecords().DefaultKoersRec;
    fund.EndOfSetB = false;
    fund.Ticker = stock == 0 ? QStringLiteral("unknown") : ticker(stock).toUpper();
    portfolio.insertRecord(portfolio.size() - 1, fund);
  }
  PriceStore kept(priceFolder());
  for (auto _ : state) {
    PriceStore fresh(priceFolder());
    pelmar::UpdatePricesFromFiles(portfolio, warm ? kept : fresh,
                                  pelmar::Portfolio::kFirstRekIndex);
  }
}
BENCHMARK(BM_UpdatePricesFromFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
