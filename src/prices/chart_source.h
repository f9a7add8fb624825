#pragma once

#include <QByteArray>

#include "prices/price_source.h"

namespace pelmar {

// Daily closes from a chart service that answers
// "v8/finance/chart/SYMBOL?period1=…&period2=…&interval=1d" with JSON:
// chart.result[0] holds meta (currency, the exchange's time zone, the
// current trading period), timestamp[] in Unix seconds and
// indicators.quote[0].close[] (null on a day without trade); an unknown
// symbol gives chart.error.
class ChartSource : public PriceSource {
 public:
  explicit ChartSource(QString base) : base_(std::move(base)) {}
  QString id() const override { return SourceId::ChartJson; }
  SourceCloses closes(HttpGet& http, const QString& symbol, QDate from,
                      const QDateTime& now) const override;
  std::optional<SourceQuote> latest(HttpGet& http, const QString& symbol,
                                    const QDateTime& now) const override;

 private:
  QString base_;
};

// The chart address of a symbol from the start of `from` (UTC) up to `now`.
QString ChartUrl(const QString& base, const QString& symbol, QDate from, const QDateTime& now);

// Reads a chart reply. Each timestamp counts for the day it falls on in the
// exchange's time zone (its name in meta, else meta.gmtoffset, else UTC).
// Days before `from` and a day whose trading period has not ended at `now`
// are left out; when a day occurs twice, the later close counts. A close
// that is no positive number refuses the reply; `host` and `symbol` name it
// in the reasons.
SourceCloses ParseChartReply(const QByteArray& body, const QString& host, const QString& symbol,
                             QDate from, const QDateTime& now);

// meta.regularMarketPrice at meta.regularMarketTime; nothing when the reply
// holds no such price.
std::optional<SourceQuote> ParseChartQuote(const QByteArray& body);

}  // namespace pelmar
