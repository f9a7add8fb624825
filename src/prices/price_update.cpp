#include "prices/price_update.h"

#include "model/conversions.h"

namespace pelmar {

bool UpdatePricesFromFiles(Portfolio& portfolio, PriceStore& prices, int rekIndex) {
  bool changed = false;
  // Compared as stored: a file price of 160.59 is the stored
  // 160.59000000008382, which is no change.
  const auto store = [&changed](Real48& koers, double price) {
    if (Real48(price).value() == koers.value()) return;
    koers = price;
    changed = true;
  };
  const QDate date = serialToDate(portfolio.algAt(rekIndex - 1).Datum);
  const int first = Portfolio::KoersIndexOf(rekIndex);
  const int count = portfolio.fundCount(first);
  for (int i = first; i < first + count; ++i) {
    KoersRec& fund = portfolio.koersAt(i);
    // The placeholder row holds no position and no file lists it: looking
    // it up would read six day files back for nothing. A fund entered by
    // hand keeps the price typed for it, whatever a file of its name says.
    constexpr quint8 ownPrice = KoersFlag::Cumulatief | KoersFlag::BuySell | KoersFlag::FakeFund;
    if (fund.Flag1 & ownPrice || fund.isPlaceholder()) continue;
    const double price = prices.GetFilePrice(fund.Ticker, date);
    if (price >= 0.0001) {
      store(fund.Koers, price);
    } else if (fund.Koers <= 0.0001) {
      // Only a fund without a price looks back: a price typed in by the
      // user, or kept from files that are gone, must not be replaced by an
      // older dataset's. When no earlier dataset knows the fund either, it
      // keeps what it has.
      const double earlier = PriceFromEarlierSets(portfolio, rekIndex, fund);
      if (earlier >= 0) store(fund.Koers, earlier);
    }
  }
  return changed;
}

double PriceFromEarlierSets(const Portfolio& portfolio, int rekIndex, const KoersRec& fund) {
  // Local indices: the current dataset stays as it is.
  int rek = rekIndex;
  int koers = Portfolio::KoersIndexOf(rekIndex);
  if (rek <= Portfolio::kFirstRekIndex) return PriceStore::kNotFound;
  const QString ticker = RemoveBlanks(fund.Ticker);
  double price = PriceStore::kNotFound;
  for (int step = 0; step < 3 && price <= 0.0001; ++step) {
    if (!portfolio.PrevDataSet(rek, koers)) break;
    const int count = portfolio.fundCount(koers);
    for (int i = koers; i < koers + count; ++i) {
      const KoersRec& earlier = portfolio.koersAt(i);
      if (RemoveBlanks(earlier.Ticker).compare(ticker, Qt::CaseInsensitive) == 0) {
        price = earlier.Koers;
        break;
      }
    }
  }
  return price;
}

}  // namespace pelmar
