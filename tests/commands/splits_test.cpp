#include "commands/splits.h"

#include <gtest/gtest.h>

#include "commands/dataset_view.h"
#include "commands/trading.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

// 100 shares of AAA at 50 in the first of three datasets; the split is made
// in the second.
class SplitsTest : public test::PortfolioFixture {
 protected:
  SplitsTest() {
    start(QDate(2024, 1, 2));
    addFund("AAA", 5000, 100, 50);
    next(QDate(2024, 3, 1));
    fund(0).Koers = 60;
    calc();
    next(QDate(2024, 6, 3));
    goToDataSet(2);
    select(0);
  }

  // Answers the split question with the text and runs the command.
  Outcome split(const QString& ratio) {
    prompter.expectInput("In how many parts", {true, ratio});
    const Outcome outcome = SpeedSplitsClick(session, prompter);
    prompter.verify();
    return outcome;
  }

  const KoersRec& aaaIn(int dataSet) {
    goToDataSet(dataSet);
    return fund(0);
  }

  test::ScriptedPrompter prompter;
};

TEST_F(SplitsTest, TwoForOneDoublesSharesAndHalvesPriceHereAndLaterButMovesNoMoney) {
  RecalculateEveryDataSet(session);
  const double value = aaaIn(3).Aantal * aaaIn(3).Koers;
  const double reserve = aaaIn(3).Reserve;
  const double rotai = alg().ROTAIRendement;
  goToDataSet(2);
  const int here = portfolio().FirstRekIndex();
  ASSERT_TRUE(split("2"));
  EXPECT_TRUE(portfolio().bPortChanged());
  EXPECT_EQ(portfolio().FirstRekIndex(), here);
  for (int set : {2, 3}) {
    SCOPED_TRACE(set);
    EXPECT_DOUBLE_EQ(aaaIn(set).Aantal, 200);
    EXPECT_DOUBLE_EQ(aaaIn(set).Koers, 30);
    EXPECT_TRUE(aaaIn(set).Flag1 & KoersFlag::Splits);
  }
  EXPECT_DOUBLE_EQ(aaaIn(1).Aantal, 100);
  EXPECT_FALSE(aaaIn(1).Flag1 & KoersFlag::Splits);

  RecalculateEveryDataSet(session);
  EXPECT_DOUBLE_EQ(aaaIn(3).Aantal * aaaIn(3).Koers, value);
  EXPECT_NEAR(aaaIn(3).Reserve, reserve, 1e-6);
  EXPECT_NEAR(alg().ROTAIRendement, rotai, 1e-6);
}

TEST_F(SplitsTest, RatiosNearOneAreIgnoredAndTheInverseUndoes) {
  EXPECT_EQ(split("1,005").kind(), Outcome::Kind::Stopped);
  EXPECT_DOUBLE_EQ(aaaIn(2).Aantal, 100);
  goToDataSet(2);
  ASSERT_TRUE(split("2"));
  goToDataSet(2);
  ASSERT_TRUE(split("0.5"));
  EXPECT_DOUBLE_EQ(aaaIn(3).Aantal, 100);
  EXPECT_DOUBLE_EQ(aaaIn(3).Koers, 60);
}

TEST_F(SplitsTest, NoNumberZeroOrNegativeSplitsNothingAndSaysSo) {
  portfolio().markUnchanged();
  for (const char* answer : {"abc", "0", "-2"}) {
    SCOPED_TRACE(answer);
    prompter.expectInput("In how many parts", {true, answer}).expectMessage("is no ratio above 0");
    EXPECT_TRUE(SpeedSplitsClick(session, prompter).isFailure());
    prompter.verify();
    EXPECT_DOUBLE_EQ(aaaIn(3).Aantal, 100);
    goToDataSet(2);
  }
  prompter.expectInput("In how many parts", {false, "2"});
  EXPECT_EQ(SpeedSplitsClick(session, prompter).kind(), Outcome::Kind::Stopped);
  EXPECT_FALSE(portfolio().bPortChanged());
}

TEST_F(SplitsTest, SettingTheReferenceValueTwiceAsksToUndo) {
  ASSERT_TRUE(SpeedRefWaardeClick(session, prompter));
  EXPECT_TRUE(fund(0).Flag1 & KoersFlag::RefWaarde);
  EXPECT_DOUBLE_EQ(fund(0).RefWrde, 100 * 60);
  EXPECT_EQ(EnableControls(session, false, true, true).refWaarde,
            "Make Calculation of Reference Value Automatical");

  prompter.expectQuestion("manually adjusted", Answer::No);
  EXPECT_EQ(SpeedRefWaardeClick(session, prompter).kind(), Outcome::Kind::Stopped);
  EXPECT_TRUE(fund(0).Flag1 & KoersFlag::RefWaarde);
  prompter.expectQuestion("manually adjusted", Answer::Yes);
  ASSERT_TRUE(SpeedRefWaardeClick(session, prompter));
  EXPECT_FALSE(fund(0).Flag1 & KoersFlag::RefWaarde);
  EXPECT_EQ(EnableControls(session, false, true, true).refWaarde, "Calculate New Reference Value");
}

}  // namespace
}  // namespace pelmar
