#include "commands/example_data.h"

#include <QDir>
#include <cmath>

#include "commands/portfolio_io.h"
#include "commands/synthetic_data.h"
#include "model/dates.h"

namespace pelmar {
namespace {

using synthetic::PortfolioBuilder;
using synthetic::Random;
using synthetic::Stock;

// Made-up companies: names and tickers belong to no real stock.
const std::vector<Stock> kDutchStocks = {
    {"Deltabouw Groep", "DBG", false, 8.75, 0.03, 0.35},
    {"Kaasmakerij Gouda", "KMG", false, 41.00, 0.04, 0.18},
    {"Noordzee Telecom", "NZT", false, 3.42, 0.02, 0.20},
    {"Polderwind Energie", "PWE", false, 13.20, 0.08, 0.30},
    {"Rijnmond Havens", "RMH", false, 24.50, 0.06, 0.22},
    {"Tulpveld Bank", "TVB", false, 17.90, 0.05, 0.28},
};
const std::vector<Stock> kUsStocks = {
    {"Bayside Utilities", "BYUT", true, 71.20, 0.03, 0.14},
    {"Canyon Mining Co", "CNMN", true, 34.10, 0.03, 0.40},
    {"Harbor Foods Inc", "HRBF", true, 58.30, 0.04, 0.16},
    {"Prairie Rail Corp", "PRRL", true, 96.50, 0.05, 0.22},
    {"Ridgeline Software", "RDGS", true, 182.00, 0.12, 0.32},
    {"Summit Pharma", "SMPH", true, 121.40, 0.07, 0.27},
};

// The fixed data's span: its first price day and first dataset set how far
// back every plan reaches from its last day.
const QDate kFixedFirstPriceDay(2023, 10, 2);
const QDate kFixedFirstDataSet(2024, 1, 5);
const QDate kFixedLastDay(2026, 1, 2);
constexpr int kDaysBetweenDataSets = 28;

// What went into a portfolio, for the summary line.
struct Counts {
  int purchases = 0;
  int sales = 0;
  int dividends = 0;
  int costs = 0;
};

double roundCents(double amount) {
  return std::round(amount * 100.0) / 100.0;
}

// Transaction costs of a trade of that value: a fixed fee plus 0.1 %.
double tradeCosts(double value) {
  return roundCents(4.95 + 0.001 * std::abs(value));
}

// The `count` trading days that end on `last` (inclusive), oldest first.
std::vector<QDate> tradingDaysUpTo(QDate last, int count) {
  std::vector<QDate> days(count);
  QDate day = last;
  for (int i = count - 1; i >= 0; --i, day = day.addDays(-1)) {
    while (IsNonWorkingDay(dateToSerial(day))) day = day.addDays(-1);
    days[i] = day;
  }
  return days;
}

int yearOfLastDataSet(const Session& session) {
  return serialToDate(session.portfolio().algAt(session.portfolio().lastRekIndex() - 1).Datum)
      .year();
}

// Buys every fund in the first dataset: a budget's worth of whole shares,
// and a deposit that pays them, their costs and a reserve for the purchases
// the method will advise when prices fall. Returns each fund's dividend
// month and yield.
void buyFunds(PortfolioBuilder& builder, const std::vector<Stock>& stocks, Random& random,
              std::vector<int>& dividendMonth, std::vector<double>& dividendYield) {
  for (const Stock& stock : stocks) {
    KoersRec& fund = builder.addFund(stock, 1);
    const double budget = 4000.0 + 500.0 * random.between(0, 8);
    fund.Aantal = std::floor(budget / fund.Koers);
    const double value = fund.Aantal * fund.Koers;
    fund.Kosten = tradeCosts(value);
    fund.Inleg = roundCents(value + fund.Kosten + 0.3 * value);
    fund.UpDr = 10.0;
    fund.DownDr = 10.0;
    dividendMonth.push_back(random.between(3, 6));
    dividendYield.push_back(0.01 + 0.002 * random.between(0, 10));
  }
}

// Builds one example portfolio in the session: every fund bought on the
// first date, then a dataset every four weeks in which the method's advice
// is followed, dividends are paid twice a year, the account is charged
// quarterly and money is added once a year. The plan's opening year is
// started before its first dataset (or after the last, when none falls in
// it).
Counts buildPortfolio(Session& session, const ExampleDataPlan& plan,
                      const std::vector<Stock>& stocks, bool inDollar, quint64 seed) {
  Random random(seed);
  const QDate firstDataSet = plan.lastDay.addDays(-kFixedFirstDataSet.daysTo(kFixedLastDay));
  PortfolioBuilder builder(session, inDollar, firstDataSet);
  Counts counts;
  const auto startOpeningYear = [&] {
    if (plan.openingYear > yearOfLastDataSet(session) && builder.startYear(plan.openingYear))
      builder.calculate();
  };

  RekeningRec& broker = builder.account(1);
  broker.RekNaam = inDollar ? QStringLiteral("Brokerage") : QStringLiteral("Beleggen");
  broker.RekNummer = inDollar ? QStringLiteral("US-4471") : QStringLiteral("NL-2093");
  broker.CredRente = 1.5;
  broker.DebRente = 7.0;
  builder.account(1).Kosten = 4.95;
  ++counts.costs;

  std::vector<int> dividendMonth;
  std::vector<double> dividendYield;
  buyFunds(builder, stocks, random, dividendMonth, dividendYield);
  builder.general().Dollar = 0.92;
  builder.calculate();

  for (QDate day = firstDataSet.addDays(kDaysBetweenDataSets); day <= plan.lastDay;
       day = day.addDays(kDaysBetweenDataSets)) {
    if (day.year() >= plan.openingYear) startOpeningYear();
    builder.appendDataSet(day);
    builder.general().Dollar = roundCents(0.92 + 0.04 * (random.uniform() - 0.5));
    builder.calculate();

    const int previousMonth = day.addDays(-kDaysBetweenDataSets).month();
    for (int i = 0; i < builder.fundCount(); ++i) {
      KoersRec& fund = builder.fund(i);
      // Half-yearly dividends: in the fund's month and six months later.
      const int month = (dividendMonth[i] + (day.month() > 6 ? 6 : 0) - 1) % 12 + 1;
      if (day.month() == month && previousMonth != month) {
        fund.Dividend = roundCents(0.5 * dividendYield[i] * fund.Aantal * fund.Koers);
        fund.DivBel = roundCents(0.15 * fund.Dividend);
        ++counts.dividends;
      }
      // Follow the method: trade the whole shares it advises once the
      // price has moved far enough for the advice to be due.
      const AdviceFigures method =
          session.engine().advice().FundAdvice(session.portfolio().FirstRekIndex(), i);
      const double advice = std::round(method.tradeAdvice);
      if (method.due() && advice != 0.0 && fund.Aantal + advice >= 0.0) {
        fund.Aantal = fund.Aantal + advice;
        fund.Kosten = tradeCosts(advice * fund.Koers);
        ++(advice > 0 ? counts.purchases : counts.sales);
      }
    }
    // Money added at the start of every year, to the first fund.
    if (day.month() == 1 && previousMonth != 1) builder.fund(0).Inleg = 2500.0;
    // The account is charged every quarter, with VAT.
    if (day.month() % 3 == 0 && previousMonth != day.month()) {
      builder.account(1).Kosten = 4.95;
      builder.account(1).BTW = 1.04;
      ++counts.costs;
    }
    builder.calculate();
  }
  startOpeningYear();
  return counts;
}

// The stock list of the downloaded stocks: "Name,Ticker,LastDate".
QStringList stockList(const std::vector<Stock>& stocks, QDate lastDay) {
  QStringList lines;
  for (const Stock& stock : stocks)
    lines.append(stock.name + u',' + stock.ticker + u',' +
                 formatDate(lastDay, DateFormat::YearMonthDay));
  return lines;
}

// The daily price files, the stock lists and the dates of the latest prices.
bool writePrices(const QString& priceFolder, QDate lastDay, int* dayCount) {
  std::vector<Stock> stocks = kDutchStocks;
  stocks.insert(stocks.end(), kUsStocks.begin(), kUsStocks.end());
  const int count =
      static_cast<int>(synthetic::tradingDays(kFixedFirstPriceDay, kFixedLastDay).size());
  const std::vector<QDate> days = tradingDaysUpTo(lastDay, count);
  Random random(20240105);
  synthetic::PriceTable table;
  for (const Stock& stock : stocks) table.push_back(synthetic::priceSeries(stock, count, random));
  *dayCount = count;

  const qint64 last = static_cast<qint64>(dateToSerial(lastDay));
  return synthetic::writeDayFiles(priceFolder, stocks, days, table) &&
         synthetic::writeLines(priceFolder + QStringLiteral("/Stocks_nl.txt"),
                               stockList(kDutchStocks, lastDay)) &&
         synthetic::writeLines(priceFolder + QStringLiteral("/Stocks_us.txt"),
                               stockList(kUsStocks, lastDay)) &&
         synthetic::writeLines(priceFolder + QStringLiteral("/Last Prices.txt"),
                               {QStringLiteral("LatestPrice_nl: %1").arg(last),
                                QStringLiteral("LatestPrice_us: %1").arg(last)});
}

}  // namespace

ExampleDataPlan FixedExampleData() {
  return {kFixedLastDay, 0};
}

ExampleDataPlan FirstStartExampleData(QDate today) {
  QDate last = today.addDays(-1);
  while (IsNonWorkingDay(dateToSerial(last))) last = last.addDays(-1);
  return {last, today.year()};
}

Outcome WriteExampleData(Prompter& prompter, const ExampleDataPlan& plan, const QString& portFolder,
                         const QString& priceFolder, QStringList* summary) {
  for (const QString& folder : {portFolder, priceFolder}) {
    if (!QDir().mkpath(folder))
      return Outcome::failed(TextId::FolderNotMade, {QDir::toNativeSeparators(folder)});
  }
  int dayCount = 0;
  if (!writePrices(priceFolder, plan.lastDay, &dayCount))
    return Outcome::failed(TextId::ExamplePricesNotWritten,
                           {QDir::toNativeSeparators(priceFolder)});

  struct Example {
    QString fileName;
    const std::vector<Stock>* stocks;
    bool inDollar;
    Language::Code language;
    quint64 seed;
  };
  const Example examples[] = {
      {QStringLiteral("Test-1.xml"), &kDutchStocks, false, Language::Code::Dutch, 1},
      {QStringLiteral("Test-2.xml"), &kUsStocks, true, Language::Code::English, 2},
  };
  for (const Example& example : examples) {
    Session session(portFolder + u'/', QLocale::c());
    session.clock().fix(plan.lastDay.addDays(1));
    session.setLanguage(example.language);
    session.settings().pricePath = priceFolder + u'/';
    session.applyPricePath();
    const Counts counts =
        buildPortfolio(session, plan, *example.stocks, example.inDollar, example.seed);
    const Portfolio& p = session.portfolio();
    if (Outcome saved = WriteXMLFile(session, prompter, QDir(portFolder).filePath(example.fileName),
                                     WriteLimitAll(p), false);
        !saved)
      return saved;
    if (summary)
      summary->append(QStringLiteral("%1: %2 datasets, %3 purchases, %4 sales, %5 dividends, "
                                     "%6 account charges")
                          .arg(example.fileName)
                          .arg(p.algAt(p.lastRekIndex() - 1).NrOfSet)
                          .arg(counts.purchases)
                          .arg(counts.sales)
                          .arg(counts.dividends)
                          .arg(counts.costs));
  }
  if (summary)
    summary->append(QStringLiteral("%1 daily price files in %2")
                        .arg(dayCount)
                        .arg(QDir::toNativeSeparators(priceFolder)));
  return Outcome::done();
}

}  // namespace pelmar
