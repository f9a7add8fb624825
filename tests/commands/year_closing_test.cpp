#include "commands/year_closing.h"

#include <gtest/gtest.h>

#include <QFile>

#include "commands/file_commands.h"
#include "commands/maintenance.h"
#include "commands/portfolio_io.h"
#include "model/portfolio_file.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

DateTime day(int y, int m, int d) {
  return dateToSerial(QDate(y, m, d));
}

// A portfolio in a file: datasets of 15 Nov and 20 Dec 2024 and 10 Jan
// 2025, opened on 3 Feb 2025 (which adds the dataset of today).
class YearClosingTest : public test::PortfolioFixture {
 protected:
  YearClosingTest() {
    session.setSettingsStore(&store);
    file = session.settings().portfolioPath + "Mine-B.xml";
  }

  // Builds the datasets, each dated in `dates`, and saves them as `file`.
  void writeDataSets(const QList<QDate>& dates) {
    start(dates.front());
    addFund("AAA", 1000, 10, 100);
    addFund("BBB", 500, 20, 25);
    for (qsizetype i = 1; i < dates.size(); ++i) {
      next(dates[i]);
      fund(0).Koers = 100.0 + 10.0 * static_cast<double>(i);
      calc();
    }
    ASSERT_TRUE(SavePortfolio(session, prompter, file, WriteLimitAll(portfolio()), false));
  }

  // Opens the file on `today`, answering the year question with `answer`.
  void open(QDate today, std::optional<Answer> answer = Answer::No) {
    session.clock().fix(today);
    if (answer) prompter.expectCheckedQuestion("close the previous year?", {*answer, false});
    ASSERT_TRUE(LoadPortfolio(session, prompter, file));
    prompter.verify();
  }

  static Portfolio readBack(const QString& path) {
    QFile in(path);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << path.toStdString();
    Portfolio read;
    portfolio_file::ReadOptions options;
    options.priceFor = [](const QString&, DateTime) { return 0.0; };
    EXPECT_TRUE(portfolio_file::read(in, read, options).ok()) << path.toStdString();
    return read;
  }

  static QList<QDate> datesOf(const Portfolio& p) {
    QList<QDate> dates;
    for (int i = 0; i < p.size(); ++i)
      if (p.idAt(i) == AlgemeenRec::Id) dates << serialToDate(p.algAt(i).Datum);
    return dates;
  }

  QString port(const QString& name) const { return session.settings().portfolioPath + name; }

  test::ScriptedPrompter prompter;
  MemorySettingsStore store;
  QString file;
};

TEST_F(YearClosingTest, ClosingArchivesEverythingAndStartsTheNewFileWithTheOpeningDataSet) {
  writeDataSets({QDate(2024, 11, 15), QDate(2024, 12, 20), QDate(2025, 1, 10)});
  open(QDate(2025, 2, 3));
  const Portfolio opened = portfolio();
  const int dec20 = Portfolio::kFirstRekIndex + (opened.dataSetEnd(Portfolio::kFirstRekIndex) - 1);

  const QString newFile = port("2025 Portfolio B.xml");
  prompter.expectSaveFile(newFile).expectTimedMessage("Datasets written");
  ASSERT_TRUE(SpeedJaarClick(session, prompter));
  prompter.verify();
  EXPECT_EQ(prompter.lastSaveProposal, newFile);

  // The archive: every dataset, C on 31 Dec and O on 1 Jan, year closed.
  const Portfolio archive = readBack(file);
  EXPECT_EQ(datesOf(archive), (QList<QDate>{{2024, 11, 15},
                                            {2024, 12, 20},
                                            {2024, 12, 31},
                                            {2025, 1, 1},
                                            {2025, 1, 10},
                                            {2025, 2, 3}}));
  EXPECT_TRUE(archive.identAt(0).Flag1 & IdentFlag::JaarAfsl);
  const int c = Portfolio::KoersIndexOf(archive.dataSetEnd(dec20) + 1);
  const int o = Portfolio::KoersIndexOf(archive.dataSetEnd(c - 5) + 1);
  for (int f = 0; f < 3; ++f) {
    const KoersRec& last = opened.koersAt(Portfolio::KoersIndexOf(dec20) + f);
    const KoersRec& closing = archive.koersAt(c + f);
    const KoersRec& opening = archive.koersAt(o + f);
    SCOPED_TRACE(last.Ticker.str().toStdString());
    EXPECT_EQ(closing.Ticker, last.Ticker);
    EXPECT_DOUBLE_EQ(closing.Aantal, last.Aantal);
    EXPECT_DOUBLE_EQ(closing.Koers, last.Koers);
    EXPECT_DOUBLE_EQ(closing.Inleg, 0);
    EXPECT_DOUBLE_EQ(opening.Inleg, Real48(last.Reserve + last.Aantal * last.Koers));
    EXPECT_EQ(opening.CumDatum, day(2025, 1, 1));
    EXPECT_EQ(bool(opening.Flag1 & KoersFlag::Cumulatief), !opening.isPlaceholder());
  }
  EXPECT_TRUE(archive.koersAt(o + 2).isPlaceholder());

  // Memory and the new file begin with O; the year counts from 1 January.
  const Portfolio& p = portfolio();
  EXPECT_EQ(datesOf(p), (QList<QDate>{{2025, 1, 1}, {2025, 1, 10}, {2025, 2, 3}}));
  EXPECT_EQ(datesOf(readBack(newFile)), datesOf(p));
  EXPECT_EQ(p.algAt(Portfolio::kFirstRekIndex - 1).NrOfSet, 1);
  EXPECT_EQ(p.algAt(p.lastRekIndex() - 1).CumDatum, day(2025, 1, 1));
  EXPECT_TRUE(p.atLastSet());
  EXPECT_FALSE(p.bPortChanged());
  EXPECT_TRUE(p.ident().Flag1 & IdentFlag::JaarAfsl);
  EXPECT_EQ(CurrentFileName(session), newFile);
  // The first-dataset rules of the engine keep O's opening investment.
  EXPECT_DOUBLE_EQ(p.koersAt(Portfolio::kFirstKoersIndex).Inleg, archive.koersAt(o).Inleg);

  // Closed once: a second closing is refused.
  prompter.expectMessage("The year has been closed already.");
  EXPECT_TRUE(SpeedJaarClick(session, prompter).isFailure());
}

TEST_F(YearClosingTest, CancellingTheNameLeavesFileAndMemoryAsTheyWere) {
  writeDataSets({QDate(2024, 11, 15), QDate(2024, 12, 20), QDate(2025, 1, 10)});
  open(QDate(2025, 2, 3));
  const QByteArray before = test::readFile(file);
  const int records = portfolio().size();

  prompter.expectSaveFile(std::nullopt).expectMessage("The year has not been closed.");
  EXPECT_EQ(SpeedJaarClick(session, prompter).kind(), Outcome::Kind::Stopped);
  prompter.verify();
  EXPECT_EQ(test::readFile(file), before);
  EXPECT_EQ(portfolio().size(), records);
  EXPECT_FALSE(portfolio().ident().Flag1 & IdentFlag::JaarAfsl);
  EXPECT_EQ(CurrentFileName(session), file);
}

TEST_F(YearClosingTest, TheArchiveIsNeverOverwrittenByTheNewYear) {
  writeDataSets({QDate(2024, 12, 20), QDate(2025, 1, 10)});
  open(QDate(2025, 2, 3));
  prompter.expectSaveFile(file)
      .expectMessage("holds the closed year")
      .expectSaveFile(port("New.xml"))
      .expectTimedMessage("Datasets written");
  ASSERT_TRUE(SpeedJaarClick(session, prompter));
  EXPECT_TRUE(readBack(file).identAt(0).Flag1 & IdentFlag::JaarAfsl);
  EXPECT_EQ(datesOf(readBack(file)).size(), 5);
}

TEST_F(YearClosingTest, OnlyTodaysDataSetInTheNewYearCannotBeClosed) {
  writeDataSets({QDate(2024, 11, 15), QDate(2024, 12, 20)});
  open(QDate(2025, 2, 3));
  const QByteArray before = test::readFile(file);
  prompter.expectMessage("At least one DataSet has to occur in the new year");
  EXPECT_TRUE(SpeedJaarClick(session, prompter).isFailure());
  EXPECT_EQ(test::readFile(file), before);
}

// A file that spans three years is closed one year after the other without
// reopening it; once the first dataset lies in the newest year the flag
// holds, until the maintenance window clears it.
TEST_F(YearClosingTest, ASpanOfYearsIsClosedOneYearAfterTheOther) {
  writeDataSets({QDate(2023, 12, 1), QDate(2024, 1, 10), QDate(2025, 1, 10)});
  open(QDate(2025, 2, 3));
  prompter.expectSaveFile(port("First.xml")).expectTimedMessage("Datasets written");
  ASSERT_TRUE(SpeedJaarClick(session, prompter));
  EXPECT_EQ(datesOf(portfolio()).front(), QDate(2024, 1, 1));

  prompter.expectSaveFile(port("Second.xml")).expectTimedMessage("Datasets written");
  ASSERT_TRUE(SpeedJaarClick(session, prompter));
  EXPECT_EQ(datesOf(portfolio()), (QList<QDate>{{2025, 1, 1}, {2025, 1, 10}, {2025, 2, 3}}));
  EXPECT_EQ(datesOf(readBack(port("First.xml"))).size(), 6);

  prompter.expectMessage("closed already");
  EXPECT_TRUE(SpeedJaarClick(session, prompter).isFailure());
  ASSERT_TRUE(SetMaintenanceFlag(session, MaintenanceFlag::JaarAfsl, false));
  prompter.expectMessage("At least one DataSet has to occur in the new year");
  EXPECT_TRUE(SpeedJaarClick(session, prompter).isFailure());
}

TEST_F(YearClosingTest, TheQuestionAtOpeningComesOnceAYearAndCanBeSwitchedOff) {
  writeDataSets({QDate(2024, 11, 15), QDate(2025, 1, 10)});
  // Yes closes the year at once; the new file, opened the same year, asks nothing.
  session.clock().fix(QDate(2025, 2, 3));
  prompter.expectCheckedQuestion("Pelmar - Closing the year", {Answer::Yes, false})
      .expectSaveFile(port("2025 Portfolio B.xml"))
      .expectTimedMessage("Datasets written");
  ASSERT_TRUE(LoadPortfolio(session, prompter, file));
  EXPECT_FALSE(portfolio().bPortChanged());
  file = port("2025 Portfolio B.xml");
  open(QDate(2025, 12, 30), std::nullopt);
  // A year later the flag is cleared and the question comes again; the
  // check box switches it off for good.
  open(QDate(2026, 1, 5), Answer::No);
  prompter.expectCheckedQuestion("close the previous year?", {Answer::No, true});
  ASSERT_TRUE(LoadPortfolio(session, prompter, file));
  EXPECT_TRUE(session.settings().hideYearClosingWarning);
  EXPECT_EQ(store.value("Defaults", "YN Niet OpnieuwTonen").toInt(), 1);
  open(QDate(2026, 1, 5), std::nullopt);
}

TEST_F(YearClosingTest, ANewPortfolioIsSavedBeforeItsYearIsClosed) {
  start(QDate(2024, 12, 1));
  prompter.expectMessage("Save it first");
  EXPECT_TRUE(SpeedJaarClick(session, prompter).isFailure());
}

TEST_F(YearClosingTest, TheNewNameTakesTheSuffixOfThePresentFile) {
  test::writeFile(port("2025 Portfolio C.xml"), "taken");
  test::writeFile(port("2025 Portfolio 9.xml"), "taken");
  const struct {
    const char* present;
    const char* expected;
  } rows[] = {{"Mine-B.xml", "2025 Portfolio D"}, {"mine-b.xml", "2025 Portfolio D"},
              {"Old.xml", "2025 Portfolio D"},    {"Port_.xml", "2025 Portfolio A"},
              {"Port8.xml", "2025 Portfolio 8"},  {"Port9.xml", "2025 Portfolio A"}};
  test::writeFile(port("2025 Portfolio B.xml"), "taken");
  for (const auto& row : rows)
    EXPECT_EQ(NewYearPortfolioName(session, port(row.present), 2025), row.expected) << row.present;
}

}  // namespace
}  // namespace pelmar
