#include "model/portfolio.h"

#include <gtest/gtest.h>

#include <tuple>

#include "model/currency.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

DateTime day(int y, int m, int d) {
  return dateToSerial(QDate(y, m, d));
}

// Checks the layout of RecordList and that the cursor points into it.
void expectWellFormed(const Portfolio& p) {
  ASSERT_GE(p.size(), 8);
  EXPECT_EQ(p.idAt(0), 'i');
  int nrOfSet = 0;
  int lastKoers = -1;
  for (int i = 1; i < p.size();) {
    ASSERT_EQ(p.idAt(i), 'a') << "at " << i;
    EXPECT_FALSE(p.endOfSetAt(0) || p.endOfSetAt(i));
    EXPECT_EQ(p.algAt(i).NrOfSet, ++nrOfSet) << "at " << i;
    ++i;
    for (int account = 1; account <= 5; ++account, ++i) {
      ASSERT_EQ(p.idAt(i), 'r') << "at " << i;
      EXPECT_EQ(p.endOfSetAt(i), account == 5) << "at " << i;
    }
    lastKoers = i;
    while (p.idAt(i) == 'k' && !p.endOfSetAt(i)) {
      EXPECT_FALSE(p.koersAt(i).isPlaceholder()) << "at " << i;
      ++i;
    }
    ASSERT_EQ(p.idAt(i), 'k') << "at " << i;
    EXPECT_TRUE(p.koersAt(i).isPlaceholder()) << "at " << i;
    ++i;
  }
  EXPECT_EQ(p.LastSetKoersIndex(), lastKoers);
  EXPECT_EQ(p.idAt(p.pAlgRec()), 'a');
}

class PortfolioTest : public test::PortfolioFixture {
 protected:
  // Datasets on the given dates, each holding the funds "AAA" (FakeFund)
  // and "BBB" before the placeholder row: 9 records a dataset, so the
  // datasets start (first account) at 2, 11, 20, ... The last is current.
  void build(std::initializer_list<QDate> dates) {
    start(*dates.begin());
    KoersRec& aaa = addFund(QStringLiteral("AAA"), 500, 10, 1);
    aaa.Flag1 = KoersFlag::FakeFund | KoersFlag::BuySell;
    aaa.Kosten = 5;
    aaa.KostenProc = 0.5;
    aaa.Dividend = 3;
    aaa.DivBel = 1;
    aaa.BTW = 2;
    addFund(QStringLiteral("BBB"), 0, 1, 1).Flag1 = KoersFlag::Cumulatief;
    account(1).Kosten = 7;
    account(1).BTW = 1;
    account(1).CredRente = 3;
    for (auto date = dates.begin() + 1; date != dates.end(); ++date) append(*date);
  }
};

TEST_F(PortfolioTest, ANewPortfolioHoldsOneDatasetWithThePlaceholderRow) {
  for (const bool dollar : {false, true}) {
    portfolio().markChanged();
    start(QDate(2024, 3, 4), dollar);
    const Portfolio& p = portfolio();
    expectWellFormed(p);
    EXPECT_TRUE(p.atLastSet());
    EXPECT_TRUE(p.bPortNew() && !p.bPortOpened() && !p.bPortChanged());
    EXPECT_EQ(p.bPortInDollar(), dollar);
    EXPECT_EQ(p.bRapInDollar(), dollar);
    EXPECT_EQ(p.alg().CumDatum, day(2024, 3, 4));
    EXPECT_EQ(p.koers().Valuta.str(), dollar ? "US$" : "EUR");
    EXPECT_EQ(p.koers().Country.str(), dollar ? "us" : "nl");
    EXPECT_EQ(p.koers().CumDatum, day(2024, 3, 4));
  }
}

TEST_F(PortfolioTest, DatasetStepsWalkTheListAndStopAtBothEnds) {
  build({QDate(2024, 1, 2), QDate(2024, 2, 1), QDate(2024, 3, 1)});
  Portfolio& p = portfolio();
  expectWellFormed(p);
  int rek = 20;
  int koers = 25;
  EXPECT_TRUE(p.NextDataSet(rek, koers));  // at the last: no move
  EXPECT_EQ(rek, 20);
  EXPECT_TRUE(p.PrevDataSet(rek, koers));
  EXPECT_EQ(std::pair(rek, koers), std::pair(11, 16));
  EXPECT_TRUE(p.PrevDataSet(rek, koers));
  EXPECT_TRUE(p.PrevDataSet(rek, koers));  // at the first: no move
  EXPECT_EQ(std::pair(rek, koers), std::pair(2, 7));
  EXPECT_TRUE(p.LastDataSet(rek, koers));
  EXPECT_EQ(rek, 20);
  EXPECT_TRUE(p.IsLastDataSet(19));
  EXPECT_FALSE(p.IsLastDataSet(18));

  goToDataSet(2);
  EXPECT_EQ(p.PrevDataSetDate(), day(2024, 1, 2));
  EXPECT_EQ(p.NextDataSetDate(), day(2024, 3, 1));
  EXPECT_EQ(p.LastDataSetDate(), day(2024, 3, 1));

  // A general record with nothing after it, as a cut-off file might leave:
  // the step fails and leaves the indices.
  ASSERT_EQ(p.appendRecord(AlgemeenRec{}), Portfolio::Refusal::None);
  EXPECT_FALSE(p.NextDataSet(rek, koers));
  EXPECT_FALSE(p.LastDataSet(rek, koers));
  EXPECT_EQ(std::pair(rek, koers), std::pair(20, 25));
  EXPECT_FALSE(Portfolio().LastDataSet(rek, koers));
  EXPECT_FALSE(Portfolio().atLastSet());
}

TEST_F(PortfolioTest, AppendCopiesTheLastDatasetAndClearsThePeriodFigures) {
  build({QDate(2024, 1, 2)});
  Portfolio& p = portfolio();
  p.koersAt(7).Flag1 |= KoersFlag::Splits | KoersFlag::RefWaarde;
  int rek = 2;
  int koers = 7;
  ASSERT_TRUE(p.appendDataSet(rek, koers, day(2024, 1, 9), 7));
  expectWellFormed(p);
  EXPECT_EQ(rek, 11);
  EXPECT_EQ(p.algAt(10).Datum, day(2024, 1, 9));
  EXPECT_EQ(p.algAt(10).SetDuur, 7);
  EXPECT_EQ(p.rekAt(11).Kosten + p.rekAt(11).BTW, 0.0);
  EXPECT_EQ(p.rekAt(11).CredRente, 3.0);
  const KoersRec& fake = p.koersAt(16);
  EXPECT_EQ(fake.Flag1, KoersFlag::FakeFund);
  EXPECT_EQ(fake.KostenProc, 0.5);
  EXPECT_EQ(fake.Aantal, 10.0);
  for (const double v : {fake.Inleg, fake.Kosten, fake.Dividend, fake.DivBel, fake.BTW})
    EXPECT_EQ(v, 0.0);
  EXPECT_EQ(p.koersAt(17).Flag1, 0);
  // The dataset copied from stays as it was.
  EXPECT_EQ(p.koersAt(7).Inleg, 500.0);
  EXPECT_EQ(p.rekAt(2).Kosten, 7.0);

  rek = 2;
  koers = 7;
  EXPECT_FALSE(p.appendDataSet(rek, koers, day(2024, 2, 1), 1)) << "not the last dataset";
  EXPECT_EQ(rek, 2);
}

TEST_F(PortfolioTest, InsertPutsACopyBetweenTwoDatasetsAndRenumbers) {
  build({QDate(2024, 1, 2), QDate(2024, 2, 1), QDate(2024, 3, 1)});
  Portfolio& p = portfolio();
  p.algAt(10).CumDatum = day(2023, 12, 1);
  int rek = 2;
  int koers = 7;
  ASSERT_TRUE(p.insertDataSet(rek, koers, day(2024, 1, 15)));
  expectWellFormed(p);
  EXPECT_EQ(rek, 11);
  EXPECT_EQ(p.algAt(10).Datum, day(2024, 1, 15));
  EXPECT_EQ(p.algAt(10).CumDatum, day(2023, 12, 1)) << "the next dataset's general record";
  EXPECT_EQ(p.algAt(19).Datum, day(2024, 2, 1));
  EXPECT_EQ(p.koersAt(16).Flag1, 0);
  EXPECT_EQ(p.koersAt(16).KostenProc, 0.0);

  rek = 29;
  koers = 34;
  EXPECT_FALSE(p.insertDataSet(rek, koers, day(2024, 4, 1))) << "nothing follows";
}

TEST_F(PortfolioTest, TheCursorMovesOnlyThroughItsOwnOperations) {
  build({QDate(2024, 1, 2), QDate(2024, 2, 1)});
  addFund(QStringLiteral("CCC"), 0, 1, 1);  // the second dataset has four rows
  Portfolio& p = portfolio();

  // Offsets are cut to the funds of the current dataset.
  p.selectFund(9);
  EXPECT_EQ(p.SelFonds(), 3);
  p.selectFund(-1);
  EXPECT_EQ(p.SelFonds(), 0);
  p.selectAccount(9);
  EXPECT_EQ(p.pRekRec(), 15);

  // Going to a dataset keeps the offset as far as the dataset has funds.
  p.selectFund(3);
  p.selectAccount(4);
  p.goToDataSet(2);
  EXPECT_EQ(p.SelFonds(), 2);
  EXPECT_EQ(p.pKoersRec(), 9);
  EXPECT_EQ(p.pRekRec(), 2);
  EXPECT_FALSE(p.atLastSet());
  p.goToDataSet(11);
  EXPECT_EQ(p.SelFonds(), 2) << "not the offset before the cut";
  EXPECT_TRUE(p.atLastSet());

  // Dataset operations move the indices passed in, never the cursor;
  // whether the cursor is on the last dataset follows by itself.
  const auto cursor = [&p] { return std::tuple(p.FirstRekIndex(), p.pRekRec(), p.SelFonds()); };
  const auto before = cursor();
  int rek = 11;
  int koers = 16;
  ASSERT_TRUE(p.appendDataSet(rek, koers, day(2024, 3, 1), 29));
  EXPECT_EQ(cursor(), before);
  EXPECT_FALSE(p.atLastSet());
  // A deleted dataset hands its place to its follower: the second one
  // goes, and the cursor is on the appended last one.
  rek = 11;
  koers = 16;
  ASSERT_TRUE(p.DeleteDataSet(rek, koers));
  EXPECT_EQ(std::pair(rek, koers), std::pair(11, 16));
  EXPECT_EQ(cursor(), before);
  expectWellFormed(p);
  EXPECT_TRUE(p.atLastSet());
  EXPECT_EQ(p.alg().Datum, day(2024, 3, 1));
  // The last dataset has no follower to take its place.
  const int size = p.size();
  EXPECT_FALSE(p.DeleteDataSet(rek, koers));
  EXPECT_EQ(p.size(), size);
}

TEST_F(PortfolioTest, TheLimitsAreRefusedWithNothingChanged) {
  build({QDate(2024, 1, 2)});
  Portfolio& p = portfolio();
  for (int i = 3; i < Portfolio::kMaxFundsPerDataSet; ++i) addFund(QString::number(i), 0, 1, 1);
  EXPECT_EQ(p.fundCount(7), Portfolio::kMaxFundsPerDataSet);
  KoersRec one_more;
  EXPECT_EQ(p.insertRecord(8, one_more), Portfolio::Refusal::TooManyFunds);
  EXPECT_EQ(p.appendRecord(one_more), Portfolio::Refusal::TooManyFunds);
  EXPECT_EQ(p.fundCount(7), Portfolio::kMaxFundsPerDataSet);

  // Datasets of 262 records: the 251st would pass 65,535.
  int rek = 2;
  int koers = 7;
  int appended = 0;
  while (p.appendDataSet(rek, koers, day(2024, 1, 2) + appended, 1)) ++appended;
  EXPECT_EQ(appended, 249);
  EXPECT_FALSE(p.canCopyDataSet(rek));
  rek = 2;
  koers = 7;
  EXPECT_FALSE(p.insertDataSet(rek, koers, day(2024, 1, 2)));
  EXPECT_EQ(rek, 2);
  EXPECT_EQ(p.size(), 1 + 250 * 262);
  expectWellFormed(p);

  while (p.size() < Portfolio::kMaxRecords)
    ASSERT_EQ(p.insertRecord(1, RekeningRec{}), Portfolio::Refusal::None);
  EXPECT_EQ(p.appendRecord(AlgemeenRec{}), Portfolio::Refusal::TooManyRecords);
  EXPECT_EQ(p.size(), Portfolio::kMaxRecords);
}

TEST_F(PortfolioTest, CurrencyFactorsFollowTheRateEitherWayRound) {
  struct Row {
    const char* valuta;
    bool inDollar;
    double dollar;
    double factor;
  };
  const double nan = std::nan("");
  for (const Row& row :
       {Row{"US$", false, 1.25, 0.8}, Row{"US$", false, 0.8, 0.8}, Row{"EUR", false, 1.25, 1.0},
        Row{"EUR", true, 1.25, 1.25}, Row{"US$", true, 1.25, 1.0},
        // An unusable rate converts one to one: never inf or NaN.
        Row{"US$", false, 0.0, 1.0}, Row{"EUR", true, 0.0, 1.0}, Row{"EUR", true, -2.0, 1.0},
        Row{"EUR", true, 1e300, 1.0}, Row{"EUR", true, nan, 1.0}}) {
    start(QDate(2024, 1, 2), row.inDollar);
    Portfolio& p = portfolio();
    p.alg().Dollar = row.dollar;
    p.koers().Valuta = QString::fromLatin1(row.valuta);
    p.rek().Valuta = QString::fromLatin1(row.valuta);
    SCOPED_TRACE(testing::Message()
                 << row.valuta << " in dollars " << row.inDollar << " at " << row.dollar);
    EXPECT_NEAR(FundCurrencyFactor(p, p.alg(), p.koers()), row.factor, 1e-9);
    EXPECT_NEAR(RapValutaFactor(p), row.factor, 1e-9);
    EXPECT_NEAR(RekRapValutaFactor(p, row.dollar), row.factor, 1e-9);
  }
  // The account factor takes today's rate rounded to five decimals.
  start(QDate(2024, 1, 2));
  portfolio().rek().Valuta = QStringLiteral("US$");
  EXPECT_DOUBLE_EQ(RekRapValutaFactor(portfolio(), 0.9123456), 0.91235);
  EXPECT_DOUBLE_EQ(RekRapValutaFactor(portfolio(), -1.0), 1.0) << "no price found";
}

}  // namespace
}  // namespace pelmar
