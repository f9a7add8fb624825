#pragma once

#include <QString>

#include "commands/portfolio_io.h"
#include "commands/prompter.h"
#include "commands/session.h"
#include "engine/engine.h"
#include "lang/outcome.h"

namespace pelmar {

// What a long file command reports while it runs. Every hook may be empty.
struct FileProgress {
  // Checking and reading the file.
  ReadProgress read;
  // Recalculating every dataset after reading.
  Engine::Progress recalc;
};

// How a save prompt ended.
enum class [[nodiscard]] SaveOutcome{
    Saved,        // the portfolio was written
    NotSaved,     // nothing written: a dialog was cancelled or writing failed
    Cancelled,    // the save prompt itself was cancelled
    CloseWindow,  // "Close Without Saving": the main window is to close now
};

// The commands that make, open, save and close a portfolio. What they keep
// between calls (bMayClose, the window caption) is the session's
// FileState; the session's settings store receives the settings whenever a
// portfolio is saved under a name.

// Opens a portfolio file and makes it the current portfolio: read, every
// dataset recalculated, the last dataset (the dataset "Nieuw", of today)
// current with the first fund of the sorted fund list selected, and the
// file recorded in the settings. A file under 10 bytes or one that cannot
// be read gets its message and fails; the portfolio in memory stays as it
// was.
Outcome LoadPortfolio(Session& session, Prompter& prompter, const QString& fileName,
                      const FileProgress& progress = {});

// Makes a new portfolio in dollars or euros as the user chooses, dated in
// the calendar. Stopped, with the old portfolio kept, when the date is
// cancelled or unsaved changes were not dealt with.
Report SpeedNewClick(Session& session, Prompter& prompter);

// Asks for a file and loads it, offering to save unsaved changes first.
Report SpeedOpenClick(Session& session, Prompter& prompter, const FileProgress& progress = {});

// Saves the portfolio: a new one under a proposed name, an opened one with
// or without the dataset "Nieuw" as the save prompt says.
SaveOutcome SpeedSaveClick(Session& session, Prompter& prompter);
// The menu's Save: SpeedSaveClick, which shows its own messages; whatever
// it did, whether the portfolio differs from its file may have changed.
Report SaveFileClick(Session& session, Prompter& prompter);

// Saves under a name chosen in the save dialog, with or without the
// dataset "Nieuw". Done when the portfolio was written.
Report SaveAsClick(Session& session, Prompter& prompter);

// The exit command: offers to save unsaved changes. Always ends with the
// request to close the main window, whose closing (FormClose) decides.
void SpeedEindeClick(Session& session, Prompter& prompter);

// Any closing of the main window. Unsaved changes are offered for saving;
// true when the window may close, false (a cancelled prompt or a failed
// save) when the program stays open.
[[nodiscard]] bool FormClose(Session& session, Prompter& prompter);

// The proposed name for saving a new portfolio: "<year> Portefeuille A"
// with the first letter for which the folder holds no ".xml" file.
QString ProposedPortfolioName(const Session& session, const QString& folder);

// The full path of the current portfolio file as the settings record it.
QString CurrentFileName(const Session& session);

// Records the file in the settings as the current portfolio (folder, name
// and extension).
void RecordCurrentFile(Session& session, const QString& fileName);
// Keeps the settings in the session's store; a store that fails is told.
void StoreSettings(Session& session, Prompter& prompter);
// The main window's "Pelmar versie 1.32a [name]" caption.
void SetFileCaption(Session& session, const QString& name);

}  // namespace pelmar
