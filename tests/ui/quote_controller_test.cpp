#include "ui/main/quote_controller.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QEventLoop>
#include <QTimer>

#include "net/local_server.h"
#include "support/portfolio_fixture.h"
#include "ui/main/real_time_box.h"

namespace pelmar {
namespace {

using test::LocalServer;
using test::Route;

// The live quote ticks against a web server on 127.0.0.1: the fetch runs on a
// worker while the window's event loop goes on, and a tick that gets no
// answer ends quietly.
class QuoteControllerTest : public test::PortfolioFixture {
 protected:
  void SetUp() override {
    start(QDate(2024, 3, 1));
    addFund(QStringLiteral("ABC"), 10, 100, 10);
    calc();
    next(QDate(2024, 3, 15));
    session.clock().fix(QDate(2024, 3, 15));
    portfolio().markOpened();
    session.settings().downloadDollarQuote = true;
    quotes.setClient(std::make_unique<NetworkHttpGet>(test::quickLimits()));
  }

  // Runs one dollar tick and waits for its end; `whileRunning` tells
  // whether the tick was still running when the window's event loop next
  // took a turn after the tick began.
  bool dollarTick(bool& whileRunning) {
    std::optional<bool> shown;
    QEventLoop loop;
    QObject::connect(&quotes, &QuoteController::tickEnded, &loop, [&](QuoteKind, bool value) {
      shown = value;
      loop.quit();
    });
    QTimer::singleShot(0, &loop, [&] { whileRunning = quotes.tickRunning(QuoteKind::Dollar); });
    // Only a hung tick meets this bound.
    QTimer::singleShot(5 * 60 * 1000, &loop, &QEventLoop::quit);
    quotes.TimerDollarTimer(false);
    loop.exec();
    EXPECT_TRUE(shown.has_value()) << "the tick did not end";
    return shown.value_or(false);
  }

  QWidget owner;
  RealTimeBox box{session, &owner};
  QAction dollar, aex;
  QuoteController quotes{session, box, dollar, aex};
};

TEST_F(QuoteControllerTest, DollarTickFromTheServerFillsTheBoxAndTodaysPriceFile) {
  LocalServer server(
      {{QStringLiteral("/"), Route::page("up")},
       {QStringLiteral("/rates"),
        Route::page(QByteArray(60, ' ') + "<td id=\"ratesC1Value\" class=\"v\">0.9212</td>")}});
  session.settings().dollarQuotePage = server.url(QStringLiteral("/rates"));
  bool whileRunning = false;
  EXPECT_TRUE(dollarTick(whileRunning));
  EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), Real48(0.9212));
  EXPECT_TRUE(test::readFile(path(QStringLiteral("Prices/240315A.csv"))).contains("dol.eur"));
  EXPECT_TRUE(dollar.isEnabled());
}

TEST_F(QuoteControllerTest, AServerThatNeverAnswersEndsTheTickQuietlyWhileTheWindowRuns) {
  LocalServer server({{QStringLiteral("/"), Route::silent()}});
  session.settings().dollarQuotePage = server.url(QStringLiteral("/rates"));
  const Real48 before = portfolio().DollarKoers();
  // The client would wait for long; the tick's limit ends it first.
  HttpLimits patient = test::quickLimits();
  patient.timeoutMs = 30 * 60 * 1000;
  quotes.setClient(std::make_unique<NetworkHttpGet>(patient));
  quotes.setLimitMs(100);
  bool whileRunning = false;
  EXPECT_FALSE(dollarTick(whileRunning));
  // The event loop ran while the tick waited.
  EXPECT_TRUE(whileRunning);
  EXPECT_FALSE(quotes.tickRunning(QuoteKind::Dollar));
  EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), before);
  EXPECT_FALSE(QFile::exists(path(QStringLiteral("Prices/240315A.csv"))));
}

}  // namespace
}  // namespace pelmar
