#pragma once

#include <QString>
#include <optional>

#include "commands/prompter.h"
#include "commands/session.h"
#include "engine/engine.h"
#include "lang/outcome.h"

namespace pelmar {

// The two datasets the year closing puts between the old year's last
// dataset L (its first account at lastOldRek) and the new year: the
// closing dataset C, a copy of L dated 31 December of L's year without the
// period's costs and flags, followed by the opening dataset O, dated 1
// January of newYear, in which every fund starts afresh (investment = value
// + reserve, `Cumulatief`, start date 1 January).
RecordList ClosingAndOpening(const Portfolio& portfolio, int lastOldRek, int newYear);

// The first account of the first dataset of a new year: from the second
// dataset on, the first whose date lies in a later year than its own
// CumDatum, looking only at datasets before the last (the dataset of
// today). Nothing when there is none.
std::optional<int> FirstDataSetOfNewYear(const Portfolio& portfolio);

// Whether the year closing is done: `JaarAfsl` is set and the first
// dataset lies in the year of the last one. A file whose first dataset lies
// in an earlier year still has a year to close, whatever its flag says (a
// closing sets the flag on the new file, which may reach further years).
bool YearClosed(const Portfolio& portfolio);

// The name of the new year's portfolio: year + " Portefeuille " (or
// " Portfolio ") + a suffix character, taken from the last character of the
// present file's name when that is a digit or a letter (upper case), else
// "A"; while the folder holds a ".xml" file of that name the suffix moves
// on (digits run into the letters; "Z" is the last).
QString NewYearPortfolioName(const Session& session, const QString& presentFile, int newYear);

// The year closing. The present file becomes the archive of the closed
// year: every dataset, a closing dataset on 31 December (a copy of the old
// year's last dataset) and an opening dataset on 1 January in which every
// fund starts afresh (investment = value + reserve, `Cumulatief`), with
// `JaarAfsl` set. Memory keeps the new year from the opening dataset on,
// which is saved under a new name the user confirms, then recalculated.
// Refused when the year was closed already, the portfolio has never been
// saved, or no dataset before the last lies in a new year. Stopped when
// the save dialog is cancelled: the present file is put back byte for byte
// and the portfolio in memory is as it was, so nothing is closed halfway.
Report SpeedJaarClick(Session& session, Prompter& prompter, const Engine::Progress& progress = {});

// The question at opening, after a portfolio has been read: unless the
// "YN Niet OpnieuwTonen" setting is on, `JaarAfsl` is cleared when the
// dataset of today lies in a later year than the first dataset, and while
// it is clear and the years differ the user is asked whether to close the
// year (with the check box that switches the question off for good). Yes
// runs SpeedJaarClick.
void OfferYearClosing(Session& session, Prompter& prompter, const Engine::Progress& progress = {});

}  // namespace pelmar
