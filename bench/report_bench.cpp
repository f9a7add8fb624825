#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "cli/headless_prompter.h"
#include "commands/file_commands.h"
#include "commands/portfolio_io.h"
#include "commands/report_commands.h"
#include "commands/session.h"
#include "model/portfolio_file.h"
#include "reports/actions_report.h"
#include "reports/portfolio_report.h"
#include "reports/rtf_writer.h"

// The overviews of the near-limit portfolio (150 funds, 400 weekly
// datasets, made by /work/shared/tools/perf_case.py or PELMAR_PERF_CASE),
// built and written as rich text. Yardstick in the same run: the whole
// portfolio file written to memory.

namespace {

using namespace pelmar;

struct ReportData {
  QTemporaryDir dir;
  std::unique_ptr<Session> session;
  bool ok = false;

  ReportData() {
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    QString maker = qEnvironmentVariable("PELMAR_PERF_CASE");
    if (maker.isEmpty()) maker = QStringLiteral("/work/shared/tools/perf_case.py");
    QProcess make;
    make.start(QStringLiteral("python3"), {maker, dir.filePath(QStringLiteral("case"))});
    if (!make.waitForFinished(600000) || make.exitCode() != 0) return;
    session = std::make_unique<Session>(dir.path() + u'/', QLocale::c());
    session->setLanguage(Language::Code::English);
    session->clock().fix(QDate(2026, 11, 30));
    session->settings().pricePath = dir.filePath(QStringLiteral("case/prices/"));
    session->applyPricePath();
    ok = LoadPortfolio(*session, *headlessPrompter(), dir.filePath(QStringLiteral("case/big.xml")))
             .ok();
  }
  static Prompter* headlessPrompter();
};

// Opening the generated file asks no question; the headless prompter would
// answer one as the command-line tool does.
Prompter* ReportData::headlessPrompter() {
  static QTextStream err(stderr);
  static HeadlessPrompter prompter(err);
  return &prompter;
}

ReportData& data() {
  static ReportData instance;
  return instance;
}

void PortfolioReportRtf(benchmark::State& state) {
  if (!data().ok) return state.SkipWithError("the near-limit portfolio could not be made");
  Session& s = *data().session;
  const ReportContext context = ReportContextOf(s);
  for (auto _ : state) {
    const QByteArray rtf =
        WriteRtf(PortfolioReport(s.portfolio(), s.portfolio().FirstRekIndex(), context));
    benchmark::DoNotOptimize(rtf.data());
  }
}
BENCHMARK(PortfolioReportRtf)->Unit(benchmark::kMillisecond);

void ActionsReportRtf(benchmark::State& state) {
  if (!data().ok) return state.SkipWithError("the near-limit portfolio could not be made");
  Session& s = *data().session;
  const ReportContext context = ReportContextOf(s);
  for (auto _ : state) {
    const QByteArray rtf = WriteRtf(ActionsReport(s.portfolio(), context));
    benchmark::DoNotOptimize(rtf.data());
  }
}
BENCHMARK(ActionsReportRtf)->Unit(benchmark::kMillisecond);

void Yardstick_PortfolioFileToMemory(benchmark::State& state) {
  if (!data().ok) return state.SkipWithError("the near-limit portfolio could not be made");
  const Portfolio& p = data().session->portfolio();
  for (auto _ : state) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    portfolio_file::write(buffer, p, WriteLimitAll(p), data().session->language());
    benchmark::DoNotOptimize(buffer.data().data());
  }
}
BENCHMARK(Yardstick_PortfolioFileToMemory)->Unit(benchmark::kMillisecond);

}  // namespace
