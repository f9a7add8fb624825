#include "prices/service_sources.h"

#include "prices/price_replies.h"

namespace pelmar {

SourceCloses ServiceCloses(double result, const QStringList& downloadLines, const QString& url,
                           const QString& symbol) {
  const QString host = SourceHost(url);
  if (result == Fetch::TooSmall)
    return SourceCloses::failure(FetchStatus::TooSmall,
                                 Reason{TextId::SourceNoPrices, {host, symbol}});
  if (result == Fetch::Nothing)
    return SourceCloses::failure(FetchStatus::Nothing,
                                 Reason{TextId::SourceNoPrices, {host, symbol}});
  // A newest date that cannot be read (0) counts as not found.
  if (result <= Fetch::Nothing)
    return SourceCloses::failure(FetchStatus::NotFound,
                                 Reason{TextId::SourceUnknownSymbol, {host, symbol, QString()}});
  SourceCloses found;
  found.closes = SourceCloses::fromDownloadLines(downloadLines);
  if (found.closes.empty())
    return SourceCloses::failure(FetchStatus::NotFound,
                                 Reason{TextId::SourceUnknownSymbol, {host, symbol, QString()}});
  found.status = FetchStatus::Ok;
  return found;
}

SourceCloses DutchServiceSource::closes(HttpGet& http, const QString& symbol, QDate,
                                        const QDateTime&) const {
  const QString url = DutchPriceUrl(base_, symbol);
  const HttpReply reply = http.get(url);
  if (!reply.ok()) return *ReplyFailure(reply, url, symbol);
  QStringList lines;
  const double result = ParseDutchReply(QString::fromLatin1(reply.body), lines);
  return ServiceCloses(result, lines, url, symbol);
}

SourceCloses UsServiceSource::closes(HttpGet& http, const QString& symbol, QDate from,
                                     const QDateTime& now) const {
  const QString url = UsPriceUrl(base_, symbol, from, LastWorkingDay(now.date()));
  const HttpReply reply = http.get(url);
  if (!reply.ok()) return *ReplyFailure(reply, url, symbol);
  QStringList lines;
  const double result = ParseUsReply(QString::fromLatin1(reply.body), lines);
  return ServiceCloses(result, lines, url, symbol);
}

}  // namespace pelmar
