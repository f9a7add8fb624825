#include "commands/latest_prices.h"

#include <gtest/gtest.h>

#include "model/dates.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

class LatestPricesTest : public test::PortfolioFixture {
 protected:
  LatestPricesTest() : PortfolioFixture(Language::Code::Dutch) {
    session.clock().fix(QDate(2023, 2, 2));
  }
};

TEST_F(LatestPricesTest, DaysOlderThan100AndUnreadableDaysAreUnknown) {
  const qint64 today = static_cast<qint64>(dateToSerial(session.clock().today()));
  EXPECT_EQ(ShowLatestPrices(session, {today - 99, today - 100}, "230202A.csv").status,
            "Gelezen: 230202A.csv\r\nLaatste koersen: NL: 2022-10-26, US: Onbekend");
  session.setLanguage(Language::Code::English);
  EXPECT_EQ(ShowLatestPrices(session, {0, today}, {}).downloadLabel,
            " Latest Prices: NL: Unknown, US: 2023-02-02");

  // "Last Prices.txt" through the price store: missing, malformed and
  // well-formed, and read again once it changed.
  PriceStore& prices = session.prices();
  const QString file = session.settings().pricePath + "Last Prices.txt";
  EXPECT_EQ(prices.latestPriceDays().dutch, 0);
  test::writeFile(file, "LatestPrice_nl: 44959\r\nLatestPrice_us: x12\r\n");
  const LatestPriceDays days = prices.latestPriceDays();
  EXPECT_EQ(days.dutch, 44959);
  EXPECT_EQ(days.us, 0);
  test::writeFile(file, "LatestPrice_nl: 44960\r\nLatestPrice_us: 44961\r\n");
  EXPECT_EQ(prices.latestPriceDays().us, 44961);
}

// The status line says how old the newest price file is when it is more
// than five working days old.
TEST_F(LatestPricesTest, AnOldNewestPriceFileIsDatedWithItsAge) {
  const qint64 today = static_cast<qint64>(dateToSerial(session.clock().today()));
  PriceStore& prices = session.prices();
  EXPECT_FALSE(prices.NewestFileDay(session.clock().today()).isValid());
  test::writeFile(session.settings().pricePath + "230102A.csv", "A,a,23/01/02,1\r\n");
  test::writeFile(session.settings().pricePath + "230301A.csv", "A,a,23/03/01,1\r\n");
  prices.refresh();
  const QDate newest = prices.NewestFileDay(session.clock().today());
  EXPECT_EQ(newest, QDate(2023, 1, 2)) << "a file after today does not count";
  EXPECT_EQ(ShowLatestPrices(session, {today, today}, {}, newest).status,
            "Laatste koersen: NL: 2023-02-02, US: 2023-02-02, nieuwste koersbestand "
            "2023-01-02 (31 dagen oud)");
  session.setLanguage(Language::Code::English);
  EXPECT_EQ(ShowLatestPrices(session, {today, today}, {}, newest).downloadLabel,
            " Latest Prices: NL: 2023-02-02, US: 2023-02-02, newest price file 2023-01-02 (31 "
            "days old)");
  // Five working days back is no age worth telling.
  EXPECT_EQ(ShowLatestPrices(session, {today, today}, {}, QDate(2023, 1, 26)).downloadLabel,
            " Latest Prices: NL: 2023-02-02, US: 2023-02-02");
}

}  // namespace
}  // namespace pelmar
