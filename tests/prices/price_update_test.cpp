#include "prices/price_update.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace pelmar {
namespace {

const RecordTexts kEnglish{QStringLiteral("      Name"), QStringLiteral("Number"),
                           QStringLiteral("us"), QStringLiteral("[New]")};

// A portfolio with one dataset per date (oldest first), each holding the
// given funds before the placeholder row; the last dataset is current.
Portfolio portfolioOn(const QList<QDate>& dates, const QStringList& tickers) {
  Portfolio p;
  p.setRecordTexts(kEnglish);
  IdentRec ident;
  ident.Name = QStringLiteral("Pelmar");
  p.NewPortfolio(ident, dateToSerial(dates.first()));
  for (const QString& ticker : tickers) {
    KoersRec fund = p.initialRecords().DefaultKoersRec;
    fund.EndOfSetB = false;
    fund.Ticker = ticker;
    EXPECT_EQ(p.insertRecord(p.size() - 1, fund), Portfolio::Refusal::None);
  }
  for (qsizetype i = 1; i < dates.size(); ++i)
    EXPECT_TRUE(p.appendDataSet(p.FirstRekIndex, p.FirstKoersIndex, dateToSerial(dates[i]), 7));
  return p;
}

// The first account index of the dataset numbered n (1-based).
int rekOf(Portfolio& p, int n) {
  int rek = Portfolio::kFirstRekIndex;
  int koers = Portfolio::kFirstKoersIndex;
  for (int i = 1; i < n; ++i) EXPECT_TRUE(p.NextDataSet(rek, koers));
  return rek;
}

KoersRec& fund(Portfolio& p, int dataSet, int offset) {
  return p.koersAt(Portfolio::KoersIndexOf(rekOf(p, dataSet)) + offset);
}

class PriceUpdateTest : public ::testing::Test {
 protected:
  void writeDay(QDate day, const QByteArray& lines) {
    QFile file(dir_.path() + u'/' + PriceStore::dayFileName(day));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(lines);
  }

  QTemporaryDir dir_;
  PriceStore store_{dir_.path()};
};

TEST_F(PriceUpdateTest, FundsTakeTheDayPriceExceptCumulativeAndTraded) {
  writeDay(QDate(2024, 1, 5), "Alpha,alp,24/01/05,11.5\r\nBeta,bet,24/01/05,22\r\n");
  Portfolio p = portfolioOn({QDate(2024, 1, 8)}, {"ALP", "BET", "alp"});
  fund(p, 1, 0).Koers = 10;
  fund(p, 1, 1).Koers = 20;
  fund(p, 1, 1).Flag1 = KoersFlag::Cumulatief;
  fund(p, 1, 2).Koers = 30;
  fund(p, 1, 2).Flag1 = KoersFlag::BuySell;
  UpdatePricesFromFiles(p, store_, Portfolio::kFirstRekIndex);
  EXPECT_DOUBLE_EQ(fund(p, 1, 0).Koers, 11.5);  // Monday takes Friday's file
  EXPECT_DOUBLE_EQ(fund(p, 1, 1).Koers, 20);
  EXPECT_DOUBLE_EQ(fund(p, 1, 2).Koers, 30);
  EXPECT_EQ(fund(p, 1, 3).Koers, 0.0);  // the placeholder row finds nothing
  EXPECT_TRUE(p.bPortChanged);
}

TEST_F(PriceUpdateTest, AFundWithoutPriceLooksBackThreeDatasetsAtMost) {
  const QList<QDate> dates = {QDate(2024, 1, 1), QDate(2024, 1, 8), QDate(2024, 1, 15),
                              QDate(2024, 1, 22), QDate(2024, 1, 29)};
  Portfolio p = portfolioOn(dates, {"X Y Z", "OLD"});
  for (int set = 1; set <= 5; ++set) {
    fund(p, set, 0).Koers = 0;
    fund(p, set, 1).Koers = 0;
  }
  fund(p, 1, 0).Koers = 7;
  fund(p, 1, 1).Koers = 9;
  fund(p, 2, 0).Ticker = QStringLiteral("xyz ");  // blanks and case differ
  fund(p, 2, 0).Koers = 8;
  const int current = p.FirstRekIndex;
  const int currentKoers = p.FirstKoersIndex;
  const int pointer = p.pAlgRec;

  // Dataset 5 sees datasets 4, 3 and 2; dataset 4 also sees dataset 1.
  UpdatePricesFromFiles(p, store_, rekOf(p, 5));
  EXPECT_DOUBLE_EQ(fund(p, 5, 0).Koers, 8);
  EXPECT_EQ(fund(p, 5, 1).Koers, 0.0);
  UpdatePricesFromFiles(p, store_, rekOf(p, 4));
  EXPECT_DOUBLE_EQ(fund(p, 4, 1).Koers, 9);
  EXPECT_DOUBLE_EQ(PriceFromEarlierSets(p, rekOf(p, 2), fund(p, 2, 0)), 7);
  EXPECT_EQ(PriceFromEarlierSets(p, rekOf(p, 1), fund(p, 1, 0)), PriceStore::kNotFound);

  EXPECT_EQ(p.FirstRekIndex, current);
  EXPECT_EQ(p.FirstKoersIndex, currentKoers);
  EXPECT_EQ(p.pAlgRec, pointer);
}

TEST_F(PriceUpdateTest, AStoredPriceIsKeptWhenTheFilesHaveNone) {
  writeDay(QDate(2024, 1, 12), "Alpha,alp,24/01/12,13\r\n");
  Portfolio p = portfolioOn({QDate(2024, 1, 1), QDate(2024, 1, 8), QDate(2024, 1, 15)},
                            {"ALP", "TYPED", "EMPTY"});
  for (int offset = 0; offset < 3; ++offset) fund(p, 1, offset).Koers = 10;
  fund(p, 2, 0).Koers = 12.5;
  fund(p, 2, 1).Koers = 12.5;
  fund(p, 2, 2).Koers = 0;
  UpdatePricesFromFiles(p, store_, rekOf(p, 2));
  EXPECT_DOUBLE_EQ(fund(p, 2, 0).Koers, 12.5);  // no file before the 8th
  EXPECT_DOUBLE_EQ(fund(p, 2, 1).Koers, 12.5);
  EXPECT_DOUBLE_EQ(fund(p, 2, 2).Koers, 10);

  // A file price still replaces a stored one.
  fund(p, 3, 0).Koers = 12.5;
  UpdatePricesFromFiles(p, store_, rekOf(p, 3));
  EXPECT_DOUBLE_EQ(fund(p, 3, 0).Koers, 13);

  // Without price or earlier dataset a fund keeps what it has, never a negative price.
  fund(p, 1, 2).Koers = 0;
  UpdatePricesFromFiles(p, store_, Portfolio::kFirstRekIndex);
  EXPECT_EQ(fund(p, 1, 2).Koers, 0.0);
}

}  // namespace
}  // namespace pelmar
