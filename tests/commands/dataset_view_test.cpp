#include "commands/dataset_view.h"

#include <gtest/gtest.h>

#include "commands/datasets.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

const QDate kStart(2023, 1, 2);

class DataSetViewTest : public test::PortfolioFixture {
 protected:
  DataSetViewTest() : PortfolioFixture(Language::Code::Dutch) {
    session.clock().fix(kStart.addMonths(1));
  }

  // Two datasets holding beta, ALPHA and 9NINE; the second is current.
  void twoDataSets() {
    start(kStart);
    addFund("beta", 500, 5, 100);
    addFund("ALPHA", 1000, 10, 100);
    addFund("9NINE", 100, 1, 100);
    calc();
    next(kStart.addMonths(1));
  }

  void writePrices(const QByteArray& lines) {
    test::writeFile(session.settings().pricePath + "230202A.csv", lines);
    session.prices().refresh();
  }
};

TEST(DataSetView, DollarRateIsKeptAsTheDollarInEuros) {
  EXPECT_DOUBLE_EQ(NormalisedDollar(0), 0.93);
}

TEST_F(DataSetViewTest, TheViewShowsTheFundAndTheNormalisedRate) {
  twoDataSets();
  alg().Dollar = 1.25;
  fund(1).Flag1 = KoersFlag::Splits;
  ShowDataSet(session, portfolio().FirstKoersIndex() + 1);
  const DataSetView view = DataSetViewOf(session, "/p/Test.xml");
  EXPECT_EQ(view.nodePanel, "Dataset 2");
  EXPECT_EQ(view.ticker, "ALPHA");
  EXPECT_EQ(view.splitLabel, "ALPHA is gesplitst.");
  EXPECT_EQ(view.fundCumDatum, "2023-01-02");
  EXPECT_EQ(view.currency.dollar, "1,0 US$ = 0,8000 €");

  // The index of the currency gives the euro in dollars: the rate is then
  // that of one euro.
  session.settings().currencyMulDiv = true;
  session.setLanguage(Language::Code::English);
  ShowDataSet(session, portfolio().FirstKoersIndex() + 3);
  const DataSetView english = DataSetViewOf(session, "x.xml");
  EXPECT_EQ(english.currency.euro, "1.0 € = 0.8000 US$");
  EXPECT_EQ(english.ticker, "[Nieuw]");  // the file's text stays
  EXPECT_TRUE(english.fundCumDatum.isEmpty());

  // An index outside the dataset's funds falls back on its first fund.
  ShowDataSet(session, 99999);
  EXPECT_EQ(DataSetViewOf(session, "x.xml").ticker, "beta");
}

// A price from the files equal to the stored one is no change: 160.59 is
// stored as 160.59000000008382.
TEST_F(DataSetViewTest, OnlyAReallyDifferentFilePriceIsAChange) {
  start(kStart);
  addFund("ACME", 1000, 10, 100).Valuta = QStringLiteral("US$");
  calc();
  append(kStart.addMonths(1));
  alg().Dollar = 0.93;
  writePrices("Acme,ACME,23/02/02,160.59\r\n");
  calc();  // takes 160.59
  portfolio().markUnchanged();
  ShowDataSet(session, portfolio().FirstKoersIndex());
  EXPECT_EQ(fund(0).Koers, Real48(160.59));
  EXPECT_FALSE(portfolio().bPortChanged());

  // A dataset that keeps its own prices: the file price is new to it.
  fund(funds() - 1).Flag1 = KoersFlag::FakeFund;
  fund(0).Koers = 100;
  ShowDataSet(session, portfolio().FirstKoersIndex());
  EXPECT_EQ(fund(0).Koers, Real48(160.59));
  EXPECT_TRUE(portfolio().bPortChanged());
  const double shown = alg().Totaal;
  calc();
  EXPECT_EQ(alg().Totaal, shown) << "the totals agree with the price shown";
}

// A rate the window rewrites (150 becomes 0.93) is written before the
// figures are computed: they follow the rate stored, in the dataset shown
// and in the later ones, which build on it.
TEST_F(DataSetViewTest, FiguresFollowTheRateTheWindowRewrites) {
  start(kStart);
  addFund("ACME", 1000, 10, 100).Valuta = QStringLiteral("US$");
  calc();
  next(kStart.addMonths(1));
  next(kStart.addMonths(2));
  goToDataSet(2);
  alg().Dollar = 150;
  CalcDataSetsFrom(session, portfolio().FirstRekIndex());
  ShowDataSet(session, portfolio().FirstKoersIndex());
  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(0.93));
  const double shown = alg().Totaal;
  goToDataSet(3);
  const double later = alg().Totaal;
  CalcDataSetsFrom(session, Portfolio::kFirstRekIndex);
  EXPECT_DOUBLE_EQ(alg().Totaal, later) << "the later dataset built on the new figures";
  goToDataSet(2);
  EXPECT_DOUBLE_EQ(alg().Totaal, shown);
}

}  // namespace
}  // namespace pelmar
