#include "prices/reference_rates.h"

#include <QUrl>
#include <QXmlStreamReader>
#include <cmath>

#include "prices/price_source.h"
#include "prices/quote_pages.h"

namespace pelmar {

namespace {

// The last-day file has the newest rate; four days cover a long weekend
// before it. The 90-day file covers less than 90 working days.
constexpr qint64 kDailyFileDays = 4;
constexpr qint64 k90DayFileDays = 85;

ReferenceRates refused(TextId id, QStringList args) {
  ReferenceRates rates;
  rates.failure = Reason{id, std::move(args)};
  return rates;
}

}  // namespace

ReferenceRates ParseReferenceRates(const QByteArray& xml) {
  ReferenceRates rates;
  QXmlStreamReader reader(xml);
  QDate day;
  while (!reader.atEnd()) {
    reader.readNext();
    if (!reader.isStartElement() || reader.name() != QLatin1String("Cube")) continue;
    const QXmlStreamAttributes attributes = reader.attributes();
    const QString line = QString::number(reader.lineNumber());
    if (attributes.hasAttribute(QLatin1String("time"))) {
      const QString time = attributes.value(QLatin1String("time")).toString();
      day = QDate::fromString(time, Qt::ISODate);
      if (!day.isValid()) return refused(TextId::ImportBadDate, {line, time});
      if (rates.usdPerEuro.contains(day)) return refused(TextId::ImportTwice, {line, time});
    } else if (attributes.value(QLatin1String("currency")) == QLatin1String("USD")) {
      const QString text = attributes.value(QLatin1String("rate")).toString();
      bool number = false;
      const double rate = text.toDouble(&number);
      if (!day.isValid() || !number || !(rate > 0.0001) || rate > 10000)
        return refused(TextId::ReplyBadRate, {line, text});
      rates.usdPerEuro[day] = rate;
    }
  }
  if (reader.hasError())
    return refused(TextId::ReplyXmlLine, {QString::number(reader.lineNumber())});
  if (rates.usdPerEuro.empty()) return refused(TextId::ReplyNoDollar, {});
  return rates;
}

QString ReferenceRatesUrl(const QString& base, QDate from, QDate today) {
  const qint64 days = from.daysTo(today);
  const QString file = days <= kDailyFileDays   ? QStringLiteral("eurofxref-daily.xml")
                       : days <= k90DayFileDays ? QStringLiteral("eurofxref-hist-90d.xml")
                                                : QStringLiteral("eurofxref-hist.xml");
  return base + (base.endsWith(u'/') ? QString() : QStringLiteral("/")) + file;
}

ReferenceRates FetchReferenceRates(HttpGet& http, const QString& base, QDate from, QDate today) {
  const QString url = ReferenceRatesUrl(base, from, today);
  const HttpReply reply = http.get(url);
  if (const std::optional<SourceCloses> failed = ReplyFailure(reply, url, QStringLiteral("USD"))) {
    ReferenceRates rates;
    rates.failure = failed->reason;
    return rates;
  }
  ReferenceRates rates = ParseReferenceRates(reply.body);
  if (rates.failure)
    rates.failure =
        Reason{TextId::SourceUnreadable, {SourceHost(url), QStringLiteral("USD")}}.because(
            *rates.failure);
  return rates;
}

int StoreReferenceRates(PriceStore& store, const ReferenceRates& rates, QDate from, QDate to) {
  int days = 0;
  for (auto it = rates.usdPerEuro.lower_bound(from);
       it != rates.usdPerEuro.end() && it->first <= to; ++it) {
    // The daily files keep the price of a dollar in euros and its inverse.
    if (StoreDollarLines(store, 1.0 / it->second, it->first)) ++days;
  }
  return days;
}

}  // namespace pelmar
