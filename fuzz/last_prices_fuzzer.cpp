// "Last Prices.txt": two days, each a day serial of the files' years or 0.
#include "input_readers_fuzzer.h"
#include "prices/price_store.h"

using namespace pelmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const LatestPriceDays days = PriceStore::ParseLastPrices(fuzz::bytesOf(data, size));
  fuzz::require(days.dutch >= 0 && days.dutch < 110000);
  fuzz::require(days.us >= 0 && days.us < 110000);
  return 0;
}
