#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <memory>

#include "commands/dataset_view.h"
#include "commands/portfolio_io.h"
#include "net/local_server.h"
#include "prices/price_replies.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/main/fund_grid_widget.h"
#include "ui/main/fund_list_box.h"
#include "ui/main/fund_panel.h"
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"
#include "ui/prices/download_form.h"

namespace pelmar {
namespace {

using test::LocalServer;
using test::Route;

// The menu's download against a price service on 127.0.0.1: the main window
// then shows the new price of the fund and the advice that goes with it.
class MainWindowDownload : public test::PortfolioFixture {
 protected:
  MainWindowDownload() {
    // Monday evening: Friday's Dutch prices are there.
    session.clock().fix(QDateTime(QDate(2009, 3, 16), QTime(21, 0)));
    session.settings().downloadFromLastDate = true;
    session.settings().downloadUsList = false;
    start(QDate(2009, 3, 2));
    addFund("asml", 1000, 100, 10);
    calc();
    next(QDate(2009, 3, 9));
    test::ScriptedPrompter quiet;
    EXPECT_TRUE(
        SavePortfolio(session, quiet, path("Port/Test-1.xml"), WriteLimitAll(portfolio()), false));
    portfolio().clear();
    test::writeFile(session.prices().folder() + "Stocks_nl.txt",
                    "ASML Holding,asml,2009-03-06\r\n");
    test::writeManuals(path("program"));
    test::writeFile(session.prices().folder() + "090302A.csv", "Other,OTHER,09/03/02,1\r\n");
    window = std::make_unique<TMainForm>(session, prompter, path("program"));
  }

  QString koers() { return window->grid()->item(GridRow::Koers, 1)->text().trimmed(); }

  test::ScriptedPrompter prompter;
  std::unique_ptr<TMainForm> window;
};

TEST_F(MainWindowDownload, ShowsTheNewPriceAndAdviceAfterTheDownload) {
  LocalServer server(
      {{test::dutchPricePath("asml"), Route::page("090312: 30,10\n090313: 31,20\n")}});
  session.settings().dutchSource = "nl-service";
  session.settings().dutchPriceService = server.url("/nl/");
  window->FormPaint();
  ASSERT_TRUE(portfolio().bPortOpened());
  window->fundList()->setCurrentRow(
      static_cast<int>(window->fundList()->tickers().indexOf("asml")));
  ASSERT_EQ(koers(), "10.0000");
  const QString adviceBefore = window->fundPanel().adviesLabel->text();

  // The download runs while the window's event loop goes on; the session is
  // busy and the window takes no commands until it ends.
  QSignalSpy finished(window->downloadForm(), &TDownloadForm::downloadFinished);
  window->actions().download->trigger();
  EXPECT_TRUE(session.busy());
  EXPECT_FALSE(window->menuBar()->isEnabled());
  ASSERT_TRUE(finished.wait(5 * 60 * 1000));

  EXPECT_FALSE(session.busy());
  EXPECT_TRUE(window->menuBar()->isEnabled());
  EXPECT_EQ(server.requests().size(), 1);
  EXPECT_EQ(koers(), "31.2000");
  // The advice box shows what the core computes for the new price.
  const DataSetView view = DataSetViewOf(session, path("Port/Test-1.xml"));
  EXPECT_EQ(window->fundPanel().adviesLabel->text(), view.advice.adviesLabel);
  EXPECT_EQ(window->fundPanel().verkoopLabel->text(), view.advice.verkoopLabel);
  EXPECT_NE(window->fundPanel().adviesLabel->text(), adviceBefore);
  EXPECT_TRUE(window->actions().download->isEnabled());
  EXPECT_TRUE(portfolio().bPortChanged());
}

}  // namespace
}  // namespace pelmar
