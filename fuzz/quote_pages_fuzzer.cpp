// The live-quote pages and the symbol-lookup page: whatever the page, a
// rate or a quote is a finite number, or the failure says why.
#include <cmath>

#include "input_readers_fuzzer.h"
#include "prices/price_replies.h"
#include "prices/quote_pages.h"

using namespace pelmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray page = fuzz::bytesOf(data, size);
  const DollarRate rate = ParseDollarRatePage(page);
  if (rate.ok()) fuzz::require(std::isfinite(rate.rate) && std::isfinite(rate.unrounded));
  static const Language dutch(Language::Code::Dutch, QLocale::c());
  const AexQuote quote = ParseAexPage(page, dutch);
  if (quote.ok())
    fuzz::require(std::isfinite(quote.value));
  else
    fuzz::require(quote.value == 0);
  const LookupResult found = ParseLookupPage(fuzz::pageText(page));
  if (found.count != 1) fuzz::require(found.ticker.isEmpty());
  return 0;
}
