#include "model/portfolio.h"

#include <gtest/gtest.h>

#include "model/currency.h"
#include "model/dates.h"

namespace pelmar {
namespace {

const RecordTexts kEnglish{QStringLiteral("      Name"), QStringLiteral("Number"),
                           QStringLiteral("us"), QStringLiteral("[New]")};

DateTime day(int y, int m, int d) {
  return dateToSerial(QDate(y, m, d));
}

// Checks the layout of RecordList and the state that points into it.
void expectWellFormed(const Portfolio& p) {
  ASSERT_GE(p.size(), 8);
  EXPECT_EQ(p.idAt(0), 'i');
  EXPECT_FALSE(p.endOfSetAt(0));
  int i = 1;
  int nrOfSet = 0;
  int lastKoers = -1;
  while (i < p.size()) {
    ASSERT_EQ(p.idAt(i), 'a') << "at " << i;
    EXPECT_FALSE(p.endOfSetAt(i));
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
  EXPECT_EQ(p.LastSetKoersIndex, lastKoers);
  EXPECT_EQ(p.FirstKoersIndex, Portfolio::KoersIndexOf(p.FirstRekIndex));
  EXPECT_EQ(p.idAt(p.FirstRekIndex - 1), 'a');
  EXPECT_EQ(p.bAtLastSet, p.FirstKoersIndex == p.LastSetKoersIndex);
}

// A fund placed before the placeholder row of the last dataset.
void addFund(Portfolio& p, const QString& ticker, quint8 flags = 0) {
  KoersRec fund = p.initialRecords().DefaultKoersRec;
  fund.EndOfSetB = false;
  fund.Ticker = ticker;
  fund.Flag1 = flags;
  fund.Aantal = 10;
  fund.Inleg = 500;
  fund.Kosten = 5;
  fund.KostenProc = 0.5;
  fund.Dividend = 3;
  fund.DivBel = 1;
  fund.BTW = 2;
  ASSERT_EQ(p.insertRecord(p.size() - 1, fund), Portfolio::Refusal::None);
}

IdentRec identRec(bool dollar) {
  IdentRec ident;
  ident.Name = QStringLiteral("Pelmar");
  ident.PortInDollarB = dollar;
  ident.RapInDollarB = dollar;
  return ident;
}

// A euro portfolio of datasets on the given dates, each holding the funds
// "AAA" (FakeFund) and "BBB" before the placeholder row; the last dataset
// is current.
Portfolio portfolioOn(std::initializer_list<DateTime> dates) {
  Portfolio p;
  p.setRecordTexts(kEnglish);
  auto date = dates.begin();
  p.NewPortfolio(identRec(false), *date);
  addFund(p, QStringLiteral("AAA"), KoersFlag::FakeFund | KoersFlag::BuySell);
  addFund(p, QStringLiteral("BBB"), KoersFlag::Cumulatief);
  p.rekAt(2).Kosten = 7;
  p.rekAt(2).BTW = 1;
  for (++date; date != dates.end(); ++date)
    EXPECT_TRUE(p.appendDataSet(p.FirstRekIndex, p.FirstKoersIndex, *date, 1));
  return p;
}

TEST(Portfolio, ANewPortfolioHoldsOneDatasetWithThePlaceholderRow) {
  for (const bool dollar : {false, true}) {
    Portfolio p;
    p.setRecordTexts(kEnglish);
    p.bPortChanged = true;
    p.NewPortfolio(identRec(dollar), day(2024, 3, 4));
    EXPECT_EQ(p.size(), 8);
    expectWellFormed(p);
    EXPECT_EQ(p.FirstRekIndex, 2);
    EXPECT_EQ(p.FirstKoersIndex, 7);
    EXPECT_EQ(p.SelFonds, 0);
    EXPECT_TRUE(p.bAtLastSet);
    EXPECT_TRUE(p.bPortNew);
    EXPECT_FALSE(p.bPortOpened);
    EXPECT_EQ(p.bPortInDollar, dollar);
    EXPECT_EQ(p.bRapInDollar, dollar);
    EXPECT_EQ(p.alg().Datum, day(2024, 3, 4));
    EXPECT_EQ(p.alg().CumDatum, day(2024, 3, 4));
    EXPECT_EQ(p.alg().Dollar, 1.0);
    const KoersRec& placeholder = p.koersAt(7);
    EXPECT_EQ(placeholder.Ticker.str(), "[New]");
    EXPECT_EQ(placeholder.Valuta.str(), dollar ? "US$" : "EUR");
    EXPECT_EQ(placeholder.Country.str(), dollar ? "us" : "nl");
    EXPECT_EQ(placeholder.CumDatum, day(2024, 3, 4));
    EXPECT_EQ(p.rekAt(4).RekNaam.str(), "      Name");
  }
}

TEST(Portfolio, NavigationWalksTheDatasetsAndStopsAtBothEnds) {
  Portfolio p = portfolioOn({day(2024, 1, 2), day(2024, 2, 1), day(2024, 3, 1)});
  expectWellFormed(p);
  EXPECT_EQ(p.FirstRekIndex, 2 + 2 * 9);  // 1 + 5 + 3 funds per dataset

  int rek = p.FirstRekIndex;
  int koers = p.FirstKoersIndex;
  EXPECT_TRUE(p.NextDataSet(rek, koers));  // at the last: no move
  EXPECT_EQ(rek, 20);
  EXPECT_TRUE(p.PrevDataSet(rek, koers));
  EXPECT_EQ(rek, 11);
  EXPECT_EQ(koers, 16);
  EXPECT_TRUE(p.PrevDataSet(rek, koers));
  EXPECT_EQ(rek, 2);
  EXPECT_TRUE(p.PrevDataSet(rek, koers));  // at the first: no move
  EXPECT_EQ(rek, 2);
  EXPECT_EQ(koers, 7);

  p.LastSetKoersIndex = 0;
  EXPECT_TRUE(p.NextDataSet(rek, koers));
  EXPECT_EQ(p.LastSetKoersIndex, 0) << "the middle dataset is not the last";
  EXPECT_TRUE(p.NextDataSet(rek, koers));
  EXPECT_EQ(rek, 20);
  EXPECT_EQ(p.LastSetKoersIndex, 25);

  EXPECT_TRUE(p.FirstDataSet(rek, koers));
  EXPECT_EQ(rek, 2);
  p.LastSetKoersIndex = 0;
  EXPECT_TRUE(p.LastDataSet(rek, koers));
  EXPECT_EQ(rek, 20);
  EXPECT_EQ(p.LastSetKoersIndex, 25);

  EXPECT_TRUE(p.IsLastDataSet(19));
  EXPECT_FALSE(p.IsLastDataSet(18));

  p.FirstRekIndex = 11;
  p.FirstKoersIndex = 16;
  EXPECT_EQ(p.PrevDataSetDate(), day(2024, 1, 2));
  EXPECT_EQ(p.NextDataSetDate(), day(2024, 3, 1));
  EXPECT_EQ(p.LastDataSetDate(), day(2024, 3, 1));
  EXPECT_EQ(p.FirstRekIndex, 11);
}

TEST(Portfolio, AStepIntoATruncatedListFailsAndLeavesTheIndices) {
  Portfolio p = portfolioOn({day(2024, 1, 2)});
  // A general record with nothing after it, as a cut-off file might leave.
  ASSERT_EQ(p.appendRecord(AlgemeenRec{}), Portfolio::Refusal::None);
  int rek = 2;
  int koers = 7;
  EXPECT_FALSE(p.NextDataSet(rek, koers));
  EXPECT_FALSE(p.LastDataSet(rek, koers));
  EXPECT_EQ(rek, 2);
  EXPECT_EQ(koers, 7);

  Portfolio empty;
  EXPECT_FALSE(empty.LastDataSet(rek, koers));
  EXPECT_EQ(rek, 2);
}

TEST(Portfolio, AppendCopiesTheLastDatasetAndClearsThePeriodFigures) {
  Portfolio p = portfolioOn({day(2024, 1, 2)});
  p.koersAt(7).Flag1 |= KoersFlag::Splits | KoersFlag::RefWaarde;
  ASSERT_TRUE(p.appendDataSet(p.FirstRekIndex, p.FirstKoersIndex, day(2024, 1, 9), 7));
  expectWellFormed(p);
  // With two real funds the second dataset starts 2 + 1 + 5 + 2 + 1 on.
  EXPECT_EQ(p.FirstRekIndex, 11);
  EXPECT_EQ(p.pAlgRec, 10);
  EXPECT_EQ(p.alg().NrOfSet, 2);
  EXPECT_EQ(p.alg().Datum, day(2024, 1, 9));
  EXPECT_EQ(p.alg().SetDuur, 7);

  const RekeningRec& account = p.rekAt(11);
  EXPECT_EQ(account.Kosten, 0.0);
  EXPECT_EQ(account.BTW, 0.0);
  EXPECT_EQ(account.CredRente, 3.0);

  const KoersRec& fake = p.koersAt(16);
  EXPECT_EQ(fake.Ticker.str(), "AAA");
  EXPECT_EQ(fake.Flag1, KoersFlag::FakeFund);
  EXPECT_EQ(fake.KostenProc, 0.5);
  EXPECT_EQ(fake.Aantal, 10.0);
  for (const double v : {fake.Inleg, fake.Kosten, fake.Dividend, fake.DivBel, fake.BTW})
    EXPECT_EQ(v, 0.0);
  EXPECT_EQ(p.koersAt(17).Flag1, 0);

  // The dataset copied from stays as it was.
  EXPECT_EQ(p.koersAt(7).Inleg, 500.0);
  EXPECT_EQ(p.rekAt(2).Kosten, 7.0);

  int rek = 2;
  int koers = 7;
  EXPECT_FALSE(p.appendDataSet(rek, koers, day(2024, 2, 1), 1)) << "not the last dataset";
  EXPECT_EQ(rek, 2);
}

TEST(Portfolio, InsertPutsACopyBetweenTwoDatasetsAndRenumbers) {
  Portfolio p = portfolioOn({day(2024, 1, 2), day(2024, 2, 1), day(2024, 3, 1)});
  p.algAt(10).CumDatum = day(2023, 12, 1);
  int rek = 2;
  int koers = 7;
  ASSERT_TRUE(p.insertDataSet(rek, koers, day(2024, 1, 15)));
  p.FirstRekIndex = rek;
  p.FirstKoersIndex = koers;
  p.bAtLastSet = false;
  expectWellFormed(p);
  EXPECT_EQ(rek, 11);
  EXPECT_EQ(p.LastSetKoersIndex, 34);
  EXPECT_EQ(p.algAt(10).Datum, day(2024, 1, 15));
  EXPECT_EQ(p.algAt(10).CumDatum, day(2023, 12, 1)) << "the next dataset's general record";
  EXPECT_EQ(p.algAt(19).Datum, day(2024, 2, 1));

  const KoersRec& fund = p.koersAt(16);
  EXPECT_EQ(fund.Ticker.str(), "AAA");
  EXPECT_EQ(fund.Flag1, 0);
  for (const double v :
       {fund.Inleg, fund.Kosten, fund.KostenProc, fund.Dividend, fund.DivBel, fund.BTW})
    EXPECT_EQ(v, 0.0);
  EXPECT_EQ(p.rekAt(11).Kosten, 0.0);

  int lastRek = 29;
  int lastKoers = 34;
  EXPECT_FALSE(p.insertDataSet(lastRek, lastKoers, day(2024, 4, 1))) << "nothing follows";
}

TEST(Portfolio, DeletingAMiddleDatasetMakesTheFollowerCurrent) {
  Portfolio p = portfolioOn({day(2024, 1, 2), day(2024, 2, 1), day(2024, 3, 1), day(2024, 4, 2)});
  int rek = 11;
  int koers = 16;
  ASSERT_TRUE(p.DeleteDataSet(rek, koers));
  p.FirstRekIndex = rek;
  p.FirstKoersIndex = koers;
  expectWellFormed(p);
  EXPECT_EQ(rek, 11);
  EXPECT_EQ(p.alg().Datum, day(2024, 3, 1));
  EXPECT_EQ(p.LastSetKoersIndex, 25);
  EXPECT_FALSE(p.bAtLastSet);

  // Deleting the dataset before the last makes the last one current.
  ASSERT_TRUE(p.DeleteDataSet(rek, koers));
  p.FirstRekIndex = rek;
  p.FirstKoersIndex = koers;
  expectWellFormed(p);
  EXPECT_TRUE(p.bAtLastSet);
  EXPECT_EQ(p.alg().Datum, day(2024, 4, 2));

  // The last dataset has no follower to become current.
  const int size = p.size();
  EXPECT_FALSE(p.DeleteDataSet(rek, koers));
  EXPECT_EQ(p.size(), size);
  EXPECT_EQ(rek, 11);
}

TEST(Portfolio, TheLimitsAreRefusedWithNothingChanged) {
  Portfolio p = portfolioOn({day(2024, 1, 2)});
  for (int i = 3; i < Portfolio::kMaxFundsPerDataSet; ++i) addFund(p, QString::number(i));
  EXPECT_EQ(p.fundCount(7), Portfolio::kMaxFundsPerDataSet);
  KoersRec one_more;
  EXPECT_EQ(p.insertRecord(8, one_more), Portfolio::Refusal::TooManyFunds);
  EXPECT_EQ(p.appendRecord(one_more), Portfolio::Refusal::TooManyFunds);
  EXPECT_EQ(p.fundCount(7), Portfolio::kMaxFundsPerDataSet);

  // Datasets of 262 records: the 251st would pass 65,535.
  int appended = 0;
  while (p.appendDataSet(p.FirstRekIndex, p.FirstKoersIndex, day(2024, 1, 2) + appended, 1))
    ++appended;
  EXPECT_EQ(appended, 249);
  EXPECT_EQ(p.size(), 1 + 250 * 262);
  EXPECT_FALSE(p.canCopyDataSet(p.FirstRekIndex));
  int rek = 2;
  int koers = 7;
  EXPECT_FALSE(p.insertDataSet(rek, koers, day(2024, 1, 2)));
  EXPECT_EQ(rek, 2);
  EXPECT_EQ(p.size(), 1 + 250 * 262);
  expectWellFormed(p);

  while (p.size() < Portfolio::kMaxRecords)
    ASSERT_EQ(p.insertRecord(1, RekeningRec{}), Portfolio::Refusal::None);
  EXPECT_EQ(p.appendRecord(AlgemeenRec{}), Portfolio::Refusal::TooManyRecords);
  EXPECT_EQ(p.size(), Portfolio::kMaxRecords);
}

struct FactorCase {
  const char* valuta;
  bool portInDollar;
  bool rapInDollar;
  double dollar;
  double fundFactor;
  double reportFactor;
};

void PrintTo(const FactorCase& c, std::ostream* os) {
  *os << c.valuta << (c.portInDollar ? " in a dollar portfolio" : " in a euro portfolio") << " at "
      << c.dollar;
}

class CurrencyFactors : public ::testing::TestWithParam<FactorCase> {};

TEST_P(CurrencyFactors, FollowTheRateEitherWayRound) {
  const FactorCase& c = GetParam();
  Portfolio p = portfolioOn({day(2024, 1, 2)});
  p.bPortInDollar = c.portInDollar;
  p.bRapInDollar = c.rapInDollar;
  p.alg().Dollar = c.dollar;
  p.koers().Valuta = QString::fromLatin1(c.valuta);
  p.rek().Valuta = QString::fromLatin1(c.valuta);
  const double fund = FundCurrencyFactor(p, p.koers());
  const double report = RapValutaFactor(p);
  const double account = RekRapValutaFactor(p, c.dollar);
  EXPECT_NEAR(fund, c.fundFactor, 1e-9);
  EXPECT_NEAR(report, c.reportFactor, 1e-9);
  EXPECT_NEAR(account, c.reportFactor, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Portfolio, CurrencyFactors,
    ::testing::Values(FactorCase{"US$", false, false, 1.25, 0.8, 0.8},
                      FactorCase{"US$", false, false, 0.8, 0.8, 0.8},
                      FactorCase{"EUR", false, false, 1.25, 1.0, 1.0},
                      FactorCase{"EUR", true, true, 1.25, 1.25, 1.25},
                      FactorCase{"US$", true, true, 1.25, 1.0, 1.0},
                      // An unusable rate converts one to one: never inf or NaN.
                      FactorCase{"US$", false, false, 0.0, 1.0, 1.0},
                      FactorCase{"EUR", true, true, 0.0, 1.0, 1.0},
                      FactorCase{"EUR", true, true, -2.0, 1.0, 1.0},
                      FactorCase{"EUR", true, true, 1e300, 1.0, 1.0},
                      FactorCase{"EUR", true, true, std::nan(""), 1.0, 1.0}));

TEST(Portfolio, TheAccountFactorRoundsTodaysRateToFiveDecimals) {
  Portfolio p = portfolioOn({day(2024, 1, 2)});
  p.rek().Valuta = QStringLiteral("US$");
  EXPECT_DOUBLE_EQ(RekRapValutaFactor(p, 0.9123456), 0.91235);
  EXPECT_DOUBLE_EQ(RekRapValutaFactor(p, -1.0), 1.0) << "no price found";
}

}  // namespace
}  // namespace pelmar
