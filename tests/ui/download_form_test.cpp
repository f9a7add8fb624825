#include "ui/prices/download_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "net/http_client.h"
#include "net/local_server.h"
#include "prices/price_replies.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

using test::LocalServer;
using test::Route;

const auto dutch = test::dutchPricePath;

class DownloadFormTest : public test::PortfolioFixture {
 protected:
  DownloadFormTest() : PortfolioFixture(Language::Code::English) {
    session.clock().fix(QDateTime(QDate(2009, 3, 16), QTime(21, 0)));
    session.settings().downloadFromLastDate = true;
    session.settings().downloadUsList = false;
    start(QDate(2009, 3, 2));
    addFund("asml", 1000, 100, 10);
    next(QDate(2009, 3, 16));
    test::writeFile(session.prices().folder() + "Stocks_nl.txt",
                    "ASML Holding,asml,2009-03-10\r\nBeta,beta,2009-03-10\r\n"
                    "Gamma,gamma,2009-03-10\r\n");
  }
};

TEST_F(DownloadFormTest, LogsEachStockShowsProgressAndCancelKeepsWhatWasStored) {
  LocalServer server({{dutch("asml"), Route::page("090313: 31,20\n")},
                      {dutch("beta"), Route::page("090313: 5,00\n")},
                      {dutch("gamma"), Route::page("090313: 6,00\n")}});
  session.settings().dutchSource = "nl-service";
  session.settings().dutchPriceService = server.url("/nl/");
  TDownloadForm form(session);
  QSignalSpy finished(&form, &TDownloadForm::downloadFinished);

  // The window names the stock in flight; the user presses Escape as soon
  // as the first stock's line shows.
  QStringList named;
  bool escaped = false;
  QObject::connect(form.memo(), &QPlainTextEdit::textChanged, [&] {
    named << form.fetchingLabel()->text();
    if (!escaped && form.memo()->toPlainText().contains("downloaded: ")) {
      escaped = true;
      ASSERT_TRUE(form.cancelButton()->isEnabled());
      EXPECT_FALSE(form.closeButton()->isEnabled());
      QTest::keyClick(&form, Qt::Key_Escape);
    }
  });
  form.start(std::make_unique<NetworkHttpGet>(test::quickLimits()));
  EXPECT_TRUE(form.running());
  ASSERT_TRUE(finished.wait(5 * 60 * 1000));
  EXPECT_EQ(form.outcome().kind(), Outcome::Kind::Stopped);

  EXPECT_TRUE(form.isVisible());
  const QStringList log = form.memo()->toPlainText().split('\n');
  EXPECT_EQ(log.first(), "Downloading Dutch Prices");
  EXPECT_TRUE(named.contains("Fetching: ASML Holding")) << named.join('|').toStdString();
  EXPECT_TRUE(log.contains("ASML Holding . . . . . downloaded: 2009-03-13"))
      << log.join('\n').toStdString();
  EXPECT_TRUE(log.contains("Stopping after ASML Holding …")) << log.join('\n').toStdString();
  EXPECT_TRUE(log.contains("Cancelled; the prices fetched so far have been kept."));
  EXPECT_TRUE(form.fetchingLabel()->text().isEmpty());
  EXPECT_EQ(log.last(), "Portfolio Prices have been updated.");
  // One stock of three fetched and stored; the bar stopped there.
  EXPECT_EQ(server.requests().size(), 1);
  EXPECT_EQ(form.progressBar()->maximum(), 3);
  EXPECT_EQ(form.progressBar()->value(), 1);
  EXPECT_EQ(form.progressBar()->text(), "1 of 3 stocks");
  EXPECT_NEAR(double(fund(0).Koers), 31.2, 1e-9);
  EXPECT_FALSE(form.cancelButton()->isEnabled());
  EXPECT_TRUE(form.closeButton()->isEnabled());

  // Close stores the window's place for the next time.
  form.move(40, 50);
  form.closeButton()->click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(session.settings().downloadLeft, 40);
}

}  // namespace
}  // namespace pelmar
