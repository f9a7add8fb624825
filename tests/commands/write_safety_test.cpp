// Every write tells the truth and never destroys a good file: each kind of
// file the program writes, on a real full disk, with a read-only target and
// with a backup that cannot be made.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "commands/chart_export.h"
#include "commands/download.h"
#include "commands/file_commands.h"
#include "commands/folder_copy.h"
#include "commands/portfolio_io.h"
#include "commands/report_commands.h"
#include "commands/start_up.h"
#include "commands/stock_lists.h"
#include "commands/year_closing.h"
#include "support/full_disk.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

QString shown(const QString& path) {
  return QDir::toNativeSeparators(path);
}

class WriteSafety : public test::PortfolioFixture {
 protected:
  WriteSafety() { session.clock().fix(QDate(2024, 6, 12)); }

  // A portfolio of two datasets and a dozen funds: over the 2000 bytes
  // from which a save keeps a ".bak".
  void makePortfolio() {
    start(QDate(2024, 6, 3));
    for (int i = 0; i < 12; ++i) addFund(QStringLiteral("F%1").arg(i), 100, 5, 10 + i);
    append(QDate(2024, 6, 5));
  }

  Outcome save(const QString& file) {
    return SavePortfolio(session, prompter, file, WriteLimitAll(portfolio()), false);
  }

  // Saves twice (so there is a ".bak"), then changes a fund.
  void savedTwiceAndChanged(const QString& file) {
    makePortfolio();
    ASSERT_TRUE(save(file));
    portfolio().koersAt(7).Aantal = 6;
    ASSERT_TRUE(save(file));
    ASSERT_GT(QFileInfo(file).size(), portfolio_files::kBackupFileSize);
    ASSERT_TRUE(QFileInfo::exists(QFileInfo(file).path() + "/p.bak"));
    portfolio().koersAt(7).Aantal = 7;
  }

  test::ScriptedPrompter prompter;
};

// The report of the issue: a small portfolio on a full disk printed
// "2 Datasets written." and left the file and its ".bak" at 0 bytes.
TEST_F(WriteSafety, APortfolioAndItsBakOnAFullDiskStayAsTheyWere) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  savedTwiceAndChanged(disk.path("p.xml"));
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();

  // The backup comes first: it cannot be made, so nothing is written.
  prompter.expectMessage(QStringLiteral("The backup file %1 could not be made. The portfolio has "
                                        "not been saved. The disk is full.")
                             .arg(shown(disk.path("p.bak"))));
  const Outcome saved = save(disk.path("p.xml"));
  prompter.verify();
  ASSERT_FALSE(saved.ok());
  EXPECT_EQ(saved.reason()->cause, TextId::WriteDiskFull);
  EXPECT_EQ(disk.files(), before);

  // Without a ".bak" to make (2000 bytes or less) the file itself fails.
  disk.release();
  test::writeFile(disk.path("q.xml"), QByteArray(1500, 'x'));
  ASSERT_TRUE(disk.fill());
  const auto small = disk.files();
  prompter.expectMessage(QStringLiteral("The portfolio %1 has not been saved. The disk is full.")
                             .arg(shown(disk.path("q.xml"))));
  EXPECT_FALSE(save(disk.path("q.xml")));
  EXPECT_EQ(disk.files(), small);
}

TEST_F(WriteSafety, TheDutchReasonIsDutch) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  makePortfolio();
  session.setLanguage(Language::Code::Dutch);
  test::writeFile(disk.path("q.xml"), QByteArray(1500, 'x'));
  ASSERT_TRUE(disk.fill());
  prompter.expectMessage(QStringLiteral("De portefeuille %1 is niet opgeslagen. De schijf is vol.")
                             .arg(shown(disk.path("q.xml"))));
  EXPECT_FALSE(save(disk.path("q.xml")));
}

TEST_F(WriteSafety, ErrorLogOnAFullDiskStaysAsItWas) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  makePortfolio();
  Session onDisk(disk.root() + u'/');
  onDisk.portfolio() = portfolio();
  test::writeFile(disk.path("Error.log"), "an earlier failure\r\n");
  // A folder in the way: the file cannot be made, which "Error.log" notes
  // (on a full disk: tries to).
  QDir().mkpath(disk.path("blocked.xml"));
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();
  prompter.expectMessage("is a folder, not a file.");
  EXPECT_FALSE(
      SavePortfolio(onDisk, prompter, disk.path("blocked.xml"), WriteLimitAll(portfolio()), true));
  EXPECT_EQ(disk.files(), before);
  // With room, the note is made.
  disk.release();
  prompter.expectMessage("is a folder, not a file.");
  EXPECT_FALSE(
      SavePortfolio(onDisk, prompter, disk.path("blocked.xml"), WriteLimitAll(portfolio()), true));
  EXPECT_TRUE(test::readFile(disk.path("Error.log")).contains("blocked.xml"));
}

TEST_F(WriteSafety, AReadOnlyPortfolioIsNotReplacedAndTheUserIsTold) {
  makePortfolio();
  ASSERT_TRUE(save(path("p.xml")));
  const QByteArray old = test::readFile(path("p.xml"));
  QFile::setPermissions(path("p.xml"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
  portfolio().koersAt(7).Aantal = 6;
  prompter.expectMessage(QStringLiteral("The portfolio %1 has not been saved. %1 has been made "
                                        "read-only and is not replaced.")
                             .arg(shown(path("p.xml"))));
  EXPECT_FALSE(save(path("p.xml")));
  EXPECT_EQ(test::readFile(path("p.xml")), old);
  EXPECT_FALSE(QFileInfo::exists(path("p.bak"))) << "nothing is copied for a save refused";
}

TEST_F(WriteSafety, ABakThatCannotBeMadeStopsTheSave) {
  makePortfolio();
  ASSERT_TRUE(save(path("p.xml")));
  const QByteArray old = test::readFile(path("p.xml"));
  test::writeFile(path("p.bak"), "a backup the user keeps");
  QFile::setPermissions(path("p.bak"), QFile::ReadOwner);
  portfolio().koersAt(7).Aantal = 6;
  prompter.expectMessage(
      QStringLiteral("The backup file %1 could not be made.").arg(shown(path("p.bak"))));
  EXPECT_FALSE(save(path("p.xml")));
  EXPECT_EQ(test::readFile(path("p.xml")), old);
  EXPECT_EQ(test::readFile(path("p.bak")), "a backup the user keeps");
}

TEST_F(WriteSafety, APortfolioThatIsALinkIsWrittenThroughItsLink) {
  makePortfolio();
  QDir().mkpath(path("real"));
  ASSERT_TRUE(save(path("real/p.xml")));
  ASSERT_TRUE(QFile::link(path("real/p.xml"), path("p.xml")));
  portfolio().koersAt(7).Aantal = 6;
  ASSERT_TRUE(save(path("p.xml")));
  EXPECT_TRUE(QFileInfo(path("p.xml")).isSymLink());
  EXPECT_EQ(test::readFile(path("real/p.xml")), test::readFile(path("p.xml")));
  EXPECT_TRUE(QFileInfo::exists(path("p.bak"))) << "the backup of the linked file";
}

TEST_F(WriteSafety, TheYearClosingsArchiveOnAFullDiskStaysAsItWas) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  session.settings().portfolioPath = disk.root() + u'/';
  const QString file = disk.path("Mine-B.xml");
  start(QDate(2024, 11, 15));
  addFund("AAA", 1000, 10, 100);
  next(QDate(2024, 12, 20));
  next(QDate(2025, 1, 10));
  ASSERT_TRUE(save(file));
  session.clock().fix(QDate(2025, 2, 3));
  prompter.expectCheckedQuestion("close the previous year?", {Answer::No, false});
  ASSERT_TRUE(LoadPortfolio(session, prompter, file));
  prompter.verify();
  const Portfolio opened = portfolio();
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();

  prompter.expectMessage("The disk is full.");
  EXPECT_FALSE(SpeedJaarClick(session, prompter));
  prompter.verify();
  EXPECT_EQ(disk.files(), before);
  EXPECT_EQ(portfolio().size(), opened.size()) << "nothing changed in memory";
}

TEST_F(WriteSafety, AnImportOnAFullDiskStoresNothingAndSaysWhy) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  session.settings().pricePath = disk.root() + u'/';
  session.applyPricePath();
  test::writeFile(disk.path("240603A.csv"), "Other,OTH,24/06/03,5.00\r\n");
  test::writeFile(disk.path("Stocks_nl.txt"), "Alpha,AAA,2024-06-01\r\n");
  test::writeFile(disk.path("Last Prices.txt"),
                  "LatestPrice_nl: 45000\r\nLatestPrice_us: 45001\r\n");
  test::writeFile(path("aaa.csv"),
                  "Date,Close\n2024-06-03,10.5\n2024-06-04,10.75\n2024-06-05,11\n");
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();

  prompter.expectMessage(
      QStringLiteral("Not all prices of AAA could be stored in %1. The disk is full.")
          .arg(disk.root() + u'/'));
  const Outcome imported = ImportPrices(session, prompter, "AAA", path("aaa.csv"));
  prompter.verify();
  EXPECT_FALSE(imported.ok());
  EXPECT_EQ(disk.files(), before);
}

TEST_F(WriteSafety, StockListsAndLastPricesOnAFullDiskStayAsTheyWere) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  session.settings().pricePath = disk.root() + u'/';
  session.applyPricePath();
  test::writeFile(disk.path("Stocks_nl.txt"), "Alpha,AAA,2024-06-01\r\n");
  test::writeFile(disk.path("Last Prices.txt"),
                  "LatestPrice_nl: 45000\r\nLatestPrice_us: 45001\r\n");
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();

  prompter.expectMessage(QStringLiteral("The list %1 could not be saved; the old list has been "
                                        "kept. The disk is full.")
                             .arg(disk.path("Stocks_nl.txt")));
  EXPECT_FALSE(
      SaveStockRows(session, prompter, Market::Dutch,
                    {StockLine{"Alpha", "AAA", "2024-06-12"}, StockLine{"Beta", "BBB", ""}}));
  const Outcome last = WriteLastPrices(session.prices(), Market::Dutch, {"Alpha,AAA,2024-06-12"},
                                       QDate(2024, 6, 12), DateFormat::YearMonthDay);
  EXPECT_EQ(last.reason()->id, TextId::WriteDiskFull);
  EXPECT_EQ(disk.files(), before);
}

TEST_F(WriteSafety, ReportsAndChartExportsOnAFullDiskStayAsTheyWere) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  test::writeFile(disk.path("Report.rtf"), "{\\rtf1 the previous report}");
  test::writeFile(disk.path("Prices.csv"), "2024-06-03, 10.5000\r\n");
  test::writeFile(disk.path("Chart.png"), "\x89PNG previous");
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();

  const Outcome report = WriteReportFile(disk.path("Report.rtf"), QByteArray(5000, 'r'));
  EXPECT_EQ(report.reason()->text(session.language()),
            QStringLiteral("The review could not be saved as:\r\n%1 The disk is full.")
                .arg(shown(disk.path("Report.rtf"))));
  const Outcome csv = WriteChartFile(disk.path("Prices.csv"), QByteArray(300, 'c'));
  EXPECT_EQ(csv.reason()->cause, TextId::WriteDiskFull);
  const Outcome png = WriteChartFile(disk.path("Chart.png"), QByteArray(3000, 'p'));
  EXPECT_EQ(png.reason()->cause, TextId::WriteDiskFull);
  EXPECT_EQ(disk.files(), before);
}

TEST_F(WriteSafety, CopiesOntoAFullDiskKeepWhatIsThere) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  test::writeFile(path("from/240603A.csv"), "A,AAA,24/06/03,1.00\r\n");
  test::writeFile(path("from/Test-1.xml"), QByteArray(3000, 'x'));
  QDir().mkpath(disk.path("to"));
  test::writeFile(disk.path("to/old.csv"), "kept\r\n");
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();

  const FolderCopy copied = CopyFolderFiles(path("from"), disk.path("to"), {"csv", "xml"});
  EXPECT_FALSE(copied.ok);
  const Outcome examples = CopyFiles(path("from"), disk.path("to"), {"*.xml"});
  EXPECT_EQ(examples.reason()->cause, TextId::WriteDiskFull);
  EXPECT_EQ(disk.files(), before);
}

}  // namespace
}  // namespace pelmar
