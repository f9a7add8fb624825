#include "prices/chart_source.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <QUrl>
#include <map>

namespace pelmar {

namespace {

// A close above this is no price of a stock or an index.
constexpr double kMaxClose = 1e9;

QJsonObject chartResult(const QJsonObject& chart) {
  return chart.value(QLatin1String("result")).toArray().at(0).toObject();
}

QTimeZone exchangeZone(const QJsonObject& meta) {
  const QTimeZone named(meta.value(QLatin1String("exchangeTimezoneName")).toString().toLatin1());
  if (named.isValid()) return named;
  const QJsonValue offset = meta.value(QLatin1String("gmtoffset"));
  if (offset.isDouble()) return QTimeZone(offset.toInt());
  return QTimeZone::utc();
}

}  // namespace

QString ChartUrl(const QString& base, const QString& symbol, QDate from, const QDateTime& now) {
  const qint64 start = QDateTime(from, QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch();
  return base + (base.endsWith(u'/') ? QString() : QStringLiteral("/")) +
         QStringLiteral("v8/finance/chart/%1?period1=%2&period2=%3&interval=1d")
             .arg(QString::fromLatin1(QUrl::toPercentEncoding(symbol)))
             .arg(start)
             .arg(now.toSecsSinceEpoch());
}

SourceCloses ParseChartReply(const QByteArray& body, const QString& host, const QString& symbol,
                             QDate from, const QDateTime& now) {
  const auto unreadable = [&](Reason why) {
    return SourceCloses::failure(FetchStatus::Failed,
                                 Reason{TextId::SourceUnreadable, {host, symbol}}.because(why));
  };
  const QJsonDocument document = QJsonDocument::fromJson(body);
  if (!document.isObject()) return unreadable(Reason{TextId::ReplyNoJson});
  const QJsonObject chart = document.object().value(QLatin1String("chart")).toObject();
  const QJsonObject error = chart.value(QLatin1String("error")).toObject();
  if (!error.isEmpty()) {
    const QString description = error.value(QLatin1String("description")).toString();
    if (error.value(QLatin1String("code")).toString() == QLatin1String("Not Found"))
      return SourceCloses::failure(
          FetchStatus::NotFound, Reason{TextId::SourceUnknownSymbol, {host, symbol, description}});
    return unreadable(Reason{TextId::SourceHttpStatus, {host, description}});
  }
  const QJsonObject result = chartResult(chart);
  if (result.isEmpty()) return unreadable(Reason{TextId::ReplyNoChart});

  SourceCloses found;
  const QJsonObject meta = result.value(QLatin1String("meta")).toObject();
  found.currency = meta.value(QLatin1String("currency")).toString();
  const QTimeZone zone = exchangeZone(meta);
  const QJsonObject regular = meta.value(QLatin1String("currentTradingPeriod"))
                                  .toObject()
                                  .value(QLatin1String("regular"))
                                  .toObject();
  // The day of a trading period still running has no close yet.
  QDate running;
  if (const QJsonValue end = regular.value(QLatin1String("end"));
      end.isDouble() && now.toSecsSinceEpoch() < end.toInteger())
    running = QDateTime::fromSecsSinceEpoch(end.toInteger(), zone).date();

  const QJsonArray times = result.value(QLatin1String("timestamp")).toArray();
  const QJsonArray closes = result.value(QLatin1String("indicators"))
                                .toObject()
                                .value(QLatin1String("quote"))
                                .toArray()
                                .at(0)
                                .toObject()
                                .value(QLatin1String("close"))
                                .toArray();
  if (times.size() != closes.size())
    return unreadable(Reason{TextId::ReplyLengths,
                             {QString::number(times.size()), QString::number(closes.size())}});
  std::map<QDate, QString> days;
  for (qsizetype i = 0; i < times.size(); ++i) {
    const QJsonValue time = times.at(i);
    const QDate day =
        time.isDouble() ? QDateTime::fromSecsSinceEpoch(time.toInteger(), zone).date() : QDate();
    if (!day.isValid())
      return unreadable(Reason{TextId::ReplyBadTime, {time.toVariant().toString()}});
    const QJsonValue close = closes.at(i);
    if (close.isNull()) continue;  // a day without trade
    const double price = close.toDouble();
    if (!close.isDouble() || !(price > 0) || price > kMaxClose)
      return unreadable(
          Reason{TextId::ReplyBadClose, {close.toVariant().toString(), day.toString(Qt::ISODate)}});
    if (day < from || day == running) continue;
    days[day] = CloseText(price);
  }
  if (days.empty())
    return SourceCloses::failure(FetchStatus::Nothing,
                                 Reason{TextId::SourceNoPrices, {host, symbol}});
  for (const auto& [day, price] : days) found.closes.push_back({day, price});
  found.status = FetchStatus::Ok;
  return found;
}

std::optional<SourceQuote> ParseChartQuote(const QByteArray& body) {
  const QJsonObject meta =
      chartResult(QJsonDocument::fromJson(body).object().value(QLatin1String("chart")).toObject())
          .value(QLatin1String("meta"))
          .toObject();
  const QJsonValue price = meta.value(QLatin1String("regularMarketPrice"));
  const QJsonValue time = meta.value(QLatin1String("regularMarketTime"));
  if (!price.isDouble() || !(price.toDouble() > 0) || price.toDouble() > kMaxClose ||
      !time.isDouble())
    return std::nullopt;
  return SourceQuote{price.toDouble(),
                     QDateTime::fromSecsSinceEpoch(time.toInteger(), QTimeZone::utc()),
                     meta.value(QLatin1String("currency")).toString()};
}

SourceCloses ChartSource::closes(HttpGet& http, const QString& symbol, QDate from,
                                 const QDateTime& now) const {
  const QString url = ChartUrl(base_, symbol, from, now);
  const HttpReply reply = http.get(url);
  // An unknown symbol comes with 404 and chart.error, which says more.
  if (reply.ok() && reply.httpStatus == 404 && reply.body.contains("\"chart\""))
    return ParseChartReply(reply.body, SourceHost(url), symbol, from, now);
  if (std::optional<SourceCloses> failed = ReplyFailure(reply, url, symbol)) return *failed;
  return ParseChartReply(reply.body, SourceHost(url), symbol, from, now);
}

std::optional<SourceQuote> ChartSource::latest(HttpGet& http, const QString& symbol,
                                               const QDateTime& now) const {
  const HttpReply reply = http.get(ChartUrl(base_, symbol, now.date().addDays(-7), now));
  if (!reply.ok() || reply.httpStatus >= 400) return std::nullopt;
  return ParseChartQuote(reply.body);
}

}  // namespace pelmar
