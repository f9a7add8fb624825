#include "synthetic_data.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "commands/datasets.h"
#include "model/dates.h"
#include "model/safe_write.h"
#include "prices/price_update.h"

namespace pelmar::synthetic {

quint64 Random::next() {
  state_ += 0x9E3779B97F4A7C15ULL;
  quint64 z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

double Random::uniform() {
  return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

double Random::normal() {
  // 1 - uniform() lies in (0, 1], so the logarithm is finite.
  const double u1 = 1.0 - uniform();
  const double u2 = uniform();
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

int Random::between(int low, int high) {
  return low + static_cast<int>(next() % static_cast<quint64>(high - low + 1));
}

std::vector<QDate> tradingDays(QDate first, QDate last) {
  std::vector<QDate> days;
  for (QDate day = first; day <= last; day = day.addDays(1))
    if (!IsNonWorkingDay(dateToSerial(day))) days.push_back(day);
  return days;
}

std::vector<double> priceSeries(const Stock& stock, int count, Random& random) {
  constexpr double kTradingDaysPerYear = 252.0;
  const double drift = stock.yearlyDrift / kTradingDaysPerYear;
  const double volatility = stock.yearlyVolatility / std::sqrt(kTradingDaysPerYear);
  std::vector<double> series;
  series.reserve(count);
  double price = stock.startPrice;
  for (int i = 0; i < count; ++i) {
    if (i > 0)
      price *= std::exp(drift - 0.5 * volatility * volatility + volatility * random.normal());
    price = std::max(0.01, price);
    series.push_back(std::round(price * 100.0) / 100.0);
  }
  return series;
}

QString priceText(double price) {
  return QString::number(price, 'f', 2);
}

bool writeLines(const QString& path, const QStringList& lines) {
  QByteArray bytes;
  for (const QString& line : lines) {
    bytes += line.toLatin1();
    bytes += "\r\n";
  }
  return safe_write::WriteFile(path, bytes).ok();
}

bool writeDayFiles(const QString& folder, const std::vector<Stock>& stocks,
                   const std::vector<QDate>& days, const PriceTable& prices) {
  for (size_t d = 0; d < days.size(); ++d) {
    const QDate day = days[d];
    const QString date = day.toString(QStringLiteral("yy/MM/dd"));
    QStringList lines;
    for (size_t s = 0; s < stocks.size(); ++s) {
      const Stock& stock = stocks[s];
      const QString name = stock.us ? stock.name + QStringLiteral(" (US)") : stock.name;
      lines.append(name + u',' + stock.ticker + u',' + date + u',' + priceText(prices[s][d]));
    }
    std::sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) {
      return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    const QString fileName = day.toString(QStringLiteral("yyMMdd")) + QStringLiteral("A.csv");
    if (!writeLines(folder + u'/' + fileName, lines)) return false;
  }
  return true;
}

PortfolioBuilder::PortfolioBuilder(Session& session, bool inDollar, QDate start)
    : session_(session), portfolio_(session.portfolio()) {
  portfolio_.NewPortfolio(NewIdentRec(session, inDollar), dateToSerial(start));
  portfolio_.markOpened();
  session.engine().setPortStartDate(dateToSerial(start));
}

KoersRec& PortfolioBuilder::addFund(const Stock& stock, int account) {
  KoersRec fund = portfolio_.initialRecords().DefaultKoersRec;
  fund.EndOfSetB = false;
  fund.Ticker = stock.ticker;
  fund.Country = stock.us ? QStringLiteral("us") : QStringLiteral("nl");
  fund.Valuta = stock.us ? QStringLiteral("US$") : QStringLiteral("EUR");
  fund.RekNr = static_cast<quint8>(account);
  fund.CumDatum = portfolio_.alg().Datum;
  fund.Flag1 = KoersFlag::Cumulatief;
  fund.Koers = session_.prices().GetFilePrice(stock.ticker, serialToDate(fund.CumDatum));
  const int placeholder = portfolio_.FirstKoersIndex() + fundCount();
  portfolio_.insertRecord(placeholder, fund);
  return portfolio_.koersAt(placeholder);
}

void PortfolioBuilder::appendDataSet(QDate day) {
  int rek = portfolio_.FirstRekIndex();
  int koers = portfolio_.FirstKoersIndex();
  const DateTime previous = portfolio_.alg().Datum;
  const DateTime datum = dateToSerial(day);
  portfolio_.appendDataSet(rek, koers, datum, static_cast<qint32>(datum - previous));
  portfolio_.goToDataSet(rek);
  UpdatePricesFromFiles(portfolio_, session_.prices(), rek);
}

void PortfolioBuilder::calculate() {
  CalcCurrentDataSet(session_);
}

AlgemeenRec& PortfolioBuilder::general() {
  return portfolio_.alg();
}

KoersRec& PortfolioBuilder::fund(int offset) {
  return portfolio_.koersAt(portfolio_.FirstKoersIndex() + offset);
}

RekeningRec& PortfolioBuilder::account(int number) {
  return portfolio_.rekAt(portfolio_.FirstRekIndex() + number - 1);
}

int PortfolioBuilder::fundCount() const {
  return portfolio_.fundCount(portfolio_.FirstKoersIndex()) - 1;
}

}  // namespace pelmar::synthetic
