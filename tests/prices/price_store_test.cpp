#include "prices/price_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

class PriceStoreTest : public ::testing::Test {
 protected:
  QString folder() const { return dir_.path() + u'/'; }

  void write(const QString& name, const QByteArray& bytes) {
    test::writeFile(folder() + name, bytes);
  }
  // A daily file for the day with "Name,Ticker,date,price" lines.
  void writeDay(QDate day, const QByteArray& lines) { write(PriceStore::dayFileName(day), lines); }
  QByteArray read(const QString& name) const {
    QFile file(folder() + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  QStringList files() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }
  // Dates a file back, as one written long before the store read it.
  void age(const QString& name, int seconds) {
    QFile file(folder() + name);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                                 QFileDevice::FileModificationTime));
  }

  QTemporaryDir dir_;
};

const QDate kSunday(2024, 1, 7);

TEST_F(PriceStoreTest, StoringADayThatHoldsTheStockKeepsOneSortedLine) {
  writeDay(QDate(2024, 1, 5), "Gamma,gam,24/01/05,3\r\nAlpha,alp,24/01/05,1\r\n\r\n");
  PriceStore store(folder());
  EXPECT_TRUE(store.StorePrices("beta  ", "BET", {"240105,2.5"}, 100));
  EXPECT_TRUE(store.StorePrices("beta", "BET", {"240105,2.75"}, 100));
  EXPECT_EQ(read("240105A.csv"),
            "Alpha,alp,24/01/05,1\r\nbeta,BET,24/01/05,2.75\r\nGamma,gam,24/01/05,3\r\n");
  // The store's own write is seen without a refresh.
  EXPECT_DOUBLE_EQ(store.GetFilePrice("bet", QDate(2024, 1, 5)), 2.75);
}

TEST_F(PriceStoreTest, StoreWalksNewestFirstAndCountsOnlyUpdatedFiles) {
  for (int day = 2; day <= 5; ++day) writeDay(QDate(2024, 1, day), "Other,oth,x,1\r\n");
  PriceStore store(folder());
  const QStringList download = {"240102,2", "240103,3", "240104,4", "240105,5", "240108,8"};
  // One extra day: the new file of the 8th does not count, the 5th and 4th do.
  EXPECT_TRUE(store.StorePrices("Fund", "fnd", download, 1));
  EXPECT_TRUE(read("240108A.csv").contains("Fund,fnd,24/01/08,8"));
  EXPECT_TRUE(read("240105A.csv").contains("Fund,fnd,24/01/05,5"));
  EXPECT_TRUE(read("240104A.csv").contains("Fund,fnd,24/01/04,4"));
  EXPECT_FALSE(read("240103A.csv").contains("Fund"));
  // No extra days ("from the last date"): only the newest existing file.
  EXPECT_TRUE(store.StorePrices("Fund", "fnd", {"240102,20", "240103,30"}, 0));
  EXPECT_TRUE(read("240103A.csv").contains("Fund,fnd,24/01/03,30"));
  EXPECT_FALSE(read("240102A.csv").contains("Fund"));
}

// The prices a store would overwrite with another value: by the name it
// replaces, equal values however written left out; none once stored.
TEST_F(PriceStoreTest, ChangedPricesAreTheStoredLinesOfTheNameWithAnotherValue) {
  writeDay(QDate(2024, 1, 2), "Fund,fnd,24/01/02,10.50\r\nOther,oth,24/01/02,3\r\n");
  writeDay(QDate(2024, 1, 3), "Fund,fnd,24/01/03,11X\r\n");
  writeDay(QDate(2024, 1, 4), "Fund Corp,fnd,24/01/04,4\r\n");  // another name
  writeDay(QDate(2024, 1, 5), "Fund,fnd,24/01/05,12\r\nFund,fnd,24/01/05,99\r\n");
  write("240109a.CSV", "Fund\r\n");  // a line without a price
  PriceStore store(folder());
  const QStringList download = {"240102,10.5", "240103,11.25", "240104,9",
                                "240105,12",   "240108,14",    "240109,1"};
  const QStringList changed = {"240103,11.25", "240109,1"};
  EXPECT_EQ(store.ChangedPrices("Fund  ", download), changed);
  EXPECT_TRUE(store.ChangedPrices("fund", download).isEmpty());
  EXPECT_TRUE(store.StorePrices("Fund", "fnd", download, INT_MAX));
  EXPECT_TRUE(store.ChangedPrices("Fund", download).isEmpty());
}

TEST_F(PriceStoreTest, FileNamesInOtherCaseAreTheSameDay) {
  write("240105A.CSV", "Alpha,alp,24/01/05,1\r\n");
  write("240104a.Csv", "Alpha,alp,24/01/04,0.5\r\n");
  PriceStore store(folder());
  EXPECT_DOUBLE_EQ(store.GetFilePrice("ALP", QDate(2024, 1, 5)), 1.0);
  EXPECT_DOUBLE_EQ(store.GetFilePrice("alp", QDate(2024, 1, 4)), 0.5);
  EXPECT_TRUE(store.StorePrices("Beta", "bet", {"240105,2"}, 100));
  EXPECT_EQ(files(), QStringList({"240104a.Csv", "240105A.CSV"}));
  EXPECT_EQ(read("240105A.CSV"), "Alpha,alp,24/01/05,1\r\nBeta,bet,24/01/05,2\r\n");
}

TEST_F(PriceStoreTest, HostileOrMalformedDownloadLinesWriteNothing) {
  PriceStore store(folder());
  EXPECT_FALSE(store.StorePrices("Fund", "fnd",
                                 {"../../240105,1", "2401,1", "24010x,1", "", "240105"}, 100));
  EXPECT_TRUE(files().isEmpty());
  EXPECT_TRUE(QDir(folder() + "../..").entryList({"*A.csv"}, QDir::Files).isEmpty());
}

TEST_F(PriceStoreTest, AFailedSaveIsRetriedThenReportedAndLosesNothing) {
  // A folder where the day's file would go: the file can never be saved.
  ASSERT_TRUE(QDir(folder()).mkdir("240105A.csv"));
  writeDay(QDate(2024, 1, 4), "Alpha,alp,24/01/04,1\r\n");
  PriceStore store(folder());
  EXPECT_FALSE(store.StorePrices("Fund", "fnd", {"240105,5"}, 100));
  EXPECT_FALSE(store.UpdatePriceFile("Fund", "fnd", folder() + "240105A.csv", "240105,5"));
  EXPECT_TRUE(QFileInfo(folder() + "240105A.csv").isDir());
  // A new file that fails after an updated one keeps the stored flag.
  ASSERT_TRUE(QDir(folder()).mkdir("240103A.csv"));
  EXPECT_TRUE(store.StorePrices("Fund", "fnd", {"240103,3", "240104,4"}, 100));
  EXPECT_EQ(read("240104A.csv"), "Alpha,alp,24/01/04,1\r\nFund,fnd,24/01/04,4\r\n");
}

TEST_F(PriceStoreTest, ABatchWritesOnFlushAndNamesWhatItCouldNotSave) {
  writeDay(QDate(2024, 1, 4), "Alpha,alp,24/01/04,1\r\n");
  ASSERT_TRUE(QDir(folder()).mkdir("240105A.csv"));  // can never be saved
  PriceStore store(folder());
  ASSERT_TRUE(store.openBatch().ok());
  EXPECT_TRUE(store.StorePrices("Fund", "fnd", {"240103,3", "240104,4"}, 100));
  // The 3rd, made by this batch, counts as an existing file: with no extra
  // days the 2nd is not written, as when each stock was saved at once.
  EXPECT_TRUE(store.StorePrices("Beta", "bet", {"240102,20", "240103,30"}, 0));
  EXPECT_TRUE(store.StorePrices("Gone", "gon", {"240105,5"}, 100));
  EXPECT_TRUE(store.StorePrices("Fund", "fnd", {"240103,3.5"}, 100));  // replaces its line
  EXPECT_FALSE(QFile::exists(folder() + "240103A.csv"));
  EXPECT_EQ(read("240104A.csv"), "Alpha,alp,24/01/04,1\r\n");

  const PriceStore::FlushResult flushed = store.flushBatch();
  EXPECT_EQ(flushed.failedFiles, QStringList{folder() + "240105A.csv"});
  EXPECT_EQ(flushed.nothingStored, QStringList{"Gone"});
  EXPECT_FALSE(store.batchOpen());
  EXPECT_EQ(read("240103A.csv"), "Beta,bet,24/01/03,30\r\nFund,fnd,24/01/03,3.5\r\n");
  EXPECT_EQ(read("240104A.csv"), "Alpha,alp,24/01/04,1\r\nFund,fnd,24/01/04,4\r\n");
  EXPECT_FALSE(QFile::exists(folder() + "240102A.csv"));
  EXPECT_DOUBLE_EQ(store.GetFilePrice("bet", QDate(2024, 1, 3)), 30);
}

TEST_F(PriceStoreTest, AMissingFolderGivesNoPriceAndIsNotCreated) {
  PriceStore store(folder() + "absent");
  EXPECT_EQ(store.GetFilePrice("alp", kSunday), 0.0);
  EXPECT_FALSE(store.StorePrices("Alpha", "alp", {"240105,1"}, 100));
  EXPECT_FALSE(QFileInfo::exists(folder() + "absent"));
}

TEST_F(PriceStoreTest, LookUpCrossesWeekendsAndGapsWithinTheWindow) {
  writeDay(QDate(2024, 1, 5), "Alpha,alp,24/01/05,5\r\n");
  const QDate a(2023, 6, 1);
  writeDay(a, "Beta,bet,x,100\r\n");
  writeDay(a.addDays(-1), "Gamma,gam,x,99\r\n");
  PriceStore store(folder());

  QDate date = kSunday;
  EXPECT_DOUBLE_EQ(store.FindFilePrice("alp", date), 5.0);  // Sunday takes Friday's file
  EXPECT_EQ(date, QDate(2024, 1, 5));

  date = a.addDays(100);
  EXPECT_DOUBLE_EQ(store.FindFilePrice("bet", date), 100.0);  // the 100th day back is looked at
  date = a.addDays(100);
  EXPECT_LT(store.FindFilePrice("gam", date), 0.0);  // the newest file found lacks it
  EXPECT_EQ(date, a);

  date = a.addDays(101);
  EXPECT_LT(store.FindFilePrice("bet", date), 0.0);  // the 101st day is not
  EXPECT_EQ(date, a.addDays(1));
  // GetFilePrice goes on from the day before the last one looked at.
  EXPECT_DOUBLE_EQ(store.GetFilePrice("bet", a.addDays(101)), 100.0);
  EXPECT_DOUBLE_EQ(store.GetFilePrice("gam", a.addDays(101)), 99.0);
}

TEST_F(PriceStoreTest, GetFilePriceMakesSixSearchesAtMost) {
  // Six searches of 101 days over an empty stretch reach 605 days back.
  writeDay(kSunday.addDays(-605), "Alpha,alp,x,605\r\n");
  writeDay(kSunday.addDays(-606), "Beta,bet,x,606\r\n");
  // From the 1st of March back: six files, each the start of the next search.
  for (int back = 0; back < 7; ++back) {
    QByteArray lines = "Other,oth,x,1\r\n";
    if (back == 5) lines += "Sixth,six,x,6\r\n";
    if (back == 6) lines += "Seventh,sev,x,7\r\n";
    writeDay(QDate(2024, 3, 1).addDays(-back), lines);
  }
  PriceStore store(folder());
  EXPECT_DOUBLE_EQ(store.GetFilePrice("alp", kSunday), 605.0);
  EXPECT_EQ(store.GetFilePrice("bet", kSunday), 0.0);
  EXPECT_DOUBLE_EQ(store.GetFilePrice("six", QDate(2024, 3, 1)), 6.0);
  EXPECT_EQ(store.GetFilePrice("sev", QDate(2024, 3, 1)), 0.0);
}

TEST_F(PriceStoreTest, BadLinesGiveTheDocumentedFallbacks) {
  writeDay(QDate(2024, 1, 5),
           "NoFields\n"
           "Short,sho\n"
           "Dateless,dat,24/01/05\n"
           "\n"
           "Letters,let,24/01/05,12.5a\n"
           "Marked,mar,24/01/05,12.5X\r\n"
           "Comma,com,24/01/05,12,25\r\n"
           "Spaced,spa,24/01/05, 1 2.5 \n"
           "Tiny,tin,24/01/05,0.0001\n"
           "Twice,twi,24/01/05,1\n"
           "Twice again,TWI,24/01/05,2\n"
           "Long,A-TICKER-LONGER-THAN-THIRTY-TWO-BYTES,24/01/05,3\n"
           "Caf\xe9,caf\xe9,24/01/05,7");  // ISO-8859-1, no final line end
  writeDay(QDate(2024, 1, 4), "Older,let,x,9\nOlder,sho,x,9\nOlder,dat,x,9\n");
  const QByteArray before = read("240105A.csv");
  PriceStore store(folder());
  const QDate day(2024, 1, 5);
  // A line without a ticker field is not this file's: the older file
  // answers. A line without a price gives 0 and no older search. The first
  // line of a ticker counts.
  const std::pair<const char*, double> prices[] = {
      {"sho", 9},     {"dat", 0},
      {"let", 0},     {"mar", 12.5},
      {"com", 12.25}, {"spa", 12.5},
      {"tin", 0},     {"twi", 1},
      {"CAF\xc9", 7}, {"a-ticker-longer-than-thirty-two-bytes", 3}};
  for (const auto& [ticker, price] : prices)
    EXPECT_DOUBLE_EQ(store.GetFilePrice(QString::fromLatin1(ticker), day), price) << ticker;
  EXPECT_EQ(read("240105A.csv"), before);  // a reader writes nothing
  EXPECT_EQ(files().size(), 2);
}

TEST_F(PriceStoreTest, UnreadableFileIsNotRewritten) {
  writeDay(QDate(2024, 1, 5), "Alpha,alp,24/01/05,1\r\n");
  const QString path = folder() + "240105A.csv";
  QFile::setPermissions(path, QFileDevice::WriteOwner);
  QFile probe(path);
  if (probe.open(QIODevice::ReadOnly)) GTEST_SKIP() << "permissions do not apply to this user";
  PriceStore store(folder());
  EXPECT_EQ(store.GetFilePrice("alp", QDate(2024, 1, 5)), 0.0);
  EXPECT_FALSE(store.StorePrices("Beta", "bet", {"240105,2"}, 100));
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  EXPECT_EQ(read("240105A.csv"), "Alpha,alp,24/01/05,1\r\n");
}

// What is no price file is skipped, not read into memory without end.
TEST_F(PriceStoreTest, FilesBeyondTheSizeOfAPriceFileAreSkipped) {
  const QDate day(2024, 1, 3);
  writeDay(day.addDays(-1), "A,AAA,24/01/02,5.5\r\n");
  QByteArray big = "A,AAA,24/01/03,7.5\r\n";
  big += QByteArray(PriceStore::kMaxFileSize, 'x');
  writeDay(day, big);
  ASSERT_TRUE(QFile::link("/dev/zero", folder() + PriceStore::dayFileName(day.addDays(1))));
  PriceStore store(folder());
  QDate found = day;
  EXPECT_EQ(store.FindFilePrice("AAA", found), PriceStore::kNotFound) << "the big file";
  found = day.addDays(1);
  EXPECT_EQ(store.FindFilePrice("AAA", found), PriceStore::kNotFound) << "the device";
  EXPECT_FALSE(
      store.UpdatePriceFile("A", "AAA", folder() + PriceStore::dayFileName(day), "240103,8.5"));
  EXPECT_EQ(QFileInfo(folder() + PriceStore::dayFileName(day)).size(), big.size());
}

TEST_F(PriceStoreTest, ChangesByAnotherProgramAreNoticedOnRefresh) {
  writeDay(QDate(2024, 1, 5), "Alpha,alp,24/01/05,1\r\n");
  writeDay(QDate(2024, 1, 3), "Beta,bet,24/01/03,3\r\n");
  age("240105A.csv", 3600);
  PriceStore store(folder());
  EXPECT_DOUBLE_EQ(store.GetFilePrice("alp", kSunday), 1.0);
  EXPECT_EQ(store.GetFilePrice("gam", QDate(2024, 1, 4)), 0.0);
  EXPECT_DOUBLE_EQ(store.GetFilePrice("bet", QDate(2024, 1, 3)), 3.0);

  writeDay(QDate(2024, 1, 5), "Alpha,alp,24/01/05,1.5\r\n");  // same size, new content
  age("240105A.csv", 1800);
  writeDay(QDate(2024, 1, 4), "Gamma,gam,24/01/04,4\r\n");  // a new day
  ASSERT_TRUE(QFile::remove(folder() + "240103A.csv"));     // a day removed
  store.refresh();
  EXPECT_DOUBLE_EQ(store.GetFilePrice("alp", kSunday), 1.5);
  EXPECT_DOUBLE_EQ(store.GetFilePrice("gam", QDate(2024, 1, 4)), 4.0);
  EXPECT_EQ(store.GetFilePrice("bet", QDate(2024, 1, 3)), 0.0);
}

}  // namespace
}  // namespace pelmar
