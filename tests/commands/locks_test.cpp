// One program per portfolio, one writer per price folder, and no lost
// update between a download and a live quote.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <functional>

#include "commands/download.h"
#include "commands/file_commands.h"
#include "commands/portfolio_io.h"
#include "commands/portfolio_lock.h"
#include "commands/quotes.h"
#include "model/file_lock.h"
#include "prices/price_replies.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class PortfolioLocks : public test::PortfolioFixture {
 protected:
  PortfolioLocks() : other(dir.path() + u'/') {
    session.clock().fix(QDate(2024, 6, 12));
    other.clock().fix(QDate(2024, 6, 12));
    other.settings() = session.settings();
    other.applyPricePath();
    file = path("Port/Mine.xml");
    start(QDate(2024, 6, 3));
    addFund("AAA", 1000, 10, 100);
    append(QDate(2024, 6, 5));
    EXPECT_TRUE(SavePortfolio(session, prompter, file, WriteLimitAll(portfolio()), false));
  }

  static bool holds(const QString& file, const QByteArray& name) {
    return test::readFile(file).contains("<RekNaam>" + name);
  }

  test::ScriptedPrompter prompter;
  test::ScriptedPrompter otherPrompter;
  Session other;
  QString file;
};

TEST_F(PortfolioLocks, ASecondProgramIsToldWhoHoldsThePortfolioAndMayOpenItNotAtAll) {
  ASSERT_TRUE(LoadPortfolio(session, prompter, file));
  EXPECT_TRUE(QFileInfo::exists(file + ".lock"));

  otherPrompter.expectQuestion(
      QStringLiteral("The portfolio %1 is in use by ").arg(QDir::toNativeSeparators(file)),
      Answer::No);
  const Outcome opened = LoadPortfolio(other, otherPrompter, file);
  otherPrompter.verify();
  EXPECT_EQ(opened.reason()->id, TextId::PortfolioInUse);
  EXPECT_TRUE(
      opened.reason()
          ->text(other.language())
          .contains(QStringLiteral("(process %1 on ").arg(QCoreApplication::applicationPid())));
  EXPECT_FALSE(other.portfolio().bPortOpened());
}

// Two runs of one portfolio: the second opens read-only and can never save
// over the first's work; the first's change reaches the file.
TEST_F(PortfolioLocks, AReadOnlySecondProgramNeverSavesOverTheFirstsWork) {
  ASSERT_TRUE(LoadPortfolio(session, prompter, file));
  otherPrompter.expectQuestion("Do you want to open it read-only?", Answer::Yes)
      .expectMessage("has been opened read-only");
  ASSERT_TRUE(LoadPortfolio(other, otherPrompter, file));
  EXPECT_TRUE(other.files().caption.endsWith(" (read-only)"));

  other.portfolio().rek().RekNaam = QStringLiteral("Second");
  other.portfolio().markChanged();
  otherPrompter.expectSavePrompt("", SaveChoice::SaveWithNew)
      .expectMessage("has been opened read-only, because");
  EXPECT_EQ(SpeedSaveClick(other, otherPrompter), SaveOutcome::NotSaved);
  otherPrompter.verify();

  session.portfolio().rek().RekNaam = QStringLiteral("First");
  session.portfolio().markChanged();
  prompter.expectSavePrompt("", SaveChoice::SaveWithNew).expectTimedMessage("Datasets written");
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
  EXPECT_TRUE(holds(file, "First"));
  EXPECT_FALSE(holds(file, "Second"));

  // The second keeps its change under another name, and holds that file.
  const QString copy = path("Port/Second.xml");
  otherPrompter.expectSavePrompt("", SaveChoice::SaveWithNew)
      .expectSaveFile(copy)
      .expectTimedMessage("Datasets written");
  ASSERT_TRUE(SaveAsClick(other, otherPrompter));
  EXPECT_TRUE(holds(copy, "Second"));
  EXPECT_TRUE(holds(file, "First"));
  EXPECT_TRUE(QFileInfo::exists(copy + ".lock"));
  EXPECT_FALSE(other.portfolio().bPortChanged());
}

TEST_F(PortfolioLocks, NoSaveGoesOverAFileAnotherProgramHolds) {
  ASSERT_TRUE(LoadPortfolio(session, prompter, file));
  other.portfolio() = session.portfolio();
  otherPrompter.expectMessage("is in use by");
  const Outcome saved =
      SavePortfolio(other, otherPrompter, file, WriteLimitAll(other.portfolio()), false);
  EXPECT_EQ(saved.reason()->cause, TextId::PortfolioInUse);
}

TEST_F(PortfolioLocks, TheLockGoesWithTheProgramAndWithANewPortfolio) {
  {
    Session first(dir.path() + u'/');
    first.settings() = session.settings();
    first.clock().fix(QDate(2024, 6, 12));
    ASSERT_TRUE(LoadPortfolio(first, prompter, file));
  }
  EXPECT_FALSE(QFileInfo::exists(file + ".lock"));
  ASSERT_TRUE(LoadPortfolio(session, prompter, file));
  prompter.expectQuestion("standard currency is the Dollar", Answer::No)
      .expectDate(QDateTime(QDate(2024, 6, 12), QTime()));
  ASSERT_TRUE(SpeedNewClick(session, prompter));
  EXPECT_FALSE(QFileInfo::exists(file + ".lock"));
  ASSERT_TRUE(LoadPortfolio(other, otherPrompter, file)) << "opened without a question";
}

// A program killed with kill -9 leaves its lock file; the next one takes it
// over without asking.
TEST_F(PortfolioLocks, AStaleLockOfAKilledProgramIsTakenOver) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileLock lock(PortfolioLockFile(file));
    if (lock.take() != FileLock::Result::Taken) ::_exit(1);
    ::kill(::getpid(), SIGKILL);
    ::_exit(2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_TRUE(QFileInfo::exists(file + ".lock"));
  ASSERT_TRUE(LoadPortfolio(session, prompter, file));
  EXPECT_TRUE(session.portfolioLock().lock && session.portfolioLock().lock->held());
}

// Writes into the price folder hold its lock for their batch.
TEST_F(PortfolioLocks, OneWriterPerPriceFolder) {
  PriceStore& first = session.prices();
  PriceStore& second = other.prices();
  ASSERT_TRUE(first.openBatch().ok());
  EXPECT_TRUE(first.StorePrices("A", "AAA", {"240603,1.00"}, 0));
  const Outcome waited = second.openBatch(std::chrono::milliseconds(100));
  ASSERT_FALSE(waited.ok());
  EXPECT_EQ(waited.reason()->id, TextId::PriceFolderInUse);
  EXPECT_TRUE(waited.reason()->text(session.language()).contains("try again later"));

  EXPECT_TRUE(first.flushBatch().ok());
  EXPECT_TRUE(second.StorePrices("B", "BBB", {"240603,2.00"}, 0));
  EXPECT_EQ(test::readFile(first.folder() + "240603A.csv"),
            "A,AAA,24/06/03,1.00\r\nB,BBB,24/06/03,2.00\r\n");
}

// A fake price service; `during` runs while the Dutch page is fetched, as a
// quote tick or a command may come from the event loop while a download
// waits for a reply.
struct ServiceDuringDownload : HttpGet {
  HttpReply get(const QString& url) override {
    if (during) std::exchange(during, nullptr)();
    HttpReply reply;
    reply.status = HttpReply::Status::Ok;
    if (url.contains("asml")) reply.body = "240611: 30,10\n240612: 31,20\n";
    return reply;
  }
  std::function<void()> during;
};

struct Log : DownloadMonitor {
  void log(const QString& line) override { lines << line; }
  QStringList lines;
};

// While a download runs the session is busy: a dollar rate that arrives is
// dropped (the next tick brings it) and a second download is refused, so
// the download alone writes the portfolio and today's file.
TEST_F(PortfolioLocks, NothingElseWritesWhileADownloadRuns) {
  session.clock().fix(QDateTime(QDate(2024, 6, 12), QTime(21, 0)));
  ASSERT_TRUE(LoadPortfolio(session, prompter, file));
  session.settings().downloadUsList = false;
  session.settings().dutchSource = "nl-service";
  session.settings().downloadDollarQuote = true;
  const QString folder = session.prices().folder();
  test::writeFile(folder + "Stocks_nl.txt", "ASML Holding,asml,2024-06-10\r\n");
  test::writeFile(folder + "240612A.csv", "Other,OTH,24/06/12,5.00\r\n");
  const Real48 dollar = session.portfolio().DollarKoers();

  ServiceDuringDownload http;
  DollarTickResult tick;
  Log second;
  Outcome refused = Outcome::done();
  http.during = [&] {
    EXPECT_FALSE(QuoteTickAllowed(session, QuoteKind::Dollar));
    DollarRate rate;
    rate.rate = rate.unrounded = 0.9;
    rate.failure = DollarPageFailure::None;
    tick = ApplyDollarRate(session, rate);
    ServiceDuringDownload other;
    refused = DownloadClick(session, other, second);
  };
  Log log;
  ASSERT_TRUE(DownloadClick(session, http, log).ok()) << log.lines.join('\n').toStdString();
  EXPECT_FALSE(tick.arrived);
  EXPECT_EQ(session.portfolio().DollarKoers(), dollar);
  EXPECT_EQ(refused.kind(), Outcome::Kind::Stopped);
  EXPECT_EQ(second.lines,
            QStringList{"A download is running: this can be done once it has finished."});
  EXPECT_EQ(test::readFile(folder + "240612A.csv"),
            "ASML Holding,asml,24/06/12,31.20\r\nOther,OTH,24/06/12,5.00\r\n");
  EXPECT_FALSE(session.busy());
}

// A stock list that cannot be read whole is kept as it is: a download once
// emptied a "Stocks_nl.txt" that held one 17 MB line.
TEST_F(PortfolioLocks, ADownloadKeepsAStockListItCannotRead) {
  const QString folder = session.prices().folder();
  const QByteArray huge = QByteArray(17 * 1024 * 1024, 'x') + ",HUGE,2024-06-10\r\n";
  test::writeFile(folder + "Stocks_nl.txt", huge);
  session.settings().downloadUsList = false;
  ServiceDuringDownload http;
  Log log;
  (void)DownloadClick(session, http, log);
  EXPECT_EQ(QFileInfo(folder + "Stocks_nl.txt").size(), huge.size());
  EXPECT_TRUE(log.lines.join('\n').contains("cannot be read"))
      << log.lines.join('\n').toStdString();
}

}  // namespace
}  // namespace pelmar
