#include <gtest/gtest.h>

#include "commands/download.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

class RefreshDataSets : public test::PortfolioFixture {};

// After a download every dataset holds the day's price and every figure is
// what a recalculation from the first dataset on gives: none is computed
// from a predecessor that was refreshed after it, none is left stale.
TEST_F(RefreshDataSets, EveryDataSetTakesItsPriceAndIsComputedAfterItsPredecessor) {
  const QDate days[] = {QDate(2024, 1, 2), QDate(2024, 2, 1), QDate(2024, 3, 1)};
  start(days[0]);
  addFund("asml", 1000, 100, 10);  // bought at 10, the first dataset not yet computed
  next(days[1]);
  next(days[2]);
  goToDataSet(2);  // the user looks at an earlier dataset meanwhile
  const QString folder = session.prices().folder();
  test::writeFile(folder + "240102A.csv", "ASML,asml,24/01/02,12\r\n");
  test::writeFile(folder + "240201A.csv", "ASML,asml,24/02/01,13\r\n");
  test::writeFile(folder + "240301A.csv", "ASML,asml,24/03/01,14\r\n");
  session.prices().refresh();

  const int current = portfolio().FirstRekIndex();
  RefreshAllDataSets(session);
  EXPECT_EQ(portfolio().FirstRekIndex(), current);
  EXPECT_TRUE(portfolio().bPortChanged());

  struct Figures {
    double koers, reserve, refWrde, totaal;
  };
  const auto figures = [&] {
    std::vector<Figures> all;
    for (int n = 1; n <= 3; ++n) {
      goToDataSet(n);
      all.push_back({double(fund(0).Koers), double(fund(0).Reserve), double(fund(0).RefWrde),
                     double(alg().Totaal)});
    }
    return all;
  };
  const std::vector<Figures> refreshed = figures();
  EXPECT_DOUBLE_EQ(refreshed[0].koers, 12);
  EXPECT_DOUBLE_EQ(refreshed[1].koers, 13);
  EXPECT_DOUBLE_EQ(refreshed[2].koers, 14);
  // The first dataset's reserve and reference value follow its new price.
  EXPECT_DOUBLE_EQ(refreshed[0].reserve, 1000 - 100 * 12);
  EXPECT_DOUBLE_EQ(refreshed[0].refWrde, 100 * 12);

  CalcDataSetsFrom(session, Portfolio::kFirstRekIndex);
  const std::vector<Figures> again = figures();
  for (int n = 0; n < 3; ++n) {
    SCOPED_TRACE(n + 1);
    EXPECT_DOUBLE_EQ(again[n].reserve, refreshed[n].reserve);
    EXPECT_DOUBLE_EQ(again[n].refWrde, refreshed[n].refWrde);
    EXPECT_DOUBLE_EQ(again[n].totaal, refreshed[n].totaal);
  }
}

// Nothing new in the files: the portfolio has no change to save.
TEST_F(RefreshDataSets, NoNewPriceIsNoChange) {
  start(QDate(2024, 1, 2));
  addFund("asml", 1000, 100, 10);
  calc();
  next(QDate(2024, 2, 1));
  portfolio().markUnchanged();
  RefreshAllDataSets(session);
  EXPECT_FALSE(portfolio().bPortChanged());
}

}  // namespace
}  // namespace pelmar
