#include "prices/price_import.h"

#include <QRegularExpression>
#include <map>

#include "model/conversions.h"
#include "prices/price_replies.h"

namespace pelmar {

namespace {

// The fields of one row, quotes removed. Inside quotes the separator is
// part of the field ("12,34" in a comma-separated file).
QStringList fieldsOf(const QString& line, QChar separator, bool* open = nullptr) {
  QStringList fields{QString()};
  bool quoted = false;
  for (const QChar c : line) {
    if (c == u'"') {
      quoted = !quoted;
    } else if (c == separator && !quoted) {
      fields << QString();
    } else {
      fields.last() += c;
    }
  }
  for (QString& field : fields) field = field.trimmed();
  if (open) *open = quoted;
  return fields;
}

std::optional<QDate> readDate(const QString& text) {
  static const QRegularExpression iso(QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})$"));
  static const QRegularExpression dmy(QStringLiteral("^(\\d{1,2})[-/.](\\d{1,2})[-/.](\\d{4})$"));
  QRegularExpressionMatch match = iso.match(text);
  QDate date;
  if (match.hasMatch()) {
    date = QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
  } else if ((match = dmy.match(text)).hasMatch()) {
    date = QDate(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt());
  }
  if (!date.isValid()) return std::nullopt;
  return date;
}

// A price with either decimal separator; when both appear, the last one is
// the decimal separator and the other groups thousands.
std::optional<QString> readPrice(QString text) {
  const qsizetype point = text.lastIndexOf(u'.');
  const qsizetype comma = text.lastIndexOf(u',');
  if (point >= 0 && comma >= 0) text.remove(point < comma ? u'.' : u',');
  text.replace(u',', u'.');
  static const QRegularExpression shape(QStringLiteral("^\\d{1,9}(\\.\\d{1,8})?$"));
  if (!shape.match(text).hasMatch() || text.toDouble() <= 0.0001) return std::nullopt;
  return text;
}

}  // namespace

ImportedPrices ParsePriceCsv(const QByteArray& bytes, const QString& fileName, QDate today) {
  ImportedPrices result;
  const auto refuse = [&](TextId id, int line, QStringList args = {}) {
    result.downloadLines.clear();
    args.prepend(QString::number(line));
    result.refused = Reason{id, std::move(args), fileName, line};
    return result;
  };
  QStringList lines = QString::fromUtf8(bytes).split(QRegularExpression("\\r\\n|\\r|\\n"));
  if (!lines.isEmpty() && lines[0].startsWith(QChar(0xFEFF))) lines[0].remove(0, 1);
  const QString heading = lines.value(0);
  const QChar separator = heading.count(u';') > heading.count(u',') ? u';' : u',';
  const QStringList columns = fieldsOf(heading, separator);
  const auto column = [&](const QString& name) {
    for (qsizetype i = 0; i < columns.size(); ++i)
      if (columns[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return qsizetype(-1);
  };
  const qsizetype dateColumn = column(QStringLiteral("Date"));
  const qsizetype closeColumn = column(QStringLiteral("Close"));
  if (dateColumn < 0 || closeColumn < 0) return refuse(TextId::ImportNoColumns, 1);

  std::map<QDate, QString> prices;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const int lineNumber = static_cast<int>(i + 1);
    if (lines[i].trimmed().isEmpty()) continue;
    bool open = false;
    const QStringList fields = fieldsOf(lines[i], separator, &open);
    if (open) return refuse(TextId::ImportOpenQuote, lineNumber);
    // A row is read whole or not at all: "2026-01-05,10,5" under
    // "Date,Close" is no close of 10.
    if (fields.size() != columns.size()) {
      return refuse(TextId::ImportFieldCount, lineNumber,
                    {QString::number(fields.size()), QString::number(columns.size())});
    }
    const QString close = fields.value(closeColumn);
    const std::optional<QDate> date = readDate(fields.value(dateColumn));
    if (!date) return refuse(TextId::ImportBadDate, lineNumber, {fields.value(dateColumn)});
    if (!DayFitsFiles(*date, today))
      return refuse(TextId::DateOutsideFiles, lineNumber, {fields.value(dateColumn)});
    const auto noValue = [](const QString& field) {
      return field.isEmpty() || field.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0;
    };
    if (noValue(close)) {
      // A day without a price has no values at all; a row with values but
      // no close was cut short.
      for (qsizetype f = 0; f < fields.size(); ++f)
        if (f != dateColumn && !noValue(fields[f]))
          return refuse(TextId::ImportBadPrice, lineNumber, {close});
      continue;
    }
    const std::optional<QString> price = readPrice(close);
    if (!price) return refuse(TextId::ImportBadPrice, lineNumber, {close});
    if (!prices.emplace(*date, *price).second)
      return refuse(TextId::ImportTwice, lineNumber, {fields.value(dateColumn)});
  }
  if (prices.empty()) return refuse(TextId::ImportNoPrices, static_cast<int>(lines.size()));
  for (const auto& [date, price] : prices) {
    result.downloadLines << TwoDigits(date.year() % 100) + TwoDigits(date.month()) +
                                TwoDigits(date.day()) + u',' + price;
  }
  result.newest = prices.rbegin()->first;
  return result;
}

}  // namespace pelmar
