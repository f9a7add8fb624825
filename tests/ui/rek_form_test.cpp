#include "ui/main/rek_form.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QTableWidget>

#include "commands/accounts.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class RekFormTest : public test::PortfolioFixture {
 protected:
  RekFormTest() : PortfolioFixture(Language::Code::English) {
    start(QDate(2023, 1, 2));
    addFund("ALPHA", 2000, 10, 100).RekNr = 2;
    calc();
    next(QDate(2023, 2, 1));
    select(0);
    portfolio().markUnchanged();
  }
  test::ScriptedPrompter prompter;
  TRekForm form{session, prompter};
};

TEST_F(RekFormTest, OpensOnTheFundsAccountAppliesTabsAndStoresItsPlace) {
  QStringList prompts;
  QObject::connect(&form, &TRekForm::promptChanged, [&](const QString& p) { prompts << p; });
  int applied = 0;
  const int listener = session.addChangeListener([&](Changes changes) {
    if (changes & Change::Accounts) ++applied;
  });
  session.settings().accountsLeft = 120;
  form.SpeedRekClick();

  auto* tabs = form.findChild<QTabBar*>("TabControl1");
  auto* grid = form.findChild<QTableWidget*>("RekGrid");
  ASSERT_TRUE(tabs && grid);
  EXPECT_EQ(tabs->count(), 5);
  EXPECT_EQ(tabs->currentIndex(), 1);  // ALPHA is booked on account 2
  EXPECT_FALSE(grid->item(AccountRow::Saldo, 1)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(grid->item(AccountRow::CredPerc, 1)->flags() & Qt::ItemIsEditable);

  grid->setCurrentCell(AccountRow::Saldo, 1);
  EXPECT_EQ(prompts.value(prompts.size() - 1), " The Saldo is not editable");

  // Changing the tab applies the shown account first.
  form.setCellText(AccountRow::CredRente, "3.25");
  tabs->setCurrentIndex(3);
  EXPECT_EQ(form.shownAccount(), 4);
  EXPECT_DOUBLE_EQ(account(2).CredRente, 3.25);
  EXPECT_TRUE(portfolio().bPortChanged());

  form.setCellText(AccountRow::Kosten, "12");
  form.findChild<QPushButton*>("OKBtn")->click();
  EXPECT_DOUBLE_EQ(account(4).Kosten, 12);
  session.removeChangeListener(listener);
  EXPECT_EQ(applied, 2);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(session.settings().accountsLeft, form.x());
  EXPECT_TRUE(session.settings().accountsWidth.has_value());
}

// Alt and a letter of its own reach every tab and button, in both
// languages; a tab's letter is its account's digit.
TEST_F(RekFormTest, EveryTabAndButtonHasItsOwnAltLetter) {
  auto* tabs = form.findChild<QTabBar*>("TabControl1");
  ASSERT_TRUE(tabs);
  for (const Language::Code code : {Language::Code::Dutch, Language::Code::English}) {
    session.setLanguage(code);
    form.HandleLanguage();
    QStringList captions;
    for (int n = 0; n < tabs->count(); ++n) captions << tabs->tabText(n);
    for (const QPushButton* button : form.findChildren<QPushButton*>()) captions << button->text();
    QSet<QChar> letters;
    for (const QString& caption : captions) {
      const qsizetype at = caption.indexOf(u'&');
      ASSERT_GE(at, 0) << caption.toStdString();
      letters.insert(caption.at(at + 1).toLower());
    }
    EXPECT_EQ(letters.size(), captions.size()) << captions.join(' ').toStdString();
    EXPECT_EQ(captions.first(), code == Language::Code::Dutch ? "Rek &1" : "Acnt &1");
  }
}

}  // namespace
}  // namespace pelmar
