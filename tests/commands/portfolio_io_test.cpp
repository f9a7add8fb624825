#include "commands/portfolio_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <csignal>

#include "commands/report_commands.h"
#include "model/dates.h"
#include "model/portfolio_file.h"
#include "prices/price_store.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class PortfolioFilesTest : public test::PortfolioFixture {
 protected:
  PortfolioFilesTest() {
    session.clock().fix(QDate(2024, 6, 12));  // a Wednesday
    session.trace().setEnabled(true);
    session.trace().LogInit(path(QStringLiteral("trace")));
  }

  // A euro portfolio with the fund "AAA" on 2024-06-03 and 2024-06-05.
  void makePortfolio() {
    start(QDate(2024, 6, 3));
    account(1).RekNaam = QStringLiteral("R&D");
    account(2).RekNaam = QStringLiteral("Rek 2");
    addFund("AAA", 0, 5, 12.34).Valuta = QStringLiteral("US$");
    append(QDate(2024, 6, 5));
  }

  // The portfolio in memory as the file would hold it.
  QByteArray image() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    portfolio_file::write(buffer, portfolio(), WriteLimitAll(portfolio()), session.language());
    return buffer.data();
  }

  Outcome save(const QString& name, int limit = -1, bool showMessage = false) {
    return SavePortfolio(session, prompter, path(name),
                         limit < 0 ? WriteLimitAll(portfolio()) : limit, showMessage);
  }
  Outcome read(const QString& fileName, const ReadProgress& progress = {}) {
    return ReadXMLFile(session, prompter, fileName, progress);
  }

  QString traceText() { return QString::fromUtf8(test::readFile(session.trace().fileName())); }

  test::ScriptedPrompter prompter;
};

TEST_F(PortfolioFilesTest, APortfolioSavedInDutchOpensInEnglishWithTheDataSetOfToday) {
  makePortfolio();
  session.setLanguage(Language::Code::Dutch);
  prompter.expectTimedMessage(QStringLiteral("2 Datasets geschreven."));
  ASSERT_TRUE(save("p.xml", -1, true));

  session.setLanguage(Language::Code::English);
  portfolio().clear();
  QStringList progress;
  ReadProgress hooks;
  hooks.status = [&](const QString& text) { progress << text; };
  hooks.dataSet = [&](const QString& name) { progress << name; };
  ASSERT_TRUE(OpenPortfolioFile(session, prompter, path("p.xml"), hooks));
  EXPECT_EQ(progress, QStringList({"The portfolio is being checked.",
                                   "The portfolio is being read.", "DataSet_1", "DataSet_2"}));

  const Portfolio& p = portfolio();
  EXPECT_EQ(p.size(), 3 * 8 + 1) << "two stored datasets and the new one";
  EXPECT_EQ(p.FirstRekIndex(), 18) << "the new one is current";
  EXPECT_EQ(p.algAt(17).Datum, dateToSerial(QDate(2024, 6, 12)));
  EXPECT_EQ(p.rekAt(2).Valuta.str(), QStringLiteral("US$")) << "from the fund booked on it";
}

// The program's start rate is no rate of anything: an opened file's rate
// replaces it, so the portfolio overview does not write it into today's
// dataset. A rate a quote gave is the market's and stays.
TEST_F(PortfolioFilesTest, AnOpenedFileSetsTheRateUntilAQuoteGivesOne) {
  makePortfolio();
  alg().Dollar = 0.93;
  ASSERT_TRUE(save("p.xml"));
  ASSERT_TRUE(read(path("p.xml")));
  EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), Real48(0.93).value());
  portfolio().markUnchanged();
  (void)OverzichtPortefeuilleClick(session);
  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(0.93).value());
  EXPECT_FALSE(portfolio().bPortChanged());

  portfolio().setDollarKoers(0.8);
  ASSERT_TRUE(read(path("p.xml")));
  EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), Real48(0.8).value());
}

TEST_F(PortfolioFilesTest, ReadingFillsPricesRenamesAccountsAndRecalculatesLaterDataSets) {
  makePortfolio();
  session.setLanguage(Language::Code::Dutch);
  ASSERT_TRUE(save("p.xml"));
  QByteArray text = test::readFile(path("p.xml"));
  text.replace("<Totaal>0,0000</Totaal>", "<Totaal>999,0000</Totaal>");
  test::writeFile(path("p.xml"), text);
  test::writeFile(session.settings().pricePath + PriceStore::dayFileName(QDate(2024, 6, 5)),
                  "Aaa fund,AAA,24/06/05,20.5\r\n");

  // The debug view sees the records only with the debug switch on.
  int records = 0;
  ReadProgress hooks;
  hooks.debugRecord = [&](const QStringList&) { return ++records < 4; };
  ASSERT_TRUE(read(path("p.xml"), hooks));
  EXPECT_EQ(records, 0);
  session.settings().debug = true;
  ASSERT_TRUE(read(path("p.xml"), hooks));
  EXPECT_EQ(records, 4);

  const Portfolio& p = portfolio();
  EXPECT_EQ(p.koersAt(15).Koers, 20.5) << "the day's price of the second dataset";
  EXPECT_EQ(p.koersAt(23).Koers, 20.5) << "the newest price for today";
  EXPECT_EQ(p.algAt(1).Totaal, 999.0) << "the first dataset is not recalculated";
  EXPECT_NE(p.algAt(9).Totaal, 999.0) << "later datasets are";
  EXPECT_TRUE(traceText().contains(QStringLiteral("- Pelmar.ReadXMLFile - einde\n")));
}

TEST_F(PortfolioFilesTest, ASingleDataSetIsWrittenEvenWithoutTheLast) {
  start(QDate(2024, 6, 3));
  ASSERT_TRUE(save("one.xml", WriteLimitWithoutLast(session)));
  EXPECT_EQ(test::readFile(path("one.xml")).count("<Alg"), 1);
}

TEST_F(PortfolioFilesTest, ABigFileIsCopiedToBakASmallOneIsNot) {
  makePortfolio();
  ASSERT_TRUE(save("p.xml"));
  EXPECT_FALSE(QFile::exists(path("p.bak")));
  const QByteArray first = test::readFile(path("p.xml"));
  ASSERT_GT(first.size(), portfolio_files::kBackupFileSize);

  portfolio().koersAt(7).Aantal = 6;
  ASSERT_TRUE(save("p.xml"));
  EXPECT_EQ(test::readFile(path("p.bak")), first);

  // 2000 bytes or less: replaced without a copy, an older ".bak" kept.
  test::writeFile(path("q.xml"), QByteArray(2000, 'x'));
  test::writeFile(path("q.bak"), "older backup");
  ASSERT_TRUE(save("q.xml"));
  EXPECT_EQ(test::readFile(path("q.bak")), QByteArray("older backup"));
  EXPECT_EQ(test::readFile(path("q.xml")), test::readFile(path("p.xml")));
}

TEST_F(PortfolioFilesTest, SavingToABakNameWritesTheXmlOfThatName) {
  makePortfolio();
  QDir().mkpath(path("v1.2"));
  ASSERT_TRUE(save("p.bak"));
  EXPECT_TRUE(QFile::exists(path("p.xml")));
  EXPECT_FALSE(QFile::exists(path("p.bak")));
  ASSERT_TRUE(save("v1.2/p"));
  EXPECT_TRUE(QFile::exists(path("v1.2/p.xml"))) << "a point in a folder name is no extension";
}

// Limits the size of files this process writes, so that a write fails
// half-way as on a full disk; root ignores permission bits, not this.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

TEST_F(PortfolioFilesTest, AWriteThatFailsHalfWayLeavesTheOldFileAsItWas) {
  makePortfolio();
  ASSERT_TRUE(save("p.xml"));
  const QByteArray old = test::readFile(path("p.xml"));
  const QStringList before = QDir(dir.path()).entryList(QDir::Files);

  // Twice as many funds: the new file does not fit under the limit.
  for (int i = 0; i < 20; ++i) addFund(QStringLiteral("F%1").arg(i), 0, 5, 1);
  prompter.expectMessage(QStringLiteral("The portfolio %1 has not been saved.").arg(path("p.xml")));
  {
    const FileSizeLimit limit(old.size() + 4096);
    EXPECT_FALSE(save("p.xml"));
  }
  EXPECT_EQ(test::readFile(path("p.xml")), old);
  EXPECT_EQ(test::readFile(path("p.bak")), old) << "the backup was made before writing";
  QStringList after = QDir(dir.path()).entryList(QDir::Files);
  after.removeAll(QStringLiteral("p.bak"));
  EXPECT_EQ(after, before) << "no temporary file is left behind";
}

// A save that cannot keep the previous version replaces nothing, and no
// failed save claims a backup.
TEST_F(PortfolioFilesTest, NoSaveReplacesAFileWithoutItsBackupOrClaimsOneItDidNotMake) {
  makePortfolio();
  ASSERT_TRUE(save("p.xml"));
  const QByteArray old = test::readFile(path("p.xml"));
  portfolio().koersAt(7).Aantal = 6;
  QDir().mkpath(path("p.bak"));
  prompter.expectMessage(
      QStringLiteral("The backup file %1 could not be made.").arg(path("p.bak")));
  EXPECT_FALSE(save("p.xml"));
  EXPECT_EQ(test::readFile(path("p.xml")), old);

  QDir().mkpath(path("folder.xml"));
  prompter.expectMessage(
      QStringLiteral("The portfolio %1 has not been saved.").arg(path("folder.xml")));
  EXPECT_FALSE(save("folder.xml"));
  EXPECT_TRUE(QFileInfo(path("folder.xml")).isDir());
}

// A portfolio too full for the dataset of today opens without it, says
// why, and saving "without the new dataset" keeps its last stored one.
TEST_F(PortfolioFilesTest, APortfolioAtTheRecordLimitOpensWithoutTheDataSetOfToday) {
  // 255 datasets of 249 funds and the placeholder row: 65,281 records, too
  // few to leave room for another dataset. Missing fields are 0.
  QByteArray text = "<?xml version=\"1.0\" ?>\r\n<Pelmar_Data>\r\n<IdentRec>\r\n</IdentRec>\r\n";
  const QByteArray fund = "<KoersRec>\r\n<Ticker>F</Ticker>\r\n</KoersRec>\r\n";
  const QByteArray account = "<RekeningRec>\r\n</RekeningRec>\r\n";
  for (int set = 0; set < 255; ++set) {
    text += "<DataSet>\r\n<AlgemeenRec>\r\n<Datum>" + QByteArray::number(40000 + 7 * set) +
            "</Datum>\r\n</AlgemeenRec>\r\n" + account.repeated(5) + fund.repeated(249) +
            "<KoersRec>\r\n<Ticker>[New]</Ticker>\r\n</KoersRec>\r\n</DataSet>\r\n";
  }
  test::writeFile(path("full.xml"), text + "</Pelmar_Data>\r\n");
  prompter.expectMessage(QStringLiteral("No Dataset of today has been added. Close the year"));
  ASSERT_TRUE(read(path("full.xml")));
  EXPECT_EQ(portfolio().size(), 1 + 255 * 256);
  EXPECT_EQ(portfolio().algAt(portfolio().lastRekIndex() - 1).Datum, 40000 + 7 * 254);
  EXPECT_EQ(WriteLimitWithoutLast(session), WriteLimitAll(portfolio()));
  EXPECT_TRUE(traceText().contains(QStringLiteral("geen Dataset toegevoegd")));
}

// Files the reader refuses, each with the trace line that says why; the
// portfolio in memory stays as it was.
TEST_F(PortfolioFilesTest, ARefusedFileLeavesThePortfolioInMemoryAsItWas) {
  makePortfolio();
  ASSERT_TRUE(save("good.xml"));
  const QByteArray good = test::readFile(path("good.xml"));
  portfolio().markOpened();
  portfolio().markChanged();
  const QByteArray before = image();

  test::writeFile(path("integer.xml"),
                  QByteArray(good).replace("<RekNr>1</RekNr>", "<RekNr>1.0</RekNr>"));
  QDir().mkpath(path("folder.xml"));
  const std::pair<QString, QString> cases[] = {
      {QString(), "bestandsnaam is leeg"},
      {path("absent.xml"), "bestand bestaat niet"},
      {path("folder.xml"), "geen gewoon bestand"},
      {path("integer.xml"), "bestand onleesbaar, line"},
  };
  for (const auto& [name, word] : cases) {
    SCOPED_TRACE(name.toStdString());
    QFile::remove(session.trace().fileName());
    EXPECT_FALSE(read(name));
    EXPECT_EQ(image(), before);
    EXPECT_FALSE(portfolio().bPortOpened());
    EXPECT_TRUE(portfolio().bPortChanged()) << "unsaved changes stay marked";
    EXPECT_TRUE(traceText().contains(QStringLiteral("- Pelmar.ReadXMLFile - ") + word));
    EXPECT_EQ(session.trace().level(), 0);
    portfolio().markOpened();
  }
}

TEST_F(PortfolioFilesTest, OnlyBalancedXmlAndBakFilesAreOpened) {
  makePortfolio();
  ASSERT_TRUE(save("p.xml"));
  QFile::copy(path("p.xml"), path("copy.bak"));
  EXPECT_TRUE(OpenPortfolioFile(session, prompter, path("copy.bak")));

  // Above 100 000 bytes the brackets are not counted; the reader judges.
  test::writeFile(path("big.xml"), QByteArray(portfolio_files::kCheckedFileSize, '<') + "\n");
  EXPECT_TRUE(IsValidXML(path("big.xml")));
  EXPECT_FALSE(OpenPortfolioFile(session, prompter, path("big.xml")));
}

}  // namespace
}  // namespace pelmar
