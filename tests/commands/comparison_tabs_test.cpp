#include "commands/comparison_tabs.h"

#include <gtest/gtest.h>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

const QDate kStart(2023, 1, 2);

class ComparisonTabsTest : public test::PortfolioFixture {
 protected:
  ComparisonTabsTest() : PortfolioFixture(Language::Code::Dutch) {}

  QStringList rotac() { return TabRotac(portfolio(), session.language()); }
  QStringList rotai() { return TabRotai(portfolio(), session.language()); }
};

TEST_F(ComparisonTabsTest, TrueReturnsTabOfAFundThatGrewTenPercent) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  calc();
  append(kStart.addDays(100));
  fund(0).Koers = 110;
  calc();
  select(0);
  const auto tab = [&] {
    return TabTrueReturns(portfolio(), session.language(), DateFormat::DayMonthYear);
  };
  EXPECT_EQ(tab(), QStringList({
                       ";Huidig Fonds;;Portefeuille;",
                       " ; ; ; ;",
                       "TWR begin;10,00; %;10,00; %",
                       "TWR dit jaar;10,00; %;10,00; %",
                       "TWR 12 mnd;10,00; %;10,00; %",
                       " ; ; ; ;",
                       "IRR begin;10,00; %;10,00; %",
                       "IRR dit jaar;10,00; %;10,00; %",
                       "IRR 12 mnd;10,00; %;10,00; %",
                       " ; ; ; ;",
                       "Vanaf;02-01-2023;;02-01-2023;",
                   }));
  // Over more than a year the rates are per year; the placeholder row has none.
  append(kStart.addDays(730));
  fund(0).Koers = 121;
  calc();
  select(1);
  const QStringList later = tab();
  EXPECT_EQ(later[2], "TWR begin;n.v.t.;;10,00; % p.j.");
  EXPECT_EQ(later[4], "TWR 12 mnd;n.v.t.;;10,00; %");  // from the dataset of day 100
  EXPECT_EQ(later.last(), "Vanaf;;;02-01-2023;");
}

TEST_F(ComparisonTabsTest, TabsOfAFundBoughtFor1000At100) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  calc();
  select(0);
  EXPECT_EQ(rotac(), QStringList({
                         ";Huidig Fonds;;Portefeuille;",
                         " ; ; ; ;",
                         "Referentie;1.000,00;;;",
                         "Som Invest.;1.000,00;;1.000,00;",
                         "Som Rente;0,00;;0,00;",
                         " ; ; ; ;",
                         "Waarde;1.000,00;;1.000,00;",
                         "Kapitaal;0,00;;0,00;",
                         ";------------------; +;-----------------; +",
                         "Totaal;1.000,00;;1.000,00;",
                         "Winst;0,00;;0,00;",
                         "Rendement;0,00; %;0,00; %",
                     }));

  // Returns above 99999 are asterisks.
  portfolio().koers().FRend = 99999.01;
  portfolio().alg().Rendement = 99999;
  portfolio().koers().ROTAIFRend = 99999.99;  // a return without meaning
  portfolio().alg().ROTAIRendement = -12.345;
  EXPECT_EQ(rotac().last(), "Rendement;*********; %;99.999,00; %");
  EXPECT_EQ(rotai().last(), "Rendement;*********; %;-12,35; %");
}

TEST_F(ComparisonTabsTest, PortfolioColumnSumsFundsInThePortfolioCurrency) {
  start(kStart);
  portfolio().alg().Dollar = 1.25;
  addFund("ALPHA", 1000, 10, 100);
  addFund("ACME", 80, 10, 10).Valuta = QStringLiteral("US$");
  calc();
  // The placeholder row holds no position, whatever it may contain.
  fund(2).Koers = 1;
  fund(2).Aantal = 1000;
  fund(2).Reserve = 5;
  select(1);
  const QStringList lines = rotac();
  EXPECT_EQ(lines[6], "Waarde;80,00;;1.080,00;");
  // The placeholder's reserve is not counted.
  EXPECT_EQ(lines[7], "Kapitaal;-16,00;;-16,00;");
}

TEST_F(ComparisonTabsTest, WeightedCashDividesThePortfolioByItsOwnDuration) {
  start(kStart);
  addFund("ALPHA", 1000, 10, 100);
  calc();
  next(kStart.addDays(365));
  fund(0).Koers = 110;
  addFund("BETA", 500, 10, 50);
  calc();
  select(1);
  // BETA is new: its figure stays undivided; the portfolio's 366000 over
  // the 365 days of the portfolio period.
  EXPECT_EQ(rotai()[3], "Gew. Invest.;0,00;;1.002,74;");

  select(0);
  EXPECT_EQ(rotai()[3], "Gew. Invest.;1.002,74;;1.002,74;");
}

}  // namespace
}  // namespace pelmar
