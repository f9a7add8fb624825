#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QTemporaryDir>
#include <cmath>

#include "engine/engine.h"
#include "model/dates.h"

namespace pelmar::test {

// An annual return ((W / (GI / D) + 1)^(365.25 / D) − 1) × 100 in plain
// doubles, to compare the engine's figures with.
inline double annual(double w, double gi, int d) {
  return (std::pow(w / (gi / d) + 1, 365.25 / d) - 1) * 100;
}

// A portfolio built in memory through the Portfolio API, with an engine on
// an empty price folder. Funds are added to the last dataset; next()
// appends a dataset as the program does and computes it.
class EngineFixture : public ::testing::Test {
 protected:
  EngineFixture() {
    portfolio.setRecordTexts({QStringLiteral("      Name"), QStringLiteral("Number"),
                              QStringLiteral("us"), QStringLiteral("[New]")});
  }

  // A new portfolio dated `date` holding only the placeholder row.
  void start(QDate date, bool inDollars = false) {
    IdentRec ident;
    ident.PortInDollarB = inDollars;
    ident.RapInDollarB = inDollars;
    portfolio.NewPortfolio(ident, dateToSerial(date));
    for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
      account(number).CredRente = 0;
      account(number).DebRente = 0;
    }
  }

  // A fund before the placeholder row of the current (last) dataset,
  // counted from the dataset's date, in the portfolio's currency.
  KoersRec& addFund(const QString& ticker, double inleg, double aantal, double koers) {
    KoersRec fund = portfolio.initialRecords().DefaultKoersRec;
    fund.EndOfSetB = false;
    fund.Ticker = ticker;
    fund.Valuta = portfolio.bPortInDollar ? QStringLiteral("US$") : QStringLiteral("EUR");
    fund.Inleg = inleg;
    fund.Aantal = aantal;
    fund.Koers = koers;
    fund.CumDatum = alg().Datum;
    const int placeholder = portfolio.FirstKoersIndex + funds() - 1;
    EXPECT_EQ(portfolio.insertRecord(placeholder, fund), Portfolio::Refusal::None);
    return portfolio.koersAt(placeholder);
  }

  // Appends a dataset dated `date` as a copy of the last one; it becomes
  // current. calc() computes it.
  void append(QDate date) {
    const DateTime previous = alg().Datum;
    ASSERT_TRUE(portfolio.appendDataSet(portfolio.FirstRekIndex, portfolio.FirstKoersIndex,
                                        dateToSerial(date),
                                        static_cast<qint32>(dateToSerial(date) - previous)));
  }
  void calc() { engine.CalcDataSet(); }
  void next(QDate date) {
    append(date);
    calc();
  }

  int funds() const { return portfolio.fundCount(portfolio.FirstKoersIndex); }
  KoersRec& fund(int offset) { return portfolio.koersAt(portfolio.FirstKoersIndex + offset); }
  RekeningRec& account(int number) { return portfolio.rekAt(portfolio.FirstRekIndex + number - 1); }
  AlgemeenRec& alg() { return portfolio.algAt(portfolio.FirstRekIndex - 1); }

  QTemporaryDir priceFolder;
  PriceStore prices{priceFolder.path()};
  Language language{Language::Code::English, QLocale(QLocale::English, QLocale::UnitedStates)};
  Portfolio portfolio;
  Engine engine{portfolio, prices, language};
};

}  // namespace pelmar::test
