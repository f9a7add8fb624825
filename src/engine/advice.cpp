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

// The nearest whole number, an exact half to the even one.
QString wholeNumber(double value) {
  // Written from the double, so that no count is too large for its text;
  // adding 0 turns a rounded -0 into 0.
  return QString::number(std::nearbyint(value) + 0.0, 'f', 0);
}

}  // namespace

bool AdviceFigures::due() const {
  const double trade = tradeAdvice;
  return (trade > kSmallest && trade >= buyShares) || (trade < kSmallest && -trade >= sellShares);
}

Advice::Advice(Portfolio& portfolio, const Language& language)
    : portfolio_(portfolio), language_(language) {}

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

QString Advice::quantityText(TextId action, double shares) const {
  return language_.text(action) + wholeNumber(shares) + QStringLiteral(" (") +
         FormatAmount(shares, 0, 4, language_) + QStringLiteral(")") +
         language_.text(TextId::AdviceUnits);
}

AdviceBox Advice::ShowAdvice(int rekIndex, int offset) {
  FundAdvice(rekIndex, offset);
  return AdviceBoxOf(rekIndex, offset);
}

AdviceBox Advice::AdviceBoxOf(int rekIndex, int offset) const {
  AdviceBox box;
  const int index = Portfolio::KoersIndexOf(rekIndex) + offset;
  if (offset < 0 || portfolio_.idAt(index) != KoersRec::Id) return box;
  const KoersRec& fund = portfolio_.koersAt(index);

  if (figures_.buyPrice > kSmallest && figures_.sellPrice > kSmallest) {
    const QString at = language_.text(TextId::AdviceAt);
    box.koopLabel = at + FormatAmount(figures_.buyPrice, 0, 4, language_) +
                    quantityText(TextId::AdviceBuy, figures_.buyShares);
    box.verkoopLabel = at + FormatAmount(figures_.sellPrice, 0, 4, language_) +
                       quantityText(TextId::AdviceSell, figures_.sellShares);
  }

  const bool due = figures_.due();
  box.adviesColour = due ? AdviceColour::Blue : AdviceColour::Red;
  const double shares = due ? figures_.tradeAdvice.value() : fund.AdviesR.value();
  const QString lead = language_.text(due ? TextId::AdviceTrade : TextId::AdviceTooSmall);
  if (rekIndex != Portfolio::kFirstRekIndex) {
    if (shares > 0.001)
      box.adviesLabel = lead + quantityText(TextId::AdviceBuy, shares);
    else if (shares < -0.001)
      box.adviesLabel = lead + quantityText(TextId::AdviceSell, -shares);
  }

  box.exhaustionHint = exhaustionHint(fund);
  return box;
}

QString Advice::exhaustionHint(const KoersRec& fund) const {
  // Falling prices, each step DownDr percent lower, with the method buying
  // at every step: where does the reserve run out? In doubles.
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
    return language_.text(fund.Aantal > kSmallest ? TextId::ExhaustionNotReached
                                                  : TextId::ExhaustionUnknown);
  return language_.text(TextId::ExhaustionAt)
      .arg(FormatAmount(price, 0, 4, language_), FormatAmount(reserve, 0, 4, language_),
           FormatAmount(shares, 0, 4, language_));
}

QString Advice::DivirOzevClick(RekeningRec* account) {
  if (account) account->DivirOzevB = !divirOzevChecked_;
  divirOzevChecked_ = !divirOzevChecked_;
  return language_.text(divirOzevChecked_ ? TextId::DivirOzevOn : TextId::DivirOzevOff);
}

QString Advice::RividuDoriClick() {
  rividuDoriChecked_ = !rividuDoriChecked_;
  return language_.text(rividuDoriChecked_ ? TextId::RividuDoriOn : TextId::RividuDoriOff);
}

}  // namespace pelmar
