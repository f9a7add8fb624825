// Charts: building and drawing ten years of daily prices (about 2,600 price
// days) for each of the five chart kinds, against a yardstick in the same run:
// filling the same image and sorting the same number of values.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

#include "commands/charts.h"
#include "commands/session.h"
#include "model/dates.h"
#include "rendering/chart_painter.h"

namespace {

using namespace pelmar;

constexpr int kDays = 3652;
const QSize kSize(900, 560);

void ensureGui() {
  static std::unique_ptr<QGuiApplication> app;
  if (app) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "pelmar_bench";
  static char* argv[] = {name, nullptr};
  app = std::make_unique<QGuiApplication>(argc, argv);
}

// Ten years of daily price files for five funds and a portfolio holding them.
struct ChartData {
  QTemporaryDir dir;
  std::unique_ptr<Session> session;
  ChartData() {
    session = std::make_unique<Session>(dir.path() + '/');
    session->settings().pricePath = dir.path() + "/Prices/";
    QDir().mkpath(session->settings().pricePath);
    session->applyPricePath();
    const QDate end(2026, 3, 2);
    for (QDate d = end.addDays(-kDays); d <= end; d = d.addDays(1)) {
      if (d.dayOfWeek() > 5) continue;
      QByteArray text;
      for (int f = 0; f < 5; ++f)
        text += QStringLiteral("Fund %1,F%1,%2,%3\r\n")
                    .arg(f)
                    .arg(d.toString("yy/MM/dd"))
                    .arg(10 + f + (d.dayOfYear() % 50) / 10.0)
                    .toLatin1();
      QFile file(session->settings().pricePath + PriceStore::dayFileName(d));
      (void)file.open(QIODevice::WriteOnly);
      file.write(text);
    }
    // Files written within the last two seconds are re-read by every refresh
    // (their stamp cannot yet be trusted); stamp them a day old, as files of
    // earlier downloads are, so the timed runs measure the chart.
    namespace fs = std::filesystem;
    const fs::path folder(session->settings().pricePath.toStdString());
    const auto dayAgo = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      fs::last_write_time(entry.path(), dayAgo);
    fs::last_write_time(folder, dayAgo);
    Portfolio& p = session->portfolio();
    p.NewPortfolio(IdentRec{}, dateToSerial(end.addDays(-kDays)));
    for (int f = 4; f >= 0; --f) {
      KoersRec fund = p.initialRecords().DefaultKoersRec;
      fund.Ticker = QStringLiteral("F%1").arg(f);
      fund.Aantal = 100;
      fund.Koers = 10;
      (void)p.insertRecord(p.FirstKoersIndex(), fund);
    }
    int rek = p.FirstRekIndex(), koers = p.FirstKoersIndex();
    (void)p.appendDataSet(rek, koers, dateToSerial(end), qint32(kDays));
    p.goToDataSet(rek);
    p.markOpened();
    session->settings().chartDays = kDays;
  }
};

ChartData& data() {
  static ChartData d;
  return d;
}

void BM_ChartBuildAndDraw(benchmark::State& state) {
  ensureGui();
  Session& session = *data().session;
  const ChartKind kind = ChartKind(state.range(0));
  for (auto _ : state) {
    ChartState chart;
    ShowChart(session, chart, kind, QStringLiteral("F0"));
    const QImage image = RenderChart(ChartPictureOf(session, chart), kSize);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_ChartBuildAndDraw)->DenseRange(1, 5)->Unit(benchmark::kMillisecond);

// The two halves apart: building the series and drawing a built one.
void BM_ChartBuild(benchmark::State& state) {
  Session& session = *data().session;
  const ChartKind kind = ChartKind(state.range(0));
  for (auto _ : state) {
    ChartState chart;
    ShowChart(session, chart, kind, QStringLiteral("F0"));
    benchmark::DoNotOptimize(chart.series.data());
  }
}
BENCHMARK(BM_ChartBuild)->DenseRange(1, 5)->Unit(benchmark::kMillisecond);

void BM_ChartDraw(benchmark::State& state) {
  ensureGui();
  Session& session = *data().session;
  ChartState chart;
  ShowChart(session, chart, ChartKind(state.range(0)), QStringLiteral("F0"));
  for (auto _ : state) {
    const QImage image = RenderChart(ChartPictureOf(session, chart), kSize);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_ChartDraw)->DenseRange(1, 5)->Unit(benchmark::kMillisecond);

// The yardstick: an image of the same size filled and as many values sorted.
void BM_ChartYardstick(benchmark::State& state) {
  std::vector<double> values(kDays);
  for (auto _ : state) {
    QImage image(kSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int i = 0; i < kDays; ++i) values[i] = double((i * 7919) % kDays);
    std::sort(values.begin(), values.end());
    benchmark::DoNotOptimize(image.constBits());
    benchmark::DoNotOptimize(values.data());
  }
}
BENCHMARK(BM_ChartYardstick)->Unit(benchmark::kMillisecond);

}  // namespace
