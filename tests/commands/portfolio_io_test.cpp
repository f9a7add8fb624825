#include "commands/portfolio_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>

#include "commands/datasets.h"
#include "model/dates.h"
#include "model/portfolio_file.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

DateTime day(int y, int m, int d) {
  return dateToSerial(QDate(y, m, d));
}

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

class PortfolioFilesTest : public ::testing::Test {
 protected:
  PortfolioFilesTest()
      : session(dir.path(), QLocale::c()),
        prices(dir.filePath(QStringLiteral("Prices"))),
        engine(session.portfolio(), prices, session.language()),
        files(session, prompter, prices, engine, trace) {
    QDir(dir.path()).mkpath(QStringLiteral("Prices"));
    session.setLanguage(Language::Code::English);
    session.clock().fix(QDate(2024, 6, 12));  // a Wednesday
    trace.setEnabled(true);
    trace.LogInit(dir.filePath(QStringLiteral("trace")));
  }

  Portfolio& portfolio() { return session.portfolio(); }
  QString path(const QString& name) const { return dir.filePath(name); }

  // A euro portfolio with the fund "AAA" on 2024-06-03 and 2024-06-05.
  void makePortfolio() {
    Portfolio& p = portfolio();
    p.NewPortfolio(NewIdentRec(session, false), day(2024, 6, 3));
    for (int i = 0; i < Portfolio::kAccountsPerDataSet; ++i)
      p.rekAt(2 + i).RekNaam = QStringLiteral("Rek %1").arg(i + 1);
    p.rekAt(2).RekNaam = QStringLiteral("R&D");
    KoersRec fund = p.initialRecords().DefaultKoersRec;
    fund.EndOfSetB = false;
    fund.Ticker = QStringLiteral("AAA");
    fund.Koers = 12.34;
    fund.Aantal = 5;
    fund.Valuta = QStringLiteral("US$");
    ASSERT_EQ(p.insertRecord(7, fund), Portfolio::Refusal::None);
    ASSERT_TRUE(p.appendDataSet(p.FirstRekIndex, p.FirstKoersIndex, day(2024, 6, 5), 2));
  }

  // The portfolio in memory as the file would hold it.
  QByteArray image() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    portfolio_file::write(buffer, portfolio(), WriteLimitAll(portfolio()), session.language());
    return buffer.data();
  }

  void writePrice(QDate date, const QString& price) {
    writeFile(prices.folder() + PriceStore::dayFileName(date),
              QStringLiteral("Aaa fund,AAA,%1,%2\r\n")
                  .arg(date.toString(QStringLiteral("yy/MM/dd")), price)
                  .toLatin1());
  }

  QString traceText() { return QString::fromUtf8(contents(trace.fileName())); }

  QTemporaryDir dir;
  Session session;
  PriceStore prices;
  Engine engine;
  test::ScriptedPrompter prompter;
  TraceLog trace;
  PortfolioFiles files;
};

TEST_F(PortfolioFilesTest, APortfolioSavedInDutchOpensInEnglishWithTheDataSetOfToday) {
  makePortfolio();
  session.setLanguage(Language::Code::Dutch);
  prompter.expectTimedMessage(QStringLiteral("2 Datasets geschreven."));
  ASSERT_TRUE(files.SavePortfolio(path("p.xml"), WriteLimitAll(portfolio()), true));
  EXPECT_TRUE(contents(path("p.xml")).contains("<Koers>12,3400</Koers>"));

  session.setLanguage(Language::Code::English);
  portfolio().clear();
  QStringList progress;
  files.progress.status = [&](const QString& text) { progress << text; };
  files.progress.dataSet = [&](const QString& name) { progress << name; };
  ASSERT_TRUE(files.OpenPortfolioFile(path("p.xml")));
  EXPECT_EQ(progress, QStringList({"The portfolio is being checked.",
                                   "The portfolio is being read.", "DataSet_1", "DataSet_2"}));

  const Portfolio& p = portfolio();
  EXPECT_TRUE(p.bPortOpened);
  EXPECT_FALSE(p.bPortNew);
  EXPECT_TRUE(p.bAtLastSet);
  EXPECT_EQ(p.size(), 3 * 8 + 1) << "two stored datasets and the new one";
  EXPECT_EQ(p.FirstRekIndex, 18);
  EXPECT_EQ(p.LastSetKoersIndex, 23);
  EXPECT_EQ(p.pKoersRec, 23);
  EXPECT_EQ(p.algAt(17).NrOfSet, 3);
  EXPECT_EQ(p.algAt(17).Datum, day(2024, 6, 12));
  EXPECT_EQ(p.rekAt(2).RekNaam.str(), QStringLiteral("R&D"));
  EXPECT_EQ(p.koersAt(15).Ticker.str(), QStringLiteral("AAA"));
  EXPECT_EQ(p.koersAt(15).Koers, Real48(12.34));
  EXPECT_EQ(p.koersAt(15).Aantal, 5.0);
  EXPECT_EQ(p.rekAt(2).Valuta.str(), QStringLiteral("US$")) << "from the fund booked on it";
}

TEST_F(PortfolioFilesTest, ReadingFillsPricesRenamesAccountsAndRecalculatesLaterDataSets) {
  makePortfolio();
  session.setLanguage(Language::Code::Dutch);
  ASSERT_TRUE(files.SavePortfolio(path("p.xml"), WriteLimitAll(portfolio()), false));
  QByteArray text = contents(path("p.xml"));
  text.replace("<RekNaam>Rek 2</RekNaam>", "<RekNaam>  Naam</RekNaam>");
  text.replace("<Country>us</Country>", "<Country>be</Country>");
  text.replace("<Totaal>0,0000</Totaal>", "<Totaal>999,0000</Totaal>");
  writeFile(path("p.xml"), text);
  writePrice(QDate(2024, 6, 5), QStringLiteral("20.5"));

  ASSERT_TRUE(files.ReadXMLFile(path("p.xml")));
  const Portfolio& p = portfolio();
  EXPECT_EQ(p.rekAt(3).RekNaam.str(), QStringLiteral(" Rek. 2"));
  EXPECT_EQ(p.koersAt(7).Country.str(), QStringLiteral("nl"));
  EXPECT_EQ(p.koersAt(15).Koers, 20.5) << "the day's price of the second dataset";
  EXPECT_EQ(p.koersAt(23).Koers, 20.5) << "the newest price for today";
  EXPECT_EQ(p.algAt(1).Totaal, 999.0) << "the first dataset is not recalculated";
  EXPECT_NE(p.algAt(9).Totaal, 999.0) << "later datasets are";
  EXPECT_TRUE(traceText().contains(QStringLiteral("- Pelmar.ReadXMLFile - begin\n")));
  EXPECT_TRUE(traceText().contains(QStringLiteral("- Pelmar.ReadXMLFile - einde\n")));
  EXPECT_EQ(trace.level(), 0);
}

TEST_F(PortfolioFilesTest, TheDebugViewSeesRecordsOnlyWithTheDebugSwitch) {
  makePortfolio();
  ASSERT_TRUE(files.SavePortfolio(path("p.xml"), WriteLimitAll(portfolio()), false));
  int records = 0;
  files.progress.debugRecord = [&](const QStringList&) { return ++records < 4; };
  ASSERT_TRUE(files.ReadXMLFile(path("p.xml")));
  EXPECT_EQ(records, 0);
  session.settings().debug = true;
  ASSERT_TRUE(files.ReadXMLFile(path("p.xml")));
  EXPECT_EQ(records, 4);
}

TEST_F(PortfolioFilesTest, EveryWrittenFileIsWellFormedXml) {
  makePortfolio();
  portfolio().koersAt(7).Ticker = QStringLiteral("AT&T<1>");
  portfolio().identAt(0).Author = QStringLiteral("Zoë & Łukasz");
  ASSERT_TRUE(files.SavePortfolio(path("p.xml"), WriteLimitAll(portfolio()), false));
  const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
  if (xmllint.isEmpty()) GTEST_SKIP() << "xmllint is not installed (Debian: libxml2-utils)";
  QProcess lint;
  lint.start(xmllint, {QStringLiteral("--noout"), path("p.xml")});
  ASSERT_TRUE(lint.waitForFinished());
  EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();
}

TEST_F(PortfolioFilesTest, TheWriteLimitLeavesOutTheDataSetNieuw) {
  makePortfolio();
  const auto dataSetsIn = [&](const QString& name) {
    return contents(path(name)).count("<AlgemeenRec>");
  };
  ASSERT_TRUE(files.SavePortfolio(path("all.xml"), WriteLimitAll(portfolio()), false));
  ASSERT_TRUE(files.SavePortfolio(path("old.xml"), WriteLimitWithoutLast(portfolio()), false));
  EXPECT_EQ(dataSetsIn("all.xml"), 2);
  EXPECT_EQ(dataSetsIn("old.xml"), 1);

  portfolio().NewPortfolio(NewIdentRec(session, true), day(2024, 6, 3));
  ASSERT_TRUE(files.SavePortfolio(path("one.xml"), WriteLimitWithoutLast(portfolio()), false));
  EXPECT_EQ(dataSetsIn("one.xml"), 1) << "a single dataset is always written";
}

TEST_F(PortfolioFilesTest, ABigFileIsCopiedToBakASmallOneIsNot) {
  makePortfolio();
  const int all = WriteLimitAll(portfolio());
  ASSERT_TRUE(files.SavePortfolio(path("p.xml"), all, false));
  EXPECT_FALSE(QFile::exists(path("p.bak")));
  const QByteArray first = contents(path("p.xml"));
  ASSERT_GT(first.size(), PortfolioFiles::kBackupFileSize);

  portfolio().koersAt(7).Aantal = 6;
  ASSERT_TRUE(files.SavePortfolio(path("p.xml"), all, false));
  EXPECT_EQ(contents(path("p.bak")), first);
  EXPECT_NE(contents(path("p.xml")), first);

  // 2000 bytes or less: replaced without a copy, an older ".bak" kept.
  writeFile(path("q.xml"), QByteArray(2000, 'x'));
  writeFile(path("q.bak"), "older backup");
  ASSERT_TRUE(files.SavePortfolio(path("q.xml"), all, false));
  EXPECT_EQ(contents(path("q.bak")), QByteArray("older backup"));
  EXPECT_EQ(contents(path("q.xml")), contents(path("p.xml")));
}

TEST_F(PortfolioFilesTest, SavingToABakNameWritesTheXmlOfThatName) {
  makePortfolio();
  QDir(dir.path()).mkpath(QStringLiteral("v1.2"));
  ASSERT_TRUE(files.SavePortfolio(path("p.bak"), WriteLimitAll(portfolio()), false));
  EXPECT_TRUE(QFile::exists(path("p.xml")));
  EXPECT_FALSE(QFile::exists(path("p.bak")));
  ASSERT_TRUE(files.SavePortfolio(path("v1.2/p"), WriteLimitAll(portfolio()), false));
  EXPECT_TRUE(QFile::exists(path("v1.2/p.xml"))) << "a point in a folder name is no extension";
}

TEST_F(PortfolioFilesTest, AFileThatCannotBeCreatedGivesTheWarningAndErrorLog) {
  makePortfolio();
  writeFile(path("plain"), "a file, not a folder");
  for (const QString& name : {path("missing/p.xml"), path("plain/p.xml")}) {
    prompter.expectMessage(
        QStringLiteral("The saved Pelmar file is too small. A backup file has been saved: ") +
        QDir::toNativeSeparators(name.chopped(4) + QStringLiteral(".bak")));
    EXPECT_FALSE(files.SavePortfolio(name, WriteLimitAll(portfolio()), true));
    prompter.verify();
    EXPECT_EQ(contents(path("Error.log")),
              "Fout in Rewrite(fT);\r\nPad: " + name.toLatin1() + "\r\n\r\n\r\n\r\n\r\n\r\n");
  }
  EXPECT_EQ(traceText().count(QStringLiteral("Pelmar.WriteXMLFile - Exit")), 6);
  EXPECT_TRUE(traceText().contains(QStringLiteral("- Pelmar.SavePortfolio - exit\n")));
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
  ASSERT_TRUE(files.SavePortfolio(path("p.xml"), WriteLimitAll(portfolio()), false));
  const QByteArray old = contents(path("p.xml"));
  const QStringList before = QDir(dir.path()).entryList(QDir::Files);

  // Twice as many funds: the new file does not fit under the limit.
  for (int i = 0; i < 20; ++i) {
    KoersRec fund = portfolio().koersAt(15);
    fund.Ticker = QStringLiteral("F%1").arg(i);
    ASSERT_EQ(portfolio().insertRecord(15, fund), Portfolio::Refusal::None);
  }
  prompter.expectMessage(QStringLiteral("The saved Pelmar file is too small."));
  {
    const FileSizeLimit limit(old.size() + 4096);
    EXPECT_FALSE(files.SavePortfolio(path("p.xml"), WriteLimitAll(portfolio()), false));
  }
  EXPECT_EQ(contents(path("p.xml")), old);
  EXPECT_EQ(contents(path("p.bak")), old) << "the backup was made before writing";
  QStringList after = QDir(dir.path()).entryList(QDir::Files);
  after.removeAll(QStringLiteral("p.bak"));
  EXPECT_EQ(after, before) << "no temporary file is left behind";
}

// Files the reader refuses, each with the trace line that says why; the
// portfolio in memory stays as it was.
TEST_F(PortfolioFilesTest, ARefusedFileLeavesThePortfolioInMemoryAsItWas) {
  makePortfolio();
  ASSERT_TRUE(files.SavePortfolio(path("good.xml"), WriteLimitAll(portfolio()), false));
  const QByteArray good = contents(path("good.xml"));
  portfolio().bPortOpened = true;
  portfolio().bPortChanged = true;
  const QByteArray before = image();

  writeFile(path("blank.xml"), "\r\n\r\n   \r\n");
  writeFile(path("rootonly.xml"), good.left(good.indexOf("<IdentRec>")));
  writeFile(path("noident.xml"), QByteArray(good).replace("IdentRec>", "Record>"));
  writeFile(path("cut.xml"), good.left(good.size() / 2));
  writeFile(path("integer.xml"),
            QByteArray(good).replace("<RekNr>1</RekNr>", "<RekNr>1.0</RekNr>"));
  QDir(dir.path()).mkpath(QStringLiteral("folder.xml"));
  const std::pair<QString, QString> cases[] = {
      {QString(), "bestandsnaam is leeg"},
      {path("absent.xml"), "bestand bestaat niet"},
      {path("folder.xml"), "bestand bestaat niet"},
      {path("blank.xml"), "bestand te klein-1"},
      {path("rootonly.xml"), "bestand te klein-2"},
      {path("noident.xml"), "lijst aanmaken mislukt"},
      {path("cut.xml"), "bestand onleesbaar, regel"},
      {path("integer.xml"), "bestand onleesbaar, regel"},
  };
  for (const auto& [name, word] : cases) {
    SCOPED_TRACE(name.toStdString());
    QFile::remove(trace.fileName());
    EXPECT_FALSE(files.ReadXMLFile(name));
    EXPECT_EQ(image(), before);
    EXPECT_FALSE(portfolio().bPortOpened);
    EXPECT_TRUE(portfolio().bPortChanged) << "unsaved changes stay marked";
    EXPECT_TRUE(traceText().contains(QStringLiteral("- Pelmar.ReadXMLFile - ") + word));
    EXPECT_EQ(trace.level(), 0);
    portfolio().bPortOpened = true;
  }
}

TEST_F(PortfolioFilesTest, OnlyBalancedXmlAndBakFilesAreOpened) {
  makePortfolio();
  ASSERT_TRUE(files.SavePortfolio(path("p.xml"), WriteLimitAll(portfolio()), false));
  QFile::copy(path("p.xml"), path("p.XML"));
  QFile::copy(path("p.xml"), path("copy.bak"));
  EXPECT_FALSE(files.OpenPortfolioFile(path("p.XML"))) << "extensions are case-sensitive";
  EXPECT_TRUE(files.OpenPortfolioFile(path("copy.bak")));

  writeFile(path("odd.xml"), contents(path("p.xml")) + "<");
  prompter.expectTimedMessage(QStringLiteral("This portfolio is not a valid xml file."));
  EXPECT_FALSE(files.OpenPortfolioFile(path("odd.xml")));
  EXPECT_FALSE(portfolio().bPortOpened);

  // Above 100 000 bytes the brackets are not counted; the reader judges.
  writeFile(path("big.xml"), QByteArray(PortfolioFiles::kCheckedFileSize, '<') + "\n");
  EXPECT_TRUE(files.IsValidXML(path("big.xml")));
  EXPECT_FALSE(files.OpenPortfolioFile(path("big.xml")));
}

}  // namespace
}  // namespace pelmar
