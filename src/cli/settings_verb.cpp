#include "cli/settings_verb.h"

#include "cli/exit_codes.h"
#include "cli/headless_prompter.h"
#include "commands/session.h"
#include "commands/settings_edit.h"
#include "prices/settings.h"
#include "prices/settings_store.h"

namespace pelmar {
namespace {

void printSetting(const Settings& settings, const QString& name, QTextStream& out) {
  out << name << " = " << *settingText(settings, name) << '\n';
}

}  // namespace

int runSettingsVerb(const QStringList& arguments, std::optional<Language::Code> language,
                    QTextStream& out, QTextStream& err) {
  const QString action = arguments.value(0);
  const qsizetype wanted = action == QLatin1String("list")  ? 1
                           : action == QLatin1String("get") ? 2
                           : action == QLatin1String("set") ? 3
                                                            : -1;
  if (wanted < 0 || arguments.size() != wanted) {
    err << "Use: pelmar-cli settings list | get NAME | set NAME VALUE\n";
    return kUsage;
  }
  QSettingsStore store;
  Session session(dataDirectory());
  session.loadSettings(store);
  session.setSettingsStore(&store);
  if (language) session.setLanguage(*language);
  HeadlessPrompter prompter(err);
  ReportResetSettings(session, prompter);

  if (action == QLatin1String("list")) {
    for (const QString& name : settingNames()) printSetting(session.settings(), name, out);
    return kDone;
  }
  const std::optional<QString> name = settingName(arguments.at(1));
  if (action == QLatin1String("get")) {
    if (!name) {
      prompter.message(session.text(TextId::SettingUnknownName).arg(arguments.at(1)));
      return kSettingRefused;
    }
    out << *settingText(session.settings(), *name) << '\n';
    return kDone;
  }
  SettingsEffects effects;
  const Outcome outcome = SetSetting(session, prompter, arguments.at(1), arguments.at(2), effects);
  if (outcome.reason() && outcome.reason()->id == TextId::SettingsNotSaved) return kNotSaved;
  if (!outcome) return kSettingRefused;
  // What is stored now: a folder normalised, the days 0 while downloading
  // from the last date.
  printSetting(session.settings(), *name, out);
  return kDone;
}

}  // namespace pelmar
