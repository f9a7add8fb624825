#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "commands/download.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class ImportPricesTest : public test::PortfolioFixture {};

TEST_F(ImportPricesTest, StoresEveryCloseAndMovesTheListDate) {
  const QString folder = session.prices().folder();
  test::writeFile(folder + "Stocks_us.txt", "IBM Corp,IBM,2009-03-04\r\n");
  test::writeFile(path("ibm.csv"), "Date;Close\r\n05-03-2009;12,5\r\n2009-03-06;13\r\n");
  test::ScriptedPrompter prompter;
  // 05-03-2009 may be the fifth of March or the third of May: without the
  // order the file is refused, with it read.
  prompter.expectMessage("line 2: the order of day and month does not show from the file");
  EXPECT_TRUE(ImportPrices(session, prompter, "IBM", path("ibm.csv")).isFailure());
  EXPECT_FALSE(QFile::exists(folder + "090305A.csv"));
  prompter.expectMessage("2 prices of IBM imported, the latest of 2009-03-06.");
  TableChoices dayFirst;
  dayFirst.dateOrder = DateOrder::DayMonthYear;
  ASSERT_TRUE(ImportPrices(session, prompter, "IBM", path("ibm.csv"), dayFirst).ok());
  EXPECT_EQ(test::readFile(folder + "090305A.csv"), "IBM Corp (US),IBM,09/03/05,12.5\r\n");
  EXPECT_EQ(test::readFile(folder + "090306A.csv"), "IBM Corp (US),IBM,09/03/06,13\r\n");
  EXPECT_EQ(test::readFile(folder + "Stocks_us.txt"), "IBM Corp,IBM,2009-03-06\r\n");
  EXPECT_DOUBLE_EQ(session.prices().GetFilePrice("ibm", QDate(2009, 3, 9)), 13);
}

TEST_F(ImportPricesTest, ADamagedFileChangesNothing) {
  const QString folder = session.prices().folder();
  test::writeFile(folder + "090305A.csv", "IBM,IBM,09/03/05,1\r\n");
  test::writeFile(path("bad.csv"), "Date,Close\n2009-03-05,12.5\n2009-03-06,twelve\n");
  test::ScriptedPrompter prompter;
  prompter.expectMessage("line 3: \"twelve\" is no price");
  const Outcome outcome = ImportPrices(session, prompter, "IBM", path("bad.csv"));
  ASSERT_TRUE(outcome.isFailure());
  EXPECT_EQ(test::readFile(folder + "090305A.csv"), "IBM,IBM,09/03/05,1\r\n");
  EXPECT_FALSE(QFile::exists(folder + "090306A.csv"));
}

TEST_F(ImportPricesTest, DownloadsAtStartOnlyWhenAskedAndPriceFilesExist) {
  session.settings().downloadAtStart = true;
  EXPECT_FALSE(DownloadAtStart(session));  // an empty price folder
  test::writeFile(session.prices().folder() + "090305A.csv", "IBM,IBM,09/03/05,1\r\n");
  EXPECT_TRUE(DownloadAtStart(session));
  session.settings().downloadAtStart = false;
  EXPECT_FALSE(DownloadAtStart(session));
}

TEST_F(ImportPricesTest, TheMenuCommandAsksTheFileThenTheTickerProposingTheSelectedFund) {
  const QString folder = session.prices().folder();
  test::writeFile(path("asml.csv"), "Close,Date\n31.2,2009-03-13\n");
  test::ScriptedPrompter prompter;
  // Cancelled at either question: nothing stored. No portfolio: no proposal.
  prompter.expectOpenFile(std::nullopt);
  EXPECT_EQ(ImportPricesClick(session, prompter).kind(), Outcome::Kind::Stopped);
  prompter.expectOpenFile(path("asml.csv")).expectInput("Ticker", {true, "  "});
  EXPECT_EQ(ImportPricesClick(session, prompter).kind(), Outcome::Kind::Stopped);
  EXPECT_EQ(prompter.lastInputProposal, "");
  EXPECT_FALSE(QFile::exists(folder + "090313A.csv"));

  // The selected fund's ticker is proposed; held in the portfolio, it is
  // imported without a question.
  start(QDate(2009, 3, 2));
  addFund("ASML", 1000, 10, 100);
  select(0);
  prompter.expectOpenFile(path("asml.csv"))
      .expectInput("Ticker", {true, " ASML "})
      .expectMessage("1 prices of ASML imported");
  EXPECT_TRUE(ImportPricesClick(session, prompter).ok());
  EXPECT_EQ(prompter.lastInputProposal, "ASML");
  EXPECT_EQ(test::readFile(folder + "090313A.csv"), "ASML,ASML,09/03/13,31.2\r\n");
}

// The price folder's names and bytes, as one checksum.
QByteArray folderChecksum(const QString& folder) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  const QDir dir(folder);
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
    hash.addData(name.toUtf8());
    hash.addData(test::readFile(dir.filePath(name)));
  }
  return hash.result().toHex();
}

// Every refusal of the import, in both languages; the price folder is left
// byte for byte.
TEST_F(ImportPricesTest, RefusalsWriteNothing) {
  const QString folder = session.prices().folder();
  session.clock().fix(QDateTime(QDate(2026, 1, 5), QTime(12, 0)));
  test::writeFile(folder + "260102A.csv", "DBG,DBG,26/01/02,7.05\r\n");
  test::writeFile(folder + "Stocks_nl.txt", "DBG Group,DBG,2026-01-02\r\n");
  test::writeFile(path("good.csv"), "Date,Close\n2026-01-02,99.00\n");
  test::writeFile(path("old.csv"), "Date,Close\n2026-01-02,7.05\n1926-01-02,99.00\n");
  test::writeFile(path("wide.csv"), "Date,Close\n2026-01-05,10,5\n");
  {
    QFile big(path("big.csv"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(PriceStore::kMaxFileSize + 1));
  }
  ASSERT_TRUE(QFile::link("/dev/zero", path("zero.csv")));
#ifdef Q_OS_UNIX
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.csv")).constData(), 0600), 0);
#endif
  struct Case {
    const char* name;
    const char* ticker;
    QString file;
    QString english;
    QString dutch;
  };
  const QString shownBig = QDir::toNativeSeparators(path("big.csv"));
  const Case cases[] = {
      {"a ticker with the separator", "AAA,DBG", path("good.csv"),
       "The ticker \"AAA,DBG\" does not fit the price files",
       "De ticker \"AAA,DBG\" past niet in de koersbestanden"},
      {"a ticker with a path", "../DBG", path("good.csv"), "The ticker \"../DBG\" does not fit",
       "De ticker \"../DBG\" past niet"},
      {"a ticker with a line break", "DBG\n", path("good.csv"), "does not fit the price files",
       "past niet in de koersbestanden"},
      {"a century ago", "DBG", path("old.csv"),
       "line 3: 1926-01-02 lies outside the hundred years ending tomorrow",
       "regel 3: 1926-01-02 valt buiten de honderd jaar tot en met morgen"},
      {"a row of more fields", "DBG", path("wide.csv"), "line 2: 3 fields, the heading has 2",
       "regel 2: 3 velden, de kop heeft er 2"},
      {"over the bound", "DBG", path("big.csv"),
       shownBig + " is larger than 16 MB and is not read.",
       shownBig + " is groter dan 16 MB en wordt niet gelezen."},
      {"a link to a device", "DBG", path("zero.csv"), "is not a regular file and is not read.",
       "is geen gewoon bestand en wordt niet gelezen."},
#ifdef Q_OS_UNIX
      {"a FIFO", "DBG", path("fifo.csv"), "is not a regular file and is not read.",
       "is geen gewoon bestand en wordt niet gelezen."},
#endif
  };
  const QByteArray before = folderChecksum(folder);
  for (const Case& c : cases) {
    for (const Language::Code code : {Language::Code::English, Language::Code::Dutch}) {
      session.setLanguage(code);
      test::ScriptedPrompter prompter;
      prompter.expectMessage(code == Language::Code::English ? c.english : c.dutch);
      const Outcome outcome = ImportPrices(session, prompter, c.ticker, c.file);
      EXPECT_TRUE(outcome.isFailure()) << c.name;
      EXPECT_EQ(folderChecksum(folder), before) << c.name;
    }
  }
  EXPECT_DOUBLE_EQ(session.prices().GetFilePrice("DBG", QDate(2026, 1, 2)), 7.05);
}

// A ticker in neither the portfolio nor a list is imported only after Yes;
// No, the default, stores nothing.
TEST_F(ImportPricesTest, AnUnknownTickerAsksFirst) {
  const QString folder = session.prices().folder();
  test::writeFile(folder + "Stocks_nl.txt", "DBG Group,DBG,2026-01-02\r\n");
  test::writeFile(path("xyz.csv"), "Date,Close\n2026-01-02,4.5\n");
  const QByteArray before = folderChecksum(folder);
  test::ScriptedPrompter prompter;
  prompter.expectQuestion("The ticker XYZ is in neither the portfolio nor a stock list",
                          Answer::No);
  EXPECT_EQ(ImportPrices(session, prompter, "XYZ", path("xyz.csv")).kind(), Outcome::Kind::Stopped);
  EXPECT_FALSE(prompter.lastQuestion().yesIsDefault);
  EXPECT_EQ(folderChecksum(folder), before);

  prompter.expectQuestion("XYZ", Answer::Yes).expectMessage("1 prices of XYZ imported");
  EXPECT_TRUE(ImportPrices(session, prompter, "XYZ", path("xyz.csv")).ok());
  EXPECT_EQ(test::readFile(folder + "260102A.csv"), "XYZ,XYZ,26/01/02,4.5\r\n");
}

// Before stored prices change, the count of changed ones (equal closes
// however written are no change) with their first and last day; No, the
// default, leaves every file byte for byte. Nothing to change: no question.
TEST_F(ImportPricesTest, OverwritingStoredPricesAsksWithTheirCount) {
  const QString folder = session.prices().folder();
  session.settings().dateFormat = dateFormatSetting(DateFormat::DayMonthYear);
  test::writeFile(folder + "Stocks_nl.txt", "DBG Group,DBG,06-01-2026\r\n");
  test::writeFile(folder + "260102A.csv", "DBG Group,DBG,26/01/02,7.05\r\n");
  test::writeFile(folder + "260105A.csv", "DBG Group,DBG,26/01/05,7.10\r\nZZ,ZZ,26/01/05,1\r\n");
  test::writeFile(folder + "260106A.csv", "DBG Group,DBG,26/01/06,7.20\r\n");
  test::writeFile(folder + "260107A.csv", "DBG,DBG,26/01/07,9\r\n");  // another name
  test::writeFile(path("dbg.csv"),
                  "Date,Close\n2026-01-02,7.050\n2026-01-05,7.15\n"
                  "2026-01-06,7.25\n2026-01-07,7.30\n2026-01-08,7.35\n");
  const QByteArray before = folderChecksum(folder);
  test::ScriptedPrompter prompter;
  prompter.expectQuestion(
      "Stored prices of DBG that the file changes: 2 (from 05-01-2026 to "
      "06-01-2026).",
      Answer::No);
  EXPECT_EQ(ImportPrices(session, prompter, "DBG", path("dbg.csv")).kind(), Outcome::Kind::Stopped);
  EXPECT_FALSE(prompter.lastQuestion().yesIsDefault);
  EXPECT_EQ(folderChecksum(folder), before);

  prompter.expectQuestion("DBG", Answer::Yes).expectMessage("5 prices of DBG imported");
  ASSERT_TRUE(ImportPrices(session, prompter, "DBG", path("dbg.csv")).ok());
  EXPECT_EQ(test::readFile(folder + "260105A.csv"),
            "DBG Group,DBG,26/01/05,7.15\r\nZZ,ZZ,26/01/05,1\r\n");
  EXPECT_EQ(test::readFile(folder + "Stocks_nl.txt"), "DBG Group,DBG,08-01-2026\r\n");
  prompter.expectMessage("5 prices of DBG imported");
  EXPECT_TRUE(ImportPrices(session, prompter, "DBG", path("dbg.csv")).ok());
}

}  // namespace
}  // namespace pelmar
