#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "commands/session.h"
#include "ui/dialogs/aantal_kopen_form.h"
#include "ui/dialogs/kies_rek_dlg.h"

namespace pelmar {
namespace {

template <typename T>
T* child(const QWidget& window, const char* name) {
  T* widget = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

void pressEnter(QWidget* widget) {
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(widget, &enter);
}

class TradingDialogs : public ::testing::Test {
 protected:
  TradingDialogs() : session(QStringLiteral("/data/")) {
    session.setLanguage(Language::Code::Dutch);
  }
  Session session;
  const DialogArea area{{100, 50, 800, 600}, {}, {0, 0, 1600, 1200}};
};

TEST_F(TradingDialogs, BuySellDialogShowsTheProposalRecomputesOnEnterAndReturnsTheEntry) {
  TAantalKopenForm form(session);
  QStringList timed;
  form.setTimedMessage([&](const QString& line, const QString&, int) { timed << line; });
  TradeProposal proposal{.ticker = "ALPHA",
                         .price = 80,
                         .costsPercent = 1,
                         .tradeAdvice = 2.5,
                         .adviceDue = true,
                         .affordable = 12.5,
                         .presetQuantity = "12,5000"};
  form.prepare(area, proposal);

  EXPECT_TRUE(child<QRadioButton>(form, "MarktRadio")->isChecked());
  EXPECT_FALSE(child<QRadioButton>(form, "PremiRadio")->isEnabled());
  auto* quantity = child<QLineEdit>(form, "AantalEdit");
  auto* price = child<QLineEdit>(form, "KoersEdit");
  auto* costs = child<QLineEdit>(form, "KostenEdit");
  EXPECT_EQ(quantity->text(), "12,5000");
  EXPECT_EQ(price->text(), "80,0000");
  EXPECT_EQ(child<QLabel>(form, "WaardePanel")->text(), "1000,0000 ");
  EXPECT_EQ(child<QLabel>(form, "PanelKostenTotaal")->text(), "10,0000 ");

  // The method radio proposes the advice in whole shares.
  child<QRadioButton>(form, "MarktRadio")->click();
  EXPECT_EQ(quantity->text(), "2,0000");

  // Typed values, read leniently, count after Enter.
  quantity->setText("3");
  price->setText("79.5");
  costs->clear();
  QTest::keyClicks(costs, "abc");
  pressEnter(costs);
  EXPECT_TRUE(form.isHidden());
  EXPECT_EQ(child<QLabel>(form, "WaardePanel")->text(), "238,5000 ");
  EXPECT_EQ(costs->text(), "0,0000");

  // An empty price is refused and the dialog stays open.
  QTimer::singleShot(0, &form, [&] {
    price->clear();
    child<QPushButton>(form, "BtnOK")->click();
    EXPECT_TRUE(form.isVisible());
    price->setText("79,5");
    child<QPushButton>(form, "BtnOK")->click();
  });
  TradeProposal again = proposal;
  again.presetQuantity = "3";
  const TradeEntry entry = form.Execute(area, again);
  EXPECT_EQ(timed, QStringList({"U moet de transactiekoers opgeven"}));
  EXPECT_TRUE(entry.accepted);
  EXPECT_DOUBLE_EQ(entry.quantity, 3);
  EXPECT_DOUBLE_EQ(entry.price, 79.5);

  // Enter after typing recomputes; Enter once more is OK.
  QTimer::singleShot(0, &form, [&] {
    QTest::keyClicks(quantity, "4");
    pressEnter(quantity);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(child<QLabel>(form, "WaardePanel")->text(), "320,0000 ");
    pressEnter(quantity);
  });
  const TradeEntry typed = form.Execute(area, proposal);
  EXPECT_TRUE(typed.accepted);
  EXPECT_DOUBLE_EQ(typed.quantity, 4);

  QTimer::singleShot(0, &form, [&] {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&form, &esc);
  });
  EXPECT_FALSE(form.Execute(area, proposal).accepted);
}

TEST_F(TradingDialogs, AccountChooserListsTheAccountsAndReturnsTheEditedChoice) {
  TKiesRekDlg dialog(session);
  AccountChoice proposal;
  proposal.selected = 2;
  for (int n = 0; n < 5; ++n)
    proposal.rows[n] = {QStringLiteral("Naam %1").arg(n + 1), QString(), "EUR", 100.0 * n};
  dialog.prepare(area, proposal);

  EXPECT_EQ(dialog.windowTitle(), "Selecteer de juiste rekening");
  auto* grid = child<QTableWidget>(dialog, "RekGrid");
  EXPECT_EQ(grid->rowCount(), 6);
  EXPECT_EQ(grid->item(3, 0)->text(), "Naam 3");
  EXPECT_EQ(grid->item(3, 3)->text(), "200,00");
  EXPECT_FALSE(grid->item(3, 3)->flags() & Qt::ItemIsEditable);
  EXPECT_EQ(grid->currentRow(), 2);

  QTimer::singleShot(0, &dialog, [&] {
    grid->item(4, 0)->setText("Broker");
    grid->selectRow(4);
    child<QPushButton>(dialog, "RekOKBtn")->click();
  });
  const AccountChoice choice = dialog.Execute(area, proposal);
  EXPECT_TRUE(choice.accepted);
  EXPECT_EQ(choice.selected, 4);
  EXPECT_EQ(choice.rows[3].name, "Broker");

  QTimer::singleShot(0, &dialog, [&] { child<QPushButton>(dialog, "RekCancelBtn")->click(); });
  EXPECT_FALSE(dialog.Execute(area, proposal).accepted);
}

}  // namespace
}  // namespace pelmar
