#include "commands/datasets.h"

#include <gtest/gtest.h>

#include "model/dates.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

DateTime day(int y, int m, int d) {
  return dateToSerial(QDate(y, m, d));
}
QDateTime noon(int y, int m, int d) {
  return QDateTime(QDate(y, m, d), QTime(12, 0));
}

// Keeps the proposals the date picker was opened with.
class DatePrompter : public test::ScriptedPrompter {
 public:
  std::optional<QDateTime> pickDate(const QString& caption, const QDateTime& proposal) override {
    proposals.push_back(proposal.date());
    return ScriptedPrompter::pickDate(caption, proposal);
  }
  std::vector<QDate> proposals;
};

class AddDataSetTest : public test::PortfolioFixture {
 protected:
  AddDataSetTest() { session.clock().fix(QDate(2024, 6, 8)); }  // a Saturday

  // A euro portfolio with the fund "AAA" on the given dates; the last
  // dataset is current.
  void makePortfolio(std::initializer_list<QDate> dates) {
    auto date = dates.begin();
    start(*date);
    addFund("AAA", 0, 0, 10).KostenProc = 0.25;
    for (++date; date != dates.end(); ++date) append(*date);
  }

  Outcome add() { return AddDataSet(session, prompter); }

  DatePrompter prompter;
};

TEST_F(AddDataSetTest, AppendProposesTheNextWorkingDayAndTakesTheChosenDate) {
  makePortfolio({QDate(2024, 6, 3)});
  test::writeFile(session.settings().pricePath + PriceStore::dayFileName(QDate(2024, 6, 12)),
                  "Aaa fund,AAA,24/06/12,12.5\r\n");
  prompter.expectDate(noon(2024, 6, 12), "Select the right date");
  ASSERT_TRUE(add());
  EXPECT_EQ(prompter.proposals, std::vector<QDate>{QDate(2024, 6, 10)});

  const Portfolio& p = portfolio();
  EXPECT_EQ(wholeDay(p.alg().Datum), day(2024, 6, 12));
  EXPECT_EQ(p.alg().SetDuur, 9);
  EXPECT_EQ(p.koersAt(15).Koers, 12.5) << "the day's price";
  EXPECT_EQ(p.koersAt(15).KostenProc, 0.25);
  EXPECT_EQ(p.koersAt(7).Koers, 10.0) << "the older dataset keeps its price";
}

TEST_F(AddDataSetTest, ACancelledAppendKeepsThePreviousDateAndSetDuur) {
  makePortfolio({QDate(2024, 5, 1), QDate(2024, 6, 3)});
  portfolio().alg().SetDuur = 33;
  prompter.expectDate(std::nullopt);
  ASSERT_TRUE(add());
  EXPECT_EQ(portfolio().alg().NrOfSet, 3);
  EXPECT_EQ(portfolio().alg().Datum, day(2024, 6, 3));
  EXPECT_EQ(portfolio().alg().SetDuur, 33);
}

TEST_F(AddDataSetTest, AnAppendedDateBeforeTheLastIsMovedAfterAWarning) {
  makePortfolio({QDate(2024, 6, 7)});  // a Friday
  prompter.expectDate(noon(2024, 6, 5))
      .expectMessage("The date isn't allowed to be lower than the date of the last DataSet");
  ASSERT_TRUE(add());
  EXPECT_EQ(portfolio().alg().Datum, day(2024, 6, 10));
  EXPECT_EQ(portfolio().alg().SetDuur, 3);
}

TEST_F(AddDataSetTest, InsertBetweenTwoDatesAsksForADateInsideThem) {
  makePortfolio({QDate(2024, 5, 2), QDate(2024, 5, 20), QDate(2024, 6, 3)});
  goToDataSet(1);
  const Portfolio& p = portfolio();
  const int size = p.size();

  prompter.expectDate(noon(2024, 5, 21)).expectMessage("not higher than that of the next DataSet.");
  EXPECT_FALSE(add());
  prompter.expectDate(noon(2024, 5, 1)).expectMessage("lower than that of the previous Dataset");
  EXPECT_FALSE(add());
  prompter.expectDate(std::nullopt);
  EXPECT_EQ(add().kind(), Outcome::Kind::Stopped);
  EXPECT_EQ(p.size(), size);
  EXPECT_EQ(p.FirstRekIndex(), 2);

  prompter.proposals.clear();
  prompter.expectDate(noon(2024, 5, 20));  // the next dataset's date is allowed
  ASSERT_TRUE(add());
  EXPECT_EQ(prompter.proposals, std::vector<QDate>{QDate(2024, 5, 3)});
  EXPECT_EQ(p.alg().Datum, day(2024, 5, 20));
  EXPECT_EQ(p.alg().NrOfSet, 2);
  EXPECT_EQ(p.koersAt(15).KostenProc, 0.0);
}

TEST_F(AddDataSetTest, AFullPortfolioIsRefusedWithAMessage) {
  makePortfolio({QDate(2024, 1, 2)});
  Portfolio& p = portfolio();
  int rek = p.FirstRekIndex();
  int koers = p.FirstKoersIndex();
  while (p.canCopyDataSet(rek)) p.appendDataSet(rek, koers, day(2024, 1, 2), 0);
  p.goToDataSet(rek);
  prompter.expectMessage("more than 65535 records");
  EXPECT_FALSE(add());
}

TEST_F(AddDataSetTest, NewPortfolioBuildsTheIdentificationAndKeepsTheOldPortfolioOnCancel) {
  session.setLanguage(Language::Code::Dutch);
  session.clock().fix(QDate(2024, 12, 24));
  prompter.expectDate(noon(2024, 12, 24), "Kies de juiste startdatum");
  ASSERT_TRUE(NewPortfolio(session, prompter, true));
  const Portfolio& p = session.portfolio();
  EXPECT_TRUE(p.bPortInDollar());
  EXPECT_EQ(p.alg().Datum, day(2024, 12, 24));
  EXPECT_EQ(p.koersAt(7).Valuta.str(), "US$");

  prompter.expectDate(std::nullopt);
  EXPECT_FALSE(NewPortfolio(session, prompter, false));
  EXPECT_TRUE(session.portfolio().bPortInDollar());
  EXPECT_EQ(session.portfolio().size(), 8);
}

}  // namespace
}  // namespace pelmar
