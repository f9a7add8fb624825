#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTableWidget>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/prices/fondsen_form_nl.h"

namespace pelmar {
namespace {

class FondsenFormTest : public test::PortfolioFixture {
 protected:
  FondsenFormTest() : list(session.prices().folder() + "Stocks_nl.txt") {}
  void type(int row, int column, const QString& text) {
    form.grid()->item(row, column)->setText(text);
  }
  QString list;
  test::ScriptedPrompter prompter;
  TFondsenForm_nl form{session, prompter};
};

TEST_F(FondsenFormTest, OkSavesEditsSortedAndLeavesAnUneditedListAlone) {
  // Unsorted on disk: OK without an edit does not rewrite it.
  test::writeFile(list, "Shell,rdsa,2009-03-10\r\nAegon,agn,\r\n");
  ASSERT_TRUE(form.load());
  EXPECT_EQ(form.grid()->item(0, 0)->text(), "Aegon");
  EXPECT_EQ(form.grid()->horizontalHeaderItem(2)->text(), "Date");
  form.grid()->setCurrentCell(1, 0);
  form.OKBtnClick();
  EXPECT_TRUE(form.okClicked());
  EXPECT_EQ(form.offered().ticker, "rdsa");
  EXPECT_EQ(test::readFile(list), "Shell,rdsa,2009-03-10\r\nAegon,agn,\r\n");

  // Added rows: one named (a typed comma cannot split its line), one left
  // without a name, which is not written; a deleted row goes.
  ASSERT_TRUE(form.load());
  form.SpeedAddClick();
  type(2, 0, "ING, Groep");
  type(2, 1, "inga");
  form.SpeedAddClick();
  type(3, 1, "nameless");
  form.grid()->setCurrentCell(1, 0);
  prompter.expectQuestion("Ticker rdsa (Shell)", Answer::Yes);
  form.SpeedDelClick();
  EXPECT_FALSE(prompter.lastQuestion().yesIsDefault) << "Return keeps the row";
  EXPECT_TRUE(form.modified());
  form.OKBtnClick();
  EXPECT_EQ(test::readFile(list), "Aegon,agn,\r\nING  Groep,inga,\r\n");
}

TEST_F(FondsenFormTest, EachStockMayNameItsOwnSourceAndSymbolBesideTheList) {
  const QString sources = session.prices().folder() + "Sources_nl.txt";
  test::writeFile(list, "ASML Holding,ASML,2024-01-05\r\nShell,rdsa,\r\n");
  test::writeFile(sources, "asml,chart,ASML.AS\r\n");
  ASSERT_TRUE(form.load());
  EXPECT_EQ(form.grid()->horizontalHeaderItem(3)->text(), "Source");
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
TEST_F(FondsenFormTest, CancelDropsTheEditsAndTheFileKeepsItsRows) {
  const QByteArray stored = "Aegon,agn,\r\nShell,rdsa,2009-03-10\r\n";
  test::writeFile(list, stored);
  ASSERT_TRUE(form.load());
  form.grid()->setCurrentCell(0, 0);
  prompter.expectQuestion("Ticker agn (Aegon)", Answer::No);
  form.SpeedDelClick();
  EXPECT_EQ(form.grid()->rowCount(), 2);
  prompter.expectQuestion("Ticker agn (Aegon)", Answer::Yes);
  form.SpeedDelClick();
  EXPECT_EQ(form.grid()->rowCount(), 1);
  form.reject();
  EXPECT_FALSE(form.modified());

  ASSERT_TRUE(form.load());
  EXPECT_EQ(form.grid()->rowCount(), 2) << "the window shows the file again";
  form.grid()->setCurrentCell(1, 0);
  form.OKBtnClick();
  EXPECT_EQ(test::readFile(list), stored);
}

TEST_F(FondsenFormTest, AnUnreadableListIsRefusedAndNotOverwritten) {
  QDir().mkpath(list);  // a folder where the file should be
  prompter.expectMessage("cannot be read");
  EXPECT_FALSE(form.load());
  EXPECT_TRUE(QFileInfo(list).isDir());
}

}  // namespace
}  // namespace pelmar
