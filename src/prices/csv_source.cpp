#include "prices/csv_source.h"

#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

#include "model/dates.h"
#include "prices/price_table.h"

namespace pelmar {

QString ExpandUrlTemplate(const QString& urlTemplate, const QString& symbol, QDate from, QDate to) {
  static const QRegularExpression placeholder(
      QStringLiteral("\\{(symbol|from|to)(?::([^}]*))?\\}"));
  QString url;
  qsizetype done = 0;
  for (const QRegularExpressionMatch& match : placeholder.globalMatch(urlTemplate)) {
    url += urlTemplate.mid(done, match.capturedStart() - done);
    const QString name = match.captured(1);
    const QString format = match.captured(2).isEmpty() ? dateFormatSetting(DateFormat::YearMonthDay)
                                                       : match.captured(2);
    if (name == QLatin1String("symbol"))
      url += QString::fromLatin1(QUrl::toPercentEncoding(symbol));
    else
      url += QString::fromLatin1(
          QUrl::toPercentEncoding((name == QLatin1String("from") ? from : to).toString(format)));
    done = match.capturedEnd();
  }
  return url + urlTemplate.mid(done);
}

SourceCloses ParseCsvReply(const QByteArray& body, const QString& host, const QString& symbol,
                           QDate from, QDate to) {
  const PriceTable table = ReadPriceTable(body, host, to);
  if (table.refused) {
    if (table.ask == PriceTable::Ask::Columns)
      return SourceCloses::failure(
          FetchStatus::NotFound,
          Reason{TextId::SourceUnknownSymbol,
                 {host, symbol, QString::fromUtf8(body.left(80)).trimmed()}});
    if (table.refused->id == TextId::ImportNoPrices)
      return SourceCloses::failure(FetchStatus::Nothing,
                                   Reason{TextId::SourceNoPrices, {host, symbol}});
    return SourceCloses::failure(
        FetchStatus::Failed,
        Reason{TextId::SourceUnreadable, {host, symbol}}.because(*table.refused));
  }
  SourceCloses found;
  found.closes = SourceCloses::fromDownloadLines(table.downloadLines);
  std::erase_if(found.closes,
                [&](const DailyClose& close) { return close.day < from || close.day > to; });
  if (found.closes.empty())
    return SourceCloses::failure(FetchStatus::Nothing,
                                 Reason{TextId::SourceNoPrices, {host, symbol}});
  found.status = FetchStatus::Ok;
  return found;
}

SourceCloses CsvUrlSource::closes(HttpGet& http, const QString& symbol, QDate from,
                                  const QDateTime& now) const {
  const QString url = ExpandUrlTemplate(template_, symbol, from, now.date());
  const HttpReply reply = http.get(url);
  if (std::optional<SourceCloses> failed = ReplyFailure(reply, url, symbol)) return *failed;
  return ParseCsvReply(reply.body, SourceHost(url), symbol, from, now.date());
}

}  // namespace pelmar
