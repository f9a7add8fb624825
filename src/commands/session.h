#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "commands/changes.h"
#include "commands/clock.h"
#include "engine/engine.h"
#include "lang/language.h"
#include "lang/outcome.h"
#include "model/file_lock.h"
#include "model/portfolio.h"
#include "model/trace_log.h"
#include "prices/price_store.h"
#include "prices/settings.h"
#include "prices/settings_store.h"

namespace pelmar {

// What the file commands keep between calls.
struct FileState {
  // The main window's caption after the last file command.
  QString caption;
  // The main window may close without asking again.
  bool bMayClose = false;
  // The save prompt was answered with "Close Without Saving": the closing
  // that follows does not ask again.
  bool closingWithoutSaving = false;
  // The last dataset is the dataset of today that opening added; false when
  // the portfolio was opened too full to take one, or on a stored dataset
  // of today's date.
  bool dataSetOfTodayAdded = true;
  // The accounts and funds of that dataset as opening appended and computed
  // it, to tell what the user entered there since (EntriesOfToday).
  struct DataSetCopy {
    std::vector<RekeningRec> accounts;
    std::vector<KoersRec> funds;
  };
  std::optional<DataSetCopy> dataSetOfTodayAsOpened;
};

// The lock of the open portfolio's file, held while it is open so that no
// second program saves over it (see portfolio_lock.h).
struct PortfolioLock {
  // The ".xml" file the open portfolio saves to, as the lock knows it
  // (absolute, links resolved); empty without a file.
  QString file;
  // Held for `file`; none when it was opened read-only or no lock file
  // could be made there.
  std::unique_ptr<FileLock> lock;
  // Opened while another program held it: never saved over.
  bool readOnly = false;
  LockHolder holder;
};

// The program-wide state of one run: the settings, the language, the clock,
// the portfolio, the price store of the price folder, the valuation engine
// with its results, the trace log, the store that keeps the settings and
// the state of the file commands. The desktop program owns one Session for
// the whole run; the headless tool and every test make their own. Commands
// take (Session&, Prompter&, arguments) and everything else from here.
class Session {
 public:
  // A session with the default settings under the given data directory.
  explicit Session(const QString& dataDirectory, const QLocale& system = QLocale::system());
  Q_DISABLE_COPY_MOVE(Session)

  // Reads the settings from the store and takes the language and the price
  // folder they name.
  void loadSettings(const SettingsStore& store);
  // The stored names of the settings the last load found unusable and set
  // to their defaults (Settings::load); ReportResetSettings says them once.
  QStringList& settingsReset() { return settingsReset_; }
  // Writes the settings back; fails when the store could not keep them.
  Outcome saveSettings(SettingsStore& store) const;
  // The store that receives the settings whenever a command keeps them
  // (a portfolio saved under a name, the window closing); none by default.
  void setSettingsStore(SettingsStore* store) { store_ = store; }
  // Writes the settings to that store; done at once without one.
  Outcome storeSettings() const;

  const Settings& settings() const { return settings_; }
  Settings& settings() { return settings_; }
  const QString& dataDirectory() const { return dataDirectory_; }

  const Language& language() const { return language_; }
  // Switches every text at once, the language-dependent fields of the
  // portfolio's initial-value records included.
  void setLanguage(Language::Code code);
  QString text(TextId id) const { return language_.text(id); }
  // Takes the language the setting "Taal" names ("SysteemTaal": the system's).
  void applyLanguageSetting();

  Clock& clock() { return clock_; }
  const Clock& clock() const { return clock_; }

  Portfolio& portfolio() { return portfolio_; }
  const Portfolio& portfolio() const { return portfolio_; }

  // The one store through which every price is looked up and written; its
  // folder follows the settings' price folder.
  PriceStore& prices() { return prices_; }
  // Makes the price store take the settings' price folder.
  void applyPricePath() { prices_.setFolder(settings_.pricePath); }

  // The valuation engine and advice generator on this session's portfolio.
  Engine& engine() { return engine_; }
  const Engine& engine() const { return engine_; }

  TraceLog& trace() { return trace_; }
  // Starts the trace log when the "LogFile" setting is on: the file is
  // named after the program in the given folder (the user's desktop).
  void startTrace(const QString& folder);

  // The main window's caption: "Pelmar, version 1.32a " or "Pelmar, versie 1.32a ".
  QString caption() const;

  FileState& files() { return files_; }
  const FileState& files() const { return files_; }

  PortfolioLock& portfolioLock() { return portfolioLock_; }
  const PortfolioLock& portfolioLock() const { return portfolioLock_; }

  // Who hears what each command changed: every open window, the headless
  // runner. A listener is called in the order added and must not add or
  // remove listeners while it runs.
  using ChangeListener = std::function<void(Changes)>;
  // Adds a listener; the number returned removes it again.
  int addChangeListener(ChangeListener listener);
  void removeChangeListener(int id);
  // The one "portfolio changed" notification of a command: every listener
  // hears once what the command changed, whatever its outcome. Returns the
  // outcome for the caller to look at.
  Outcome report(const Report& report);

  // A download is running: until it ends it alone writes the portfolio and
  // the price folder, and whatever else would change them is refused.
  bool busy() const { return busy_; }
  void setBusy(bool busy) { busy_ = busy; }

 private:
  // Gives the portfolio's initial-value records the current language.
  void applyLanguageToRecords();

  QString dataDirectory_;
  QLocale system_;
  Settings settings_;
  QStringList settingsReset_;
  Language language_;
  Clock clock_;
  Portfolio portfolio_;
  PriceStore prices_;
  Engine engine_;
  TraceLog trace_;
  SettingsStore* store_ = nullptr;
  FileState files_;
  PortfolioLock portfolioLock_;
  std::vector<std::pair<int, ChangeListener>> changeListeners_;
  int nextListenerId_ = 0;
  bool busy_ = false;
};

}  // namespace pelmar
