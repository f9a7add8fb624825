#include "commands/quote_history.h"

#include "model/conversions.h"

namespace pelmar {

namespace {

double reciprocal(double value) {
  return value > 0 ? 1.0 / value : 0.0;
}

}  // namespace

void QuoteHistory::fillOnReset(double value) {
  if (!reset_) return;
  ring_.fill(value);
  position_ = 0;
  reset_ = false;
}

void QuoteHistory::add(double value) {
  ring_[position_] = value;
  position_ = (position_ + 1) % kSize;
}

double QuoteHistory::dollarQuote(const QString& ticker, double rate, bool fromDollarTimer) {
  const QString name = RemoveBlanks(ticker);
  const auto is = [&](const char* a, const char* b) {
    return name.compare(QLatin1String(a), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
  };
  if (is("eur.dol", "EURUSD=X")) {
    shownDirection_ = 0;
    rate = reciprocal(rate);
  } else if (is("dol.eur", "USDEUR=X")) {
    shownDirection_ = 1;
  }
  if (reset_) ringDirection_ = shownDirection_;
  fillOnReset(rate);
  if (ringDirection_ != shownDirection_) {
    for (double& value : ring_) value = reciprocal(value);
    ringDirection_ = shownDirection_;
  }
  if (fromDollarTimer) add(rate);
  return rate;
}

void QuoteHistory::aexQuote(double value) {
  fillOnReset(value);
  add(value);
}

std::array<QuoteHistory::Mark, QuoteHistory::kSize - 1> QuoteHistory::marks() const {
  std::array<Mark, kSize - 1> marks{};
  for (int i = 1; i < kSize; ++i) {
    const long double newer = Round4(ring_[(position_ + i) % kSize]);
    const long double older = Round4(ring_[(position_ + i - 1) % kSize]);
    marks[i - 1] = newer == older ? Mark::Level : newer > older ? Mark::Up : Mark::Down;
  }
  return marks;
}

QString DollarTimeText(const Language& language, const QString& timeStamp) {
  return timeStamp.size() >= 14 ? timeStamp : language.text(TextId::NoDate);
}

AexTimeText AexQuoteText(const Language& language, double value, const QString& change,
                         const QString& percent, const QString& time) {
  return {RealToStr(value, 4, 2, language) + QChar(' ') + change + QChar(' ') + percent +
              QChar(' ') + time,
          change.startsWith(QChar('-'))};
}

}  // namespace pelmar
