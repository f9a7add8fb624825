#pragma once

#include <QString>
#include <QStringList>

#include "commands/session.h"

namespace pelmar {

// What the user entered into the dataset of today ("Nieuw") since the
// portfolio was opened. Saving without that dataset drops these entries, so
// the save prompt, the closing and the headless tool name them first.

// Keeps the dataset of today as opening appended it, to compare with later;
// forgets it when the portfolio has no such dataset (opened on a stored
// dataset, or too full for one).
void KeepDataSetOfToday(Session& session);

// The entries, one item a fund or account ("DBG (Unit Price, Costs)",
// "account 1 (Costs)"), in the session's language; empty when nothing was
// entered there. Values that reach the dataset of today from an older one
// (a trade or rate copied forward) are no entries of today: the older
// dataset keeps them.
QStringList EntriesOfToday(const Session& session);

// The line that names them: "Today's dataset holds your entries: ...".
QString EntriesOfTodayLine(const Session& session, const QStringList& entries);

}  // namespace pelmar
