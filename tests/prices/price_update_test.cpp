#include "prices/price_update.h"

#include <gtest/gtest.h>

#include <QFile>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

class PriceUpdateTest : public test::PortfolioFixture {
 protected:
  // One dataset per date (oldest first), each holding the given funds at
  // price 0 before the placeholder row; the last dataset is current.
  void build(const QList<QDate>& dates, const QStringList& tickers) {
    start(dates.first());
    for (const QString& ticker : tickers) addFund(ticker, 0, 1, 0);
    for (qsizetype i = 1; i < dates.size(); ++i) append(dates[i]);
  }
  void writeDay(QDate day, const QByteArray& lines) {
    test::writeFile(path("Prices/" + PriceStore::dayFileName(day)), lines);
    session.prices().refresh();
  }
  // The first account of dataset n (1 = first); the cursor stays.
  int rekOf(int n) {
    int rek = Portfolio::kFirstRekIndex;
    int koers = Portfolio::kFirstKoersIndex;
    for (int i = 1; i < n; ++i) EXPECT_TRUE(portfolio().NextDataSet(rek, koers));
    return rek;
  }
  KoersRec& fundOf(int dataSet, int offset) {
    return portfolio().koersAt(Portfolio::KoersIndexOf(rekOf(dataSet)) + offset);
  }
  void update(int dataSet) { UpdatePricesFromFiles(portfolio(), session.prices(), rekOf(dataSet)); }
};

TEST_F(PriceUpdateTest, FundsTakeTheDayPriceExceptCumulativeAndTraded) {
  writeDay(QDate(2024, 1, 5),
           "Alpha,alp,24/01/05,11.5\r\nBeta,bet,24/01/05,22\r\n"
           "New,[New],24/01/05,5\r\nNieuw,[Nieuw],24/01/05,5\r\n");
  build({QDate(2024, 1, 8)}, {"ALP", "BET", "alp"});
  fundOf(1, 0).Koers = 10;
  fundOf(1, 1).Koers = 20;
  fundOf(1, 1).Flag1 = KoersFlag::Cumulatief;
  fundOf(1, 2).Koers = 30;
  fundOf(1, 2).Flag1 = KoersFlag::BuySell;
  update(1);
  EXPECT_DOUBLE_EQ(fundOf(1, 0).Koers, 11.5);  // Monday takes Friday's file
  EXPECT_DOUBLE_EQ(fundOf(1, 1).Koers, 20);
  EXPECT_DOUBLE_EQ(fundOf(1, 2).Koers, 30);
  ASSERT_TRUE(fundOf(1, 3).isPlaceholder());
  EXPECT_EQ(fundOf(1, 3).Koers, 0.0) << "the placeholder row is not looked up";
  EXPECT_FALSE(portfolio().bPortChanged()) << "marking changed is the caller's";
}

TEST_F(PriceUpdateTest, AFundWithoutPriceLooksBackThreeDatasetsAtMost) {
  build({QDate(2024, 1, 1), QDate(2024, 1, 8), QDate(2024, 1, 15), QDate(2024, 1, 22),
         QDate(2024, 1, 29)},
        {"X Y Z", "OLD"});
  fundOf(1, 0).Koers = 7;
  fundOf(1, 1).Koers = 9;
  fundOf(2, 0).Ticker = QStringLiteral("xyz ");  // blanks and case differ
  fundOf(2, 0).Koers = 8;
  goToDataSet(3);
  select(1);

  // Dataset 5 sees datasets 4, 3 and 2; dataset 4 also sees dataset 1.
  update(5);
  EXPECT_DOUBLE_EQ(fundOf(5, 0).Koers, 8);
  EXPECT_EQ(fundOf(5, 1).Koers, 0.0);
  update(4);
  EXPECT_DOUBLE_EQ(fundOf(4, 1).Koers, 9);
  EXPECT_DOUBLE_EQ(PriceFromEarlierSets(portfolio(), rekOf(2), fundOf(2, 0)), 7);
  EXPECT_EQ(PriceFromEarlierSets(portfolio(), rekOf(1), fundOf(1, 0)), PriceStore::kNotFound);

  EXPECT_EQ(portfolio().FirstRekIndex(), rekOf(3)) << "the cursor stays";
  EXPECT_EQ(portfolio().SelFonds(), 1);
}

TEST_F(PriceUpdateTest, AStoredPriceIsKeptWhenTheFilesHaveNone) {
  writeDay(QDate(2024, 1, 12), "Alpha,alp,24/01/12,13\r\n");
  build({QDate(2024, 1, 1), QDate(2024, 1, 8), QDate(2024, 1, 15)}, {"ALP", "EMPTY"});
  fundOf(1, 0).Koers = 10;
  fundOf(1, 1).Koers = 10;
  fundOf(2, 0).Koers = 12.5;
  update(2);
  EXPECT_DOUBLE_EQ(fundOf(2, 0).Koers, 12.5);  // no file before the 8th
  EXPECT_DOUBLE_EQ(fundOf(2, 1).Koers, 10);
  // A file price still replaces a stored one.
  fundOf(3, 0).Koers = 12.5;
  update(3);
  EXPECT_DOUBLE_EQ(fundOf(3, 0).Koers, 13);
  // Without price or earlier dataset a fund keeps what it has, never a negative price.
  fundOf(1, 1).Koers = 0;
  update(1);
  EXPECT_EQ(fundOf(1, 1).Koers, 0.0);
}

// A price the user set (typed, or halved by a split made there) is not
// replaced by a daily file of an earlier day, in its dataset or the later
// ones; a file of its day or later replaces it, and says so.
TEST_F(PriceUpdateTest, APriceTheUserSetGivesWayOnlyToAFileOfItsDayOrLater) {
  writeDay(QDate(2024, 1, 2), "Alpha,alp,24/01/02,7.05\r\n");
  build({QDate(2024, 1, 2), QDate(2024, 3, 1), QDate(2024, 6, 3)}, {"ALP"});
  update(1);
  fundOf(2, 0).Koers = 7.2;
  fundOf(2, 0).Flag1 = KoersFlag::PriceSet;
  std::vector<PriceReplacement> replaced;
  UpdatePricesFromFiles(portfolio(), session.prices(), rekOf(2), &replaced);
  EXPECT_NEAR(fundOf(2, 0).Koers, 7.2, 1e-9);
  // The later dataset carries it on: the January file is older than March.
  update(3);
  EXPECT_NEAR(fundOf(3, 0).Koers, 7.2, 1e-9);
  EXPECT_TRUE(replaced.empty());

  // A file of the day itself replaces it; the mark goes.
  writeDay(QDate(2024, 3, 1), "Alpha,alp,24/03/01,7.31\r\n");
  UpdatePricesFromFiles(portfolio(), session.prices(), rekOf(2), &replaced);
  EXPECT_NEAR(fundOf(2, 0).Koers, 7.31, 1e-9);
  EXPECT_EQ(fundOf(2, 0).Flag1 & KoersFlag::PriceSet, 0);
  ASSERT_EQ(replaced.size(), 1u);
  EXPECT_EQ(replaced[0].ticker, "ALP");
  EXPECT_NEAR(replaced[0].before, 7.2, 1e-9);
  EXPECT_EQ(replaced[0].fileDay, QDate(2024, 3, 1));

  // Set after the dataset's day (in an older dataset), no file replaces it.
  EXPECT_EQ(UserPriceMark(dateToSerial(QDate(2024, 3, 1)), QDate(2024, 3, 1)), KoersFlag::PriceSet);
  EXPECT_EQ(UserPriceMark(dateToSerial(QDate(2024, 3, 1)), QDate(2024, 12, 7)),
            KoersFlag::PriceKept);
  fundOf(2, 0).Flag1 = KoersFlag::PriceKept;
  fundOf(2, 0).Koers = 7.2;
  update(2);
  EXPECT_NEAR(fundOf(2, 0).Koers, 7.2, 1e-9);

  // A split of an older file (no mark) counts from the dataset it starts in.
  fundOf(2, 0).Flag1 = KoersFlag::Splits;
  fundOf(2, 0).Koers = 3.6;
  fundOf(3, 0).Flag1 = KoersFlag::Splits;
  fundOf(3, 0).Koers = 3.6;
  EXPECT_TRUE(PriceSetHere(fundOf(2, 0), &fundOf(1, 0)));
  EXPECT_FALSE(PriceSetHere(fundOf(3, 0), &fundOf(2, 0)));
  QFile::remove(path("Prices/" + PriceStore::dayFileName(QDate(2024, 3, 1))));
  writeDay(QDate(2024, 2, 29), "Alpha,alp,24/02/29,7.31\r\n");
  update(2);
  update(3);
  EXPECT_NEAR(fundOf(2, 0).Koers, 3.6, 1e-9) << "the file of the day before the split";
  EXPECT_NEAR(fundOf(3, 0).Koers, 3.6, 1e-9) << "no file since March: March's split price";
}

TEST_F(PriceUpdateTest, StalePricesAreThoseOfOldFilesAndOfEarlierDataSets) {
  writeDay(QDate(2024, 1, 2), "Alpha,alp,24/01/02,7.05\r\nBeta,bet,24/01/02,3\r\n");
  // 2 January, 1 March (a Friday), 11 March: six working days after it.
  build({QDate(2024, 1, 2), QDate(2024, 3, 1), QDate(2024, 3, 11)}, {"ALP", "BET", "OWN"});
  fundOf(1, 2).Koers = 5;
  fundOf(1, 2).Flag1 = KoersFlag::FakeFund;
  update(1);
  update(2);
  writeDay(QDate(2024, 3, 1), "Alpha,alp,24/03/01,8\r\n");
  fundOf(2, 1).Flag1 = KoersFlag::BuySell;  // BET traded at 3.10 in March
  fundOf(2, 1).Koers = 3.1;
  update(2);
  update(3);
  const auto age = [&](int dataSet, int offset) {
    return StalePrice(portfolio(), session.prices(), rekOf(dataSet),
                      Portfolio::KoersIndexOf(rekOf(dataSet)) + offset);
  };
  EXPECT_FALSE(age(2, 0)) << "the file of the day";
  EXPECT_FALSE(age(2, 1)) << "the price traded at here";
  EXPECT_FALSE(age(3, 2)) << "a fund entered by hand";
  EXPECT_FALSE(age(3, 3)) << "the placeholder row";
  // Five working days before 11 March is 4 March: the file of 1 March is old.
  ASSERT_TRUE(age(3, 0));
  EXPECT_EQ(age(3, 0)->day, QDate(2024, 3, 1));
  EXPECT_FALSE(age(3, 0)->fromEarlierDataSet);
  ASSERT_TRUE(age(3, 1));
  EXPECT_EQ(age(3, 1)->day, QDate(2024, 3, 1)) << "the trade's dataset";
  EXPECT_TRUE(age(3, 1)->fromEarlierDataSet);
  EXPECT_TRUE(IsOldPriceDay(QDate(2024, 3, 1), QDate(2024, 3, 11)));
  EXPECT_FALSE(IsOldPriceDay(QDate(2024, 3, 4), QDate(2024, 3, 11)));
}

}  // namespace
}  // namespace pelmar
