#include "prices/price_replies.h"

#include <gtest/gtest.h>

#include "lang/language.h"
#include "model/dates.h"

namespace pelmar {
namespace {

ReplyResult newest(int y, int m, int d) {
  return {FetchStatus::Ok, QDate(y, m, d)};
}

// A reply, what parsing it returns and the download lines it gives.
struct ReplyCase {
  const char* reply;
  ReplyResult result;
  QStringList lines;
};

// The day the tests' replies are read on.
const QDate kToday(2026, 1, 5);

template <typename Parse, std::size_t N>
void expectReplies(Parse parse, const ReplyCase (&cases)[N]) {
  for (const ReplyCase& c : cases) {
    QStringList lines;
    std::optional<Reason> refused;
    EXPECT_EQ(parse(QString::fromLatin1(c.reply), lines, kToday, refused), c.result) << c.reply;
    EXPECT_EQ(lines, c.lines) << c.reply;
    EXPECT_EQ(refused.has_value(), c.result.status == FetchStatus::Failed) << c.reply;
  }
}

// A refused reply: the reason's line and its text in both languages.
struct RefusedCase {
  const char* name;
  const char* reply;
  int line;
  const char* dutch;
  const char* english;
};

template <typename Parse, std::size_t N>
void expectRefused(Parse parse, const RefusedCase (&cases)[N]) {
  for (const RefusedCase& c : cases) {
    QStringList lines;
    std::optional<Reason> refused;
    EXPECT_EQ(parse(QString::fromLatin1(c.reply), lines, kToday, refused).status,
              FetchStatus::Failed)
        << c.name;
    EXPECT_TRUE(lines.isEmpty()) << c.name;
    ASSERT_TRUE(refused) << c.name;
    EXPECT_EQ(refused->line, c.line) << c.name;
    EXPECT_EQ(refused->text(Language(Language::Code::Dutch)), QString::fromUtf8(c.dutch)) << c.name;
    EXPECT_EQ(refused->text(Language(Language::Code::English)), QString::fromUtf8(c.english))
        << c.name;
  }
}

TEST(PriceReplies, DayFitsTheFilesNames) {
  // The hundred years ending tomorrow: each two-digit year one day only.
  EXPECT_TRUE(DayFitsFiles(QDate(2026, 1, 6), kToday));
  EXPECT_FALSE(DayFitsFiles(QDate(2026, 1, 7), kToday));
  EXPECT_TRUE(DayFitsFiles(QDate(1926, 1, 7), kToday));
  EXPECT_FALSE(DayFitsFiles(QDate(1926, 1, 6), kToday));
  EXPECT_FALSE(DayFitsFiles(QDate(1926, 1, 2), kToday));
  EXPECT_FALSE(DayFitsFiles(QDate(9999, 12, 31), kToday));
  EXPECT_FALSE(DayFitsFiles(QDate(), kToday));
  for (const char* plain : {"12", "12.34", "0.5"}) EXPECT_TRUE(IsPlainDecimal(plain)) << plain;
  for (const char* other : {"1e308", "0x1F", "12.", ".5", "1,5", "-1", "inf", "nan", ""})
    EXPECT_FALSE(IsPlainDecimal(other)) << other;
}

TEST(PriceReplies, RefusedDutchReplies) {
  const RefusedCase cases[] = {
      {"exponent", "251230: 12,00\n251231: 1e308\n", 2, "regel 2: \"1e308\" is geen koers",
       "line 2: \"1e308\" is no price"},
      {"after tomorrow", "260105: 7,05\n991231: 7,10\n", 2,
       "regel 2: 991231 valt buiten de honderd jaar tot en met morgen",
       "line 2: 991231 lies outside the hundred years ending tomorrow"},
      {"no day", "261332: 7,05\n", 1, "regel 1: \"261332\" is geen datum",
       "line 1: \"261332\" is no date"},
  };
  expectRefused(ParseDutchReply, cases);
}

TEST(PriceReplies, RefusedUsTables) {
  const RefusedCase cases[] = {
      {"a century ago", "Date,Close\n1926-01-02,99.00\n", 2,
       "regel 2: 1926-01-02 valt buiten de honderd jaar tot en met morgen",
       "line 2: 1926-01-02 lies outside the hundred years ending tomorrow"},
      {"end of time", "Date,Close\n9999-12-31,7.05\n", 2,
       "regel 2: 9999-12-31 valt buiten de honderd jaar tot en met morgen",
       "line 2: 9999-12-31 lies outside the hundred years ending tomorrow"},
      {"exponent", "Date,Close\n2026-01-05,7.05\n2026-01-02,1e308\n", 3,
       "regel 3: \"1e308\" is geen koers", "line 3: \"1e308\" is no price"},
  };
  expectRefused(ParseUsReply, cases);
}

TEST(PriceReplies, DutchReplies) {
  const ReplyCase cases[] = {
      {"090312: 12,00\r\n090313: 12,34X\r\n",
       newest(2009, 3, 13),
       {"090312,12.00", "090313,12.34"}},
      {"Default.htm", {FetchStatus::TooSmall, {}}, {}},
      {"", {FetchStatus::TooSmall, {}}, {}},
      {"090313: 0,00\n", {FetchStatus::Nothing, {}}, {}},
      {"090313: abc\n", {FetchStatus::Nothing, {}}, {}},
      {"<html>no colon here</html>", {FetchStatus::NotFound, {}}, {}},
      // A price too long to be one ends the reading.
      {"090312: 1,5\n090313: 12345678901\n090314: 2\n", newest(2009, 3, 12), {"090312,1.5"}},
      // A newest date that is no date: not found, which the pass does not store.
      {"xx0313: 12,34\n", {FetchStatus::NotFound, {}}, {"xx0313,12.34"}},
  };
  expectReplies(ParseDutchReply, cases);
}

TEST(PriceReplies, UsTables) {
  const ReplyCase cases[] = {
      {"Date,Open,High,Low,Close,Volume,Adj Close\n5-Mar-09,1,2,0.5,1.5,100,1.45\n"
       "4-Mar-09,1,2,0.5,1.4,100,1.35\n",
       newest(2009, 3, 5),
       {"090305,1.45", "090304,1.35"}},
      {"\"Date\",\"Close\"\r\n\"2009-03-05\",\"12.5\"\r\n", newest(2009, 3, 5), {"090305,12.5"}},
      {"Date,Close\n2009-03-05\n", {FetchStatus::Nothing, {}}, {}},
      {"<p>Please check the URL</p>", {FetchStatus::NotFound, {}}, {}},
      {"", {FetchStatus::TooSmall, {}}, {}},
      {"Date,Close\nnot a date,12\n", {FetchStatus::NotFound, {}}, {}},
      {"Date,Close\n31-Feb-09,12\n", {FetchStatus::NotFound, {}}, {}},
  };
  expectReplies(ParseUsReply, cases);
}

TEST(PriceReplies, AddressesAndLookupPage) {
  EXPECT_EQ(DutchPriceUrl("https://a.example/", "ASML"),
            "https://a.example/Beurs/Slotkoersen/.a/asml");
  EXPECT_EQ(UsPriceUrl("https://b.example/", "IBM", QDate(2009, 1, 5), QDate(2009, 12, 31)),
            "https://b.example/table.csv?s=IBM&a=0&b=5&c=2009&d=11&e=31&f=2009&g=d&ignore=.csv");
  EXPECT_EQ(LookupUrl("https://c.example/", "A&B"), "https://c.example/l?s=A%26B&t=S&m=US");

  const QString one = "<html>" + QString(60, ' ') +
                      "Stocks<br>(1)<table><tr><td><a href=\"/q?s=IBM\">IBM</a></td>"
                      "<td>International Business Machines</td></tr>";
  const LookupResult found = ParseLookupPage(one);
  EXPECT_EQ(found.count, 1);
  EXPECT_EQ(found.ticker, "IBM");
  EXPECT_EQ(found.company, "International Business Machines");
  EXPECT_EQ(ParseLookupPage(QString(one).replace("(1)", "(2)")).count, 2);
  EXPECT_EQ(ParseLookupPage(QString(one).remove("</td>")).count, 0);
  EXPECT_EQ(ParseLookupPage("Stocks<br>(1)").count, 0);  // too short to be a page
}

TEST(PriceReplies, PadName) {
  EXPECT_EQ(PadName("AB"), "AB . . . . . . . . . . ");
  const QString thirty(30, 'n');
  EXPECT_EQ(PadName(thirty), thirty + ' ');
}

TEST(PriceReplies, NoNewPricesYet) {
  const auto at = [](int y, int m, int d, int hour) {
    return QDateTime(QDate(y, m, d), QTime(hour, 0));
  };
  struct Case {
    QDateTime now;
    QDate last;
    bool dutchSkip;
  };
  // 2009-03-13 is a Friday, 2009-03-16 a Monday.
  const Case dutch[] = {
      {at(2009, 3, 13, 12), QDate(2009, 3, 13), true},
      {at(2009, 3, 13, 19), QDate(2009, 3, 12), true},
      {at(2009, 3, 13, 20), QDate(2009, 3, 12), false},
      {at(2009, 3, 16, 19), QDate(2009, 3, 13), true},
      {at(2009, 3, 16, 20), QDate(2009, 3, 13), false},
      {at(2009, 3, 13, 12), QDate(2009, 3, 10), false},
  };
  for (const Case& c : dutch)
    EXPECT_EQ(NoNewDutchPrices(c.now, c.last), c.dutchSkip)
        << c.now.toString(Qt::ISODate).toStdString();

  // Good Friday 2009-04-10: today is the Thursday before.
  EXPECT_EQ(LastWorkingDay(QDate(2009, 4, 10)), QDate(2009, 4, 9));
  EXPECT_EQ(LastWorkingDay(QDate(2009, 4, 13)), QDate(2009, 4, 9));  // Easter Monday
  EXPECT_TRUE(NoNewUsPrices(at(2009, 4, 10, 12), QDate(2009, 4, 9)));
  EXPECT_TRUE(NoNewUsPrices(at(2009, 3, 17, 12), QDate(2009, 3, 16)));  // Tuesday, one day
  EXPECT_TRUE(NoNewUsPrices(at(2009, 3, 17, 0), QDate(2009, 3, 15)));   // two days at midnight
  EXPECT_FALSE(NoNewUsPrices(at(2009, 3, 17, 12), QDate(2009, 3, 15)));
  EXPECT_TRUE(NoNewUsPrices(at(2009, 3, 16, 12), QDate(2009, 3, 13)));  // Monday, Friday's
  EXPECT_FALSE(NoNewUsPrices(at(2009, 3, 16, 12), QDate(2009, 3, 12)));
}

}  // namespace
}  // namespace pelmar
