#include "prices/stock_list.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "model/dates.h"
#include "prices/price_import.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

TEST(StockList, SavesSortedAndConvertsDates) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Stocks_nl.txt");
  ASSERT_TRUE(SaveStockList(path, {"beta,B,2009-03-13", "Alpha,A,", "Gamma,G"}));
  EXPECT_EQ(test::readFile(path), "Alpha,A,\r\nbeta,B,2009-03-13\r\nGamma,G\r\n");
  EXPECT_EQ(LoadStockList(path), QStringList({"Alpha,A,", "beta,B,2009-03-13", "Gamma,G"}));
  EXPECT_EQ(
      ConvertLastDates(LoadStockList(path), DateFormat::YearMonthDay, DateFormat::DayMonthYear),
      QStringList({"Alpha,A,", "beta,B,13-03-2009", "Gamma,G,"}));
  bool ok = false;
  EXPECT_TRUE(LoadStockList(dir.filePath("none.txt"), &ok).isEmpty());
  EXPECT_TRUE(ok);
}

TEST(StockList, WriteLastPricesAveragesRecentDays) {
  QTemporaryDir dir;
  PriceStore store(dir.path() + '/');
  test::writeFile(dir.filePath("Last Prices.txt"), "LatestPrice_nl: 1\r\nLatestPrice_us: 2\r\n");
  const QDate today(2009, 3, 20);
  const QStringList dutch = {"A,a,2009-03-13",           "B,b,2009-03-19", "Old,o,2009-03-01",
                             "AEX-index,aex,2009-03-20", "Never,n,",       "Bad,x,13-03-2009"};
  ASSERT_TRUE(WriteLastPrices(store, Market::Dutch, dutch, today, DateFormat::YearMonthDay));
  const qint64 average =
      std::llround((dateToSerial(QDate(2009, 3, 13)) + dateToSerial(QDate(2009, 3, 19))) / 2);
  EXPECT_EQ(test::readFile(dir.filePath("Last Prices.txt")),
            "LatestPrice_nl: " + QByteArray::number(average) + "\r\nLatestPrice_us: 2\r\n");
  // No recent line: the stored value stays.
  ASSERT_TRUE(
      WriteLastPrices(store, Market::Us, {"Old,o,2009-01-01"}, today, DateFormat::YearMonthDay));
  EXPECT_TRUE(test::readFile(dir.filePath("Last Prices.txt")).endsWith("LatestPrice_us: 2\r\n"));
}

TEST(PriceImport, ReadsTheUsualLayouts) {
  struct Case {
    const char* text;
    QStringList lines;
  };
  const Case cases[] = {
      {"Date,Open,High,Low,Close,Adj Close,Volume\n2009-03-06,1,2,0,12.5,12.4,9\n"
       "2009-03-05,1,2,0,12.25,12.2,9\n2009-03-09,null,null,null,null,null,null\n",
       {"090305,12.25", "090306,12.5"}},
      {"\xEF\xBB\xBF\"Close\";\"Date\"\r\n\"12,5\";\"06-03-2009\"\r\n1.234,5;5.3.2009\r\n",
       {"090305,1234.5", "090306,12.5"}},
      {"date,close\n6/3/2009,\"12,50\"\n", {"090306,12.50"}},
  };
  for (const Case& c : cases) {
    const ImportedPrices read = ParsePriceCsv(c.text, "f.csv");
    EXPECT_FALSE(read.refused) << c.text;
    EXPECT_EQ(read.downloadLines, c.lines) << c.text;
  }
}

TEST(PriceImport, RefusesWithTheLine) {
  struct Case {
    const char* text;
    int line;
  };
  const Case cases[] = {
      {"Datum,Slot\n2009-03-05,1\n", 1},
      {"Date,Close\n2009-03-05,1\n2009-13-05,2\n", 3},
      {"Date,Close\n2009-03-05,1\n2009-03-06,abc\n", 3},
      {"Date,Close\n2009-03-05,1\n2009-03-05,2\n", 3},
      {"Date,Close\n2009-03-05,-1\n", 2},
      {"Date,Close\n", 2},
      {"\x01\xff\x13garbage", 1},
  };
  for (const Case& c : cases) {
    const ImportedPrices read = ParsePriceCsv(c.text, "f.csv");
    ASSERT_TRUE(read.refused) << c.text;
    EXPECT_EQ(read.refused->line, c.line) << c.text;
    EXPECT_TRUE(read.downloadLines.isEmpty());
  }
}

}  // namespace
}  // namespace pelmar
