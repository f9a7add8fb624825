#include "model/currency.h"

#include <cmath>

namespace pelmar {

namespace {

const QString kDollar = QStringLiteral("US$");
const QString kEuro = QStringLiteral("EUR");
constexpr double kSmallest = 0.0001;

// The rate brought to at most 1; 1 when it is unusable.
double usableRate(double rate) {
  if (!std::isfinite(rate) || rate <= 0) return 1.0;
  if (rate > 1) rate = 1 / rate;
  return rate < kSmallest ? 1.0 : rate;
}

double reportFactor(const QString& valuta, bool reportInDollar, double rate) {
  if (valuta == kDollar) return reportInDollar ? 1.0 : rate;
  return reportInDollar ? 1 / rate : 1.0;
}

}  // namespace

double FundCurrencyFactor(const Portfolio& portfolio, const AlgemeenRec& dataSet,
                          const KoersRec& fund) {
  const QString& portfolioCurrency = portfolio.bPortInDollar() ? kDollar : kEuro;
  if (fund.Valuta == portfolioCurrency) return 1.0;
  const double rate = usableRate(dataSet.Dollar);
  const double factor = fund.Valuta == kDollar && !portfolio.bPortInDollar() ? rate : 1 / rate;
  return factor < kSmallest ? 1.0 : factor;
}

double RapValutaFactor(const Portfolio& portfolio) {
  return RapValutaFactor(portfolio, portfolio.alg(), portfolio.koers());
}

double RekRapValutaFactor(const Portfolio& portfolio, double currencyIndexPrice) {
  return RekRapValutaFactor(portfolio, portfolio.rek(), currencyIndexPrice);
}

double RapValutaFactor(const Portfolio& portfolio, const AlgemeenRec& dataSet,
                       const KoersRec& fund) {
  return ReportCurrencyFactor(fund.Valuta, portfolio.bRapInDollar(), dataSet.Dollar);
}

double RekRapValutaFactor(const Portfolio& portfolio, const RekeningRec& account,
                          double currencyIndexPrice) {
  // The price is rounded to five decimals as its text would be.
  const double rate = QString::number(currencyIndexPrice, 'f', 5).toDouble();
  return ReportCurrencyFactor(account.Valuta, portfolio.bRapInDollar(), rate);
}

double ReportCurrencyFactor(const QString& valuta, bool reportInDollar, double rate) {
  return reportFactor(valuta, reportInDollar, usableRate(rate));
}

}  // namespace pelmar
