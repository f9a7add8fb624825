#pragma once

#include <QDate>
#include <optional>

#include "commands/session.h"
#include "prices/reference_rates.h"

namespace pelmar {

// What taking a range of reference rates did.
struct ReferenceRatesTaken {
  int days = 0;                   // days whose four currency lines were put in
  QDate newest;                   // the newest day with a rate, invalid when none
  double rate = 0;                // its price of a dollar in euros
  bool changed = false;           // DollarKoers and the last dataset took it
  std::optional<Reason> failure;  // the daily files could not all be written
};

// The euro/dollar reference rates of the days from `from` up to today into
// the daily price files (the store's open batch, or one of its own), each
// day as the four currency lines of the dollar quote; a day without a rate
// gets none. The newest rate becomes the program's rate, DollarKoers, and
// the last dataset's Dollar, as the dollar quote does; older datasets keep
// the Dollar they have.
ReferenceRatesTaken TakeReferenceRates(Session& session, const ReferenceRates& rates, QDate from);

}  // namespace pelmar
