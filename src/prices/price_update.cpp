#include "prices/price_update.h"

#include <QHash>

#include "model/conversions.h"

namespace pelmar {

namespace {

// Funds whose price the program never takes from the files: a new fund and
// a trade keep the price they were booked at, a fund entered by hand the
// price typed for it, and a price the user set after the dataset's day is
// newer than every file the dataset can find.
constexpr quint8 kOwnPrice =
    KoersFlag::Cumulatief | KoersFlag::BuySell | KoersFlag::FakeFund | KoersFlag::PriceKept;
// A daily file more than this many working days before a dataset is old.
constexpr int kFreshWorkingDays = 5;
// How far StalePrice follows a price back through earlier datasets.
constexpr int kMostDataSetsBack = 100;

QDate dayOf(const Portfolio& portfolio, int rekIndex) {
  return serialToDate(portfolio.algAt(rekIndex - 1).Datum);
}

// The first fund of the dataset at koersIndex whose ticker without blanks is
// `name` (case ignored), or null.
const KoersRec* fundNamed(const Portfolio& portfolio, int koersIndex, const QString& name) {
  for (int i = koersIndex; i < koersIndex + portfolio.fundCount(koersIndex); ++i)
    if (RemoveBlanks(portfolio.koersAt(i).Ticker).compare(name, Qt::CaseInsensitive) == 0)
      return &portfolio.koersAt(i);
  return nullptr;
}

// The dataset before the one at rekIndex, with its funds by name (blanks
// removed, lower case), looked up once for all funds of the dataset.
class PreviousDataSet {
 public:
  PreviousDataSet(const Portfolio& portfolio, int rekIndex) : portfolio_(portfolio) {
    int rek = rekIndex;
    int koers = Portfolio::KoersIndexOf(rekIndex);
    if (rek <= Portfolio::kFirstRekIndex || !portfolio.PrevDataSet(rek, koers) || rek == rekIndex)
      return;
    rekIndex_ = rek;
    for (int i = koers + portfolio.fundCount(koers) - 1; i >= koers; --i)
      funds_.insert(RemoveBlanks(portfolio.koersAt(i).Ticker).toLower(), i);
  }
  // The first account of that dataset; -1 when there is none.
  int rekIndex() const { return rekIndex_; }
  // The fund of that dataset named as `fund` (the first of two of one
  // name), or null.
  const KoersRec* fundLike(const KoersRec& fund) const {
    const int index = funds_.value(RemoveBlanks(fund.Ticker).toLower(), -1);
    return index < 0 ? nullptr : &portfolio_.koersAt(index);
  }

 private:
  const Portfolio& portfolio_;
  int rekIndex_ = -1;
  QHash<QString, int> funds_;
};

// Stores the price when it differs as a 6-byte real; true when it did.
bool store(Real48& koers, double price) {
  if (Real48(price).value() == koers.value()) return false;
  koers = price;
  return true;
}

bool updateFund(Portfolio& portfolio, PriceStore& prices, int rekIndex,
                const PreviousDataSet& before, KoersRec& fund,
                std::vector<PriceReplacement>* replaced) {
  // The placeholder row holds no position and no file lists it: looking it
  // up would read six day files back for nothing.
  if (fund.Flag1 & kOwnPrice || fund.isPlaceholder()) return false;
  const QDate date = dayOf(portfolio, rekIndex);
  const KoersRec* previous = before.fundLike(fund);
  const PriceStore::FilePrice file = prices.GetFilePriceOn(fund.Ticker, date);
  if (file.price >= 0.0001) {
    if (PriceSetHere(fund, previous)) {
      // A file of an earlier day never replaces what the user set there.
      if (file.day < date) return false;
      const double oldPrice = fund.Koers;
      if (!store(fund.Koers, file.price)) return false;
      fund.Flag1 = ClearBits(fund.Flag1, KoersFlag::PriceSet);
      if (replaced)
        replaced->push_back({TrimRightBlanks(fund.Ticker), oldPrice, file.price,
                             portfolio.algAt(rekIndex - 1).Datum, file.day});
      return true;
    }
    // A file older than the previous dataset is no newer than that
    // dataset's price, which may be the user's (a trade, a split, a typed
    // price): that price is carried on.
    if (previous && previous->Koers > 0.0001 && file.day < dayOf(portfolio, before.rekIndex()))
      return store(fund.Koers, previous->Koers);
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

quint8 UserPriceMark(DateTime dataSetDate, QDate today) {
  return serialToDate(dataSetDate) < today ? KoersFlag::PriceKept : KoersFlag::PriceSet;
}

bool PriceSetHere(const KoersRec& fund, const KoersRec* previous) {
  if (fund.Flag1 & (KoersFlag::PriceSet | KoersFlag::PriceKept)) return true;
  // A split of a file written before the mark existed: the dataset where
  // the run of split datasets starts.
  return (fund.Flag1 & KoersFlag::Splits) && !(previous && previous->Flag1 & KoersFlag::Splits);
}

bool UpdatePricesFromFiles(Portfolio& portfolio, PriceStore& prices, int rekIndex,
                           std::vector<PriceReplacement>* replaced) {
  bool changed = false;
  const int first = Portfolio::KoersIndexOf(rekIndex);
  const int count = portfolio.fundCount(first);
  const PreviousDataSet before(portfolio, rekIndex);
  for (int i = first; i < first + count; ++i)
    changed =
        updateFund(portfolio, prices, rekIndex, before, portfolio.koersAt(i), replaced) || changed;
  return changed;
}

bool UpdateFundPrice(Portfolio& portfolio, PriceStore& prices, int rekIndex, int koersIndex,
                     std::vector<PriceReplacement>* replaced) {
  return updateFund(portfolio, prices, rekIndex, PreviousDataSet(portfolio, rekIndex),
                    portfolio.koersAt(koersIndex), replaced);
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
    if (const KoersRec* earlier = fundNamed(portfolio, koers, ticker)) price = earlier->Koers;
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
    // One fund is followed: its previous fund is searched for, not indexed.
    int previousRek = rek;
    int previousKoers = Portfolio::KoersIndexOf(rek);
    const bool hasPrevious = rek > Portfolio::kFirstRekIndex &&
                             portfolio.PrevDataSet(previousRek, previousKoers) &&
                             previousRek != rek;
    const KoersRec* previous =
        hasPrevious ? fundNamed(portfolio, previousKoers, RemoveBlanks(fund->Ticker)) : nullptr;
    if (fund->Flag1 & (KoersFlag::Cumulatief | KoersFlag::BuySell) ||
        PriceSetHere(*fund, previous)) {
      if (here) return std::nullopt;
      return PriceAge{dayOf(portfolio, rek), true};
    }
    const PriceStore::FilePrice file = prices.GetFilePriceOn(fund->Ticker, dayOf(portfolio, rek));
    if (file.price > 0 && Real48(file.price).value() == fund->Koers.value()) {
      if (!here) return PriceAge{file.day, true};
      if (IsOldPriceDay(file.day, dayOf(portfolio, rek))) return PriceAge{file.day, false};
      return std::nullopt;
    }
    if (!previous || previous->Koers.value() != fund->Koers.value()) return std::nullopt;
    rek = previousRek;
    fund = previous;
  }
  return std::nullopt;
}

}  // namespace pelmar
