#include "commands/currencies.h"

#include <gtest/gtest.h>

#include "prices/settings_store.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

using test::PortfolioFixture;
using test::ScriptedPrompter;

const QDate kDay1(2024, 3, 1);
const QDate kDay2(2024, 3, 8);
const QDate kDay3(2024, 3, 15);

class Currencies : public PortfolioFixture {
 protected:
  Currencies() {
    session.clock().fix(kDay3);
    session.setSettingsStore(&store);
  }

  // A euro portfolio of three datasets holding "AAA" and "BBB".
  void build() {
    start(kDay1);
    addFund(QStringLiteral("AAA"), 1000, 10, 100);
    addFund(QStringLiteral("BBB"), 500, 5, 100);
    calc();
    next(kDay2);
    next(kDay3);
    goToDataSet(1);
    select(0);
  }

  // Today's index prices in the price folder.
  void writePrices(const QByteArray& lines) {
    test::writeFile(path(QStringLiteral("Prices/240315A.csv")), lines);
  }

  double totalOf(int number) {
    goToDataSet(number);
    return alg().Totaal;
  }

  MemorySettingsStore store;
  ScriptedPrompter prompter;
};

// The fund-currency dialog answered with OK and the currency.
std::function<FundCurrencyChoice(const FundCurrencyProposal&)> okWith(const QString& currency) {
  return [currency](const FundCurrencyProposal& proposal) {
    FundCurrencyChoice choice;
    choice.accepted = true;
    choice.currency = currency;
    choice.factor = proposal.factor;
    choice.inDollars = proposal.inDollars;
    return choice;
  };
}

TEST_F(Currencies, ChangeInFirstDataSetReachesLaterOnesAndTotalsFollowTheRate) {
  build();
  for (int number = 1; number <= 3; ++number) {
    goToDataSet(number);
    alg().Dollar = 0.8;
  }
  goToDataSet(1);
  const double before = totalOf(3);
  goToDataSet(1);
  select(0);
  prompter.fundCurrencyAnswer = okWith(QStringLiteral("us$"));

  ASSERT_TRUE(KiesValutaClick(session, prompter).ok());

  EXPECT_EQ(prompter.lastFundCurrency.fundCurrency, QStringLiteral("EUR"));
  EXPECT_EQ(prompter.lastFundCurrency.portfolioCurrency, QStringLiteral("EUR"));
  EXPECT_EQ(prompter.lastFundCurrency.otherCurrency, QStringLiteral("US$"));
  EXPECT_TRUE(portfolio().bPortChanged());
  for (int number = 1; number <= 3; ++number) {
    goToDataSet(number);
    EXPECT_EQ(fund(0).Valuta.str(), QStringLiteral("US$")) << number;
    EXPECT_EQ(fund(0).Country.str(), QStringLiteral("us")) << number;
    EXPECT_EQ(fund(1).Valuta.str(), QStringLiteral("EUR")) << number;
    EXPECT_EQ(fund(1).Country.str(), QStringLiteral("nl")) << number;
  }
  // 1000 in dollars at 0.8 euro a dollar: the total loses 200 euros.
  EXPECT_NEAR(totalOf(3), before - 200, 0.01);
}

TEST_F(Currencies, CancelChangesNothingAndOkKeepsTheDialogsIndexValues) {
  build();
  prompter.fundCurrencyAnswer = [](const FundCurrencyProposal&) { return FundCurrencyChoice{}; };
  EXPECT_EQ(KiesValutaClick(session, prompter).kind(), Outcome::Kind::Stopped);
  EXPECT_FALSE(portfolio().bPortChanged());
  EXPECT_EQ(fund(0).Valuta.str(), QStringLiteral("EUR"));

  prompter.fundCurrencyAnswer = okWith(QStringLiteral("US$"));
  ASSERT_TRUE(KiesValutaClick(session, prompter).ok());
  // The index values of the dialog went to "sValuta".
  EXPECT_EQ(store.value(QStringLiteral("sValuta"), QStringLiteral("FactorDollar")).toString(),
            QStringLiteral("1"));
}

TEST_F(Currencies, EmptyCurrencyIsRefused) {
  build();
  prompter.fundCurrencyAnswer = okWith(QStringLiteral("  "));
  prompter.expectMessage(QStringLiteral("Enter the currency"));
  EXPECT_TRUE(KiesValutaClick(session, prompter).isFailure());
  EXPECT_EQ(fund(0).Valuta.str(), QStringLiteral("EUR"));
}

TEST_F(Currencies, IndexPickedInFundDialogTakesEffectWithOkOnly) {
  build();
  writePrices("Dollar/Euro,dol.eur,24/03/15,1.25\r\nStock,stock,24/03/15,88.49\r\n");
  alg().Dollar = 0.9;
  portfolio().setDollarKoers(0.9);
  const QString indexBefore = session.settings().dollarIndexName;
  const auto picking = [](const char* ticker, bool ok) {
    return [=](const FundCurrencyProposal& proposal) {
      EXPECT_DOUBLE_EQ(proposal.indexPrice(QStringLiteral("DOL.EUR")), 1.25);
      FundCurrencyChoice choice;
      choice.accepted = ok;
      choice.currency = proposal.otherCurrency;
      choice.pickedIndex = QString::fromLatin1(ticker);
      choice.factor = QStringLiteral("1");
      return choice;
    };
  };
  // Picked, then cancelled: nothing changes.
  prompter.fundCurrencyAnswer = picking("dol.eur", false);
  EXPECT_EQ(KiesValutaClick(session, prompter).kind(), Outcome::Kind::Stopped);
  EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), Real48(0.9));
  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(0.9));
  EXPECT_EQ(session.settings().dollarIndexName, indexBefore);
  EXPECT_FALSE(portfolio().bPortChanged());

  // A stock as the index would make one euro cost 88.49 dollars: refused,
  // in the dialog and by the command, with the rate kept.
  EXPECT_EQ(prompter.lastFundCurrency.indexRefusal(QStringLiteral("stock")),
            "With the price of stock one euro would cost 88.49 US$: that is no euro/dollar "
            "rate. The index has not been taken.");
  EXPECT_TRUE(prompter.lastFundCurrency.indexRefusal(QStringLiteral("dol.eur")).isEmpty());
  prompter.fundCurrencyAnswer = picking("stock", true);
  prompter.expectMessage("one euro would cost 88.49 US$");
  ASSERT_TRUE(KiesValutaClick(session, prompter).ok());
  EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), Real48(0.9));
  EXPECT_EQ(session.settings().dollarIndexName, indexBefore);

  // With OK the index sets the program's rate and the dataset's alike.
  prompter.fundCurrencyAnswer = picking("dol.eur", true);
  ASSERT_TRUE(KiesValutaClick(session, prompter).ok());
  EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), Real48(0.8));
  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(0.8));
  EXPECT_EQ(session.settings().dollarIndexName, QStringLiteral("dol.eur"));
}

// TDollarDlg: the worked numbers of the index pick.
TEST_F(Currencies, DollarDialogPick) {
  build();
  writePrices(
      "A,a,24/03/15,1.25\r\nB,b,24/03/15,0.01\r\nC,c,24/03/15,0.00999\r\nD,d,24/03/15,0.9\r\n");
  struct Row {
    const char* ticker;
    double dollarKoers;
    double dataSetDollar;
    const char* priceText;
    bool message;
  };
  const Row rows[] = {
      {"a", 0.8, 1.25, "1.25000", false},
      {"b", 0.01, 0.01, "0.01000", false},
      {"c", 0.95, 0.94, "0.9400", true},
      {"d", 0.9, 0.9, "0.90000", false},
  };
  for (const Row& row : rows) {
    portfolio().setDollarKoers(0.95);
    DollarIndexFields fields = DollarIndexDialogFields(session);
    fields.factor = QStringLiteral("3");
    if (row.message) prompter.expectMessage(QStringLiteral("No price available."));
    DollarIndexPicked(session, prompter, fields, QString::fromLatin1(row.ticker));
    prompter.verify();
    EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), Real48(row.dollarKoers)) << row.ticker;
    EXPECT_DOUBLE_EQ(alg().Dollar, Real48(row.dataSetDollar)) << row.ticker;
    EXPECT_EQ(fields.priceText, QLatin1String(row.priceText)) << row.ticker;
    EXPECT_EQ(fields.factor, row.message ? QStringLiteral("1") : QStringLiteral("3"));
  }
  EXPECT_EQ(session.settings().dollarIndexName, QStringLiteral("d"));
}

TEST_F(Currencies, DollarDialogCancelAndOk) {
  build();
  alg().Dollar = 0.9;
  // No price for the index of the settings: Cancel in the list keeps the
  // dataset's rate (the empty price field would have made it 0).
  DollarIndexFields fields = DollarIndexDialogFields(session);
  EXPECT_EQ(fields.indexName, QStringLiteral("Dollar/Euro"));
  DollarIndexPicked(session, prompter, fields, std::nullopt);
  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(0.9));
  EXPECT_FALSE(store.value(QStringLiteral("Valuta"), QStringLiteral("FactorDollar")).isValid());

  fields.factor = QStringLiteral("1.5");
  prompter.expectMessage(QStringLiteral("no whole number"));
  EXPECT_TRUE(ValutaOKBtnClick(session, prompter, fields).isFailure());
  EXPECT_FALSE(store.value(QStringLiteral("Valuta"), QStringLiteral("FactorDollar")).isValid());

  fields.factor = QStringLiteral("100");
  fields.inDollars = true;
  ASSERT_TRUE(ValutaOKBtnClick(session, prompter, fields).ok());
  EXPECT_EQ(store.value(QStringLiteral("Valuta"), QStringLiteral("FactorDollar")).toString(),
            QStringLiteral("100"));
  EXPECT_EQ(store.value(QStringLiteral("Valuta"), QStringLiteral("ValutaMulDiv")).toInt(), 1);
  EXPECT_TRUE(portfolio().bPortChanged());
}

TEST(CurrencyRatio, Captions) {
  const Language nl(Language::Code::Dutch);
  const Language en(Language::Code::English);
  EXPECT_TRUE(CurrencyRatioCaptions(en, QStringLiteral("1.25"), QString()).keep);
  EXPECT_TRUE(CurrencyRatioCaptions(en, QStringLiteral("1.25"), QStringLiteral("x")).keep);
  // A price within 0.001 of 1.0 hides the group.
  EXPECT_FALSE(CurrencyRatioCaptions(en, QStringLiteral("1.0"), QStringLiteral("1")).show);
  EXPECT_FALSE(CurrencyRatioCaptions(en, QStringLiteral("1,0009"), QStringLiteral("1")).show);
  const RatioCaptions en2 = CurrencyRatioCaptions(en, QStringLiteral("1.25"), QStringLiteral("2"));
  EXPECT_TRUE(en2.show);
  // The two radios state one rate both ways: one is the inverse of the other.
  EXPECT_EQ(en2.inDollars, QStringLiteral("One Euro costs 1.6000 Dollar"));
  EXPECT_EQ(en2.inEuros, QStringLiteral("One Dollar costs 0.6250 Euro"));
  const RatioCaptions nl1 = CurrencyRatioCaptions(nl, QStringLiteral("0,8"), QStringLiteral("1"));
  EXPECT_EQ(nl1.inDollars, QStringLiteral("Eén Euro kost 1,2500 Dollar"));
  EXPECT_EQ(nl1.inEuros, QStringLiteral("Eén Dollar in kost 0,8000 Euro"));
  const RatioCaptions en3 = CurrencyRatioCaptions(en, QStringLiteral("1.25"), QStringLiteral("1"));
  EXPECT_EQ(en3.inDollars, QStringLiteral("One Euro costs 1.2500 Dollar"));
  EXPECT_EQ(en3.inEuros, QStringLiteral("One Dollar costs 0.8000 Euro"));
}

TEST_F(Currencies, PickerLinesAndWhatOkTakes) {
  test::writeFile(path(QStringLiteral("Prices/Stocks_nl.txt")),
                  "Dollar/Euro,dol.eur,2024-03-14\r\nASML Holding,asml,\r\n");
  test::writeFile(path(QStringLiteral("Prices/Stocks_us.txt")), "Apple,AAPL,2024-03-14\r\n");
  const QStringList lines = StockPickerLines(session);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], QStringLiteral("Apple                         AAPL           2024-03-14"));
  EXPECT_EQ(PickedStockOf(lines[2]).ticker, QStringLiteral("dol.eur"));

  const QString name30 = QStringLiteral("A name of exactly thirty chars");
  ASSERT_EQ(name30.size(), 30);
  const PickedStock picked = PickedStockOf(name30 + QStringLiteral(" EUR / USD     2024-01-02 "));
  EXPECT_EQ(picked.name, name30);
  EXPECT_EQ(picked.ticker, QStringLiteral("EUR/USD"));
  EXPECT_EQ(picked.third, QStringLiteral("2024-01-02"));
}

}  // namespace
}  // namespace pelmar
