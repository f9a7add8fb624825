#include "prices/service_sources.h"

#include "prices/price_replies.h"

namespace pelmar {

SourceCloses ServiceCloses(double result, const QStringList& downloadLines, const QString& url,
                           const QString& symbol, const std::optional<Reason>& refused) {
  const QString host = SourceHost(url);
  if (result == Fetch::Refused) {
    const Reason reason{TextId::SourceUnreadable, {host, symbol}};
    return SourceCloses::failure(FetchStatus::Failed, refused ? reason.because(*refused) : reason);
  }
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
                                        const QDateTime& now) const {
  const QString url = DutchPriceUrl(base_, symbol);
  const HttpReply reply = http.get(url);
  if (std::optional<SourceCloses> failed = ReplyFailure(reply, url, symbol)) return *failed;
  QStringList lines;
  std::optional<Reason> refused;
  const double result =
      ParseDutchReply(QString::fromLatin1(reply.body), lines, now.date(), refused);
  return ServiceCloses(result, lines, url, symbol, refused);
}

SourceCloses UsServiceSource::closes(HttpGet& http, const QString& symbol, QDate from,
                                     const QDateTime& now) const {
  const QString url = UsPriceUrl(base_, symbol, from, LastWorkingDay(now.date()));
  const HttpReply reply = http.get(url);
  if (std::optional<SourceCloses> failed = ReplyFailure(reply, url, symbol)) return *failed;
  QStringList lines;
  std::optional<Reason> refused;
  const double result = ParseUsReply(QString::fromLatin1(reply.body), lines, now.date(), refused);
  return ServiceCloses(result, lines, url, symbol, refused);
}

}  // namespace pelmar
