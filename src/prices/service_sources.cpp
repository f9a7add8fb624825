#include "prices/service_sources.h"

#include "prices/price_replies.h"

namespace pelmar {

SourceCloses ServiceCloses(const ReplyResult& result, const QStringList& downloadLines,
                           const QString& url, const QString& symbol,
                           const std::optional<Reason>& refused) {
  const QString host = SourceHost(url);
  switch (result.status) {
    case FetchStatus::Failed: {
      const Reason reason{TextId::SourceUnreadable, {host, symbol}};
      return SourceCloses::failure(FetchStatus::Failed,
                                   refused ? reason.because(*refused) : reason);
    }
    case FetchStatus::TooSmall:
    case FetchStatus::Nothing:
      return SourceCloses::failure(result.status, Reason{TextId::SourceNoPrices, {host, symbol}});
    case FetchStatus::Ok:
    case FetchStatus::NoConnection:
    case FetchStatus::NotFound:
      break;
  }
  SourceCloses found;
  if (result.status == FetchStatus::Ok)
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
  const ReplyResult result =
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
  const ReplyResult result =
      ParseUsReply(QString::fromLatin1(reply.body), lines, now.date(), refused);
  return ServiceCloses(result, lines, url, symbol, refused);
}

}  // namespace pelmar
