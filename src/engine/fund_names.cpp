#include "engine/fund_names.h"

#include "model/conversions.h"

namespace pelmar {

FundNameIndex::FundNameIndex(const Portfolio& portfolio, int koersIndex) : koersIndex_(koersIndex) {
  const int count = portfolio.fundCount(koersIndex);
  tickers_.reserve(count);
  keys_.reserve(count);
  offsets_.reserve(count);
  for (int offset = 0; offset < count; ++offset) {
    const QString& ticker = portfolio.koersAt(koersIndex + offset).Ticker.str();
    tickers_.push_back(ticker);
    keys_.push_back(key(ticker));
    if (!offsets_.contains(keys_.back())) offsets_.insert(keys_.back(), offset);
  }
}

QString FundNameIndex::key(const QString& ticker) {
  return RemoveBlanks(ticker).toLower();
}

bool FundNameIndex::holds(const Portfolio& portfolio, int koersIndex) const {
  return koersIndex == koersIndex_ && holdsTickersOf(portfolio, koersIndex);
}

bool FundNameIndex::holdsTickersOf(const Portfolio& portfolio, int koersIndex) const {
  if (portfolio.fundCount(koersIndex) != int(tickers_.size())) return false;
  for (std::size_t offset = 0; offset < tickers_.size(); ++offset) {
    if (portfolio.koersAt(koersIndex + int(offset)).Ticker.str() != tickers_[offset]) return false;
  }
  return true;
}

}  // namespace pelmar
