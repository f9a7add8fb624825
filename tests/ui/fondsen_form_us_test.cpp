#include "ui/prices/fondsen_form_us.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>

#include "prices/http_get.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"

namespace pelmar {
namespace {

// Answers every fetch with one page and counts the fetches.
class PageHttpGet : public HttpGet {
 public:
  HttpReply get(const QString& url) override {
    urls << url;
    HttpReply reply;
    if (down) {
      reply.timedOutAfter = 15;
      return reply;
    }
    reply.status = HttpReply::Status::Ok;
    reply.httpStatus = 200;
    reply.body = page;
    return reply;
  }
  QByteArray page;
  QStringList urls;
  bool down = false;
};

class FondsenFormUsTest : public test::PortfolioFixture {
 protected:
  FondsenFormUsTest() : list(session.prices().folder() + "Stocks_us.txt") {
    session.settings().symbolLookupService = "https://look.example/";
  }
  TFondsenForm_us::OpenUrl browser(bool opens) {
    return [this, opens](const QUrl& url) {
      opened << url.toString();
      return opens;
    };
  }
  QString list;
  test::ScriptedPrompter prompter;
  PageHttpGet http;
  QStringList opened;
};

// Managing: the window is not modal, the add button follows both edits, a
// row is added with its ticker's blanks removed, delete asks first, OK saves
// sorted. Selecting: the chosen row comes back, nothing is saved, and the
// window is back in management mode.
TEST_F(FondsenFormUsTest, ManagesTheListAndOffersARowInSelectionMode) {
  test::writeFile(list, "Microsoft,MSFT,2009-03-10\r\nApple,AAPL,\r\n");
  TFondsenForm_us form(session, prompter, http, nullptr, browser(true));
  form.us1Click();
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.isModal());
  EXPECT_EQ(form.grid()->item(0, 0)->text(), "Apple");
  EXPECT_EQ(form.grid()->horizontalHeaderItem(0)->text(), "Company");
  EXPECT_FALSE(form.AddBtn->isEnabled());

  form.TickerEdit->setText("ib m");
  emit form.TickerEdit->textEdited("ib m");
  EXPECT_EQ(form.TickerEdit->text(), "IB M");
  EXPECT_FALSE(form.AddBtn->isEnabled());
  form.CompanyEdit->setText("Int. Business Machines");
  emit form.CompanyEdit->textEdited("Int. Business Machines");
  ASSERT_TRUE(form.AddBtn->isEnabled());
  form.AddBtn->click();
  EXPECT_EQ(form.grid()->item(2, 1)->text(), "IBM");
  EXPECT_TRUE(form.TickerEdit->text().isEmpty());

  form.grid()->setCurrentCell(0, 0);
  prompter.expectQuestion("really want to remove the Ticker AAPL (Apple)?", Answer::No);
  form.DelBtn->click();
  EXPECT_EQ(form.grid()->rowCount(), 3);
  EXPECT_FALSE(prompter.lastQuestion().yesIsDefault) << "Return keeps the row";
  prompter.expectQuestion("really want to remove", Answer::Yes);
  form.DelBtn->click();
  EXPECT_EQ(form.grid()->rowCount(), 2);
  EXPECT_TRUE(form.modified());
  form.OKBtnClick();
  EXPECT_TRUE(form.okClicked());
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(test::readFile(list), "Int. Business Machines,IBM,\r\nMicrosoft,MSFT,2009-03-10\r\n");

  const QString saved = test::readFile(list);
  QTimer::singleShot(0, &form, [&] {
    EXPECT_TRUE(form.selecting());
    EXPECT_TRUE(form.isModal());
    EXPECT_TRUE(form.findChild<QGroupBox*>("AddGroup")->isHidden());
    EXPECT_EQ(form.windowTitle(), "Pelmar - Select Stock");
    form.grid()->setCurrentCell(1, 0);
    form.OKBtnClick();
  });
  const std::optional<StockLine> row = form.selectStock();
  ASSERT_TRUE(row);
  EXPECT_EQ(row->ticker, "MSFT");
  EXPECT_EQ(row->name, "Microsoft");
  EXPECT_FALSE(form.selecting());
  EXPECT_FALSE(form.isModal());
  EXPECT_FALSE(form.findChild<QGroupBox*>("AddGroup")->isHidden());
  EXPECT_EQ(form.windowTitle(), "Pelmar - Manage Download Stocks, Indices");
  EXPECT_EQ(test::readFile(list), saved);

  QTimer::singleShot(0, &form, [&] { form.reject(); });
  EXPECT_FALSE(form.selectStock());
}

// One stock found fills both edits; anything else says so and opens the
// page, and a browser that will not open is reported.
TEST_F(FondsenFormUsTest, TheLookUpFillsTheEditsOrFallsBackToTheBrowser) {
  TFondsenForm_us form(session, prompter, http, nullptr, browser(false));
  ASSERT_TRUE(form.load());
  http.page = "<html>" + QByteArray(60, ' ') +
              "Stocks<br>(1)<table><tr><td><a href=\"/q?s=IBM\">ibm</a></td>"
              "<td>International Business Machines</td></tr>";
  form.TickerEdit->setText("IBM");
  form.CompanyEdit->setText("stale");
  form.CompanyBtn->click();
  EXPECT_EQ(form.CompanyEdit->text(), "International Business Machines");
  EXPECT_EQ(form.TickerEdit->text(), "IBM");
  EXPECT_TRUE(form.AddBtn->isEnabled());
  EXPECT_TRUE(opened.isEmpty());

  http.page.replace("(1)", "(2)");
  form.CompanyEdit->setText("Intern");
  prompter.expectMessage("More than 1 Ticker found").expectTimedMessage("Browser not opened.");
  form.TickerBtn->click();
  EXPECT_TRUE(form.TickerEdit->text().isEmpty());
  EXPECT_FALSE(form.AddBtn->isEnabled());
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0], http.urls.last());
  EXPECT_TRUE(opened[0].contains("Intern"));

  // An empty ticker asks nothing.
  form.TickerEdit->clear();
  form.CompanyBtn->click();
  EXPECT_EQ(http.urls.size(), 2);

  // A service that does not answer is named as such, and no page opens.
  http.down = true;
  form.TickerEdit->setText("IBM");
  prompter.expectMessage("Could not reach the look-up service (no answer within 15 s)");
  form.CompanyBtn->click();
  EXPECT_EQ(opened.size(), 1);
}

// The main window opens the US list from its menu action and hands it to
// the new-fund dialog for a pick.
TEST_F(FondsenFormUsTest, TheMainWindowOpensTheListAndPicksFromIt) {
  test::writeFile(list, "Apple,AAPL,\r\n");
  test::writeManuals(path("program"));
  TMainForm window(session, prompter, path("program"));
  // The window class has no meta object of its own: found by name.
  auto* form = static_cast<TFondsenForm_us*>(window.findChild<QDialog*>("FondsenForm_us"));
  ASSERT_TRUE(form);
  window.actions().us1->setEnabled(true);
  window.actions().us1->trigger();
  EXPECT_TRUE(form->isVisible());
  form->reject();
  QTimer::singleShot(0, form, [&] {
    form->grid()->setCurrentCell(0, 0);
    form->OKBtnClick();
  });
  const std::optional<StockLine> row = window.pickStock(Market::Us);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->ticker, "AAPL");
}

}  // namespace
}  // namespace pelmar
