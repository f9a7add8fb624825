#pragma once

#include <QString>
#include <map>
#include <optional>

#include "lang/outcome.h"
#include "prices/stock_list.h"

namespace pelmar {

// The source a stock of a list is fetched from when it is not the list's
// own, and the symbol the source knows it by when that is not its ticker
// ("ASML.AS" for "ASML"). Kept beside the stock list in a file of its own
// ("Sources_nl.txt", "Sources_us.txt": one line "Ticker,Source,Symbol" per
// stock, CR LF, sorted), so the lists keep their three fields.
struct StockSource {
  QString source;  // a source name (price_source.h); empty: the list's source
  QString symbol;  // empty: the ticker
  bool operator==(const StockSource&) const = default;
};

class SourceMap {
 public:
  // The stock's own source and symbol; empty fields where it has none.
  StockSource of(const QString& ticker) const;
  // Sets them; a stock with neither is taken out.
  void set(const QString& ticker, StockSource source);
  // The source name and symbol to fetch the stock with, given the list's source.
  QString sourceOf(const QString& ticker, const QString& listSource) const;
  QString symbolOf(const QString& ticker) const;

  bool isEmpty() const { return stocks_.empty(); }
  const std::map<QString, std::pair<QString, StockSource>>& stocks() const { return stocks_; }

 private:
  // By ticker in lower case: the ticker as written, and its source.
  std::map<QString, std::pair<QString, StockSource>> stocks_;
};

QString sourceMapPath(const QString& priceFolder, Market market);

// Reads a mapping file; no file is an empty map. A line naming an unknown
// source, or a file that cannot be read, is refused with its line.
struct LoadedSourceMap {
  SourceMap map;
  std::optional<Reason> refused;
};
LoadedSourceMap LoadSourceMap(const QString& path);

// Writes the map through the safe write path; an empty map with no file
// writes nothing.
Outcome SaveSourceMap(const QString& path, const SourceMap& map);

}  // namespace pelmar
