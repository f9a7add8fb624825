#pragma once

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"

namespace pelmar {

// Whether AddDataSet asks for the date of the new dataset. While a
// portfolio is being read the proposal is taken as it stands.
enum class DateQuestion { Ask, TakeProposal };

// Recomputes the current dataset (with the selected fund's buy and sell
// figures in the first one). When a stored price changed with the day's
// prices from the price files, the portfolio is marked changed; a refreshed
// price equal to the stored one is no change.
void CalcCurrentDataSet(Session& session);

// The recalculate-all command: every dataset before the last in date
// order; the portfolio is marked changed when a stored price changed.
// `progress` follows the datasets.
void SpeedRekenClick(Session& session, const Engine::Progress& progress = {});
// The tool bar's recalculate command: SpeedRekenClick with its report.
Report RecalculateAllClick(Session& session, const Engine::Progress& progress = {});

// Recomputes the dataset at rekIndex and every later one, the last
// included, in date order: what a change of one dataset does to the ones
// after it. Marks changed like CalcCurrentDataSet.
void CalcDataSetsFrom(Session& session, int rekIndex);

// The DivirOzev mode switched on the account of the selected fund; the
// portfolio is marked changed. The engine's advice holds the mode.
Report DivirOzevClick(Session& session);
// The RividuDori mode switched: only its check mark and label change,
// nothing is stored in the portfolio.
Report RividuDoriClick(Session& session);

// The date a new last dataset is proposed: NextWorkDay of yesterday (today,
// or the next working day), a whole day.
DateTime DateOfNewDataSet(const Session& session);

// Adds a dataset after the current one: appended as a copy of it when it is
// the last dataset, else inserted between it and the next one. The new
// dataset becomes current, and its funds hold the day's prices from the
// price store. Stopped when the date of an inserted dataset was cancelled,
// failed when it lies outside its neighbours' dates or the portfolio is
// full; nothing is added then.
Outcome AddDataSet(Session& session, Prompter& prompter, DateQuestion ask = DateQuestion::Ask);

// The identification record a new portfolio gets from the running program.
IdentRec NewIdentRec(const Session& session, bool portInDollar);

// Replaces the session's portfolio by a new one in euros or dollars, dated
// by the user in the calendar. Stopped, with the old portfolio kept, when
// the date is cancelled.
Outcome NewPortfolio(Session& session, Prompter& prompter, bool portInDollar);

}  // namespace pelmar
