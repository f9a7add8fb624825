#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

// The tool run as a process: a chart needs the GUI application its own
// entry point makes.
int runChart(const QStringList& args, QString* out = nullptr) {
  QProcess tool;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  tool.setProcessEnvironment(env);
  tool.start(PELMAR_CLI_PATH, QStringList{"chart"} + args);
  tool.waitForFinished(60000);
  if (out) *out = QString::fromUtf8(tool.readAllStandardOutput());
  return tool.exitCode();
}

QStringList example(const QString& kind, const QString& ticker = {}) {
  const QString data = QStringLiteral(PELMAR_SOURCE_DIR "/data/");
  QStringList args{kind};
  if (!ticker.isEmpty()) args << ticker;
  return args + QStringList{"--portfolio", data + "Port/Test-1.xml",
                            "--prices",    data + "Prices",
                            "--today",     "2026-03-02",
                            "--lang",      "en"};
}

// The same data drawn twice gives the same pixels, and the drawing holds the
// series' blue and the mean's red.
TEST(ChartVerb, DrawsTheSameChartPixelForPixel) {
  QTemporaryDir dir;
  const QString a = dir.filePath("a.png");
  const QString b = dir.filePath("b.png");
  QString caption;
  ASSERT_EQ(runChart(example("price", "DBG") + QStringList{"--png", a}, &caption), 0);
  EXPECT_EQ(caption, "DBG (Deltabouw Groep)\n");
  ASSERT_EQ(runChart(example("price", "DBG") + QStringList{"--png", b}), 0);
  const QImage first(a);
  const QImage second(b);
  ASSERT_EQ(first.size(), QSize(900, 560));
  EXPECT_TRUE(first == second);
  bool blue = false;
  bool red = false;
  for (int y = 0; y < first.height(); ++y)
    for (int x = 0; x < first.width(); ++x) {
      blue |= first.pixel(x, y) == qRgb(0, 0, 255);
      red |= first.pixel(x, y) == qRgb(255, 0, 0);
    }
  EXPECT_TRUE(blue);
  EXPECT_TRUE(red);
}

// The series of at least 21 days, or exit code 7 for a ticker without any
// price: nothing to plot.
TEST(ChartVerb, WritesTheSeriesOrSaysThereIsNothingToPlot) {
  QTemporaryDir dir;
  const QString csv = dir.filePath("v.csv");
  ASSERT_EQ(runChart(example("portfolio-value") + QStringList{"--days", "5", "--csv", csv}), 0);
  EXPECT_EQ(test::readFile(csv).count("\r\n"), 22);
  EXPECT_EQ(runChart(example("price", "NOPE") + QStringList{"--csv", csv}), 7);
}

}  // namespace
}  // namespace pelmar
