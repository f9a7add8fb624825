#include "ui/prices/currency_dialogs.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "prices/settings_store.h"
#include "support/portfolio_fixture.h"
#include "ui/platform/qt_prompter.h"

namespace pelmar {
namespace {

class CurrencyDialogsTest : public test::PortfolioFixture {
 protected:
  CurrencyDialogsTest() {
    session.clock().fix(QDate(2024, 3, 15));
    session.setSettingsStore(&store);
    start(QDate(2024, 3, 1));
    addFund(QStringLiteral("AAA"), 1000, 10, 100);
    calc();
    next(QDate(2024, 3, 15));
    goToDataSet(1);
    select(0);
    test::writeFile(path(QStringLiteral("Prices/Stocks_nl.txt")),
                    "ASML Holding,asml,\r\nDollar/Euro,dol.eur,2024-03-14\r\n");
    test::writeFile(path(QStringLiteral("Prices/240315A.csv")),
                    "Dollar/Euro,dol.eur,24/03/15,1.25\r\n");
  }

  MemorySettingsStore store;
  QtPrompter prompter{session, nullptr};
};

// The dialog opens on the fund's own currency; choosing the other one and an
// index from the picker, then OK, changes the fund in every later dataset.
TEST_F(CurrencyDialogsTest, OpensWithTheFundsCurrencyAndOkAppliesTheChoice) {
  TDlgValutaFonds& dialog = *prompter.fundCurrencyDialog();
  QTimer::singleShot(0, &dialog, [&] {
    EXPECT_TRUE(dialog.PortefeuilleValuta->isChecked());
    EXPECT_EQ(dialog.ValutaEdit->text(), QStringLiteral("EUR"));
    EXPECT_TRUE(dialog.Index->IndexGroupBox->isHidden());

    dialog.CustomValuta->click();
    EXPECT_EQ(dialog.ValutaEdit->text(), QStringLiteral("US$"));
    EXPECT_FALSE(dialog.Index->IndexGroupBox->isHidden());

    QTimer::singleShot(0, dialog.Picker, [&] {
      QListWidget* list = dialog.Picker->KoersenListBox;
      ASSERT_EQ(list->count(), 2);
      list->setCurrentRow(1);  // sorted: "Dollar/Euro" comes after "ASML"
      dialog.Picker->OKBtn->click();
    });
    dialog.Index->LijstBtn->click();
    EXPECT_EQ(dialog.Index->NaamKoersEdit->text(), QStringLiteral("dol.eur"));
    EXPECT_EQ(dialog.Index->KoersEdit->text(), QStringLiteral("1.25000"));
    EXPECT_EQ(dialog.Index->InDollarsRadio->text(), QStringLiteral("One Euro costs 1.2500 Dollar"));
    dialog.OKBtn->click();
  });

  ASSERT_TRUE(KiesValutaClick(session, prompter).ok());

  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(0.8));
  for (int number = 1; number <= 2; ++number) {
    goToDataSet(number);
    EXPECT_EQ(fund(0).Valuta.str(), QStringLiteral("US$")) << number;
    EXPECT_EQ(fund(0).Country.str(), QStringLiteral("us")) << number;
  }
}

// The ratio captions follow the factor; an empty factor keeps them, a price
// of 1.0 hides them; OK keeps the fields as the "Valuta" settings.
TEST_F(CurrencyDialogsTest, DollarDialogCaptionsFollowTheFactor) {
  session.settings().dollarIndexName = QStringLiteral("dol.eur");
  TDollarDlg dialog(session, prompter);
  QTimer::singleShot(0, &dialog, [&] {
    CurrencyIndexBox& index = *dialog.Index;
    EXPECT_EQ(index.KoersEdit->text(), QStringLiteral("1.25000"));
    EXPECT_EQ(index.InDollarsRadio->text(), QStringLiteral("One Euro costs 1.2500 Dollar"));
    index.FactorEdit->setText(QStringLiteral("2"));
    EXPECT_EQ(index.InDollarsRadio->text(), QStringLiteral("One Euro costs 1.6000 Dollar"));
    EXPECT_EQ(index.InEurosRadio->text(), QStringLiteral("One Dollar costs 0.6250 Euro"));
    index.FactorEdit->clear();
    EXPECT_EQ(index.InEurosRadio->text(), QStringLiteral("One Dollar costs 0.6250 Euro"));
    index.KoersEdit->setText(QStringLiteral("1.0"));
    index.FactorEdit->setText(QStringLiteral("1"));
    EXPECT_TRUE(index.ValutaKoersGroupBox->isHidden());
    index.FactorEdit->setText(QStringLiteral("4"));
    index.InDollarsRadio->setChecked(true);
    dialog.ValutaOKBtn->click();
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(store.value(QStringLiteral("Valuta"), QStringLiteral("FactorDollar")).toString(),
            QStringLiteral("4"));
  EXPECT_TRUE(portfolio().bPortChanged());
}

}  // namespace
}  // namespace pelmar
