#include "engine/advice.h"

#include <cmath>

#include "engine/engine_support.h"
#include "engine/fund_names.h"
#include "model/conversions.h"

namespace pelmar {

namespace {

// The exhaustion simulation gives up after this many steps.
constexpr int kExhaustionSteps = 1000;

// 1 / (1 − factor); a factor above 0.99999 counts as neutral.
long double growthOf(double factor) {
  return factor <= 0.99999 ? 1.0L / (1.0L - factor) : 1.0L;
}

}  // namespace

bool AdviceFigures::due() const {
  const double trade = tradeAdvice;
  return (trade > kSmallest && trade >= buyShares) || (trade < kSmallest && -trade >= sellShares);
}

Advice::Advice(Portfolio& portfolio) : portfolio_(portfolio) {}

bool Advice::inFirstDataSet() const {
  return rek_ == Portfolio::kFirstRekIndex;
}

int Advice::koersIndex() const {
  return Portfolio::KoersIndexOf(rek_);
}

void Advice::setGrowth(const KoersRec& fund) {
  figures_.buyGrowth = growthOf(fund.f);
  figures_.sellGrowth = growthOf(fund.v);
}

long double Advice::AdviceSharesOf(const KoersRec& fund) {
  if (inFirstDataSet()) return figures_.adviceShares = 0;
  setGrowth(fund);
  if (fund.Koers <= kSmallest || std::fabs(fund.RefWrde) >= 100000000.0)
    return figures_.adviceShares = 0;
  // The shares missing to the reference value; negative above it.
  const long double missing = ld(fund.RefWrde) / fund.Koers - fund.Aantal;
  const long double shares =
      missing > kSmallest ? figures_.buyGrowth * missing : figures_.sellGrowth * missing;
  figures_.adviceShares = shares;
  return shares;
}

void Advice::setPricesAndQuantities(const KoersRec& fund, bool rounded, bool withQuantities) {
  const auto round = [rounded](long double value) { return rounded ? Round4(value) : value; };
  if (fund.Aantal <= kSmallest) {
    figures_.buyPrice = figures_.sellPrice = figures_.buyShares = figures_.sellShares = 0;
    return;
  }
  figures_.buyPrice = round(ld(fund.RefWrde) * (1 - ld(fund.DownDr) * 0.01L) / fund.Aantal);
  figures_.sellPrice = round(ld(fund.RefWrde) * (1 + ld(fund.UpDr) * 0.01L) / fund.Aantal);
  if (withQuantities && figures_.sellPrice > 0 && figures_.buyPrice > 0) {
    figures_.buyShares = round(ld(fund.RefWrde) * (ld(figures_.buyGrowth) * fund.DownDr * 0.01L) /
                               figures_.buyPrice);
    figures_.sellShares = round(ld(fund.RefWrde) * (ld(figures_.sellGrowth) * fund.UpDr * 0.01L) /
                                figures_.sellPrice);
  } else {
    figures_.buyShares = figures_.sellShares = 0;
  }
}

AdviceFigures Advice::FundAdvice(int rekIndex, int offset) {
  setDataSet(rekIndex);
  const KoersRec* previous = nullptr;
  int rek = rek_;
  int koers = koersIndex();
  if (!inFirstDataSet() && portfolio_.PrevDataSet(rek, koers) && offset >= 0 &&
      offset < portfolio_.fundCount(koersIndex())) {
    const KoersRec& fund = portfolio_.koersAt(koersIndex() + offset);
    const int found = FundNameIndex(portfolio_, koers).offsetOf(FundNameIndex::key(fund.Ticker));
    if (found >= 0) previous = &portfolio_.koersAt(koers + found);
  }
  FundAdvice(offset, previous);
  return figures_;
}

void Advice::FundAdvice(int offset, const KoersRec* previous) {
  if (offset < 0 || offset >= portfolio_.fundCount(koersIndex())) return;
  KoersRec& fund = portfolio_.koersAt(koersIndex() + offset);

  if (fund.isPlaceholder() || fund.Koers < kSmallest || fund.Aantal < kSmallest) {
    figures_.buyPrice = figures_.sellPrice = figures_.buyShares = figures_.sellShares =
        figures_.tradeAdvice = 0;
    // A missing price says nothing about the value the holding is meant to
    // keep: shares held keep the reference value as a dataset without a
    // trade does. Without shares there is nothing to keep.
    if (fund.isPlaceholder() || fund.Aantal < kSmallest)
      fund.RefWrde = ld(fund.Aantal) * fund.Koers;
    else if (previous && !(fund.Flag1 & KoersFlag::RefWaarde))
      fund.RefWrde = previous->RefWrde;
    return;
  }

  // The start rule: the first dataset, or a fresh start of the fund.
  if (inFirstDataSet() || (fund.Flag1 & KoersFlag::Cumulatief)) {
    fund.RefWrde = ld(fund.Aantal) * fund.Koers;
    setGrowth(fund);
    setPricesAndQuantities(fund, false, true);
    figures_.adviceShares = figures_.tradeAdvice = 0;
    return;
  }

  // With two funds of one name the record at the offset is advised, so
  // each record is advised on its own.
  const bool isNew = previous == nullptr;
  if (isNew)
    fund.RefWrde = ld(fund.Aantal) * fund.Koers;
  else if (!(fund.Flag1 & KoersFlag::RefWaarde))
    fund.RefWrde = previous->RefWrde;

  figures_.adviceShares = Round4(AdviceSharesOf(fund));
  fund.AdviesR = figures_.adviceShares;
  setPricesAndQuantities(fund, true, !isNew);
  const bool due =
      figures_.adviceShares >= figures_.buyShares || figures_.adviceShares <= -figures_.sellShares;
  figures_.tradeAdvice = !isNew && due ? figures_.adviceShares.value() : 0.0;
}

void Advice::FirstDataSetAdvice(const KoersRec& fund) {
  setGrowth(fund);
  setPricesAndQuantities(fund, true, true);
  figures_.tradeAdvice = figures_.adviceShares = 0;
}

ReserveExhaustion ReserveExhaustionOf(const KoersRec& fund) {
  // The falling prices are followed in doubles.
  double shares = fund.Aantal;
  double price = fund.Koers;
  double reserve = fund.Reserve;
  const double drop = fund.DownDr;
  const double growth = static_cast<double>(growthOf(fund.f));
  int steps = 0;
  do {
    const double before = price;
    price = price * (1 - 0.01 * drop);
    shares = shares * (1 + 0.01 * growth);
    reserve = reserve - (before - price) * shares;
    ++steps;
  } while (!(reserve < 0) && steps <= kExhaustionSteps);

  // Without shares the falling prices cost nothing; with shares the reserve
  // simply lasts (no buy threshold, or a reserve too large to use up).
  if (steps > kExhaustionSteps)
    return {.kind = fund.Aantal > kSmallest ? ReserveExhaustion::Kind::NotReached
                                            : ReserveExhaustion::Kind::WithoutShares};
  return {
      .kind = ReserveExhaustion::Kind::At, .price = price, .reserve = reserve, .shares = shares};
}

void Advice::DivirOzevClick(RekeningRec* account) {
  if (account) account->DivirOzevB = !divirOzevChecked_;
  divirOzevChecked_ = !divirOzevChecked_;
}

void Advice::RividuDoriClick() {
  rividuDoriChecked_ = !rividuDoriChecked_;
}

}  // namespace pelmar
