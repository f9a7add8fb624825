#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>

#include "lang/outcome.h"
#include "prices/http_get.h"
#include "prices/price_store.h"

namespace pelmar {

// The live quotes: the euro/dollar rate from the currency-rate page and the
// AEX index from the index-quote page. The parsers are pure; the fetchers
// take the page through an HttpGet and may run on any thread.

// A number as a quote page writes it: either decimal separator; when both
// occur the later one is the decimal separator and the other groups
// thousands, as does a separator that occurs more than once. Blanks and a
// typographic minus are allowed. Nothing when it is no finite number.
std::optional<double> QuoteNumber(const QString& text);

// Why a dollar page gave no rate.
enum class DollarPageFailure {
  None,
  NoReply,   // nothing came (−1 of old)
  TooShort,  // "Default.htm" or under 50 characters (−2)
  NoMark,    // no "ratesC1Value" with a ">" after it (−3)
  NoNumber,  // the text after the mark is no number
};

struct DollarRate {
  double rate = 0;       // rounded to four decimals
  double unrounded = 0;  // as the page wrote it
  DollarPageFailure failure = DollarPageFailure::NoReply;
  bool ok() const { return failure == DollarPageFailure::None; }
};

// Only the start of the currency-rate page is read: the rate stands near
// its top, and a page of noise costs nothing.
inline constexpr qsizetype kDollarPageBytes = 10240;

// The rate: from the first ">" after "ratesC1Value" up to the next "<".
DollarRate ParseDollarRatePage(const QByteArray& page);

// The AEX quote and its texts. On a failure `value` is 0, `lastText` is
// "*******", the time is empty and `failure` says why.
struct AexQuote {
  double value = 0;
  QString lastText;
  QString change;   // rounded to two decimals, the language's separator
  QString percent;  // as the page wrote it
  QString time;
  std::optional<Reason> failure;
  bool ok() const { return !failure; }
};

// A page under this size is no quote page.
inline constexpr qsizetype kAexPageMinimum = 1000;

// Reads, each step after the one before: `"last_last"`, ">", the value up to
// "<"; `dir="ltr">` and the change; `dir="ltr">` and the per-cent change;
// `time">` and the time.
AexQuote ParseAexPage(const QByteArray& page, const Language& language);

// The AEX page under the index-quote page's base address.
QString AexPageUrl(const QString& base);

// A short request to the host of a quote page: true when the host answered
// at all (any HTTP status). The tick ends quietly when it did not.
bool ConnectionTest(HttpGet& http, const QString& pageUrl);

// FetchDollarRate: the currency-rate page, two attempts while nothing came.
DollarRate FetchDollarRate(HttpGet& http, const QString& pageUrl);
// FetchAEX: the AEX page, three attempts while nothing came; when nothing
// came at all the failure names the server.
AexQuote FetchAEX(HttpGet& http, const QString& base, const Language& language);

// WriteDollarToPriceFile: the four currency lines of the rate into the
// daily price file of `today` ("Dollar/Euro", "USD/EUR" with the rate,
// "Euro/Dollar", "EUR/USD" with its inverse, four decimals with a point).
// While a download has the store's batch open the lines join that batch
// (its flush writes them, and reports a failure); otherwise they are one
// batch of their own under the price folder's lock, waiting at most
// kQuoteLockWait for another program's. False when a line could not be
// written (or put into the open batch).
bool WriteDollarToPriceFile(PriceStore& store, double rate, QDate today);

// The four currency lines of a rate (euros per dollar) into the daily file of
// `day` through the store, as one more stock each; false when a line could
// not be put in.
bool StoreDollarLines(PriceStore& store, double rate, QDate day);

}  // namespace pelmar
