// pelmar-cli and the safe write path: a full disk, a read-only target, two
// programs on one portfolio or one price folder, and kill -9 while saving.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "cli/exit_codes.h"
#include "cli_run.h"
#include "commands/file_commands.h"
#include "model/portfolio_file.h"
#include "support/full_disk.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

using test::CliRun;

const QString kExample = QStringLiteral(PELMAR_SOURCE_DIR "/data/Port/Test-1.xml");

void copyExample(const QString& to) {
  test::writeFile(to, test::readFile(kExample));
}

// The tool as a program of its own.
QProcess* startCli(const QStringList& args, QObject* parent = nullptr) {
  auto* tool = new QProcess(parent);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  tool->setProcessEnvironment(env);
  tool->start(QStringLiteral(PELMAR_CLI_PATH), args);
  return tool;
}

CliRun runCliProcess(const QStringList& args) {
  QProcess* tool = startCli(args);
  tool->waitForFinished(120000);
  CliRun run{tool->exitStatus() == QProcess::NormalExit ? tool->exitCode() : -1,
             QString::fromUtf8(tool->readAllStandardOutput()),
             QString::fromUtf8(tool->readAllStandardError())};
  delete tool;
  return run;
}

// Whether the file reads as a whole portfolio.
bool readsWhole(const QString& path) {
  QFile in(path);
  if (!in.open(QIODevice::ReadOnly)) return false;
  Portfolio read;
  portfolio_file::ReadOptions options;
  options.priceFor = [](const QString&, DateTime) { return 0.0; };
  return portfolio_file::read(in, read, options).ok();
}

class CliWriteSafety : public ::testing::Test {
 protected:
  QString file(const QString& name) const { return dir.filePath(name); }
  QStringList runArgs(const QString& portfolio, const QString& steps, const QString& saveAs) {
    test::writeFile(file("steps.txt"), steps.toUtf8());
    return {"run",      portfolio,      "--script", file("steps.txt"),
            "--prices", file("Prices"), "--today",  "2026-01-08",
            "--lang",   "en",           "--save",   saveAs};
  }
  QTemporaryDir dir;
};

// The report: "2 Datasets written.", exit 0, and the portfolio and
// its ".bak" at 0 bytes. Now: exit 4, the reason, both files as they were.
TEST_F(CliWriteSafety, ASaveOnAFullDiskExitsFourWithTheReasonAndKeepsBothFiles) {
  test::FullDisk disk(4096);
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  QDir().mkpath(file("Prices"));
  copyExample(disk.path("Test-1.xml"));
  test::writeFile(disk.path("Test-1.bak"), "the previous backup");
  const CliRun made = test::runCliWith({"new", disk.path("Small.xml"), "--today", "2026-01-08"});
  ASSERT_EQ(made.code, kDone) << made.err.toStdString();
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();

  for (const QString& name : {QStringLiteral("Test-1.xml"), QStringLiteral("Small.xml")}) {
    const CliRun run = test::runCliWith(
        runArgs(disk.path(name), "account 1 RekNaam Renamed\naccount apply\n", disk.path(name)));
    EXPECT_EQ(run.code, kNotSaved) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("Datasets written")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("has not been saved")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("The disk is full.")) << run.err.toStdString();
  }
  EXPECT_EQ(disk.files(), before);
}

TEST_F(CliWriteSafety, ReportsAndChartsOnAFullDiskExitFourAndKeepThePreviousFiles) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  test::writeFile(disk.path("Review.pdf"), "%PDF the previous review");
  test::writeFile(disk.path("Review.rtf"), "{\\rtf1 the previous review}");
  test::writeFile(disk.path("Chart.png"), "the previous chart");
  test::writeFile(disk.path("Chart.csv"), "the previous export");
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();
  const QString data = QStringLiteral(PELMAR_SOURCE_DIR "/data/");
  const QStringList common{"--prices", data + "Prices", "--today", "2026-03-02", "--lang", "en"};

  for (const char* out : {"Review.pdf", "Review.rtf"}) {
    const CliRun report = runCliProcess(
        QStringList{"report", "portfolio", kExample, "--out", disk.path(out)} + common);
    EXPECT_EQ(report.code, kNotSaved) << out << report.err.toStdString();
    EXPECT_TRUE(report.err.contains("The disk is full.")) << report.err.toStdString();
  }
  const CliRun chart = runCliProcess(QStringList{"chart", "price", "DBG", "--portfolio", kExample,
                                                 "--png", disk.path("Chart.png")} +
                                     common);
  EXPECT_EQ(chart.code, kNotSaved) << chart.err.toStdString();
  EXPECT_TRUE(chart.err.contains("The disk is full.")) << chart.err.toStdString();
  const CliRun csv = runCliProcess(QStringList{"chart", "price", "DBG", "--portfolio", kExample,
                                               "--csv", disk.path("Chart.csv")} +
                                   common);
  EXPECT_EQ(csv.code, kNotSaved) << csv.err.toStdString();
  EXPECT_EQ(disk.files(), before);
}

TEST_F(CliWriteSafety, AReadOnlyPortfolioIsNotReplaced) {
  QDir().mkpath(file("Prices"));
  copyExample(file("Mine.xml"));
  QFile::setPermissions(file("Mine.xml"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
  const QByteArray old = test::readFile(file("Mine.xml"));
  const CliRun run = test::runCliWith(runArgs(file("Mine.xml"), "", file("Mine.xml")));
  EXPECT_EQ(run.code, kNotSaved);
  EXPECT_TRUE(run.err.contains("has been made read-only and is not replaced"))
      << run.err.toStdString();
  EXPECT_EQ(test::readFile(file("Mine.xml")), old);
}

// The desktop program (a session here) holds the portfolio: the tool opens it
// read-only to print it, and refuses to save over it.
TEST_F(CliWriteSafety, TheToolNeverSavesOverAPortfolioTheProgramHasOpen) {
  QDir().mkpath(file("Prices"));
  copyExample(file("Mine.xml"));
  const QByteArray old = test::readFile(file("Mine.xml"));
  Session desktop(dir.path() + u'/');
  desktop.settings().pricePath = file("Prices/");
  desktop.applyPricePath();
  desktop.clock().fix(QDate(2026, 1, 8));
  desktop.settings().hideYearClosingWarning = true;
  test::ScriptedPrompter prompter;
  ASSERT_TRUE(LoadPortfolio(desktop, prompter, file("Mine.xml")));

  const CliRun save = runCliProcess(runArgs(file("Mine.xml"), "", file("Mine.xml")));
  EXPECT_EQ(save.code, kInUse) << save.err.toStdString();
  EXPECT_TRUE(save.err.contains("is in use by")) << save.err.toStdString();
  EXPECT_EQ(test::readFile(file("Mine.xml")), old);

  const CliRun show = runCliProcess({"open", file("Mine.xml"), "--prices", file("Prices"),
                                     "--today", "2026-01-08", "--lang", "en"});
  EXPECT_EQ(show.code, kDone) << show.err.toStdString();
  EXPECT_TRUE(show.err.contains("has been opened read-only")) << show.err.toStdString();
  EXPECT_TRUE(show.out.contains("Portfolio:")) << show.out.toStdString();
}

// Two runs that save one portfolio at once: each either saved its change,
// which is then in the file, or was refused as in use (exit 8).
TEST_F(CliWriteSafety, TwoRunsOnOnePortfolioLoseNeitherChange) {
  QDir().mkpath(file("Prices"));
  copyExample(file("Mine.xml"));
  test::writeFile(file("first.txt"), "account 1 RekNaam FirstOne\naccount apply\n");
  test::writeFile(file("second.txt"), "account 2 RekNaam SecondOne\naccount apply\n");
  QList<QProcess*> tools;
  for (const char* steps : {"first.txt", "second.txt"}) {
    tools << startCli({"run", file("Mine.xml"), "--script", file(steps), "--prices", file("Prices"),
                       "--today", "2026-01-08", "--lang", "en", "--save", file("Mine.xml")});
  }
  int saved = 0;
  const QByteArray text = [&] {
    for (QProcess* tool : tools) tool->waitForFinished(120000);
    return test::readFile(file("Mine.xml"));
  }();
  for (int i = 0; i < 2; ++i) {
    const int code = tools[i]->exitCode();
    const QByteArray name = i == 0 ? "FirstOne" : "SecondOne";
    EXPECT_TRUE(code == kDone || code == kInUse)
        << code << tools[i]->readAllStandardError().toStdString();
    if (code == kDone) {
      ++saved;
      EXPECT_TRUE(text.contains(name)) << name.toStdString() << " was reported saved";
    }
    delete tools[i];
  }
  EXPECT_GE(saved, 1);
  EXPECT_TRUE(readsWhole(file("Mine.xml")));
}

// Two imports into one price folder at once: the second waits for the
// first's batch, and every day file holds both stocks.
TEST_F(CliWriteSafety, TwoImportsIntoOnePriceFolderKeepBothStocks) {
  QDir().mkpath(file("Prices"));
  QByteArray csv = "Date,Close\n";
  for (QDate day(2023, 1, 2); day < QDate(2024, 1, 1); day = day.addDays(1))
    if (day.dayOfWeek() <= 5) csv += day.toString(Qt::ISODate).toLatin1() + ",10.5\n";
  test::writeFile(file("prices.csv"), csv);
  const int days = csv.count('\n') - 1;
  QList<QProcess*> tools;
  for (const char* ticker : {"AAA", "BBB"}) {
    const QString own = file(QStringLiteral("%1.xml").arg(ticker));
    copyExample(own);
    test::writeFile(file(QStringLiteral("%1.txt").arg(ticker)),
                    // Yes to the question of a ticker in no list.
                    QStringLiteral("answer yes\nimport-prices %1 %2\n")
                        .arg(ticker, file("prices.csv"))
                        .toUtf8());
    tools << startCli({"run", own, "--script", file(QStringLiteral("%1.txt").arg(ticker)),
                       "--prices", file("Prices"), "--today", "2024-01-08", "--lang", "en"});
  }
  for (QProcess* tool : tools) {
    tool->waitForFinished(180000);
    const QString err = QString::fromUtf8(tool->readAllStandardError());
    EXPECT_EQ(tool->exitCode(), kDone) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("%1 prices of").arg(days))) << err.toStdString();
    delete tool;
  }
  const QStringList files = QDir(file("Prices")).entryList({"*A.csv"}, QDir::Files);
  EXPECT_EQ(files.size(), days);
  int both = 0;
  for (const QString& name : files) {
    const QByteArray text = test::readFile(file("Prices/" + name));
    both += text.contains(",AAA,") && text.contains(",BBB,") ? 1 : 0;
  }
  EXPECT_EQ(both, days);
}

// kill -9 at any moment of a save leaves the previous version or the new
// one, whole and readable, and the next run takes the dead run's lock over.
TEST_F(CliWriteSafety, KillNineWhileSavingLeavesAWholeReadableFile) {
  QDir().mkpath(file("Prices"));
  copyExample(file("Mine.xml"));
  const QStringList args{"open",    file("Mine.xml"), "--prices", file("Prices"),
                         "--today", "2026-01-08",     "--lang",   "en",
                         "--save",  file("Mine.xml")};
  QElapsedTimer timer;
  timer.start();
  ASSERT_EQ(runCliProcess(args).code, kDone);
  const qint64 whole = timer.elapsed();
  for (int step = 0; step <= 24; ++step) {
    QProcess* tool = startCli(args);
    ASSERT_TRUE(tool->waitForStarted());
    QThread::msleep(static_cast<unsigned long>(whole * step / 24));
    tool->kill();
    tool->waitForFinished();
    delete tool;
    EXPECT_TRUE(readsWhole(file("Mine.xml"))) << "killed after " << whole * step / 24 << " ms";
    if (QFileInfo::exists(file("Mine.bak"))) {
      EXPECT_TRUE(readsWhole(file("Mine.bak"))) << "killed after " << whole * step / 24 << " ms";
    }
  }
  const CliRun after = runCliProcess(args);
  EXPECT_EQ(after.code, kDone) << after.err.toStdString();
}

}  // namespace
}  // namespace pelmar
