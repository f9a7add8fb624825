#include "prices/stock_list.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "model/conversions.h"
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

QStringList LoadStockList(const QString& path, bool* ok) {
  QFile file(path);
  QStringList lines;
  const bool exists = file.exists();
  // A list holds a line per stock: anything past 16 MB is no stock list.
  const bool read =
      exists && file.open(QIODevice::ReadOnly) && file.size() <= PriceStore::kMaxFileSize;
  if (ok) *ok = !exists || read;
  if (!read) return lines;
  for (QString line : QString::fromLatin1(file.readAll()).split(u'\n')) {
    if (line.endsWith(u'\r')) line.chop(1);
    if (!line.trimmed().isEmpty()) lines << line;
  }
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
  if (const QFileInfo info(path); info.exists() || info.isSymLink()) {
    QFile file(path);
    if (!info.isFile() || info.size() > 4096 || !file.open(QIODevice::ReadOnly))
      return Outcome::failed(Reason{TextId::WriteSourceUnreadable, {path}});
  }
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
