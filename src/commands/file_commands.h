#pragma once

#include <QString>

#include "commands/portfolio_io.h"
#include "commands/prompter.h"
#include "commands/session.h"
#include "engine/engine.h"
#include "prices/settings_store.h"

namespace pelmar {

// What a long file command reports while it runs. Every hook may be empty.
struct FileProgress {
  // Checking and reading the file.
  ReadProgress read;
  // Recalculating every dataset after reading.
  Engine::Progress recalc;
};

// How a save prompt ended.
enum class SaveOutcome {
  Saved,        // the portfolio was written
  NotSaved,     // nothing written: a dialog was cancelled or writing failed
  Cancelled,    // the save prompt itself was cancelled
  CloseWindow,  // "Close Without Saving": the main window is to close now
};

// The commands that make, open, save and close a portfolio, with the state
// they share (bMayClose and the window caption). The main window owns one
// and redraws after each command; the settings store, when given, receives
// the settings whenever a portfolio is saved under a name.
class FileCommands {
 public:
  FileCommands(Session& session, Prompter& prompter, SettingsStore* store = nullptr);

  FileProgress progress;

  // The main window may close without asking again.
  bool bMayClose = false;

  // Opens a portfolio file and makes it the current portfolio: read,
  // every dataset recalculated, the last dataset (the dataset "Nieuw", of
  // today) current with the first fund of the sorted fund list selected,
  // and the file recorded in the settings. A file under 10 bytes or one
  // that cannot be read gets its message and false; the portfolio in
  // memory stays as it was.
  bool LoadPortfolio(const QString& fileName);

  // Makes a new portfolio in dollars or euros as the user chooses, dated in
  // the calendar. False, with the old portfolio kept, when the date is
  // cancelled.
  bool SpeedNewClick();

  // Asks for a file and loads it, offering to save unsaved changes first.
  // True when a portfolio was loaded.
  bool SpeedOpenClick();

  // Saves the portfolio: a new one under a proposed name, an opened one
  // with or without the dataset "Nieuw" as the save prompt says.
  SaveOutcome SpeedSaveClick();

  // Saves under a name chosen in the save dialog, with or without the
  // dataset "Nieuw". True when the portfolio was written.
  bool SaveAsClick();

  // The exit command: offers to save unsaved changes. Always ends with the
  // request to close the main window, whose closing (FormClose) decides.
  void SpeedEindeClick();

  // Any closing of the main window. Unsaved changes are offered for saving;
  // true when the window may close, false (a cancelled prompt) when the
  // program stays open.
  bool FormClose();

  // The opening at program start: copies the example portfolios into an
  // empty portfolio folder, then loads the recorded portfolio (or the same
  // name with ".pelmar" when it is missing), or, with none recorded, shows
  // the open dialog up to five times. True when a portfolio is open.
  bool OpenAtStart(const QString& examplePortfolioFolder);

  // The proposed name for saving a new portfolio: "<year> Portefeuille A"
  // with the first letter for which the folder holds no ".xml" file.
  QString ProposedPortfolioName(const QString& folder) const;

  // The full path of the current portfolio file as the settings record it.
  QString currentFileName() const;
  // The main window's caption after the last file command.
  const QString& caption() const { return caption_; }

 private:
  // Offers unsaved changes for saving before the portfolio is replaced.
  // False when they would be lost: the prompt or the name dialog was
  // cancelled, or the save failed.
  bool mayReplacePortfolio();
  // Remembers the file in the settings as the current portfolio.
  void recordCurrentFile(const QString& fileName);
  // Saves the settings to the store, when there is one.
  void storeSettings();
  // The "Pelmar versie 1.32a [name]" caption.
  void setFileCaption(const QString& name);
  // What a name without a point means: no file to open, or a file to save
  // as ".xml".
  enum class NoPoint { Refuse, SaveAsXml };
  // The extension message for a name that is refused; true when refused.
  bool refuseExtension(const QString& fileName, const QStringList& allowed, NoPoint noPoint);
  PortfolioFiles portfolioFiles();

  Session& session_;
  Prompter& prompter_;
  SettingsStore* store_;
  QString caption_;
  // The save prompt was answered with "Close Without Saving": the closing
  // that follows does not ask again.
  bool closingWithoutSaving_ = false;
};

}  // namespace pelmar
