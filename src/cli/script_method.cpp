#include "cli/headless_prompter.h"
#include "cli/script.h"
#include "commands/maintenance.h"
#include "commands/splits.h"
#include "commands/year_closing.h"

namespace pelmar {

namespace {

using Kind = ScriptStep::Kind;

// "on" or "off" into step.on; false for anything else.
bool onOff(const QString& word, ScriptStep& step) {
  step.on = word == QLatin1String("on");
  return step.on || word == QLatin1String("off");
}

}  // namespace

bool ParseMethodStep(const QStringList& words, ScriptStep& step, QString& error) {
  const QString verb = words[0];
  if (verb == QLatin1String("split")) {
    step.kind = Kind::Split;
    if (words.size() != 2) error = QStringLiteral("split takes the ratio");
    step.text = words.value(1);
  } else if (verb == QLatin1String("refvalue")) {
    step.kind = Kind::RefValue;
    if (words.size() != 1) error = QStringLiteral("refvalue takes nothing");
  } else if (verb == QLatin1String("yearclose")) {
    step.kind = Kind::YearClose;
    step.file = words.mid(1).join(u' ');
    if (step.file.isEmpty()) error = QStringLiteral("yearclose takes the new file");
  } else if (verb == QLatin1String("flag")) {
    step.kind = Kind::Flag;
    step.text = words.value(1);
    if (words.size() != 3 || !MaintenanceFlagNamed(step.text) || !onOff(words[2], step))
      error = QStringLiteral("flag takes Splits|Cumulatief|BuySell|RefWaarde|JaarAfsl and on|off");
  } else if (verb == QLatin1String("maintenance")) {
    step.kind = Kind::Maintenance;
    if (words.size() != 2 || !onOff(words[1], step))
      error = QStringLiteral("maintenance takes on or off");
  } else {
    return false;
  }
  return true;
}

bool RunMethodStep(Session& session, HeadlessPrompter& prompter, const ScriptStep& step) {
  switch (step.kind) {
    case Kind::Split:
      prompter.queueAnswer(step.text);
      return !SpeedSplitsClick(session, prompter).isFailure();
    case Kind::RefValue:
      return !SpeedRefWaardeClick(session, prompter).isFailure();
    case Kind::YearClose: {
      prompter.setSaveName(step.file);
      const Outcome closed = SpeedJaarClick(session, prompter);
      prompter.setSaveName(std::nullopt);
      return closed.ok();
    }
    case Kind::Flag:
      return SetMaintenanceFlag(session, *MaintenanceFlagNamed(step.text), step.on).ok();
    case Kind::Maintenance:
      SetMaintenanceSwitch(session, MaintenanceSwitch::EditOldDates, step.on);
      return true;
    default:
      return false;
  }
}

}  // namespace pelmar
