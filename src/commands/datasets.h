#pragma once

#include "commands/prompter.h"
#include "commands/session.h"
#include "prices/price_store.h"

namespace pelmar {

// Whether AddDataSet asks for the date of the new dataset. While a
// portfolio is being read the proposal is taken as it stands.
enum class DateQuestion { Ask, TakeProposal };

// Adds a dataset after the one at the indices (FirstRekIndex and
// FirstKoersIndex or local copies): appended as a copy of it when it is the
// last dataset, else inserted between it and the next one. The indices then
// point at the new dataset, and its funds hold the day's prices from the
// price store. False when nothing was added: the date of an
// inserted dataset was cancelled or lies outside its neighbours' dates, or
// the portfolio is full.
bool AddDataSet(Session& session, Prompter& prompter, PriceStore& prices, int& rekIndex,
                int& koersIndex, DateQuestion ask = DateQuestion::Ask);

// The identification record a new portfolio gets from the running program.
IdentRec NewIdentRec(const Session& session, bool portInDollar);

// Replaces the session's portfolio by a new one in euros or dollars, dated
// by the user in the calendar. False, with the old portfolio kept, when the
// date is cancelled.
bool NewPortfolio(Session& session, Prompter& prompter, bool portInDollar);

}  // namespace pelmar
