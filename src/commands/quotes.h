#pragma once

#include <QString>

#include "commands/session.h"
#include "prices/http_get.h"
#include "prices/quote_pages.h"

namespace pelmar {

// The live dollar and AEX quotes as commands: what a tick may do, what the
// fetched value does to the session, and which quote button shows. The
// fetch itself (quote_pages.h) runs wherever the caller chooses; everything
// here runs on the thread that owns the session.

enum class QuoteKind { Dollar, Aex };

// A tick runs only while its setting is on and a portfolio is open; the
// dollar tick not while the session is busy.
bool QuoteTickAllowed(const Session& session, QuoteKind kind);

// The page a tick fetches, from the settings.
QString QuotePage(const Session& session, QuoteKind kind);

// What a fetched dollar rate did.
struct DollarTickResult {
  bool arrived = false;      // a rate above 0.1 came
  bool changed = false;      // it differed from DollarKoers and was taken
  bool written = false;      // the four currency lines are in today's file
  bool fundChanged = false;  // the selected currency fund took the rate
};

// The hand-over of a dollar fetch (nothing while the session is busy): a
// dataset dated today takes the unrounded rate; a rate that differs from
// DollarKoers becomes DollarKoers, goes into today's price file and the
// last dataset, and into the price of a selected "eur.dol", "usdeur=x",
// "dol.eur" or "eurusd=x" fund that holds no position yet (the inverse for
// the euro-priced two).
DollarTickResult ApplyDollarRate(Session& session, const DollarRate& rate);

// The dollar time stamp: now as "yyyy-MM-dd hh:mm" and the clock's time
// zone, " (CET)" say.
QString DollarTimeStamp(const Session& session);

// ShowQuoteButtons: the dollar button shows while the dollar quote is on,
// unless the AEX quote is on too, which then takes the place.
struct QuoteButtons {
  bool dollar = false;
  bool aex = false;
};
QuoteButtons ShowQuoteButtons(const Settings& settings);

}  // namespace pelmar
