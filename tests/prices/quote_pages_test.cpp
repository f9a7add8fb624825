#include "prices/quote_pages.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <map>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

// A made-up currency-rate page with the rate's mark.
QByteArray dollarPage(const QByteArray& rate) {
  return "<html><head><title>Rates</title></head><body><table><tr>"
         "<td id=\"ratesC1Value\" class=\"v\">" +
         rate + "</td></tr></table></body></html>";
}

// A made-up index-quote page of the shape the AEX parser reads, padded past
// its minimum size.
QByteArray aexPage(const QByteArray& last, const QByteArray& change, const QByteArray& percent,
                   const QByteArray& time) {
  return "<html><body>" + QByteArray(1000, ' ') +
         "<span class=\"x\" id=\"last_last\" dir=\"ltr\">" + last +
         "</span><span class=\"pc\" dir=\"ltr\">" + change +
         "</span><span class=\"pcp\" dir=\"ltr\">" + percent + "</span><span class=\"time\">" +
         time + "</span></body></html>";
}

TEST(QuotePages, Numbers) {
  const std::map<QString, std::optional<double>> rows = {
      {"0.9234", 0.9234},    {"0,9234", 0.9234},      {"1,234.56", 1234.56},
      {"1.234,56", 1234.56}, {"1.234.567", 1234567},  {" -5.23 ", -5.23},
      {"\u22125,2", -5.2},   {"+12.5", 12.5},         {"", std::nullopt},
      {"abc", std::nullopt}, {"1e999", std::nullopt}, {"nan", std::nullopt}};
  for (const auto& [text, expected] : rows) {
    const std::optional<double> got = QuoteNumber(text);
    ASSERT_EQ(got.has_value(), expected.has_value()) << text.toStdString();
    if (got) {
      EXPECT_DOUBLE_EQ(*got, *expected) << text.toStdString();
    }
  }
}

TEST(QuotePages, DollarPage) {
  using F = DollarPageFailure;
  struct Row {
    const char* name;
    QByteArray page;
    F failure;
    double rate;
  };
  const Row rows[] = {
      {"point", dollarPage("0.92345"), F::None, 0.9235},
      {"comma", dollarPage("0,9234"), F::None, 0.9234},
      {"empty", "", F::NoReply, 0},
      {"default", "Default.htm", F::TooShort, 0},
      {"short", "<html>ratesC1Value>0.9</html>", F::TooShort, 0},
      {"no mark", QByteArray(200, 'x'), F::NoMark, 0},
      {"mark without >", QByteArray(100, 'x') + "ratesC1Value", F::NoMark, 0},
      {"no number", dollarPage("n/a"), F::NoNumber, 0},
      {"truncated", dollarPage("0.93").left(105), F::None, 0.93},
      {"mark past the read part", QByteArray(20000, 'x') + dollarPage("0.9"), F::NoMark, 0},
      {"10 MB noise", QByteArray(10 * 1024 * 1024, '<'), F::NoMark, 0},
  };
  for (const Row& row : rows) {
    const DollarRate rate = ParseDollarRatePage(row.page);
    EXPECT_EQ(rate.failure, row.failure) << row.name;
    EXPECT_NEAR(rate.rate, row.rate, 1e-12) << row.name;
  }
  EXPECT_DOUBLE_EQ(ParseDollarRatePage(dollarPage("0.92345")).unrounded, 0.92345);
}

TEST(QuotePages, AexPage) {
  const Language nl(Language::Code::Dutch);
  const Language en(Language::Code::English);
  const AexQuote quote = ParseAexPage(aexPage("912.34", "-5.236", "-0.57%", "17:35:00"), nl);
  ASSERT_TRUE(quote.ok());
  EXPECT_DOUBLE_EQ(quote.value, 912.34);
  EXPECT_EQ(quote.change, QStringLiteral("-5,24"));
  EXPECT_EQ(quote.percent, QStringLiteral("-0.57%"));
  EXPECT_EQ(quote.time, QStringLiteral("17:35:00"));
  EXPECT_DOUBLE_EQ(ParseAexPage(aexPage("1.012,5", "+1,5", "0,1%", "9:00"), en).value, 1012.5);
  EXPECT_EQ(ParseAexPage(aexPage("1.012,5", "+1,5", "0,1%", "9:00"), en).change,
            QStringLiteral("1.50"));

  const QByteArray good = aexPage("912.34", "-5.23", "-0.57%", "17:35:00");
  const std::pair<const char*, QByteArray> hostile[] = {
      {"short", good.right(900)},
      {"no last_last", QByteArray(good).replace("last_last", "last")},
      {"no time", QByteArray(good).replace("time\"", "tim\"")},
      {"one ltr only", QByteArray(good).replace("pcp\" dir=\"ltr\"", "pcp\"")},
      {"truncated", good.left(good.indexOf("17:35"))},
      {"no number", aexPage("closed", "0", "0", "9:00")},
      {"10 MB noise", QByteArray(10 * 1024 * 1024, 'x') + "\"last_last\">"},
  };
  for (const auto& [name, page] : hostile) {
    const AexQuote failed = ParseAexPage(page, en);
    EXPECT_FALSE(failed.ok()) << name;
    EXPECT_LE(failed.value, 10.0) << name;
    EXPECT_EQ(failed.lastText, QStringLiteral("*******")) << name;
    EXPECT_TRUE(failed.time.isEmpty()) << name;
    ASSERT_TRUE(failed.failure) << name;
    EXPECT_EQ(failed.failure->text(nl),
              QStringLiteral("Het downloaden van de AEX is niet gelukt."));
  }
  EXPECT_EQ(AexPageUrl(QStringLiteral("https://q.example")),
            QStringLiteral("https://q.example/indices/netherlands-25-historical-data"));
}

TEST(QuotePages, DollarLinesInTodaysPriceFile) {
  QTemporaryDir dir;
  PriceStore store(dir.path());
  const QDate today(2024, 3, 15);
  // An existing file of another case keeps its other lines and its name.
  test::writeFile(dir.filePath(QStringLiteral("240315a.csv")),
                  "ASML,asml,24/03/15,600.1\r\nDollar/Euro,dol.eur,24/03/15,0.9000\r\n");
  ASSERT_TRUE(WriteDollarToPriceFile(store, 0.8, today));
  EXPECT_EQ(test::readFile(dir.filePath(QStringLiteral("240315a.csv"))),
            QByteArray("ASML,asml,24/03/15,600.1\r\n"
                       "Dollar/Euro,dol.eur,24/03/15,0.8000\r\n"
                       "EUR/USD,EURUSD=X,24/03/15,1.2500\r\n"
                       "Euro/Dollar,eur.dol,24/03/15,1.2500\r\n"
                       "USD/EUR,USDEUR=X,24/03/15,0.8000\r\n"));
  EXPECT_DOUBLE_EQ(store.GetFilePrice(QStringLiteral("eur.dol"), today), 1.25);

  // A new day makes its file.
  ASSERT_TRUE(WriteDollarToPriceFile(store, 0.9, today.addDays(1)));
  EXPECT_DOUBLE_EQ(store.GetFilePrice(QStringLiteral("USDEUR=X"), today.addDays(1)), 0.9);
  EXPECT_FALSE(WriteDollarToPriceFile(store, 0, today));
}

}  // namespace
}  // namespace pelmar
