#pragma once

#include "commands/clock.h"
#include "lang/language.h"
#include "model/portfolio.h"
#include "prices/settings.h"

namespace pelmar {

// The program-wide state of one run: the settings, the language, the clock
// and the portfolio. The desktop program owns one Session
// for the whole run; the headless tool and every test make their own.
class Session {
 public:
  // A session with the default settings under the given data directory.
  explicit Session(const QString& dataDirectory, const QLocale& system = QLocale::system());

  // Reads the settings from the store and takes the language they name.
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
};

}  // namespace pelmar
