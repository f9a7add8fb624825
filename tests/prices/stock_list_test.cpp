#include "prices/stock_list.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "lang/language.h"
#include "model/dates.h"
#include "prices/price_table.h"
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
  TableChoices dayFirst;
  dayFirst.dateOrder = DateOrder::DayMonthYear;
  for (const Case& c : cases) {
    const PriceTable read = ReadPriceTable(c.text, "f.csv", QDate(2026, 1, 5), dayFirst);
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
      {"Day,Amount\n2009-03-05,1\n", 1},
      {"Date,Close\n2009-03-05,1\n2009-13-05,2\n", 3},
      {"Date,Close\n2009-03-05,1\n2009-03-06,abc\n", 3},
      {"Date,Close\n2009-03-05,1\n2009-03-05,2\n", 3},
      {"Date,Close\n2009-03-05,-1\n", 2},
      {"Date,Close\n", 2},
      {"\x01\xff\x13garbage", 1},
  };
  for (const Case& c : cases) {
    const PriceTable read = ReadPriceTable(c.text, "f.csv", QDate(2026, 1, 5));
    ASSERT_TRUE(read.refused) << c.text;
    EXPECT_EQ(read.refused->line, c.line) << c.text;
    EXPECT_TRUE(read.downloadLines.isEmpty());
  }
}

// A file refused whole: the line and the reason in both languages.
struct RefusedCsv {
  const char* name;
  const char* text;
  int line;
  const char* dutch;
  const char* english;
};

TEST(PriceImport, RefusesRowsNotReadWholeAndDatesTheFilesCannotName) {
  const RefusedCsv cases[] = {
      // The unquoted decimal comma: two fields under a heading of two, three here.
      {"more fields", "Date,Close\n2026-01-02,7.05\n2026-01-05,10,5\n", 3,
       "regel 3: 3 velden, de kop heeft er 2", "line 3: 3 fields, the heading has 2"},
      {"cut short", "Date,Open,Close\n2026-01-02,7,7.05\n2026-01-05,7", 3,
       "regel 3: 2 velden, de kop heeft er 3", "line 3: 2 fields, the heading has 3"},
      {"cut after a separator", "Date,Open,Close\n2026-01-02,7,7.05\n2026-01-05,7,", 3,
       "regel 3: \"\" is geen koers", "line 3: \"\" is no price"},
      {"quote left open", "Date,Close\n2026-01-02,\"7.05\n", 2,
       "regel 2: een aanhalingsteken wordt niet gesloten", "line 2: a quote is not closed"},
      {"a century ago", "Date,Close\n2026-01-02,7.05\n1926-01-02,99.00\n", 3,
       "regel 3: 1926-01-02 valt buiten de honderd jaar tot en met morgen",
       "line 3: 1926-01-02 lies outside the hundred years ending tomorrow"},
      {"after tomorrow", "Date,Close\n2026-01-07,7.05\n", 2,
       "regel 2: 2026-01-07 valt buiten de honderd jaar tot en met morgen",
       "line 2: 2026-01-07 lies outside the hundred years ending tomorrow"},
      {"end of time", "Date,Close\n9999-12-31,7.05\n", 2,
       "regel 2: 9999-12-31 valt buiten de honderd jaar tot en met morgen",
       "line 2: 9999-12-31 lies outside the hundred years ending tomorrow"},
      {"empty", "", 1, "regel 1: geen kolommen Date en Close", "line 1: no Date and Close columns"},
  };
  for (const RefusedCsv& c : cases) {
    const PriceTable read = ReadPriceTable(c.text, "f.csv", QDate(2026, 1, 5));
    ASSERT_TRUE(read.refused) << c.name;
    EXPECT_EQ(read.refused->line, c.line) << c.name;
    EXPECT_TRUE(read.downloadLines.isEmpty()) << c.name;
    EXPECT_EQ(read.refused->text(Language(Language::Code::Dutch)), QString::fromUtf8(c.dutch))
        << c.name;
    EXPECT_EQ(read.refused->text(Language(Language::Code::English)), QString::fromUtf8(c.english))
        << c.name;
  }
  // Tomorrow still fits; a holiday row of nulls is passed over.
  const PriceTable read = ReadPriceTable(
      "Date,Open,Close\n2026-01-06,7,7.05\n2026-01-01,null,null\n", "f.csv", QDate(2026, 1, 5));
  EXPECT_FALSE(read.refused);
  EXPECT_EQ(read.downloadLines, QStringList{"260106,7.05"});
}

TEST(StockList, TickersThatFitTheFiles) {
  for (const char* fits : {"ASML", "eur.dol", "USDEUR=X", "^AEX", "BRK-B", "\xc9T"})
    EXPECT_TRUE(TickerFitsFiles(QString::fromLatin1(fits))) << fits;
  for (const char* refused : {"", " ", "AAA,DBG", "A/B", "..\\x", "A:B", "A*", "A?", "A\"B", "A<B",
                              "A>B", "A|B", "A\tB", "A\x01", "A\x7f"})
    EXPECT_FALSE(TickerFitsFiles(QString::fromLatin1(refused))) << refused;
  EXPECT_FALSE(TickerFitsFiles(QString::fromUtf8("日本")));
  // A fund's own ticker may hold other characters; never the separator.
  EXPECT_TRUE(TickerFitsFiles(QString::fromUtf8("日本"), false));
  EXPECT_FALSE(TickerFitsFiles(QString::fromUtf8("日,本"), false));
  EXPECT_TRUE(
      NameFitsList(QString::fromLatin1("Cr\xe9"
                                       "dit")));
  EXPECT_FALSE(NameFitsList(QString::fromUtf8("日本")));
  EXPECT_FALSE(NameFitsList("A,B"));
}

// The bytes of a literal, NULs included.
template <std::size_t N>
QByteArray bytesOf(const char (&text)[N]) {
  return QByteArray(text, N - 1);
}

TEST(StockList, RefusedWholeWithTheLine) {
  struct Case {
    const char* name;
    QByteArray text;
    int line;  // 0: read
  };
  const Case cases[] = {
      {"a list", "Alpha,A,2026-01-02\r\nBeta,B,\r\nGamma,G\r\n\r\n", 0},
      {"Latin-1 names",
       "Cr\xe9"
       "dit Agricole,ACA,05-01-2026\r\n",
       0},
      {"a fourth field", "Alpha,A,2026-01-02\r\nBeta,B,2026-01-02,x\r\n", 2},
      {"binary", bytesOf("Alpha,A,\r\n\x01\x02\xff,\x05,\r\n"), 2},
      {"UTF-16",
       bytesOf("\xff\xfe"
               "A\0l\0,\0A\0,\0\r\0\n\0"),
       1},
      {"ticker with a path", "Alpha,../A,\r\n", 1},
      {"ticker not text", "Alpha,A\x85,\r\n", 1},
      {"date of letters", "Alpha,A,yesterday\r\n", 1},
  };
  QTemporaryDir dir;
  for (const Case& c : cases) {
    const QString path = dir.filePath("Stocks_nl.txt");
    test::writeFile(path, c.text);
    bool ok = false;
    std::optional<Reason> refused;
    const QStringList lines = LoadStockList(path, &ok, &refused);
    EXPECT_EQ(ok, c.line == 0) << c.name;
    if (c.line == 0) {
      EXPECT_FALSE(lines.isEmpty()) << c.name;
      continue;
    }
    EXPECT_TRUE(lines.isEmpty()) << c.name;
    ASSERT_TRUE(refused) << c.name;
    EXPECT_EQ(refused->line, c.line) << c.name;
    EXPECT_EQ(refused->text(Language(Language::Code::Dutch)),
              QStringLiteral("Regel %1 is geen regel van de vorm Naam,Ticker,Datum.").arg(c.line))
        << c.name;
    EXPECT_EQ(refused->text(Language(Language::Code::English)),
              QStringLiteral("Line %1 is not of the form Name,Ticker,Date.").arg(c.line))
        << c.name;
  }
}

}  // namespace
}  // namespace pelmar
