#pragma once

#include <QString>
#include <array>

#include "lang/language.h"

namespace pelmar {

// The recent history of the automatic dollar or AEX quote: a ring of 18
// values shared by both quotes, and the marks drawn from it.
class QuoteHistory {
 public:
  static constexpr int kSize = 18;
  enum class Mark { Level, Up, Down };

  // Steps 1 to 3 of a dollar tick for the selected fund's ticker; returns
  // the rate as shown (inverted for the euro/dollar tickers). Only a tick of
  // the dollar timer itself adds the rate to the ring.
  double dollarQuote(const QString& ticker, double rate, bool fromDollarTimer);
  // An AEX tick always adds the value.
  void aexQuote(double value);

  // The 17 changes from oldest to newest.
  std::array<Mark, kSize - 1> marks() const;
  const std::array<double, kSize>& values() const { return ring_; }
  int position() const { return position_; }

 private:
  void fillOnReset(double value);
  void add(double value);

  std::array<double, kSize> ring_{};
  int position_ = 0;
  bool reset_ = true;
  // 1: the values are dollars in euros (the fetched rate), 0: euros in
  // dollars. The fetched rate is the dollar in euros, so 1 is the start.
  int ringDirection_ = 1;
  int shownDirection_ = 1;
};

// TijdLabel of a dollar tick: the time stamp, or "No Date" when it has
// fewer than 14 characters.
QString DollarTimeText(const Language& language, const QString& timeStamp);
// TijdLabel of an AEX tick and whether it is drawn red (a falling index).
struct AexTimeText {
  QString text;
  bool falling = false;
};
AexTimeText AexQuoteText(const Language& language, double value, const QString& change,
                         const QString& percent, const QString& time);

}  // namespace pelmar
