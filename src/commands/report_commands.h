#pragma once

#include <QByteArray>
#include <QString>

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"
#include "reports/report_context.h"

namespace pelmar {

// The two overviews, their files and where they go.

enum class ReportKind { Portfolio, Actions };

// The report's context from the session: language, date format, title,
// portfolio name, today, the program's dollar rate and today's price of the
// currency index.
ReportContext ReportContextOf(Session& session);

// The portfolio overview of the current dataset, which is recalculated
// first. The account section takes the program's current dollar rate for a
// dataset not dated after today; it is then stored as the dataset's
// `Dollar`, and the portfolio is marked changed only when that stored rate
// really changed.
ReportDocument OverzichtPortefeuilleClick(Session& session);
// The actions overview of every dataset; the portfolio does not change.
ReportDocument OverzichtActiesClick(Session& session);

// The folder "Reports" beside the portfolio folder.
QString ReportsFolder(const Session& session);
// The next free name there: "<portfolio>_<today>_R_001.rtf" (or "_A_"),
// the number three digits up to 99 and plain from 100 on.
QString NextReportFileName(const Session& session, ReportKind kind);
// Saves the rich text under the next free name and tells the user where
// for five seconds; fails with the name when it could not be written.
Outcome SaveReport(Session& session, Prompter& prompter, ReportKind kind, const QByteArray& rtf,
                   QString* savedAs = nullptr);

// "Tmp.rtf", the file handed to a word processor: in "Temp" beside the
// portfolio folder for the portfolio overview, in "Temp" inside the data
// folder for the actions overview.
QString ReportTempFile(const Session& session, ReportKind kind);

// Writes the bytes as the whole file (folders made as needed), replacing it
// only by a complete new one; fails naming the file.
Outcome WriteReportFile(const QString& path, const QByteArray& bytes);

}  // namespace pelmar
