#include "prices/price_update.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pelmar
