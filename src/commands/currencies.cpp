#include "commands/currencies.h"

#include <algorithm>
#include <cmath>

#include "commands/datasets.h"
#include "commands/refusal.h"
#include "model/conversions.h"
#include "prices/stock_list.h"

namespace pelmar {

namespace {

// A price below this counts as no price of the index.
constexpr double kLowestIndexPrice = 0.01;
// Shown in the dialog, and taken by the dataset, when the index has no price.
constexpr double kNoPriceRate = 0.94;
// The euro/dollar rates an index may give: a price outside them is no
// currency index (a stock picked by mistake).
constexpr double kLowestEuroInDollars = 0.2;
constexpr double kHighestEuroInDollars = 5.0;

// The factor edit's whole number above 0, or nothing.
std::optional<int> wholeFactor(const QString& text) {
  bool ok = false;
  const int factor = text.trimmed().toInt(&ok);
  return ok && factor > 0 ? std::optional<int>(factor) : std::nullopt;
}

}  // namespace

QString PortfolioCurrency(const Portfolio& portfolio) {
  return portfolio.bPortInDollar() ? kDollarCode : kEuroCode;
}

QString OtherCurrency(const Portfolio& portfolio) {
  return portfolio.bPortInDollar() ? kEuroCode : kDollarCode;
}

QString CountryOfCurrency(const QString& valuta) {
  return valuta == kEuroCode ? QStringLiteral("nl") : QStringLiteral("us");
}

double IndexPriceToday(Session& session, const QString& ticker) {
  session.prices().refresh();
  return session.prices().GetFilePrice(ticker, session.clock().today());
}

double RateOfIndexPrice(double price) {
  return price > 1.0 ? 1.0 / price : price;
}

std::optional<Reason> FundIndexRefusal(const QString& ticker, double price) {
  if (price < kLowestIndexPrice) return Reason{TextId::NoPriceAvailable, {}, {}, 0};
  const double euroInDollars = 1.0 / RateOfIndexPrice(price);
  if (euroInDollars < kLowestEuroInDollars || euroInDollars > kHighestEuroInDollars)
    return Reason{
        TextId::IndexRateImplausible, {ticker, QString::number(euroInDollars, 'f', 2)}, {}, 0};
  return std::nullopt;
}

RatioCaptions CurrencyRatioCaptions(const Language& language, const QString& priceText,
                                    const QString& factorText) {
  RatioCaptions captions;
  const std::optional<int> factor = wholeFactor(factorText);
  if (!factor) {
    captions.keep = true;
    return captions;
  }
  const double price = StrToReal(priceText);
  captions.show = std::fabs(price - 1.0) >= 0.001;
  if (!captions.show) return captions;
  // The two captions state one rate both ways: a rate above 1 is the euro
  // in dollars, as everywhere in the program, and the other is its inverse.
  const double dollarInEuros = RateOfIndexPrice(price / *factor);
  const auto text = [&](double value) { return RealToStr(value, 0, 4, language).trimmed(); };
  captions.inDollars =
      language.text(TextId::OneEuroCosts).arg(text(dollarInEuros > 0 ? 1.0 / dollarInEuros : 0.0));
  captions.inEuros = language.text(TextId::OneDollarCosts).arg(text(dollarInEuros));
  return captions;
}

DollarIndexFields DollarIndexDialogFields(Session& session) {
  const Settings& s = session.settings();
  DollarIndexFields fields;
  fields.indexName = s.dollarIndexName;
  fields.priceText =
      RealToStr(IndexPriceToday(session, s.dollarIndexName), 0, 5, session.language()).trimmed();
  fields.factor = s.dollarFactor;
  fields.inDollars = s.currencyMulDiv;
  return fields;
}

void DollarIndexPicked(Session& session, Prompter& prompter, DollarIndexFields& fields,
                       const std::optional<QString>& ticker) {
  Portfolio& p = session.portfolio();
  if (ticker) {
    fields.indexName = *ticker;
    const double price = IndexPriceToday(session, *ticker);
    if (price >= kLowestIndexPrice) {
      p.setDollarKoers(RateOfIndexPrice(price));
      session.settings().dollarIndexName = fields.indexName;
      session.settings().dollarFactor = fields.factor;
      fields.priceText = RealToStr(price, 0, 5, session.language()).trimmed();
    } else {
      fields.priceText = RealToStr(kNoPriceRate, 0, 4, session.language()).trimmed();
      fields.factor = QStringLiteral("1");
      prompter.message(session.text(TextId::NoPriceAvailable));
    }
  }
  // The dataset takes the price the dialog shows; a price field without a
  // usable price (an index without a price when the dialog opened, then
  // Cancel in the list) leaves the dataset's rate as it is.
  const double shown = StrToReal(fields.priceText);
  if (!p.isEmpty() && shown >= kLowestIndexPrice) p.alg().Dollar = shown;
}

Outcome ValutaOKBtnClick(Session& session, Prompter& prompter, const DollarIndexFields& fields) {
  if (!wholeFactor(fields.factor))
    return Refuse(session, prompter, TextId::CurrencyFactorNotWhole, {fields.factor});
  Settings& s = session.settings();
  s.dollarIndexName = fields.indexName.trimmed();
  s.dollarFactor = fields.factor.trimmed();
  s.currencyMulDiv = fields.inDollars;
  Tell(session, prompter, session.storeSettings());
  if (!session.portfolio().isEmpty()) session.portfolio().markChanged();
  return Outcome::done();
}

namespace {

Outcome chooseFundCurrency(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty() || p.idAt(p.pKoersRec()) != KoersRec::Id) return Outcome::stopped();
  const Settings& s = session.settings();
  FundCurrencyProposal proposal;
  proposal.fundCurrency = p.koers().Valuta.str().left(3).toUpper();
  proposal.portfolioCurrency = PortfolioCurrency(p);
  proposal.otherCurrency = OtherCurrency(p);
  proposal.indexName = s.dollarIndexName;
  proposal.dollarText = RealToStr(p.alg().Dollar, 0, 6, session.language()).trimmed();
  proposal.factor = s.dollarFactor;
  proposal.inDollars = s.currencyMulDiv;
  proposal.stockLines = StockPickerLines(session);
  proposal.indexPrice = [&session](const QString& ticker) {
    return IndexPriceToday(session, ticker);
  };
  proposal.indexRefusal = [&session](const QString& ticker) {
    const std::optional<Reason> refusal =
        FundIndexRefusal(ticker, IndexPriceToday(session, ticker));
    return refusal ? refusal->text(session.language()) : QString();
  };
  const FundCurrencyChoice choice = prompter.chooseFundCurrency(proposal);
  // Cancel changes nothing, an index picked from the list included.
  if (!choice.accepted) return Outcome::stopped();

  // The index picked takes effect with OK, unless its price gives no
  // plausible rate (a stock picked by mistake): then the rate stays.
  if (choice.pickedIndex) {
    const double price = IndexPriceToday(session, *choice.pickedIndex);
    if (const std::optional<Reason> refusal = FundIndexRefusal(*choice.pickedIndex, price)) {
      prompter.message(refusal->text(session.language()));
    } else {
      session.settings().dollarIndexName = *choice.pickedIndex;
      session.settings().dollarFactor = choice.factor;
      p.setDollarKoers(RateOfIndexPrice(price));
      p.alg().Dollar = RateOfIndexPrice(price);
    }
  }
  Settings& settings = session.settings();
  settings.fundIndexName = settings.dollarIndexName;
  settings.fundIndexFactor = choice.factor;
  settings.fundIndexMulDiv = choice.inDollars;
  Tell(session, prompter, session.storeSettings());
  return ApplyFundCurrency(session, prompter, choice.currency);
}

}  // namespace

Report KiesValutaClick(Session& session, Prompter& prompter) {
  return Report::ifDone(chooseFundCurrency(session, prompter), Change::Figures);
}

Outcome ApplyFundCurrency(Session& session, Prompter& prompter, const QString& currency) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty() || p.idAt(p.pKoersRec()) != KoersRec::Id) return Outcome::stopped();
  const QString code = currency.trimmed().left(3).toUpper();
  if (code.isEmpty()) return Refuse(session, prompter, TextId::CurrencyCodeEmpty);

  const QString ticker = p.koers().Ticker.str();
  p.koers().Valuta = code;
  // The engine carries a fund's country forward from the dataset before,
  // so the rule holds for every fund of the current dataset too.
  for (int i = p.FirstKoersIndex(); i < p.FirstKoersIndex() + p.fundCount(p.FirstKoersIndex());
       ++i) {
    KoersRec& fund = p.koersAt(i);
    if (!fund.isPlaceholder()) fund.Country = CountryOfCurrency(fund.Valuta.str());
  }
  int rek = p.FirstRekIndex();
  int koers = p.FirstKoersIndex();
  while (!p.IsLastDataSet(rek) && p.NextDataSet(rek, koers)) {
    for (int i = koers; i < koers + p.fundCount(koers); ++i) {
      KoersRec& fund = p.koersAt(i);
      if (fund.isPlaceholder()) continue;
      if (fund.Ticker.str() == ticker) fund.Valuta = code;
      fund.Country = CountryOfCurrency(fund.Valuta.str());
    }
  }
  p.markChanged();
  // Every later dataset holds the new currency: recompute them all, so
  // their totals follow the rate now, not at the next recalculation.
  CalcDataSetsFrom(session, p.FirstRekIndex());
  return Outcome::done();
}

QStringList StockPickerLines(Session& session) {
  QStringList lines;
  for (const Market market : {Market::Dutch, Market::Us}) {
    for (const QString& line : LoadStockList(stockListPath(session.settings().pricePath, market))) {
      const StockLine stock = StockLine::split(line);
      if (stock.name.trimmed().isEmpty()) continue;
      lines << stock.name.leftJustified(30, u' ', true) +
                   stock.ticker.leftJustified(15, u' ', true) + stock.lastDate;
    }
  }
  std::stable_sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  return lines;
}

PickedStock PickedStockOf(const QString& line) {
  const auto noBlanks = [](QString text) { return text.remove(u' '); };
  PickedStock picked;
  QString name = line.left(30);
  while (name.endsWith(u' ')) name.chop(1);
  picked.name = name;
  picked.ticker = noBlanks(line.mid(30, 15));
  picked.third = noBlanks(line.mid(45));
  return picked;
}

}  // namespace pelmar
