#include "commands/accounts.h"

#include <gtest/gtest.h>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

const QDate kStart(2023, 1, 2);

class AccountsTest : public test::PortfolioFixture {
 protected:
  AccountsTest() : PortfolioFixture(Language::Code::Dutch) {}

  // Three datasets a month apart; ALPHA on account 1, BETA on account 2,
  // each with money left over. The last dataset is current.
  void threeDataSets() {
    start(kStart);
    addFund("ALPHA", 2000, 10, 100);
    addFund("BETA", 3000, 10, 100).RekNr = 2;
    calc();
    next(kStart.addMonths(1));
    next(kStart.addMonths(2));
    portfolio().markUnchanged();
  }

  // Applies the account with one row typed; counts the datasets recalculated.
  Outcome apply(int number, int row, const QString& text, bool copyForward = false) {
    QStringList cells = ShowAccount(session, number);
    cells[row] = text;
    recalculated = 0;
    return ApplyAccount(session, prompter, number, cells, copyForward,
                        [this](int, int) { ++recalculated; });
  }

  int recalculated = 0;
  test::ScriptedPrompter prompter;
};

TEST_F(AccountsTest, ANewPortfolioShowsDefaultNamesAndTheSumsOnEveryTab) {
  start(kStart);
  account(1).Kosten = 10;
  account(2).Kosten = 5;
  account(3).BTW = 2.5;
  account(1).CredPerc = 40;
  calc();
  const QStringList cells = ShowAccount(session, 1);
  EXPECT_EQ(cells[AccountRow::RekNaam], "      Naam");
  EXPECT_EQ(cells[AccountRow::Kosten], "       10,00");
  EXPECT_EQ(cells[AccountRow::CredPerc], "          40");
  // Computed figures grouped in thousands, typed ones plain.
  account(1).Kosten = 1234.5;
  calc();
  EXPECT_EQ(ShowAccount(session, 1)[AccountRow::Kosten], "     1234,50");
  EXPECT_EQ(ShowAccount(session, 1)[AccountRow::SumCumKosten], "    1.239,50");
  account(1).Kosten = 10;
  calc();
  for (int number = 1; number <= 5; ++number) {
    const QStringList tab = ShowAccount(session, number);
    EXPECT_EQ(tab[AccountRow::SumCumKosten], "       15,00");
    EXPECT_EQ(tab[AccountRow::SumCumBTW], "        2,50");
  }
  EXPECT_EQ(portfolio().pRekRec(), portfolio().FirstRekIndex() + 4);
}

TEST_F(AccountsTest, ARateChangedInTheLastDataSetRecalculatesAllAndStaysThere) {
  threeDataSets();
  ASSERT_TRUE(apply(2, AccountRow::CredRente, "4,5", true).ok());
  EXPECT_EQ(recalculated, 2);  // both datasets before the last, then the last
  EXPECT_DOUBLE_EQ(account(2).CredRente, 4.5);
  EXPECT_TRUE(portfolio().bPortChanged());
  for (int number : {1, 2}) {
    goToDataSet(number);
    EXPECT_DOUBLE_EQ(account(2).CredRente, 0);
  }
}

TEST_F(AccountsTest, ChangesBelowACentTriggerNoRecalculation) {
  threeDataSets();
  account(1).DebRente = 2;
  ASSERT_TRUE(apply(1, AccountRow::DebRente, "2,005").ok());
  EXPECT_EQ(recalculated, 0);
  EXPECT_EQ(account(1).DebRente.value(), Real48(2.005).value());
  // Unedited cells are not read back, so stored decimals are kept.
  ASSERT_TRUE(apply(1, AccountRow::Kosten, "0,00").ok());
  EXPECT_EQ(account(1).DebRente.value(), Real48(2.005).value());
  // A sign change is a change.
  account(1).RenteCorrectie = 5;
  ASSERT_TRUE(apply(1, AccountRow::RenteCorrectie, "-5").ok());
  EXPECT_EQ(recalculated, 2);
}

TEST_F(AccountsTest, CreditPercentMustBeAWholeNumber) {
  threeDataSets();
  account(1).CredPerc = 30;
  for (const char* text : {"abc", "300", "-1"}) {
    SCOPED_TRACE(text);
    prompter.expectMessage(QStringLiteral("\"%1\" is niet overgenomen").arg(text));
    EXPECT_TRUE(apply(1, AccountRow::CredPerc, text).isFailure());
    EXPECT_EQ(account(1).CredPerc, 30);
  }
  ASSERT_TRUE(apply(1, AccountRow::CredPerc, " 50").ok());
  EXPECT_EQ(account(1).CredPerc, 50);
  EXPECT_EQ(recalculated, 2);
}

TEST_F(AccountsTest, NamesGoIntoTheFirstDataSetAndRatesForwardFromAnOlderOne) {
  threeDataSets();
  ASSERT_TRUE(apply(1, AccountRow::RekNaam, "  Broker").ok());
  goToDataSet(1);
  EXPECT_EQ(account(1).RekNaam.str(), "Broker");
  goToDataSet(3);
  EXPECT_EQ(account(1).RekNaam.str(), "Broker");  // carried by the recalculation

  goToDataSet(2);
  QStringList cells = ShowAccount(session, 1);
  cells[AccountRow::DebRente] = "7";
  ASSERT_TRUE(ToepassenBtnClick(session, prompter, 1, cells).ok());
  EXPECT_EQ(QList<double>({(goToDataSet(1), account(1).DebRente.value()),
                           (goToDataSet(2), account(1).DebRente.value()),
                           (goToDataSet(3), account(1).DebRente.value())}),
            QList<double>({0, 7, 7}));
}

TEST_F(AccountsTest, TheChooserNamesDefaultAccountsAndKeepsToTheFundsCurrency) {
  threeDataSets();
  select(0);
  account(2).Valuta = QStringLiteral("US$");
  quint8 rekNr = 1;
  // Cancel changes nothing.
  prompter.expectMessage("U kunt vijf rekeningen gebruiken.").expectAccountChoice([](auto c) {
    return c;
  });
  EXPECT_EQ(ChooseAccount(session, prompter, rekNr).kind(), Outcome::Kind::Stopped);
  EXPECT_EQ(prompter.lastChoice.rows[2].name, "Naam 3");
  EXPECT_FALSE(portfolio().bPortChanged());

  // A dollar account for a euro fund: asked again on the first euro account.
  prompter.expectMessage("vijf rekeningen")
      .expectAccountChoice(2)
      .expectMessage("Selecteer een EUR-rekening")
      .expectAccountChoice([](AccountChoice c) {
        EXPECT_EQ(c.selected, 1);
        c.accepted = true;
        c.selected = 4;
        c.rows[3].name = "Spaar";
        return c;
      });
  ASSERT_TRUE(ChooseAccount(session, prompter, rekNr).ok());
  EXPECT_EQ(rekNr, 4);
  EXPECT_EQ(fund(0).RekNr, 4);
  EXPECT_EQ(account(4).Valuta.str(), "EUR");  // an empty currency takes the fund's
  EXPECT_EQ(account(4).RekNaam.str(), "Spaar");
  goToDataSet(1);
  EXPECT_EQ(account(3).RekNaam.str(), "Naam 3");
  EXPECT_TRUE(portfolio().bPortChanged());
}

// The chooser stores what the user changed in it and nothing else: names
// keep their leading blanks, an all-blank currency stays, and only the
// chosen account takes the fund's currency.
TEST_F(AccountsTest, TheChooserKeepsWhatTheUserDidNotChange) {
  threeDataSets();
  for (int number : {1, 2, 3}) {
    goToDataSet(number);
    for (int n = 1; n <= 5; ++n) {
      account(n).RekNaam = QStringLiteral(" Rek. ") + QString::number(n);
      account(n).Valuta = QStringLiteral("   ");
    }
  }
  select(0);
  quint8 rekNr = 1;
  prompter.expectAccountChoice([](AccountChoice c) {
    EXPECT_EQ(c.rows[1].name, "Rek. 2") << "shown without its leading blank";
    c.accepted = true;
    c.selected = 2;
    c.rows[4].number = "NL01";
    return c;
  });
  ASSERT_TRUE(ChooseAccount(session, prompter, rekNr).ok());
  for (int number : {1, 2, 3}) {
    goToDataSet(number);
    for (int n = 1; n <= 5; ++n)
      EXPECT_EQ(account(n).RekNaam.str(), " Rek. " + QString::number(n)) << number << n;
    EXPECT_EQ(account(5).RekNummer.str(), "NL01") << number;
  }
  EXPECT_EQ(account(1).Valuta.str(), "   ");
  EXPECT_EQ(account(2).Valuta.str(), "EUR");
  EXPECT_EQ(account(3).Valuta.str(), "   ");
}

}  // namespace
}  // namespace pelmar
