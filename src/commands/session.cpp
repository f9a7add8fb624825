#include "commands/session.h"

namespace pelmar {

Session::Session(const QString& dataDirectory, const QLocale& system)
    : dataDirectory_(dataDirectory),
      system_(system),
      settings_(Settings::defaults(dataDirectory)),
      language_(Language::fromSetting(settings_.language, system)),
      prices_(settings_.pricePath),
      engine_(portfolio_, prices_),
      trace_([this] { return clock_.now(); }) {
  applyLanguageToRecords();
  files_.caption = caption();
  prices_.setTrace(&trace_);
}

void Session::loadSettings(const SettingsStore& store) {
  settingsReset_.clear();
  settings_ = Settings::load(store, dataDirectory_, &settingsReset_);
  language_ = Language::fromSetting(settings_.language, system_);
  applyLanguageToRecords();
  applyPricePath();
}

void Session::startTrace(const QString& folder) {
  trace_.setEnabled(settings_.logFile);
  if (settings_.logFile) trace_.LogInit(folder + QChar('/') + text(TextId::ProductName));
}

void Session::setLanguage(Language::Code code) {
  language_.setCode(code);
  applyLanguageToRecords();
}

void Session::applyLanguageSetting() {
  setLanguage(Language::fromSetting(settings_.language, system_).code());
}

void Session::applyLanguageToRecords() {
  portfolio_.setRecordTexts({text(TextId::DefaultAccountName), text(TextId::DefaultAccountNumber),
                             text(TextId::DefaultFundCountry), text(TextId::PlaceholderTicker)});
}

Outcome Session::saveSettings(SettingsStore& store) const {
  settings_.save(store);
  if (store.sync()) return Outcome::done();
  const Reason notSaved{TextId::SettingsNotSaved};
  const std::optional<Reason> cause = store.syncFailure();
  return Outcome::failed(cause ? notSaved.because(*cause) : notSaved);
}

Outcome Session::storeSettings() const {
  return store_ ? saveSettings(*store_) : Outcome::done();
}

QString Session::caption() const {
  return text(TextId::ProductName) + QStringLiteral(", ") + text(TextId::VersionText) + QChar(' ');
}

int Session::addChangeListener(ChangeListener listener) {
  changeListeners_.emplace_back(++nextListenerId_, std::move(listener));
  return nextListenerId_;
}

void Session::removeChangeListener(int id) {
  std::erase_if(changeListeners_, [id](const auto& entry) { return entry.first == id; });
}

Outcome Session::report(const Report& report) {
  for (const auto& [id, listener] : changeListeners_) listener(report.changes());
  return report;
}

}  // namespace pelmar
