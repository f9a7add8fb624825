#include "prices/stock_list.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "model/conversions.h"
#include "model/safe_read.h"
#include "model/safe_write.h"

namespace pelmar {

StockLine StockLine::split(const QString& line) {
  const QStringList fields = line.split(u',');
  return {fields.value(0), fields.value(1), fields.value(2)};
}

QString stockListPath(const QString& priceFolder, Market market) {
  return priceFolder + (market == Market::Dutch ? QStringLiteral("Stocks_nl.txt")
                                                : QStringLiteral("Stocks_us.txt"));
}

namespace {

bool isControl(QChar c) {
  return c.category() == QChar::Other_Control;
}

bool isLatin1(QChar c) {
  return c.unicode() < 256;
}

}  // namespace

bool IsStockLine(const QString& line) {
  const QStringList fields = line.split(u',');
  if (fields.size() > 3) return false;
  // C0 controls and DEL; the range 0x80-0x9F holds Windows-1252's letters.
  for (const QChar c : line)
    if (c.unicode() < 32 || c.unicode() == 127) return false;
  const QString ticker = fields.value(1);
  if (!ticker.trimmed().isEmpty() && !TickerFitsFiles(ticker)) return false;
  const QString date = fields.value(2);
  if (date.size() > 12) return false;
  for (const QChar c : date)
    if (!c.isDigit() && c != u'-' && c != u'/' && c != u'.' && c != u' ') return false;
  return true;
}

bool TickerFitsFiles(const QString& ticker, bool encodingOnly) {
  if (ticker.trimmed().isEmpty()) return false;
  static const QString forbidden = QStringLiteral(",/\\:*?\"<>|");
  for (const QChar c : ticker)
    if (isControl(c) || (encodingOnly && !isLatin1(c)) || forbidden.contains(c)) return false;
  return true;
}

bool NameFitsList(const QString& name) {
  for (const QChar c : name)
    if (c == u',' || c.unicode() < 32 || c.unicode() == 127 || !isLatin1(c)) return false;
  return true;
}

QStringList ParseStockList(const QByteArray& bytes, const QString& path,
                           std::optional<Reason>& refused) {
  QStringList lines;
  int number = 0;
  for (QString line : QString::fromLatin1(bytes).split(u'\n')) {
    ++number;
    if (line.endsWith(u'\r')) line.chop(1);
    if (line.trimmed().isEmpty()) continue;
    if (!IsStockLine(line)) {
      refused = Reason{TextId::StockListBadLine, {QString::number(number)}, path, number};
      return {};
    }
    lines << line;
  }
  return lines;
}

QStringList LoadStockList(const QString& path, bool* ok, std::optional<Reason>* refused) {
  const safe_read::ReadResult read = safe_read::ReadFile(path, PriceStore::kMaxFileSize);
  std::optional<Reason> why = read.refused;
  QStringList lines;
  if (read.read()) lines = ParseStockList(read.bytes, path, why);
  if (ok) *ok = !why;
  if (refused) *refused = why;
  return lines;
}

QByteArray StockListBytes(QStringList lines) {
  std::stable_sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  QByteArray bytes;
  for (const QString& line : lines) bytes += line.toLatin1() + "\r\n";
  return bytes;
}

Outcome SaveStockList(const QString& path, QStringList lines) {
  return safe_write::WriteFile(path, StockListBytes(std::move(lines)));
}

QStringList ConvertLastDates(const QStringList& lines, DateFormat from, DateFormat to) {
  QStringList converted;
  for (const QString& line : lines) {
    StockLine stock = StockLine::split(line);
    if (const std::optional<QDate> date = parseDate(stock.lastDate, from))
      stock.lastDate = formatDate(*date, to);
    converted << stock.join();
  }
  return converted;
}

Outcome WriteLastPrices(PriceStore& store, Market market, const QStringList& lines, QDate today,
                        DateFormat format) {
  const QString path = store.folder() + QStringLiteral("Last Prices.txt");
  // The file holds both markets' days: one that cannot be read is not
  // rewritten, or the other market's day would be lost.
  if (const safe_read::ReadResult read = safe_read::ReadFile(path, PriceStore::kMaxLastPricesFile);
      read.refused)
    return Outcome::failed(Reason{TextId::WriteSourceUnreadable, {path}}.because(*read.refused));
  LatestPriceDays days = store.latestPriceDays();
  double sum = 0;
  int count = 0;
  for (const QString& line : lines) {
    const StockLine stock = StockLine::split(line);
    if (RemoveBlanks(stock.lastDate).isEmpty()) continue;
    if (market == Market::Dutch &&
        QStringList({"AEX-index", "Euro/Dollar", "Dollar/Euro"}).contains(stock.name))
      continue;
    const std::optional<QDate> date = parseDate(stock.lastDate, format);
    if (!date || date->daysTo(today) >= 10) continue;
    sum += dateToSerial(*date);
    ++count;
  }
  if (count > 0) (market == Market::Dutch ? days.dutch : days.us) = std::llround(sum / count);
  const QByteArray text = "LatestPrice_nl: " + QByteArray::number(days.dutch) +
                          "\r\nLatestPrice_us: " + QByteArray::number(days.us) + "\r\n";
  return safe_write::WriteFile(path, text);
}

}  // namespace pelmar
