#include "ui/prices/fondsen_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "net/local_server.h"
#include "support/full_disk.h"
#include "support/one_reply.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"

namespace pelmar {
namespace {

// How long a test waits for an answer before it gives up: far beyond any
// client bound, so only a hang ends it.
constexpr int kPatience = 5 * 60 * 1000;

// A look-up page that names one stock.
const QByteArray kOneStock = "<html>" + QByteArray(60, ' ') +
                             "Stocks<br>(1)<table><tr><td><a href=\"/q?s=IBM\">ibm</a></td>"
                             "<td>International Business Machines</td></tr>";

// The Dutch window (`form`) and the US window, which differ in their look.
class StockListWindow : public test::PortfolioFixture {
 protected:
  StockListWindow()
      : list(session.prices().folder() + "Stocks_nl.txt"),
        usList(session.prices().folder() + "Stocks_us.txt") {
    session.settings().symbolLookupService = "https://look.example/";
  }
  void type(int row, int column, const QString& text) {
    form.grid()->item(row, column)->setText(text);
  }
  // Clicks a look-up button and waits for the answer to be shown.
  static bool lookUp(TFondsenForm& us, QPushButton* button) {
    QSignalSpy answered(&us, &TFondsenForm::lookUpFinished);
    button->click();
    return answered.wait(kPatience);
  }
  TFondsenForm::OpenUrl browser(bool opens) {
    return [this, opens](const QUrl& url) {
      opened << url.toString();
      return opens;
    };
  }
  QString list;
  QString usList;
  test::ScriptedPrompter prompter;
  test::OneReply http;
  QStringList opened;
  TFondsenForm form{session, prompter, Market::Dutch};
};

TEST_F(StockListWindow, OkSavesEditsSortedAndLeavesAnUneditedListAlone) {
  // Unsorted on disk: OK without an edit does not rewrite it.
  test::writeFile(list, "Shell,rdsa,2009-03-10\r\nAegon,agn,\r\n");
  ASSERT_TRUE(form.load());
  EXPECT_EQ(form.grid()->item(0, 0)->text(), "Aegon");
  form.grid()->setCurrentCell(1, 0);
  form.OKBtnClick();
  EXPECT_TRUE(form.okClicked());
  EXPECT_EQ(form.offered().ticker, "rdsa");
  EXPECT_EQ(test::readFile(list), "Shell,rdsa,2009-03-10\r\nAegon,agn,\r\n");

  // Added rows: one named (a typed comma cannot split its line), one left
  // without a name, which is not written; a deleted row goes.
  ASSERT_TRUE(form.load());
  form.AddBtnClick();
  type(2, 0, "ING, Groep");
  type(2, 1, "inga");
  form.AddBtnClick();
  type(3, 1, "nameless");
  form.grid()->setCurrentCell(1, 0);
  prompter.expectQuestion("Ticker rdsa (Shell)", Answer::Yes);
  form.DelBtnClick();
  form.OKBtnClick();
  EXPECT_EQ(test::readFile(list), "Aegon,agn,\r\nING  Groep,inga,\r\n");
}

TEST_F(StockListWindow, EachStockMayNameItsOwnSourceAndSymbolBesideTheList) {
  const QString sources = session.prices().folder() + "Sources_nl.txt";
  test::writeFile(list, "ASML Holding,ASML,2024-01-05\r\nShell,rdsa,\r\n");
  test::writeFile(sources, "asml,chart,ASML.AS\r\n");
  ASSERT_TRUE(form.load());
  EXPECT_EQ(form.grid()->item(0, 3)->text(), "chart");
  EXPECT_EQ(form.grid()->item(0, 4)->text(), "ASML.AS");
  type(1, 4, "SHELL.AS");
  type(1, 3, "pigeon");
  prompter.expectMessage("\"pigeon\" is not a valid value for rdsa");
  form.OKBtnClick();
  EXPECT_FALSE(form.okClicked());
  EXPECT_EQ(test::readFile(list), "ASML Holding,ASML,2024-01-05\r\nShell,rdsa,\r\n");

  type(1, 3, "");
  form.OKBtnClick();
  EXPECT_TRUE(form.okClicked());
  // The list keeps its three fields; the sources are their own file.
  EXPECT_EQ(test::readFile(list), "ASML Holding,ASML,2024-01-05\r\nShell,rdsa,\r\n");
  EXPECT_EQ(test::readFile(sources), "ASML,chart,ASML.AS\r\nrdsa,,SHELL.AS\r\n");
}

// Delete asks first, and No keeps the row; Cancel (as Esc) drops every
// edit, so the next OK cannot write a deletion the user cancelled.
TEST_F(StockListWindow, CancelDropsTheEditsAndTheFileKeepsItsRows) {
  const QByteArray stored = "Aegon,agn,\r\nShell,rdsa,2009-03-10\r\n";
  test::writeFile(list, stored);
  ASSERT_TRUE(form.load());
  form.grid()->setCurrentCell(0, 0);
  prompter.expectQuestion("Ticker agn (Aegon)", Answer::No);
  form.DelBtnClick();
  EXPECT_FALSE(prompter.lastQuestion().yesIsDefault) << "Return keeps the row";
  EXPECT_EQ(form.grid()->rowCount(), 2);
  prompter.expectQuestion("Ticker agn (Aegon)", Answer::Yes);
  form.DelBtnClick();
  EXPECT_EQ(form.grid()->rowCount(), 1);
  form.reject();

  ASSERT_TRUE(form.load());
  EXPECT_EQ(form.grid()->rowCount(), 2) << "the window shows the file again";
  form.grid()->setCurrentCell(1, 0);
  form.OKBtnClick();
  EXPECT_EQ(test::readFile(list), stored);
}

// A save that fails (the disk is full) says so and keeps the old list
// whole; the window stays open with the edits, so nothing typed is lost.
TEST_F(StockListWindow, ASaveThatFailsKeepsTheOldListAndTheEdits) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  session.settings().pricePath = disk.root() + u'/';
  session.applyPricePath();
  test::writeFile(disk.path("Stocks_nl.txt"), "Aegon,agn,\r\nShell,rdsa,2009-03-10\r\n");
  ASSERT_TRUE(form.load());
  form.AddBtnClick();
  type(2, 0, "ING Groep");
  type(2, 1, "inga");
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();

  prompter.expectMessage("could not be saved; the old list has been kept. The disk is full.");
  form.OKBtnClick();
  prompter.verify();
  EXPECT_FALSE(form.okClicked());
  EXPECT_EQ(disk.files(), before);

  disk.release();
  form.OKBtnClick();
  EXPECT_TRUE(form.okClicked());
  EXPECT_EQ(test::readFile(disk.path("Stocks_nl.txt")),
            "Aegon,agn,\r\nING Groep,inga,\r\nShell,rdsa,2009-03-10\r\n");
}

// Both windows, in both languages: every button answers to Alt and a
// letter of its own.
TEST_F(StockListWindow, EveryButtonHasItsOwnAltLetter) {
  for (const Language::Code code : {Language::Code::Dutch, Language::Code::English}) {
    session.setLanguage(code);
    for (const Market market : {Market::Dutch, Market::Us}) {
      TFondsenForm window(session, prompter, market, &http);
      QSet<QChar> letters;
      const QList<QPushButton*> buttons = window.findChildren<QPushButton*>();
      for (const QPushButton* button : buttons) {
        const qsizetype at = button->text().indexOf(u'&');
        ASSERT_GE(at, 0) << button->text().toStdString();
        letters.insert(button->text().at(at + 1).toLower());
      }
      EXPECT_EQ(letters.size(), buttons.size()) << window.windowTitle().toStdString();
    }
  }
}

TEST_F(StockListWindow, AnUnreadableListIsRefusedAndNotOverwritten) {
  QDir().mkpath(list);  // a folder where the file should be
  prompter.expectMessage("cannot be read");
  EXPECT_FALSE(form.load());
  EXPECT_TRUE(QFileInfo(list).isDir());
}

// The US look: not modal, an add group whose add button follows both edits,
// rows added as the list keeps them. Selecting is modal, saves nothing and
// leaves the window as it was.
TEST_F(StockListWindow, TheUsWindowAddsFromItsGroupAndSelectsModally) {
  test::writeFile(usList, "Microsoft,MSFT,2009-03-10\r\nApple,AAPL,\r\n");
  TFondsenForm us(session, prompter, Market::Us, &http, nullptr, browser(true));
  us.manage();
  EXPECT_FALSE(us.isModal());
  us.TickerEdit->setText("ib m");
  emit us.TickerEdit->textEdited("ib m");
  EXPECT_FALSE(us.AddBtn->isEnabled());
  us.CompanyEdit->setText("Int. Business Machines");
  emit us.CompanyEdit->textEdited("Int. Business Machines");
  ASSERT_TRUE(us.AddBtn->isEnabled());
  us.AddBtn->click();
  us.OKBtnClick();
  EXPECT_FALSE(us.isVisible());
  EXPECT_EQ(test::readFile(usList),
            "Apple,AAPL,\r\nInt. Business Machines,IBM,\r\nMicrosoft,MSFT,2009-03-10\r\n");

  QTimer::singleShot(0, &us, [&] {
    EXPECT_TRUE(us.isModal());
    EXPECT_TRUE(us.findChild<QGroupBox*>("AddGroup")->isHidden());
    us.grid()->setCurrentCell(2, 0);
    us.OKBtnClick();
  });
  const std::optional<StockLine> row = us.selectStock();
  ASSERT_TRUE(row);
  EXPECT_EQ(row->ticker, "MSFT");
  EXPECT_FALSE(us.isModal());

  // Picked with the keys alone: the list has the focus and a current row.
  QTimer::singleShot(0, &us, [&] {
    EXPECT_EQ(us.focusWidget(), us.grid());
    QTest::keyClick(us.grid(), Qt::Key_Down);
    QTest::keyClick(us.grid(), Qt::Key_Down);
    QTest::keyClick(us.grid(), Qt::Key_Return);
  });
  const std::optional<StockLine> byKeys = us.selectStock();
  ASSERT_TRUE(byKeys);
  EXPECT_EQ(byKeys->ticker, "MSFT");
  EXPECT_FALSE(us.findChild<QGroupBox*>("AddGroup")->isHidden());
}

// One stock found fills both edits; anything else says so and opens the
// page, and a browser that will not open is reported.
TEST_F(StockListWindow, TheLookUpFillsTheEditsOrFallsBackToTheBrowser) {
  TFondsenForm us(session, prompter, Market::Us, &http, nullptr, browser(false));
  ASSERT_TRUE(us.load());
  http.reply = test::page(kOneStock);
  us.TickerEdit->setText("IBM");
  us.CompanyEdit->setText("stale");
  ASSERT_TRUE(lookUp(us, us.CompanyBtn));
  EXPECT_EQ(us.CompanyEdit->text(), "International Business Machines");
  EXPECT_EQ(us.TickerEdit->text(), "IBM");
  EXPECT_TRUE(us.AddBtn->isEnabled());
  EXPECT_TRUE(opened.isEmpty());

  http.reply.body.replace("(1)", "(2)");
  us.CompanyEdit->setText("Intern");
  prompter.expectMessage("More than 1 Ticker found").expectTimedMessage("Browser not opened.");
  ASSERT_TRUE(lookUp(us, us.TickerBtn));
  EXPECT_TRUE(us.TickerEdit->text().isEmpty());
  EXPECT_FALSE(us.AddBtn->isEnabled());
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0], http.urls.last());

  // A service that does not answer is named as such, and no page opens.
  http.reply = {};
  http.reply.timedOutAfter = 15;
  us.TickerEdit->setText("IBM");
  prompter.expectMessage("Could not reach the look-up service (no answer within 15 s)");
  ASSERT_TRUE(lookUp(us, us.CompanyBtn));
  EXPECT_EQ(opened.size(), 1);
}

// Against a silent service the click returns at once and the add group
// waits; Escape, the close box and a destroyed window end the fetch without
// waiting for the client's time-out, and an ended look-up's answer is never
// shown (the prompter would fail on its "could not reach").
TEST_F(StockListWindow, ALookUpOfASilentServiceHoldsNeitherTheWindowNorTheNextLookUp) {
  test::LocalServer server(
      {{"/l?s=SLOW&t=S&m=US", test::Route::silent()}, {"/l", test::Route::page(kOneStock)}});
  session.settings().symbolLookupService = server.url("/");
  HttpLimits patient = test::quickLimits();
  patient.timeoutMs = 30 * 60 * 1000;  // only an abort ends this wait
  NetworkHttpGet client(patient);
  TFondsenForm us(session, prompter, Market::Us, &client, nullptr, browser(true));
  us.manage();
  QSignalSpy answered(&us, &TFondsenForm::lookUpFinished);
  const auto slowLookUp = [&] {
    us.TickerEdit->setText("SLOW");
    us.CompanyBtn->click();
    EXPECT_TRUE(us.lookingUp());
    EXPECT_FALSE(us.CompanyBtn->isEnabled());
    EXPECT_EQ(us.LookupStatus->text(), "Fetching: SLOW");
  };

  slowLookUp();
  // Escape once the server holds the request.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requests().isEmpty(); }, kPatience));
  QTest::keyClick(&us, Qt::Key_Escape);
  // The ended fetch's answer, queued already, is delivered and dropped.
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(answered.count(), 0);
  EXPECT_FALSE(us.isVisible());
  EXPECT_FALSE(us.lookingUp());
  EXPECT_TRUE(us.CompanyBtn->isEnabled());
  EXPECT_TRUE(us.LookupStatus->text().isEmpty());

  us.manage();
  slowLookUp();
  us.close();
  EXPECT_FALSE(us.lookingUp());

  {
    auto gone = std::make_unique<TFondsenForm>(session, prompter, Market::Us, &client);
    gone->manage();
    gone->TickerEdit->setText("SLOW");
    gone->CompanyBtn->click();
    EXPECT_TRUE(gone->lookingUp());
  }

  // The client takes fetches again: the next look-up answers, once.
  us.manage();
  us.TickerEdit->setText("IBM");
  us.CompanyBtn->click();
  ASSERT_TRUE(answered.wait(kPatience));
  EXPECT_EQ(answered.count(), 1);
  EXPECT_EQ(us.CompanyEdit->text(), "International Business Machines");
  EXPECT_TRUE(us.CompanyBtn->isEnabled());
}

// The main window opens the US list from its menu action and hands it to
// the new-fund dialog for a pick.
TEST_F(StockListWindow, TheMainWindowOpensTheListAndPicksFromIt) {
  test::writeFile(usList, "Apple,AAPL,\r\n");
  test::writeManuals(path("program"));
  TMainForm window(session, prompter, path("program"));
  auto* us = window.findChild<TFondsenForm*>("FondsenForm_us");
  ASSERT_TRUE(us);
  window.actions().us1->setEnabled(true);
  window.actions().us1->trigger();
  EXPECT_TRUE(us->isVisible());
  us->reject();
  QTimer::singleShot(0, us, [&] {
    us->grid()->setCurrentCell(0, 0);
    us->OKBtnClick();
  });
  const std::optional<StockLine> row = window.pickStock(Market::Us);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->ticker, "AAPL");
}

}  // namespace
}  // namespace pelmar
