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
    IdentRec ident;
    ident.Name = QStringLiteral("Pelmar");
    ident.VersionI = QStringLiteral("versie 1.32a");
    ident.PortInDollarB = true;
    portfolio.NewPortfolio(ident, dateToSerial(QDate(2024, 1, 2)));
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

TEST_F(CheckListingTest, FieldLinesLineUpTheirValues) {
  portfolio.koersAt(Portfolio::kFirstKoersIndex).Koers = 12.345;
  const QString listing = CheckListing(portfolio, dutch, DateFormat::DayMonthYear);
  const QStringList lines = listing.split('\n');
  EXPECT_TRUE(lines.contains("\tID:\t\ti"));
  EXPECT_TRUE(lines.contains("\tVersion:\tversie 1.32a"));
  EXPECT_TRUE(lines.contains("\tbPortInDollar:\tTrue"));
  EXPECT_TRUE(lines.contains("\tKoers:\t\t12,35"));
  EXPECT_TRUE(lines.contains("\tROTAISomCumInlg:\t0,00"));
  // Ticker2 has its own line right after Ticker.
  EXPECT_EQ(lines.indexOf("\tTicker2:\t"), lines.indexOf("\tTicker:\t\t[Nieuw]") + 1);
}

TEST(CheckListing, AnEmptyPortfolioListsNothing) {
  EXPECT_EQ(CheckListing(Portfolio(), Language(), DateFormat::YearMonthDay), "");
}

}  // namespace
}  // namespace pelmar
