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

}  // namespace
}  // namespace pelmar
