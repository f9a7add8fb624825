#include "prices/source_map.h"

#include <QFile>
#include <QFileInfo>

#include "model/safe_write.h"
#include "prices/price_source.h"

namespace pelmar {

StockSource SourceMap::of(const QString& ticker) const {
  const auto it = stocks_.find(ticker.trimmed().toLower());
  return it == stocks_.end() ? StockSource{} : it->second.second;
}

void SourceMap::set(const QString& ticker, StockSource source) {
  source.source = source.source.trimmed();
  source.symbol = source.symbol.trimmed();
  const QString key = ticker.trimmed().toLower();
  if (source.source.isEmpty() && source.symbol.isEmpty())
    stocks_.erase(key);
  else
    stocks_[key] = {ticker.trimmed(), std::move(source)};
}

QString SourceMap::sourceOf(const QString& ticker, const QString& listSource) const {
  const QString own = of(ticker).source;
  return own.isEmpty() ? listSource : own;
}

QString SourceMap::symbolOf(const QString& ticker) const {
  const QString own = of(ticker).symbol;
  return own.isEmpty() ? ticker.trimmed() : own;
}

QString sourceMapPath(const QString& priceFolder, Market market) {
  return priceFolder + (market == Market::Dutch ? QStringLiteral("Sources_nl.txt")
                                                : QStringLiteral("Sources_us.txt"));
}

LoadedSourceMap LoadSourceMap(const QString& path) {
  LoadedSourceMap loaded;
  const auto refuse = [&](int line, Reason why) {
    loaded.map = {};
    loaded.refused = Reason{TextId::SourceMapUnreadable, {path}, path, line}.because(why);
    return loaded;
  };
  if (!QFileInfo::exists(path)) return loaded;
  QFile file(path);
  if (!QFileInfo(path).isFile() || file.size() > PriceStore::kMaxFileSize ||
      !file.open(QIODevice::ReadOnly))
    return refuse(0, Reason{TextId::ImportUnreadable, {path}});
  const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QString line = lines[i];
    if (line.endsWith(u'\r')) line.chop(1);
    if (line.trimmed().isEmpty()) continue;
    const QStringList fields = line.split(u',');
    const QString source = fields.value(1).trimmed();
    const std::optional<QString> known = PriceSourceId(source);
    const int number = static_cast<int>(i + 1);
    if (fields.size() > 3 || fields.value(0).trimmed().isEmpty() || (!source.isEmpty() && !known))
      return refuse(number, Reason{TextId::SourceMapBadLine, {QString::number(number), source}});
    loaded.map.set(fields.value(0), {known.value_or(QString()), fields.value(2)});
  }
  return loaded;
}

Outcome SaveSourceMap(const QString& path, const SourceMap& map) {
  if (map.isEmpty() && !QFileInfo::exists(path)) return Outcome::done();
  QByteArray bytes;
  for (const auto& [key, stock] : map.stocks())
    bytes +=
        (stock.first + u',' + stock.second.source + u',' + stock.second.symbol).toLatin1() + "\r\n";
  return safe_write::WriteFile(path, bytes);
}

}  // namespace pelmar
