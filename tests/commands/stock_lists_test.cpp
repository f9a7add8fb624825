#include "commands/stock_lists.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

// What a list window keeps of what was typed: a comma cannot split the
// file's line, tickers are upper case without blanks, and a new row needs
// both a company and a ticker.
TEST(StockRows, KeepWhatWasTypedAsTheListCanHoldIt) {
  EXPECT_EQ(StockCellText(" ING, Groep "), "ING  Groep");
  EXPECT_EQ(TypedTicker("ib m"), "IB M");
  EXPECT_EQ(NewStockRow(" Shell, plc ", "r,ds a").value_or(StockLine{}).join(), "Shell  plc,RDSA,");
  EXPECT_FALSE(NewStockRow("Apple", " , "));
  EXPECT_FALSE(NewStockRow(" ,", "AAPL"));
}

}  // namespace
}  // namespace pelmar
