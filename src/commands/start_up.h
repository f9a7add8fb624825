#pragma once

#include <QString>
#include <QStringList>

#include "commands/file_commands.h"
#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"

namespace pelmar {

// Copies the files of the patterns from one folder into another, which is
// made when missing. Existing files are never overwritten. Fails with the
// first folder that could not be made or file that could not be copied; a
// missing source folder copies nothing.
Outcome CopyFiles(const QString& from, const QString& to, const QStringList& patterns);
// Whether the folder holds a file that matches the pattern.
bool FolderHolds(const QString& folder, const QString& pattern);

// The program's start. When the portfolio folder holds no portfolio (the
// first start), the example portfolios and their price files are made for
// today (FirstStartExampleData) and copied into the portfolio and price
// folders, where no file is replaced. Then the recorded portfolio is opened
// (or the same name with ".pelmar" when it is missing), or, with none
// recorded, the open dialog is shown up to five times. With a portfolio
// open, a price folder without daily price files gets those of
// `programFolder`'s "Prices", the current dataset is computed as the window
// shows it (ShowDataSet) and the portfolio counts as unchanged; without
// price files that is told instead. Stopped or failed when no portfolio is
// open.
Outcome StartUp(Session& session, Prompter& prompter, const QString& programFolder,
                const FileProgress& progress = {});

}  // namespace pelmar
