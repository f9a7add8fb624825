#pragma once

#include "commands/clock.h"
#include "engine/engine.h"
#include "lang/language.h"
#include "model/portfolio.h"
#include "model/trace_log.h"
#include "prices/price_store.h"
#include "prices/settings.h"

namespace pelmar {

// The program-wide state of one run: the settings, the language, the clock,
// the portfolio, the price store of the price folder, the valuation engine
// with its results and the trace log. The desktop program owns
// one Session for the whole run; the headless tool and every test make their own.
class Session {
 public:
  // A session with the default settings under the given data directory.
  explicit Session(const QString& dataDirectory, const QLocale& system = QLocale::system());

  // Reads the settings from the store and takes the language and the price
  // folder they name.
  void loadSettings(const SettingsStore& store);
  // Writes the settings back; false when the store could not keep them.
  bool saveSettings(SettingsStore& store) const;

  const Settings& settings() const { return settings_; }
  Settings& settings() { return settings_; }
  const QString& dataDirectory() const { return dataDirectory_; }

  const Language& language() const { return language_; }
  // Switches every text at once, the language-dependent fields of the
  // portfolio's initial-value records included.
  void setLanguage(Language::Code code);
  QString text(TextId id) const { return language_.text(id); }

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

 private:
  // Gives the portfolio's initial-value records the current language.
  void applyLanguageToRecords();

  QString dataDirectory_;
  QLocale system_;
  Settings settings_;
  Language language_;
  Clock clock_;
  Portfolio portfolio_;
  PriceStore prices_;
  Engine engine_;
  TraceLog trace_;
};

}  // namespace pelmar
