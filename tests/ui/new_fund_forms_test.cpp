#include "ui/prices/new_fund_forms.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/prices/fondsen_form.h"

namespace pelmar {
namespace {

class NewFundFormsTest : public test::PortfolioFixture {
 protected:
  test::ScriptedPrompter prompter;
};

// Cancelling the list leaves the dialog's fields empty and the list back in
// management mode; a pick fills them and the paused typing recomputes.
TEST_F(NewFundFormsTest, TheListButtonsFillTheFieldsAndTheTimersRecompute) {
  test::writeFile(session.prices().folder() + "Stocks_nl.txt", "ASML Holding,ASML,\r\n");
  TFondsenForm list(session, prompter, Market::Dutch);
  TNieuwFondsForm dialog(session);
  NewFundForm form;
  bool cancelList = true;
  form.pick = [&](Market market) {
    NewFundPick pick;
    pick.market = market;
    QTimer::singleShot(0, &list, [&] {
      EXPECT_TRUE(list.selecting());
      EXPECT_TRUE(list.findChild<QPushButton*>("AddBtn")->isHidden());
      list.grid()->setCurrentCell(0, 0);
      if (cancelList) {
        list.reject();
      } else {
        list.OKBtnClick();
      }
    });
    if (const std::optional<StockLine> row = list.selectStock()) {
      pick = {true, market, row->name, row->ticker, 125};
    }
    return pick;
  };
  QTimer::singleShot(0, &dialog, [&] {
    EXPECT_TRUE(dialog.BtnFondsen_nl->isDefault()) << "Enter opens the list";
    dialog.CompanyEdit->setText("left over");
    dialog.BtnFondsen_nl->click();
    EXPECT_TRUE(dialog.CompanyEdit->text().isEmpty());
    EXPECT_TRUE(dialog.KoersEdit->text().isEmpty());
    EXPECT_FALSE(list.selecting());
    EXPECT_FALSE(list.findChild<QPushButton*>("AddBtn")->isHidden());

    cancelList = false;
    dialog.BtnFondsen_nl->click();
    EXPECT_EQ(dialog.TickerEdit->text(), "ASML");
    EXPECT_EQ(dialog.KoersEdit->text(), "125.0000");
    EXPECT_TRUE(dialog.BtnOK->isDefault()) << "Enter takes the picked stock";
    dialog.NumberEdit->setText("4");
    emit dialog.NumberEdit->textEdited("4");
    EXPECT_TRUE(dialog.NumberTimer->isActive()) << "recomputed only after a pause";
    EXPECT_TRUE(dialog.ValueEdit->text().isEmpty());
    dialog.NumberTimer->stop();
    dialog.NumberTimerTimer();
    EXPECT_EQ(dialog.ValueEdit->text(), "500.00");
    dialog.BtnOK->click();
  });
  const NewFundEntry entry = dialog.Execute(form);
  EXPECT_TRUE(entry.accepted);
  EXPECT_EQ(entry.ticker, "ASML");
  EXPECT_EQ(entry.quantity, 4);
  EXPECT_EQ(entry.investment, 500);
}

TEST_F(NewFundFormsTest, TheManualDialogDerivesTickerAndValue) {
  TNewFakeFundForm dialog(session);
  QTimer::singleShot(0, &dialog, [&] {
    dialog.EditNaam->setText("My House");
    emit dialog.EditNaam->textEdited("My House");
    dialog.EditKoers->setText("1000");
    dialog.EditAantal->setText("2");
    EXPECT_EQ(dialog.EditTicker->text(), "my house");
    EXPECT_EQ(dialog.EditWaarde->text(), "2000.00");
    dialog.BtnOK->click();
  });
  const NewFundEntry entry = dialog.Execute();
  EXPECT_TRUE(entry.accepted);
  EXPECT_EQ(entry.ticker, "my house");
  EXPECT_EQ(entry.price, 1000);
}

}  // namespace
}  // namespace pelmar
