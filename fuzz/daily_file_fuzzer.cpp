// A daily price file's text: every line with a ticker gives a lower-case
// ticker and a finite price.
#include <cmath>

#include "input_readers_fuzzer.h"
#include "prices/price_store.h"

using namespace pelmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  qsizetype lines = 0;
  PriceStore::ParseDayFile(bytes, [&](std::string_view ticker, double price) {
    ++lines;
    fuzz::require(std::isfinite(price));
    for (const char c : ticker) fuzz::require(!(c >= 'A' && c <= 'Z'));
  });
  fuzz::require(lines <= bytes.count(',') / 2);
  return 0;
}
