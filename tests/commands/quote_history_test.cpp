#include "commands/quote_history.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pelmar {
namespace {

using Mark = QuoteHistory::Mark;

TEST(QuoteHistory, FirstQuoteFillsTheRingAndOnlyTimerTicksAddToIt) {
  QuoteHistory history;
  EXPECT_DOUBLE_EQ(history.dollarQuote("ALPHA", 0.9, false), 0.9);
  history.dollarQuote("ALPHA", 0.95, false);  // the button: redraw only
  for (Mark mark : history.marks()) EXPECT_EQ(mark, Mark::Level);

  history.dollarQuote("ALPHA", 0.95, true);
  history.dollarQuote("ALPHA", 0.92, true);
  EXPECT_EQ(history.marks()[14], Mark::Level);
  EXPECT_EQ(history.marks()[15], Mark::Up);
  EXPECT_EQ(history.marks()[16], Mark::Down);
  EXPECT_EQ(history.position(), 2);
}

TEST(QuoteHistory, SwitchingTheRateDirectionInvertsTheRingOnce) {
  QuoteHistory history;
  history.dollarQuote("dol.eur", 0.8, true);
  history.dollarQuote("dol.eur", 0.5, true);
  EXPECT_EQ(history.marks().back(), Mark::Down);

  EXPECT_DOUBLE_EQ(history.dollarQuote("eur.dol", 0.5, false), 2.0);
  EXPECT_DOUBLE_EQ(history.values()[0], 1.25);
  EXPECT_DOUBLE_EQ(history.values()[1], 2.0);
  EXPECT_EQ(history.marks().back(), Mark::Up);
  history.dollarQuote("EURUSD=X", 0.5, false);
  EXPECT_DOUBLE_EQ(history.values()[0], 1.25);

  // A rate of 0 never turns into an infinite value.
  history.dollarQuote("eur.dol", 0, true);
  for (double value : history.values()) EXPECT_TRUE(std::isfinite(value));
}

TEST(QuoteHistory, AexTicksAlwaysAddAndTheTextShowsTheChange) {
  QuoteHistory history;
  history.aexQuote(700);
  history.aexQuote(701);
  EXPECT_EQ(history.position(), 2);

  const Language dutch(Language::Code::Dutch);
  const AexTimeText down = AexQuoteText(dutch, 701.256, "-1,2", "-0,17%", "17:35");
  EXPECT_EQ(down.text, "701,26 -1,2 -0,17% 17:35");
  EXPECT_TRUE(down.falling);
  EXPECT_EQ(DollarTimeText(dutch, "2023-02-02 17:3"), "2023-02-02 17:3");
  EXPECT_EQ(DollarTimeText(dutch, "2023-02-02"), "Geen Datum");
}

}  // namespace
}  // namespace pelmar
