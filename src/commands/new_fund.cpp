#include "commands/new_fund.h"

#include <cmath>

#include "commands/accounts.h"
#include "commands/currencies.h"
#include "commands/datasets.h"
#include "commands/fund_grid.h"
#include "commands/refusal.h"
#include "commands/stock_lists.h"
#include "engine/fund_names.h"
#include "model/conversions.h"
#include "model/dates.h"
#include "model/trace_log.h"

namespace pelmar {

namespace {

// Below this a price counts as none: the files have no price for the stock.
constexpr double kNoPrice = 0.01;
// The longest ticker a fund record holds.
constexpr int kTickerLength = 12;

QString twoDecimals(double value, const Language& language) {
  return RealToStr(value, 3, 2, language).trimmed();
}

bool readsAsZero(const QString& number) {
  return number == QLatin1String("0,0000") || number == QLatin1String("0.0000");
}

// The investment is at least the value of the shares bought.
NewFundFigures adjustInvestment(NewFundFigures figures, const Language& language) {
  const double value = StrToReal(figures.value);
  const double investment = StrToReal(figures.investment);
  figures.investment = twoDecimals(value > investment ? value : investment, language);
  if (readsAsZero(figures.number)) figures.number.clear();
  return figures;
}

QDate currentDate(const Portfolio& portfolio) {
  return serialToDate(portfolio.alg().Datum);
}

// Calls visit(first fund index) for the current dataset and every later one.
template <typename Visit>
void forEachDataSetFromCurrent(const Portfolio& portfolio, Visit visit) {
  int rek = portfolio.FirstRekIndex();
  int koers = portfolio.FirstKoersIndex();
  visit(rek, koers);
  while (!portfolio.IsLastDataSet(rek) && portfolio.NextDataSet(rek, koers)) visit(rek, koers);
}

bool isPlaceholderName(const QString& ticker) {
  const QString name = RemoveBlanks(ticker);
  return name.compare(RemoveBlanks(dutchText(TextId::PlaceholderTicker)), Qt::CaseInsensitive) ==
             0 ||
         name.compare(RemoveBlanks(englishText(TextId::PlaceholderTicker)), Qt::CaseInsensitive) ==
             0;
}

// Why the entry cannot become a fund, or nothing.
std::optional<Reason> refusalOf(Portfolio& portfolio, const NewFundEntry& entry,
                                const QString& ticker) {
  const auto reason = [](TextId id, QStringList args = {}) {
    return Reason{id, std::move(args), {}, 0};
  };
  if (ticker.isEmpty() || isPlaceholderName(ticker)) return reason(TextId::NewFundNoTicker);
  // A ticker is looked up (and may be stored) in the daily files' lines.
  if (!TickerFitsFiles(ticker, false)) return reason(TextId::TickerDoesNotFit, {ticker});
  if (FundInPortfolio(portfolio, ticker)) return reason(TextId::NewFundDuplicate, {ticker});
  if (!(entry.price > kNoPrice) || entry.price > Real48::kMax)
    return reason(TextId::NewFundNoPrice);
  if (!(entry.investment >= 0) || !(entry.quantity >= 0) || entry.investment > Real48::kMax ||
      entry.quantity > Real48::kMax)
    return reason(TextId::NewFundNegative);
  if (!RoomForNewFund(portfolio)) return reason(TextId::PortfolioFullNoFund);
  return std::nullopt;
}

// The copies AddFundAt made in the later datasets hold the quantity bought,
// no investment or costs of this dataset, the fund's account and each
// dataset's price: a manual fund keeps its typed price, a listed one takes
// the daily files' price and otherwise the one before it.
void completeLaterCopies(Session& session, const KoersRec& fund, bool manual) {
  Portfolio& portfolio = session.portfolio();
  const QString key = FundNameIndex::key(fund.Ticker);
  double price = fund.Koers;
  int rek = portfolio.FirstRekIndex();
  int koers = portfolio.FirstKoersIndex();
  while (!portfolio.IsLastDataSet(rek) && portfolio.NextDataSet(rek, koers)) {
    const int offset = FundNameIndex(portfolio, koers).offsetOf(key);
    if (offset < 0) continue;
    KoersRec& copy = portfolio.koersAt(koers + offset);
    if (!manual) {
      const double filed =
          session.prices().GetFilePrice(fund.Ticker, serialToDate(portfolio.algAt(rek - 1).Datum));
      if (filed > 0.0001) price = filed;
    }
    copy.Koers = price;
    copy.Aantal = fund.Aantal.value();
    copy.RekNr = fund.RekNr;
    copy.Inleg = 0;
    copy.Kosten = 0;
    copy.Dividend = 0;
    copy.DivBel = 0;
    copy.BTW = 0;
    // A manual fund stays manual in every dataset, as an appended dataset
    // keeps the mark, so no daily file ever replaces its typed price.
    copy.Flag1 = manual ? KoersFlag::FakeFund : quint8{0};
  }
}

}  // namespace

NewFundFigures InvestmentTimerTimer(const NewFundFigures& typed, const Language& language) {
  return adjustInvestment(typed, language);
}

NewFundFigures NumberTimerTimer(const NewFundFigures& typed, double price,
                                const Language& language) {
  NewFundFigures figures = typed;
  figures.value = twoDecimals(StrToReal(typed.number) * price, language);
  return adjustInvestment(figures, language);
}

NewFundFigures ValueTimerTimer(const NewFundFigures& typed, double price,
                               const Language& language) {
  NewFundFigures figures = typed;
  const double number = price > 0.0001 ? StrToReal(typed.value) / price : 0.0;
  figures.number = RealToStr(number, 5, 4, language).trimmed();
  return adjustInvestment(figures, language);
}

QString FakeFundValue(const QString& price, const QString& number, const Language& language) {
  return RealToStr(StrToReal(price) * StrToReal(number), 6, 2, language).trimmed();
}

QString ManualFundTicker(const QString& name) {
  return name.toLower();
}

Market NewFundMarket(const Session& session) {
  return session.language().code() == Language::Code::Dutch ? Market::Dutch : Market::Us;
}

bool FundInPortfolio(const Portfolio& portfolio, const QString& ticker) {
  if (portfolio.isEmpty()) return false;
  const QString key = FundNameIndex::key(ticker);
  bool found = false;
  forEachDataSetFromCurrent(portfolio, [&](int, int koers) {
    found = found || FundNameIndex(portfolio, koers).offsetOf(key) >= 0;
  });
  return found;
}

NewFundPick PickNewFund(Session& session, Prompter& prompter, Market market) {
  NewFundPick pick;
  pick.market = market;
  const std::optional<StockLine> line = prompter.pickStock(market);
  if (!line) return pick;
  const QString ticker = RemoveBlanks(line->ticker).left(kTickerLength);
  if (ticker.isEmpty()) return pick;
  double price = session.prices().GetFilePrice(ticker, currentDate(session.portfolio()));
  if (price < kNoPrice) {
    const InputResult typed = prompter.input(session.text(TextId::NewFundAskPriceTitle),
                                             session.text(TextId::NewFundAskPrice), QString());
    if (!typed.accepted) return pick;
    price = StrToReal(typed.text);
    if (!(price >= kNoPrice)) {
      (void)Refuse(session, prompter, TextId::NewFundNoPrice);
      return pick;
    }
  }
  if (FundInPortfolio(session.portfolio(), ticker)) {
    (void)Refuse(session, prompter, TextId::NewFundDuplicate, {ticker});
    return pick;
  }
  pick.ok = true;
  pick.company = line->name.trimmed();
  pick.ticker = ticker;
  pick.price = price;
  return pick;
}

Outcome AddNewFund(Session& session, Prompter& prompter, const NewFundEntry& entry, bool manual,
                   const Engine::Progress& progress) {
  Portfolio& portfolio = session.portfolio();
  if (portfolio.isEmpty()) return Outcome::stopped();
  // A listed ticker never holds blanks; a manual one is the name as typed.
  const QString ticker =
      (manual ? entry.ticker.trimmed() : RemoveBlanks(entry.ticker)).left(kTickerLength);
  if (const std::optional<Reason> refusal = refusalOf(portfolio, entry, ticker)) {
    prompter.message(refusal->text(session.language()));
    return Outcome::failed(*refusal);
  }
  const int offset = portfolio.fundCount(portfolio.FirstKoersIndex()) - 1;
  const int index = portfolio.FirstKoersIndex() + offset;
  KoersRec& placeholder = portfolio.koersAt(index);
  if (!placeholder.isPlaceholder()) {
    session.trace().Log(QStringLiteral("AddNewFund - the dataset has no placeholder row"));
    return Outcome::stopped();
  }
  // The placeholder row becomes the fund with its first purchase, typed into
  // it as the grid would; a listed fund takes its list's currency, a manual
  // one the portfolio's. The country follows the currency: a placeholder row
  // made after the first fund holds the language's default country, which
  // need not go with its currency.
  if (manual) {
    placeholder.Valuta = PortfolioCurrency(portfolio);
  } else {
    placeholder.Valuta = entry.market == Market::Us ? kDollarCode : kEuroCode;
  }
  placeholder.Country = CountryOfCurrency(placeholder.Valuta);
  placeholder.Koers = entry.price;
  placeholder.Aantal = entry.quantity;
  placeholder.Inleg = entry.investment;
  AddFundAt(portfolio, index, ticker);
  if (manual) {
    KoersRec& fund = portfolio.koersAt(index);
    fund.Flag1 = SetBits(fund.Flag1, KoersFlag::FakeFund);
  }
  portfolio.selectFund(offset);
  portfolio.markChanged();
  // The first investment is booked on an account the user chooses, before
  // the dataset is computed: computed first, the fund would give its
  // currency to the placeholder row's account 1 before it is booked
  // elsewhere.
  if (std::fabs(entry.investment) > 0.01) {
    quint8 rekNr = portfolio.koersAt(index).RekNr;
    (void)ChooseAccount(session, prompter, rekNr);
  }
  CalcCurrentDataSet(session);
  completeLaterCopies(session, portfolio.koersAt(index), manual);
  RecalculateEveryDataSet(session, progress);
  return Outcome::done();
}

Outcome NewFundFromLists(Session& session, Prompter& prompter, const Engine::Progress& progress) {
  NewFundForm form;
  form.market = NewFundMarket(session);
  form.pick = [&session, &prompter](Market market) {
    return PickNewFund(session, prompter, market);
  };
  const NewFundEntry entry = prompter.newFund(form);
  if (!entry.accepted) return Outcome::stopped();
  return AddNewFund(session, prompter, entry, false, progress);
}

Outcome NewManualFund(Session& session, Prompter& prompter, const Engine::Progress& progress) {
  const NewFundEntry entry = prompter.newManualFund();
  if (!entry.accepted) return Outcome::stopped();
  return AddNewFund(session, prompter, entry, true, progress);
}

Report NieuwFondsClick(Session& session, Prompter& prompter, const Engine::Progress& progress) {
  Portfolio& portfolio = session.portfolio();
  if (portfolio.isEmpty()) return Report(Outcome::stopped(), {});
  portfolio.selectFund(portfolio.fundCount(portfolio.FirstKoersIndex()) - 1);
  return FondsGridDblClick(session, prompter, FillGrid(session), GridRow::Ticker, progress);
}

namespace {

Outcome addListedFund(Session& session, Prompter& prompter, const QString& ticker,
                      std::optional<double> price, double quantity) {
  const QString wanted = RemoveBlanks(ticker);
  for (const Market market : {Market::Dutch, Market::Us}) {
    const std::optional<QList<StockLine>> rows = LoadStockRows(session, prompter, market);
    if (!rows) return Outcome::failed(TextId::NewFundNotInLists, {ticker});
    for (const StockLine& line : *rows) {
      if (RemoveBlanks(line.ticker).compare(wanted, Qt::CaseInsensitive) != 0) continue;
      NewFundEntry entry;
      entry.accepted = true;
      entry.market = market;
      entry.company = line.name;
      entry.ticker = line.ticker;
      entry.price =
          price ? *price
                : session.prices().GetFilePrice(line.ticker, currentDate(session.portfolio()));
      entry.quantity = quantity;
      entry.investment = quantity * entry.price;
      return AddNewFund(session, prompter, entry, false);
    }
  }
  return Refuse(session, prompter, TextId::NewFundNotInLists, {ticker});
}

}  // namespace

Report NewFundByTicker(Session& session, Prompter& prompter, const QString& ticker,
                       std::optional<double> price, double quantity) {
  return Report::ifDone(addListedFund(session, prompter, ticker, price, quantity),
                        Change::Figures | Change::Funds);
}

Report NewManualFundNamed(Session& session, Prompter& prompter, const QString& name, double price,
                          double quantity) {
  const NewFundEntry entry{true,  Market::Dutch,    name,    ManualFundTicker(name),
                           price, price * quantity, quantity};
  return Report::ifDone(AddNewFund(session, prompter, entry, true),
                        Change::Figures | Change::Funds);
}

}  // namespace pelmar
