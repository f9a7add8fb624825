#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QTemporaryDir>

#include "commands/session.h"
#include "engine/engine.h"
#include "model/dates.h"

namespace pelmar::test {

// A Dutch session (Dutch number separators) on an empty data folder with
// an engine on its portfolio. Funds are added before the placeholder row of
// the last dataset; next() appends a computed dataset as the program does.
class FundGridFixture : public ::testing::Test {
 protected:
  FundGridFixture() { session.setLanguage(Language::Code::Dutch); }

  Portfolio& portfolio() { return session.portfolio(); }

  void start(QDate date) {
    portfolio().NewPortfolio(IdentRec{}, dateToSerial(date));
    for (int i = 0; i < Portfolio::kAccountsPerDataSet; ++i) {
      portfolio().rekAt(portfolio().FirstRekIndex + i).CredRente = 0;
      portfolio().rekAt(portfolio().FirstRekIndex + i).DebRente = 0;
    }
  }

  KoersRec& addFund(const QString& ticker, double inleg, double aantal, double koers) {
    KoersRec fund = portfolio().initialRecords().DefaultKoersRec;
    fund.EndOfSetB = false;
    fund.Ticker = ticker;
    fund.Inleg = inleg;
    fund.Aantal = aantal;
    fund.Koers = koers;
    fund.CumDatum = portfolio().alg().Datum;
    const int at = portfolio().FirstKoersIndex + funds() - 1;
    EXPECT_EQ(portfolio().insertRecord(at, fund), Portfolio::Refusal::None);
    return portfolio().koersAt(at);
  }

  // Makes the fund at the offset of the current dataset the selected one.
  void select(int offset) {
    portfolio().SelFonds = offset;
    portfolio().pKoersRec = portfolio().FirstKoersIndex + offset;
  }

  void calc() { engine.CalcDataSet(); }

  // Appends a dataset dated `date`, computes it and selects its first fund.
  void next(QDate date) {
    Portfolio& p = portfolio();
    const DateTime previous = p.alg().Datum;
    ASSERT_TRUE(p.appendDataSet(p.FirstRekIndex, p.FirstKoersIndex, dateToSerial(date),
                                static_cast<qint32>(dateToSerial(date) - previous)));
    calc();
    select(0);
  }

  // Makes the dataset with that number (1 = first) current.
  void goToDataSet(int number) {
    Portfolio& p = portfolio();
    p.FirstDataSet(p.FirstRekIndex, p.FirstKoersIndex);
    for (int i = 1; i < number; ++i) p.NextDataSet(p.FirstRekIndex, p.FirstKoersIndex);
    p.pAlgRec = p.FirstRekIndex - 1;
    p.pRekRec = p.FirstRekIndex;
    p.bAtLastSet = p.IsLastDataSet(p.FirstRekIndex);
    select(0);
  }

  int funds() { return portfolio().fundCount(portfolio().FirstKoersIndex); }
  KoersRec& fund(int offset) { return portfolio().koersAt(portfolio().FirstKoersIndex + offset); }

  QTemporaryDir dir;
  Session session{dir.path() + QLatin1Char('/'), QLocale(QLocale::Dutch, QLocale::Netherlands)};
  Engine engine{session.portfolio(), session.prices(), session.language()};
};

}  // namespace pelmar::test
