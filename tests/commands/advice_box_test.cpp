#include "commands/advice_box.h"

#include "support/advice_fixture.h"

namespace pelmar::test {
namespace {

class AdviceBoxTest : public AdviceFixture {
 protected:
  explicit AdviceBoxTest(Language::Code code = Language::Code::English) : AdviceFixture(code) {}

  AdviceBox box() { return ShowAdvice(session, portfolio().FirstRekIndex(), 0); }
};

TEST_F(AdviceBoxTest, PricesAndQuantitiesAroundTheReferenceValue) {
  struct Row {
    double koers;
    double adviceShares;
    double tradeAdvice;
    AdviceColour colour;
    const char* line;
  };
  const Row rows[] = {
      {100, 0, 0, AdviceColour::Red, ""},
      {80, 2.5, 2.5, AdviceColour::Blue, " Trade Advice: Buy: 2 (2.5000) units"},
      {95, 0.5263, 0, AdviceColour::Red, " Price difference too small; Buy: 1 (0.5263) units"},
      {125, -2, -2, AdviceColour::Blue, " Trade Advice: Sell: 2 (2.0000) units"},
      {105, -0.4762, 0, AdviceColour::Red, " Price difference too small; Sell: 0 (0.4762) units"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.koers);
    fund(0).Koers = row.koers;
    calc();
    const AdviceBox shown = box();
    EXPECT_DOUBLE_EQ(fund(0).RefWrde, 1000);
    EXPECT_DOUBLE_EQ(advice().figures().tradeAdvice, Real48(row.tradeAdvice));
    EXPECT_DOUBLE_EQ(fund(0).AdviesR, Real48(row.adviceShares));
    EXPECT_EQ(shown.adviesColour, row.colour);
    EXPECT_EQ(shown.adviesLabel, QString::fromLatin1(row.line));
    EXPECT_EQ(shown.koopLabel, QStringLiteral(" At 90.0000 Buy: 1 (1.1111) units"));
    EXPECT_EQ(shown.verkoopLabel, QStringLiteral(" At 110.0000 Sell: 1 (0.9091) units"));
  }
}

TEST_F(AdviceBoxTest, ExhaustionHint) {
  fund(0).Reserve = 100;
  EXPECT_EQ(box().exhaustionHint,
            QStringLiteral("The Reserve will be exhausted at a Price of 90.0000.\r\n"
                           "Then the Reserve is: -1.0000.\r\n"
                           "and the Number of Stocks: 10.1000."));
  // Without shares there are neither prices nor a reserve to use up.
  fund(0).Aantal = 0;
  const AdviceBox shown = box();
  EXPECT_EQ(shown.exhaustionHint,
            QStringLiteral("Unable to calculate the exhaustion of the Reserve\r\n"
                           "because the Number of Stocks is zero"));
  EXPECT_TRUE(shown.koopLabel.isEmpty());
  fund(0).Aantal = 10;
  fund(0).Reserve = 1e9;
  EXPECT_EQ(box().exhaustionHint,
            QStringLiteral("Unable to calculate the exhaustion of the Reserve\r\n"
                           "because the Reserve is not used up after 1000 price falls"));
}

struct DutchAdviceBoxTest : AdviceBoxTest {
  DutchAdviceBoxTest() : AdviceBoxTest(Language::Code::Dutch) {}
};

TEST_F(DutchAdviceBoxTest, TextsAndSeparators) {
  fund(0).Koers = 80;
  calc();
  fund(0).Reserve = -5000;
  const AdviceBox shown = box();
  EXPECT_EQ(shown.adviesLabel, QStringLiteral(" Handel-advies: Kopen: 2 (2,5000) stuks"));
  EXPECT_EQ(shown.koopLabel, QStringLiteral(" Bij 90,0000 Kopen: 1 (1,1111) stuks"));
  EXPECT_EQ(shown.exhaustionHint,
            QStringLiteral("De Reserve is uitgeput bij een koers van 72,0000.\r\n"
                           "De Reserve is dan: -5.080,8000.\r\n"
                           "en het Aantal stukken: 10,1000."));
  fund(0).Reserve = 1e9;  // a reserve that lasts
  EXPECT_EQ(box().exhaustionHint,
            QStringLiteral("De uitputting van de Reserve kan niet worden berekend\r\n"
                           "omdat de Reserve ook na 1000 koersdalingen niet op is."));
}

TEST_F(AdviceBoxTest, FirstDataSetShowsPricesButNoAdviceLine) {
  goToDataSet(1);
  fund(0).Koers = 80;
  calc();
  EXPECT_DOUBLE_EQ(fund(0).AdviesR, 0);
  EXPECT_DOUBLE_EQ(advice().figures().buyPrice, 72);
  const AdviceBox shown = box();
  EXPECT_TRUE(shown.adviesLabel.isEmpty());
  EXPECT_EQ(shown.koopLabel, QStringLiteral(" At 72.0000 Buy: 1 (1.1111) units"));
}

// Outside the dataset's funds the box stays empty.
TEST_F(AdviceBoxTest, NoFundNoBox) {
  const AdviceBox shown = AdviceBoxOf(session, portfolio().FirstRekIndex(), 5);
  EXPECT_TRUE(shown.adviesLabel.isEmpty() && shown.koopLabel.isEmpty() &&
              shown.exhaustionHint.isEmpty());
  EXPECT_EQ(shown.adviesColour, AdviceColour::Red);
}

}  // namespace
}  // namespace pelmar::test
