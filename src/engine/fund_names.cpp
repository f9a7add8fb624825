#include "engine/fund_names.h"

#include "model/conversions.h"

namespace pelmar {

FundNameIndex::FundNameIndex(const Portfolio& portfolio, int koersIndex) {
  const int count = portfolio.fundCount(koersIndex);
  offsets_.reserve(count);
  for (int offset = 0; offset < count; ++offset) {
    const QString name = key(portfolio.koersAt(koersIndex + offset).Ticker);
    if (!offsets_.contains(name)) offsets_.insert(name, offset);
  }
}

QString FundNameIndex::key(const QString& ticker) {
  return RemoveBlanks(ticker).toLower();
}

}  // namespace pelmar
