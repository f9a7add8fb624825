#include "prices/price_update.h"

#include "model/conversions.h"

namespace pelmar {

namespace {

// Funds whose price the program never takes from the files: a new fund and
// a trade keep the price they were booked at, a fund entered by hand the
// price typed for it.
constexpr quint8 kOwnPrice = KoersFlag::Cumulatief | KoersFlag::BuySell | KoersFlag::FakeFund;
// A daily file more than this many working days before a dataset is old.
constexpr int kFreshWorkingDays = 5;
// How far StalePrice follows a price back through earlier datasets.
constexpr int kMostDataSetsBack = 100;

QDate dayOf(const Portfolio& portfolio, int rekIndex) {
  return serialToDate(portfolio.algAt(rekIndex - 1).Datum);
}

// The dataset before the one at rekIndex and its fund of the same name.
struct Previous {
  int rekIndex = -1;
  const KoersRec* fund = nullptr;
};
Previous previousOf(const Portfolio& portfolio, int rekIndex, const KoersRec& fund) {
  Previous previous;
  int rek = rekIndex;
  int koers = Portfolio::KoersIndexOf(rekIndex);
  if (rek <= Portfolio::kFirstRekIndex || !portfolio.PrevDataSet(rek, koers) || rek == rekIndex)
    return previous;
  previous.rekIndex = rek;
  const QString ticker = RemoveBlanks(fund.Ticker);
  for (int i = koers; i < koers + portfolio.fundCount(koers); ++i) {
    if (RemoveBlanks(portfolio.koersAt(i).Ticker).compare(ticker, Qt::CaseInsensitive) == 0) {
      previous.fund = &portfolio.koersAt(i);
      break;
    }
  }
  return previous;
}

// Stores the price when it differs as a 6-byte real; true when it did.
bool store(Real48& koers, double price) {
  if (Real48(price).value() == koers.value()) return false;
  koers = price;
  return true;
}

bool updateFund(Portfolio& portfolio, PriceStore& prices, int rekIndex, KoersRec& fund,
                std::vector<PriceReplacement>* replaced) {
  // The placeholder row holds no position and no file lists it: looking it
  // up would read six day files back for nothing.
  if (fund.Flag1 & kOwnPrice || fund.isPlaceholder()) return false;
  const QDate date = dayOf(portfolio, rekIndex);
  const Previous previous = previousOf(portfolio, rekIndex, fund);
  const PriceStore::FilePrice file = prices.GetFilePriceOn(fund.Ticker, date);
  if (file.price >= 0.0001) {
    if (PriceSetHere(fund, previous.fund)) {
      // A file of an earlier day never replaces what the user set today.
      if (file.day < date) return false;
      const double before = fund.Koers;
      if (!store(fund.Koers, file.price)) return false;
      fund.Flag1 = ClearBits(fund.Flag1, KoersFlag::PriceSet);
      if (replaced)
        replaced->push_back({TrimRightBlanks(fund.Ticker), before, file.price,
                             portfolio.algAt(rekIndex - 1).Datum, file.day});
      return true;
    }
    // A file older than the previous dataset is no newer than that
    // dataset's price, which may be the user's (a trade, a split, a typed
    // price): that price is carried on.
    if (previous.fund && previous.fund->Koers > 0.0001 &&
        file.day < dayOf(portfolio, previous.rekIndex))
      return store(fund.Koers, previous.fund->Koers);
    return store(fund.Koers, file.price);
  }
  // Only a fund without a price looks back: a price typed in by the user,
  // or kept from files that are gone, must not be replaced by an older
  // dataset's. When no earlier dataset knows the fund either, it keeps
  // what it has.
  if (fund.Koers > 0.0001) return false;
  const double earlier = PriceFromEarlierSets(portfolio, rekIndex, fund);
  return earlier >= 0 && store(fund.Koers, earlier);
}

}  // namespace

bool IsOldPriceDay(QDate day, QDate date) {
  // The day five working days before the date.
  DateTime limit = dateToSerial(date);
  for (int n = 0; n < kFreshWorkingDays; ++n) {
    do {
      limit -= 1;
    } while (IsNonWorkingDay(limit));
  }
  return day < serialToDate(limit);
}

bool PriceSetHere(const KoersRec& fund, const KoersRec* previous) {
  if (fund.Flag1 & KoersFlag::PriceSet) return true;
  // A split of a file written before the mark existed: the dataset where
  // the run of split datasets starts.
  return (fund.Flag1 & KoersFlag::Splits) && !(previous && previous->Flag1 & KoersFlag::Splits);
}

bool UpdatePricesFromFiles(Portfolio& portfolio, PriceStore& prices, int rekIndex,
                           std::vector<PriceReplacement>* replaced) {
  bool changed = false;
  const int first = Portfolio::KoersIndexOf(rekIndex);
  const int count = portfolio.fundCount(first);
  for (int i = first; i < first + count; ++i)
    changed = updateFund(portfolio, prices, rekIndex, portfolio.koersAt(i), replaced) || changed;
  return changed;
}

bool UpdateFundPrice(Portfolio& portfolio, PriceStore& prices, int rekIndex, int koersIndex,
                     std::vector<PriceReplacement>* replaced) {
  return updateFund(portfolio, prices, rekIndex, portfolio.koersAt(koersIndex), replaced);
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

std::optional<PriceAge> StalePrice(const Portfolio& portfolio, PriceStore& prices, int rekIndex,
                                   int koersIndex) {
  const KoersRec* fund = &portfolio.koersAt(koersIndex);
  if (fund->isPlaceholder() || fund->Flag1 & KoersFlag::FakeFund || fund->Koers <= 0.0001)
    return std::nullopt;
  // Follow the price back to where it was set or taken from a file.
  int rek = rekIndex;
  for (int step = 0; step < kMostDataSetsBack; ++step) {
    const bool here = rek == rekIndex;
    const Previous previous = previousOf(portfolio, rek, *fund);
    if (fund->Flag1 & (KoersFlag::Cumulatief | KoersFlag::BuySell) ||
        PriceSetHere(*fund, previous.fund)) {
      if (here) return std::nullopt;
      return PriceAge{dayOf(portfolio, rek), true};
    }
    const PriceStore::FilePrice file = prices.GetFilePriceOn(fund->Ticker, dayOf(portfolio, rek));
    if (file.price > 0 && Real48(file.price).value() == fund->Koers.value()) {
      if (!here) return PriceAge{file.day, true};
      if (IsOldPriceDay(file.day, dayOf(portfolio, rek))) return PriceAge{file.day, false};
      return std::nullopt;
    }
    if (!previous.fund || previous.fund->Koers.value() != fund->Koers.value()) return std::nullopt;
    rek = previous.rekIndex;
    fund = previous.fund;
  }
  return std::nullopt;
}

}  // namespace pelmar
