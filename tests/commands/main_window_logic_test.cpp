#include "commands/main_window_logic.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "fund_grid_fixture.h"

namespace pelmar {
namespace {

const QDate kStart(2023, 1, 2);

void writeFile(const QString& path, const QByteArray& content) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(content);
}

class MainWindowLogicTest : public test::FundGridFixture {
 protected:
  void SetUp() override { session.clock().fix(kStart.addMonths(1)); }

  // Two datasets holding beta, ALPHA and 9NINE; the last one is current.
  void twoDataSets() {
    start(kStart);
    addFund("beta", 500, 5, 100);
    addFund("ALPHA", 1000, 10, 100);
    addFund("9NINE", 100, 1, 100);
    calc();
    next(kStart.addMonths(1));
    portfolio().bAtLastSet = true;
  }

  QString priceFolder() { return session.settings().pricePath; }
};

TEST_F(MainWindowLogicTest, FundListIsSortedWithoutRegardToCasePlaceholderBeforeLetters) {
  twoDataSets();
  EXPECT_EQ(FillFondsenBox(portfolio()), QStringList({"9NINE", "[Nieuw]", "ALPHA", "beta"}));
  EXPECT_EQ(FundOffsetOf(portfolio(), "ALPHA"), 1);
  EXPECT_EQ(FundOffsetOf(portfolio(), "[Nieuw]"), 3);
  EXPECT_EQ(FundOffsetOf(portfolio(), "alpha"), -1);
  EXPECT_TRUE(FundListLess("[New]", "aex"));
  EXPECT_TRUE(FundListLess("abc", "ABD"));
  EXPECT_FALSE(FundListLess("ABC", "abc"));
}

TEST(MainWindowLogic, DollarRateIsKeptAsTheDollarInEuros) {
  EXPECT_DOUBLE_EQ(NormalisedDollar(1.25), 0.8);
  EXPECT_DOUBLE_EQ(NormalisedDollar(0), 0.93);
  EXPECT_DOUBLE_EQ(NormalisedDollar(-2), 0.93);
  EXPECT_DOUBLE_EQ(NormalisedDollar(150), 0.93);  // 0.0067 is no rate
  EXPECT_DOUBLE_EQ(NormalisedDollar(0.9123), 0.9123);
  EXPECT_DOUBLE_EQ(NormalisedDollar(1.0), 1.0);
}

TEST_F(MainWindowLogicTest, ShowDataSetShowsTheFundAndStoresTheNormalisedRate) {
  twoDataSets();
  portfolio().alg().Dollar = 1.25;
  fund(1).Flag1 = KoersFlag::Splits;
  const DataSetView view = ShowDataSet(session, portfolio().FirstKoersIndex + 1, "/p/Test.xml");
  EXPECT_EQ(view.caption, "Pelmar versie 1.32a [" + QDir::toNativeSeparators("/p/Test.xml") + "]");
  EXPECT_TRUE(view.atLastSet);
  EXPECT_DOUBLE_EQ(portfolio().alg().Dollar, Real48(0.8));
  EXPECT_EQ(view.datum, "2023-02-02");
  EXPECT_EQ(view.nodePanel, "Dataset 2");
  EXPECT_EQ(view.ticker, "ALPHA");
  EXPECT_EQ(view.splitLabel, "ALPHA is gesplitst.");
  EXPECT_EQ(view.fundCumDatum, "2023-01-02");
  EXPECT_EQ(view.currency.portfolio, "Portefeuille in Euro");
  EXPECT_EQ(view.currency.report, "Rapport in Euro");
  EXPECT_EQ(view.currency.euro, "1,0 € = 1,2500 US$");
  EXPECT_EQ(view.currency.dollar, "1,0 US$ = 0,8000 €");
  EXPECT_EQ(portfolio().SelFonds, 1);
  EXPECT_TRUE(view.servicePanel.startsWith(
      " Node = " + QString::number(portfolio().FirstKoersIndex + 1) + " | Som = False"));

  // The index of the currency gives the euro in dollars: the rate is then
  // that of one euro.
  session.settings().currencyMulDiv = true;
  session.setLanguage(Language::Code::English);
  const DataSetView english = ShowDataSet(session, portfolio().FirstKoersIndex + 3, "x.xml");
  EXPECT_EQ(english.currency.euro, "1.0 € = 0.8000 US$");
  EXPECT_EQ(english.ticker, "[Nieuw]");  // the file's text stays
  EXPECT_TRUE(english.fundCumDatum.isEmpty());
  EXPECT_TRUE(english.splitLabel.isEmpty());

  // An index outside the dataset's funds falls back on its first fund.
  EXPECT_EQ(ShowDataSet(session, 99999, "x.xml").ticker, "beta");
}

TEST_F(MainWindowLogicTest, ShowDataSetShowsTheDayPriceWithMatchingTotals) {
  twoDataSets();
  writeFile(priceFolder() + "230202A.csv",
            "Nine,9NINE,23/02/02,50\r\nAlpha,ALPHA,23/02/02,125.5\r\nBeta,beta,23/02/02,90\r\n");
  session.prices().refresh();
  const double valueBefore = portfolio().alg().Totaal;
  ShowDataSet(session, portfolio().FirstKoersIndex + 1, "x.xml");
  EXPECT_DOUBLE_EQ(fund(1).Koers, 125.5);
  // The totals follow the prices shown: 10 x 25.5 up, 5 x 10 and 1 x 50 down.
  EXPECT_NEAR(portfolio().alg().Totaal - valueBefore, 155, 0.01);
}

TEST(MainWindowLogic, ShortByteCounts) {
  const std::pair<qint64, const char*> cases[] = {
      {0, "0 "},
      {999, "999 "},
      {1000, "1,000 k"},
      {12345, "12,345 k"},
      {1234567, "1,234 M"},
      {123456789012LL, "123,456 G"},
      {123456789012345LL, "123,456 T"},
      {1234567890123456LL, "1234,567 T"},
      {-5, "0 "},
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(ShortByteCount(bytes, ','), expected);
  EXPECT_EQ(ShortByteCount(12345, '.'), "12.345 k");
}

TEST_F(MainWindowLogicTest, PropertiesListTheFileAndThePortfolio) {
  twoDataSets();
  IdentRec& ident = portfolio().identAt(0);
  ident.Name = QStringLiteral("Pelmar");
  ident.VersionI = QStringLiteral("1.32a");
  ident.CopyrightI = QStringLiteral("(c) Pelmar");
  ident.Author = QStringLiteral("Piet");
  ident.Flag1 = IdentFlag::JaarAfsl;
  portfolio().bRapInDollar = true;
  EXPECT_EQ(PropertiesText(session, "/data/Port/Test-1.xml", 999),
            "   Bestandsnaam: Test-1.xml.\r\n"
            "   Bestandsgrootte: 999 bytes.\r\n"
            "   Aantal DataSets: 2.\r\n"
            "   Gewijzigd met: Pelmar 1.32a.\r\n"
            "   Het jaar is afgesloten.\r\n\r\n"
            "   Pelmar (c) Pelmar.\r\n"
            "   Auteurs: Piet.\r\n\r\n"
            "   Valuta van Portefeuille: Euro.\r\n"
            "   Valuta van Rapporten: Dollar.");
  session.setLanguage(Language::Code::English);
  ident.Flag1 = 0;
  const QString english = PropertiesText(session, "a.xml", 12345);
  EXPECT_TRUE(english.contains("   File size: 12.345 kbytes.\r\n"));
  EXPECT_TRUE(english.contains("The year has NOT been closed."));
  EXPECT_TRUE(english.contains("Autors: Piet."));

  Session empty(QStringLiteral("/nowhere/"));
  EXPECT_TRUE(PropertiesText(empty, "a.xml", 1).isEmpty());
}

TEST_F(MainWindowLogicTest, LatestPricesOlderThan100DaysAreUnknown) {
  const qint64 today = static_cast<qint64>(dateToSerial(session.clock().today()));
  EXPECT_EQ(ShowLatestPrices(session, {today - 99, today - 100}, "230202A.csv").status,
            "Gelezen: 230202A.csv\r\nLaatste koersen: NL: 2022-10-26, US: Onbekend");
  session.setLanguage(Language::Code::English);
  EXPECT_EQ(ShowLatestPrices(session, {0, today}, {}).downloadLabel,
            " Latest Prices: NL: Unknown, US: 2023-02-02");

  // "Last Prices.txt": missing, malformed and well-formed.
  EXPECT_EQ(ReadLastPrices(priceFolder()).dutch, 0);
  writeFile(priceFolder() + "Last Prices.txt", "LatestPrice_nl: 44959\r\nLatestPrice_us: x12\r\n");
  const LatestPriceDays days = ReadLastPrices(priceFolder());
  EXPECT_EQ(days.dutch, 44959);
  EXPECT_EQ(days.us, 0);
}

TEST(MainWindowLogic, WindowPositionIsClampedOntoTheScreen) {
  const QRect screen(0, 0, 1280, 1000);  // the task bar already left out
  const QSize frame(786, 607);
  EXPECT_EQ(ClampWindowPosition({0, 0}, frame, screen), QPoint(1, 1));
  EXPECT_EQ(ClampWindowPosition({-50, 200}, frame, screen), QPoint(1, 200));
  EXPECT_EQ(ClampWindowPosition({1000, 100}, frame, screen), QPoint(494, 100));
  EXPECT_EQ(ClampWindowPosition({100, 900}, frame, screen), QPoint(100, 393));
  EXPECT_EQ(ClampWindowPosition({100, 100}, QSize(2000, 1500), screen), QPoint(0, 0));
  EXPECT_EQ(ClampWindowPosition({1300, 50}, frame, QRect(1280, 0, 1024, 768)), QPoint(1300, 50));
}

TEST(QuoteHistory, FirstQuoteFillsTheRingAndOnlyTimerTicksAddToIt) {
  using Mark = QuoteHistory::Mark;
  QuoteHistory history;
  EXPECT_DOUBLE_EQ(history.dollarQuote("ALPHA", 0.9, false), 0.9);
  for (Mark mark : history.marks()) EXPECT_EQ(mark, Mark::Level);

  history.dollarQuote("ALPHA", 0.95, false);  // the button: redraw only
  for (Mark mark : history.marks()) EXPECT_EQ(mark, Mark::Level);

  history.dollarQuote("ALPHA", 0.95, true);
  EXPECT_EQ(history.marks().back(), Mark::Up);
  history.dollarQuote("ALPHA", 0.92, true);
  EXPECT_EQ(history.marks()[15], Mark::Up);
  EXPECT_EQ(history.marks()[16], Mark::Down);
  EXPECT_EQ(history.marks()[14], Mark::Level);
  EXPECT_EQ(history.position(), 2);
}

TEST(QuoteHistory, SwitchingTheRateDirectionInvertsTheRingOnce) {
  QuoteHistory history;
  history.dollarQuote("dol.eur", 0.8, true);
  history.dollarQuote("dol.eur", 0.5, true);
  EXPECT_EQ(history.marks().back(), QuoteHistory::Mark::Down);

  EXPECT_DOUBLE_EQ(history.dollarQuote("eur.dol", 0.5, false), 2.0);
  EXPECT_DOUBLE_EQ(history.values()[0], 1.25);
  EXPECT_DOUBLE_EQ(history.values()[1], 2.0);
  EXPECT_EQ(history.marks().back(), QuoteHistory::Mark::Up);
  history.dollarQuote("EURUSD=X", 0.5, false);
  EXPECT_DOUBLE_EQ(history.values()[0], 1.25);

  // A rate of 0 never turns into an infinite value.
  history.dollarQuote("eur.dol", 0, true);
  for (double value : history.values()) EXPECT_TRUE(std::isfinite(value));
}

TEST(QuoteHistory, AexTicksAlwaysAddAndTheTextShowsTheChange) {
  QuoteHistory history;
  history.aexQuote(700);
  history.aexQuote(701);
  EXPECT_EQ(history.position(), 2);
  EXPECT_EQ(history.marks()[15], QuoteHistory::Mark::Level);
  EXPECT_EQ(history.marks()[16], QuoteHistory::Mark::Up);

  const Language dutch(Language::Code::Dutch);
  const AexTimeText down = AexQuoteText(dutch, 701.256, "-1,2", "-0,17%", "17:35");
  EXPECT_EQ(down.text, "701,26 -1,2 -0,17% 17:35");
  EXPECT_TRUE(down.falling);
  EXPECT_FALSE(AexQuoteText(dutch, 1, "+1", "", "").falling);
  EXPECT_EQ(DollarTimeText(dutch, "2023-02-02 17:3"), "2023-02-02 17:3");
  EXPECT_EQ(DollarTimeText(dutch, "2023-02-02"), "Geen Datum");
}

TEST_F(MainWindowLogicTest, ExamplePricesAreCopiedWithoutOverwriting) {
  const QString program = dir.path() + "/program";
  const QString prices = dir.path() + "/user/Prices";
  // No example folder at all: nothing copied, nothing fails.
  EXPECT_EQ(CopyExamplePrices(program, prices, {"*.csv"}), 0);
  EXPECT_FALSE(FolderHolds(prices, "*.csv"));

  writeFile(program + "/Prices/230202A.csv", "a");
  writeFile(program + "/Prices/Stocks_nl.txt", "b");
  writeFile(program + "/Prices/notes.doc", "c");
  EXPECT_EQ(CopyExamplePrices(program, prices, {"*.csv", "*.txt"}), 2);
  EXPECT_TRUE(FolderHolds(prices, "*.csv"));
  EXPECT_FALSE(QFile::exists(prices + "/notes.doc"));

  // The user's own file is never overwritten.
  writeFile(prices + "/Stocks_nl.txt", "mine");
  CopyExamplePrices(program, prices, {"*.txt"});
  QFile mine(prices + "/Stocks_nl.txt");
  ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
  EXPECT_EQ(mine.readAll(), "mine");
}

TEST(MainWindowLogic, HelpContextsFindTheirSection) {
  EXPECT_EQ(HelpAnchor(31147), "file");
  EXPECT_EQ(HelpAnchor(31292), "actions");
  EXPECT_EQ(HelpAnchor(34101), "fundpanel");
  EXPECT_EQ(HelpAnchor(34305), "grid");
  EXPECT_EQ(HelpAnchor(1000), "main");
  EXPECT_EQ(HelpAnchor(50000), "about");
}

}  // namespace
}  // namespace pelmar
