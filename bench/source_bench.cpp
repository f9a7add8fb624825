#include <benchmark/benchmark.h>

#include <QDate>
#include <QJsonDocument>
#include <QTimeZone>
#include <QXmlStreamReader>

#include "prices/chart_source.h"
#include "prices/price_table.h"
#include "prices/reference_rates.h"

// What reading a whole history costs: the central bank's rate file since
// 1999, 25 years of daily closes as a chart reply and as a CSV export. Each
// is set against a yardstick measured in the same run: the XML and JSON
// readers of Qt going through the same bytes without taking anything out,
// and the CSV decoded and split into lines and fields.

namespace {

using namespace pelmar;

const QDate kFirst(1999, 1, 4);
const QDate kLast(2024, 12, 31);

std::vector<QDate> workingDays() {
  std::vector<QDate> days;
  for (QDate d = kFirst; d <= kLast; d = d.addDays(1))
    if (d.dayOfWeek() <= 5) days.push_back(d);
  return days;
}

const QByteArray& rateHistory() {
  static const QByteArray xml = [] {
    QByteArray x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gesmes:Envelope "
        "xmlns:gesmes=\"http://www.gesmes.org/xml/2002-08-01\" "
        "xmlns=\"http://www.ecb.int/vocabulary/2002-08-01/eurofxref\">\n<Cube>\n";
    const std::vector<QDate> days = workingDays();
    for (auto it = days.rbegin(); it != days.rend(); ++it) {
      x += "<Cube time=\"" + it->toString(Qt::ISODate).toLatin1() + "\">";
      for (int c = 0; c < 30; ++c)
        x += "<Cube currency=\"" + (c == 0 ? QByteArray("USD") : "C" + QByteArray::number(c)) +
             "\" rate=\"1." + QByteArray::number(1000 + c) + "\"/>";
      x += "</Cube>\n";
    }
    return x + "</Cube>\n</gesmes:Envelope>\n";
  }();
  return xml;
}

const QByteArray& chartHistory() {
  static const QByteArray json = [] {
    QByteArray times, closes;
    for (const QDate& day : workingDays()) {
      times +=
          QByteArray::number(QDateTime(day, QTime(14, 30), QTimeZone::utc()).toSecsSinceEpoch()) +
          ',';
      closes += QByteArray::number(100 + day.dayOfYear() * 0.25, 'f', 6) + ',';
    }
    times.chop(1);
    closes.chop(1);
    return "{\"chart\":{\"result\":[{\"meta\":{\"currency\":\"USD\",\"exchangeTimezoneName\":"
           "\"America/New_York\",\"gmtoffset\":-18000},\"timestamp\":[" +
           times + "],\"indicators\":{\"quote\":[{\"close\":[" + closes + "]}]}}],\"error\":null}}";
  }();
  return json;
}

const QByteArray& csvHistory() {
  static const QByteArray csv = [] {
    QByteArray c = "Date,Open,High,Low,Close,Adj Close,Volume\n";
    for (const QDate& day : workingDays()) {
      const QByteArray price = QByteArray::number(100 + day.dayOfYear() * 0.25, 'f', 6);
      c += day.toString(Qt::ISODate).toLatin1() + ',' + price + ',' + price + ',' + price + ',' +
           price + ',' + price + ",1234567\n";
    }
    return c;
  }();
  return csv;
}

void BM_ParseReferenceRates(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ParseReferenceRates(rateHistory()));
}
BENCHMARK(BM_ParseReferenceRates)->Unit(benchmark::kMillisecond);

void BM_XmlStreamYardstick(benchmark::State& state) {
  for (auto _ : state) {
    QXmlStreamReader reader(rateHistory());
    while (!reader.atEnd()) reader.readNext();
    benchmark::DoNotOptimize(reader.lineNumber());
  }
}
BENCHMARK(BM_XmlStreamYardstick)->Unit(benchmark::kMillisecond);

void BM_ParseChartReply(benchmark::State& state) {
  const QDateTime now(kLast.addDays(1), QTime(12, 0), QTimeZone::utc());
  for (auto _ : state)
    benchmark::DoNotOptimize(ParseChartReply(chartHistory(), "h", "S", kFirst, now));
}
BENCHMARK(BM_ParseChartReply)->Unit(benchmark::kMillisecond);

void BM_JsonYardstick(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(QJsonDocument::fromJson(chartHistory()));
}
BENCHMARK(BM_JsonYardstick)->Unit(benchmark::kMillisecond);

void BM_ReadPriceTable(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ReadPriceTable(csvHistory(), "h.csv", kLast));
}
BENCHMARK(BM_ReadPriceTable)->Unit(benchmark::kMillisecond);

void BM_CsvSplitYardstick(benchmark::State& state) {
  for (auto _ : state) {
    qsizetype fields = 0;
    for (const QString& line : QString::fromUtf8(csvHistory()).split(u'\n'))
      fields += line.split(u',').size();
    benchmark::DoNotOptimize(fields);
  }
}
BENCHMARK(BM_CsvSplitYardstick)->Unit(benchmark::kMillisecond);

}  // namespace
