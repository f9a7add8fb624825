#pragma once

#include <QHash>
#include <QString>
#include <vector>

#include "model/portfolio.h"

namespace pelmar {

// The funds of one dataset by name. A name matches a fund when it equals
// the fund's Ticker with every blank removed, in lower case; with two funds
// of the same name the first one counts. Each name is normalised once, so
// the engine's passes over all funds of a dataset stay linear in their
// number.
class FundNameIndex {
 public:
  FundNameIndex() = default;
  // The funds of the dataset whose first fund is at koersIndex.
  FundNameIndex(const Portfolio& portfolio, int koersIndex);

  // The key a Ticker is matched by.
  static QString key(const QString& ticker);

  // The 0-based offset of the fund with that key, or -1.
  int offsetOf(const QString& key) const { return offsets_.value(key, -1); }
  // The key of the fund at a 0-based offset.
  const QString& keyAt(int offset) const { return keys_[offset]; }
  // Whether the funds at koersIndex are still the ones indexed, with the
  // same tickers in the same order: then the index can be used again.
  bool holds(const Portfolio& portfolio, int koersIndex) const;
  // Whether the funds at koersIndex, of this or another dataset, have the
  // indexed tickers in the same order: then they have the same keys and
  // offsets.
  bool holdsTickersOf(const Portfolio& portfolio, int koersIndex) const;

 private:
  int koersIndex_ = -1;
  std::vector<QString> tickers_;
  std::vector<QString> keys_;
  QHash<QString, int> offsets_;
};

}  // namespace pelmar
