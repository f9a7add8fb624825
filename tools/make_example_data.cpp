// Makes the example data that the program copies on its first start: two
// portfolios in data/Port (one in euros with Dutch funds, one in dollars
// with US funds) and the matching price files in data/Prices. Everything
// comes from fixed seeds, so running it again gives the same bytes.
//
//   pelmar-make-examples [DATA_FOLDER]   (default: the source tree's data/)

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <cmath>

#include "commands/portfolio_io.h"
#include "model/dates.h"
#include "model/portfolio_file.h"
#include "model/safe_write.h"
#include "synthetic_data.h"

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

const QDate kFirstPriceDay(2023, 10, 2);
const QDate kLastPriceDay(2026, 1, 2);
const QDate kFirstDataSet(2024, 1, 5);
constexpr int kDaysBetweenDataSets = 28;

// What went into a portfolio, for the summary line.
struct Counts {
  int dataSets = 0;
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

// Builds one example portfolio in the session: every fund bought on the
// first date, then a dataset every four weeks in which the method's advice
// is followed, dividends are paid twice a year, the account is charged
// quarterly and money is added once a year.
Counts buildPortfolio(Session& session, const std::vector<Stock>& stocks, bool inDollar,
                      quint64 seed) {
  Random random(seed);
  PortfolioBuilder builder(session, inDollar, kFirstDataSet);
  Counts counts;

  RekeningRec& broker = builder.account(1);
  broker.RekNaam = inDollar ? QStringLiteral("Brokerage") : QStringLiteral("Beleggen");
  broker.RekNummer = inDollar ? QStringLiteral("US-4471") : QStringLiteral("NL-2093");
  broker.CredRente = 1.5;
  broker.DebRente = 7.0;
  builder.account(1).Kosten = 4.95;
  ++counts.costs;

  std::vector<int> dividendMonth;
  std::vector<double> dividendYield;
  for (const Stock& stock : stocks) {
    KoersRec& fund = builder.addFund(stock, 1);
    const double budget = 4000.0 + 500.0 * random.between(0, 8);
    fund.Aantal = std::floor(budget / fund.Koers);
    const double value = fund.Aantal * fund.Koers;
    fund.Kosten = tradeCosts(value);
    // The deposit pays the shares and the costs and leaves a reserve for
    // the purchases the method will advise when prices fall.
    fund.Inleg = roundCents(value + fund.Kosten + 0.3 * value);
    fund.UpDr = 10.0;
    fund.DownDr = 10.0;
    dividendMonth.push_back(random.between(3, 6));
    dividendYield.push_back(0.01 + 0.002 * random.between(0, 10));
  }
  builder.general().Dollar = 0.92;
  builder.calculate();
  counts.dataSets = 1;

  for (QDate day = kFirstDataSet.addDays(kDaysBetweenDataSets); day <= kLastPriceDay;
       day = day.addDays(kDaysBetweenDataSets)) {
    builder.appendDataSet(day);
    builder.general().Dollar = roundCents(0.92 + 0.04 * (random.uniform() - 0.5));
    builder.calculate();
    ++counts.dataSets;

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
      Advice& method = session.engine().advice();
      method.FundAdvice(session.portfolio().FirstRekIndex(), i);
      const double due = method.TradeAdvice;
      const bool isDue =
          (due > 0.0001 && due >= method.BuyShares) || (due < 0.0001 && -due >= method.SellShares);
      const double advice = std::round(due);
      if (isDue && advice != 0.0 && fund.Aantal + advice >= 0.0) {
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
  return counts;
}

bool savePortfolio(const Session& session, const QString& path) {
  const Portfolio& portfolio = session.portfolio();
  return safe_write::WriteFile(path,
                               [&](QIODevice& out) {
                                 return portfolio_file::write(out, portfolio,
                                                              WriteLimitAll(portfolio),
                                                              session.language()) > 0;
                               })
      .ok();
}

// The stock list of the downloaded stocks: "Name,Ticker,LastDate".
QStringList stockList(const std::vector<Stock>& stocks) {
  QStringList lines;
  for (const Stock& stock : stocks)
    lines.append(stock.name + u',' + stock.ticker + u',' +
                 kLastPriceDay.toString(QStringLiteral("yyyy-MM-dd")));
  return lines;
}

int run(const QString& dataFolder, QTextStream& out, QTextStream& err) {
  const QString portFolder = dataFolder + QStringLiteral("/Port");
  const QString priceFolder = dataFolder + QStringLiteral("/Prices");
  if (!QDir().mkpath(portFolder) || !QDir().mkpath(priceFolder)) {
    err << "Cannot make the folders under " << dataFolder << "\n";
    return 1;
  }
  // Old day files go, so that the folder holds exactly this run's days.
  QDir prices(priceFolder);
  for (const QString& name : prices.entryList({QStringLiteral("*A.csv")}, QDir::Files))
    prices.remove(name);

  std::vector<Stock> stocks = kDutchStocks;
  stocks.insert(stocks.end(), kUsStocks.begin(), kUsStocks.end());
  const std::vector<QDate> days = synthetic::tradingDays(kFirstPriceDay, kLastPriceDay);
  Random random(20240105);
  synthetic::PriceTable table;
  for (const Stock& stock : stocks)
    table.push_back(synthetic::priceSeries(stock, static_cast<int>(days.size()), random));

  const qint64 lastDay = static_cast<qint64>(dateToSerial(kLastPriceDay));
  const bool pricesWritten =
      synthetic::writeDayFiles(priceFolder, stocks, days, table) &&
      synthetic::writeLines(priceFolder + QStringLiteral("/Stocks_nl.txt"),
                            stockList(kDutchStocks)) &&
      synthetic::writeLines(priceFolder + QStringLiteral("/Stocks_us.txt"), stockList(kUsStocks)) &&
      synthetic::writeLines(priceFolder + QStringLiteral("/Last Prices.txt"),
                            {QStringLiteral("LatestPrice_nl: %1").arg(lastDay),
                             QStringLiteral("LatestPrice_us: %1").arg(lastDay)});
  if (!pricesWritten) {
    err << "Cannot write the price files in " << priceFolder << "\n";
    return 1;
  }

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
    Session session(dataFolder + u'/', QLocale::c());
    session.setLanguage(example.language);
    session.settings().pricePath = priceFolder + u'/';
    session.applyPricePath();
    const Counts counts = buildPortfolio(session, *example.stocks, example.inDollar, example.seed);
    const QString path = portFolder + u'/' + example.fileName;
    if (!savePortfolio(session, path)) {
      err << "Cannot write " << path << "\n";
      return 1;
    }
    out << example.fileName << ": " << counts.dataSets << " datasets, " << counts.purchases
        << " purchases, " << counts.sales << " sales, " << counts.dividends << " dividends, "
        << counts.costs << " account charges\n";
  }
  out << days.size() << " daily price files in " << priceFolder << "\n";
  return 0;
}

}  // namespace
}  // namespace pelmar

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  const QStringList args = QCoreApplication::arguments();
  const QString folder = args.size() > 1 ? args.at(1) : QStringLiteral(PELMAR_DATA_DIR);
  return pelmar::run(folder, out, err);
}
