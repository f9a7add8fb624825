#include "prices/price_source.h"

#include <QUrl>
#include <cmath>
#include <map>

#include "model/conversions.h"
#include "prices/chart_source.h"
#include "prices/csv_source.h"
#include "prices/service_sources.h"
#include "prices/settings.h"

namespace pelmar {

QStringList SourceCloses::downloadLines() const {
  QStringList lines;
  for (const DailyClose& close : closes)
    lines << TwoDigits(close.day.year() % 100) + TwoDigits(close.day.month()) +
                 TwoDigits(close.day.day()) + u',' + close.price;
  return lines;
}

SourceCloses SourceCloses::failure(FetchStatus status, Reason reason) {
  SourceCloses result;
  result.status = status;
  result.reason = std::move(reason);
  return result;
}

std::vector<DailyClose> SourceCloses::fromDownloadLines(const QStringList& lines) {
  std::map<QDate, QString> days;
  for (const QString& line : lines) {
    const QDate day =
        QDate::fromString(QStringLiteral("20") + line.left(6), QStringLiteral("yyyyMMdd"));
    if (day.isValid() && line.size() > 7 && line.at(6) == u',') days[day] = line.mid(7);
  }
  std::vector<DailyClose> closes;
  for (const auto& [day, price] : days) closes.push_back({day, price});
  return closes;
}

const std::vector<SourceInfo>& PriceSources() {
  static const std::vector<SourceInfo> sources = {
      {SourceId::None, TextId::SourceNone},
      {SourceId::ChartJson, TextId::SourceChartJson},
      {SourceId::CsvUrl, TextId::SourceCsvUrl},
      {SourceId::DutchService, TextId::SourceDutchService},
      {SourceId::UsService, TextId::SourceUsService},
  };
  return sources;
}

std::optional<QString> PriceSourceId(const QString& name) {
  for (const SourceInfo& source : PriceSources())
    if (source.id.compare(name.trimmed(), Qt::CaseInsensitive) == 0) return source.id;
  return std::nullopt;
}

std::unique_ptr<PriceSource> MakePriceSource(const QString& id, const Settings& settings) {
  const std::optional<QString> known = PriceSourceId(id);
  if (known == SourceId::ChartJson) return std::make_unique<ChartSource>(settings.chartSourceUrl);
  if (known == SourceId::CsvUrl) return std::make_unique<CsvUrlSource>(settings.csvSourceUrl);
  if (known == SourceId::DutchService)
    return std::make_unique<DutchServiceSource>(settings.dutchPriceService);
  if (known == SourceId::UsService)
    return std::make_unique<UsServiceSource>(settings.usPriceService);
  return nullptr;
}

QString SourceHost(const QString& url) {
  const QString host = QUrl(url).host();
  return host.isEmpty() ? url : host;
}

std::optional<SourceCloses> ReplyFailure(const HttpReply& reply, const QString& url,
                                         const QString& symbol) {
  const QString host = SourceHost(url);
  switch (reply.status) {
    case HttpReply::Status::Failed:
      return SourceCloses::failure(FetchStatus::NoConnection,
                                   Reason{TextId::SourceNoAnswer, {host, reply.error}});
    case HttpReply::Status::TooLarge:
      return SourceCloses::failure(FetchStatus::TooSmall, Reason{TextId::SourceTooLarge, {host}});
    case HttpReply::Status::NoAnswer:
      // Only this fetch failed, not the connection: the pass goes on.
      return SourceCloses::failure(FetchStatus::Failed,
                                   Reason{TextId::SourceNoAnswer, {host, reply.error}});
    case HttpReply::Status::Ok:
      break;
  }
  if (reply.httpStatus == 404 || reply.httpStatus == 410)
    return SourceCloses::failure(
        FetchStatus::NotFound,
        Reason{TextId::SourceUnknownSymbol, {host, symbol, QString::number(reply.httpStatus)}});
  if (!reply.page())
    return SourceCloses::failure(
        FetchStatus::Failed,
        Reason{TextId::SourceHttpStatus, {host, QString::number(reply.httpStatus)}});
  if (reply.body.trimmed().isEmpty())
    return SourceCloses::failure(FetchStatus::TooSmall,
                                 Reason{TextId::SourceNoPrices, {host, symbol}});
  return std::nullopt;
}

QString CloseText(double close) {
  const int whole = close >= 1 ? static_cast<int>(std::floor(std::log10(close))) + 1 : 1;
  QString text = QString::number(close, 'f', std::max(0, 7 - whole));
  if (text.contains(u'.')) {
    while (text.endsWith(u'0')) text.chop(1);
    if (text.endsWith(u'.')) text.chop(1);
  }
  return text;
}

}  // namespace pelmar
