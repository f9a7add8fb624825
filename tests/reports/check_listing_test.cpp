#include "reports/check_listing.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

QStringList headings(const QString& listing) {
  QStringList out;
  for (const QString& line : listing.split('\n', Qt::SkipEmptyParts))
    if (!line.startsWith('\t')) out << line;
  return out;
}

class CheckListingTest : public ::testing::Test {
 protected:
  CheckListingTest() {
    portfolio.setRecordTexts({"Naam", "Nummer", "NL", "[Nieuw]"});
    portfolio.NewPortfolio(IdentRec(), dateToSerial(QDate(2024, 1, 2)));
  }
  Portfolio portfolio;
  const Language dutch{Language::Code::Dutch, QLocale(QLocale::Dutch)};
};

TEST_F(CheckListingTest, ListsTheFirstTenRecordsWhateverDatasetTheyBelongTo) {
  int rek = portfolio.FirstRekIndex(), koers = portfolio.FirstKoersIndex();
  ASSERT_TRUE(portfolio.appendDataSet(rek, koers, dateToSerial(QDate(2024, 2, 2)), 31));
  const QString listing = CheckListing(portfolio, dutch, DateFormat::DayMonthYear);
  EXPECT_EQ(
      headings(listing),
      (QStringList{"IdentRec:", "AlgemeenRec, DataSet 1:", "pRekRec:", "pRekRec:", "pRekRec:",
                   "pRekRec:", "pRekRec:", "pKoersRec:", "AlgemeenRec, DataSet 2:", "pRekRec:"}));
}

TEST(CheckListing, AnEmptyPortfolioListsNothing) {
  EXPECT_EQ(CheckListing(Portfolio(), Language(), DateFormat::YearMonthDay), "");
}

}  // namespace
}  // namespace pelmar
