#include "cli/open_verb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "cli/exit_codes.h"
#include "cli/headless_prompter.h"
#include "cli/listing.h"
#include "cli/not_saved.h"
#include "cli/report_output.h"
#include "cli/script.h"
#include "commands/file_commands.h"
#include "commands/portfolio_io.h"
#include "commands/portfolio_lock.h"
#include "commands/session.h"
#include "commands/todays_entries.h"
#include "model/dates.h"
#include "model/safe_read.h"
#include "prices/settings_store.h"
#include "reports/check_listing.h"

namespace pelmar {
namespace {

// What the command line asks of the portfolio.
struct Command {
  QString name;
  QString file;
  QString saveAs;
  bool withoutNew = false;
  bool json = false;
  // run: the steps and whether a refused step ends the run.
  std::vector<ScriptStep> steps;
  bool strict = false;
  // report: which overview and where it goes.
  QString report;
  QString out;
};

// The steps of a script file, or of standard input for "-"; nothing when
// they cannot be read.
std::optional<QString> readScript(const QString& name) {
  if (name != QLatin1String("-")) {
    // A script file is read like every other input: a regular file, bounded.
    const safe_read::ReadResult read = safe_read::ReadFile(name);
    if (!read.read()) return std::nullopt;
    return QString::fromUtf8(read.bytes);
  }
  QFile file;
  if (!file.open(stdin, QIODevice::ReadOnly)) return std::nullopt;
  return QString::fromUtf8(file.read(safe_read::kMaxTextFile));
}

// The steps of run's --script, or the reason they cannot be run.
std::optional<std::vector<ScriptStep>> stepsOf(const QString& name, QTextStream& err) {
  const std::optional<QString> text = readScript(name);
  if (!text) {
    err << "The steps " << name << " cannot be read.\n";
    return std::nullopt;
  }
  ParsedScript parsed = ParseScript(*text);
  if (!parsed.error.isEmpty()) {
    err << "Malformed step in " << name << ", " << parsed.error << ".\n";
    return std::nullopt;
  }
  return std::move(parsed.steps);
}

// The command the arguments ask for; nothing when they are wrong, and the
// reason then goes to err.
std::optional<Command> commandOf(const QCommandLineParser& parser, QTextStream& err) {
  const auto wrong = [&err](const char* why) {
    err << why << "\n\n" << cliUsage();
    return std::nullopt;
  };
  Command command;
  QStringList positional = parser.positionalArguments();
  command.name = positional.first();
  // report KIND FILE --out OUT: the kind goes aside, the rest is checked
  // as for the other commands.
  if (command.name == QLatin1String("report")) {
    command.report = positional.value(1);
    command.out = parser.value("out");
    if (!CheckReportArguments(command.report, command.out, err)) {
      err << '\n' << cliUsage();
      return std::nullopt;
    }
    positional.removeAt(1);
  } else if (parser.isSet("out")) {
    return wrong("--out belongs to the command report.");
  }
  if (!QStringList({"open", "check", "run", "report"}).contains(command.name)) {
    err << "Unknown command \"" << command.name << "\".\n\n" << cliUsage();
    return std::nullopt;
  }
  if (positional.size() != 2) {
    err << "The command " << command.name << " takes one portfolio file.\n\n" << cliUsage();
    return std::nullopt;
  }
  const bool running = command.name == QLatin1String("run");
  const bool opening = command.name == QLatin1String("open") || running;
  if (!opening && (parser.isSet("save") || parser.isSet("without-new") || parser.isSet("json")))
    return wrong("--save, --without-new and --json belong to the command open.");
  if (running != parser.isSet("script") || (!running && parser.isSet("strict")))
    return wrong("--script and --strict belong to the command run, which needs --script.");
  if (parser.isSet("without-new") && !parser.isSet("save"))
    return wrong("--without-new goes with --save.");
  command.file = positional.at(1);
  command.saveAs = parser.value("save");
  command.withoutNew = parser.isSet("without-new");
  command.json = parser.isSet("json");
  command.strict = parser.isSet("strict");
  if (running) {
    std::optional<std::vector<ScriptStep>> steps = stepsOf(parser.value("script"), err);
    if (!steps) return std::nullopt;
    command.steps = std::move(*steps);
  }
  return command;
}

// Opens the portfolio as the main window does. The program's own messages
// reach the error stream through the prompter. A missing price folder is
// not created.
Outcome openPortfolio(Session& session, Prompter& prompter, const Command& command,
                      QTextStream& err) {
  const QString& priceFolder = session.settings().pricePath;
  if (!QFileInfo(priceFolder).isDir()) {
    err << session.text(TextId::CliNoPriceFolder).arg(QDir::toNativeSeparators(priceFolder))
        << '\n';
  }
  session.applyPricePath();
  return LoadPortfolio(session, prompter, command.file);
}

// Saves the portfolio after open or run printed it.
int saveAs(Session& session, HeadlessPrompter& prompter, const Command& command, QTextStream& err) {
  Portfolio& p = session.portfolio();
  const int limit = command.withoutNew ? WriteLimitWithoutLast(session) : WriteLimitAll(p);
  // Leaving the dataset of today out drops what the steps entered there.
  if (const QStringList dropped = command.withoutNew ? EntriesOfToday(session) : QStringList();
      !dropped.isEmpty())
    err << session.text(TextId::CliEntriesDropped).arg(dropped.join(QStringLiteral("; "))) << '\n';
  if (Outcome saved = SavePortfolio(session, prompter, command.saveAs, limit, true); !saved)
    return reportNotSaved(session, command.saveAs, saved, err);
  return kDone;
}

int runCommand(Session& session, const Command& command, QTextStream& out, QTextStream& err) {
  HeadlessPrompter prompter(err);
  // A portfolio another program has open is opened read-only, unless the
  // command is to save over it: then not at all.
  prompter.setOpenInUseReadOnly(command.saveAs.isEmpty() ||
                                PortfolioLockKey(command.saveAs) != PortfolioLockKey(command.file));
  if (Outcome opened = openPortfolio(session, prompter, command, err); !opened) {
    const bool inUse = opened.reason() && opened.reason()->id == TextId::PortfolioInUse;
    return inUse ? kInUse : kNotReadable;
  }
  if (RunScript(session, prompter, command.steps, command.strict, err) != kDone)
    return kScriptRefused;

  if (command.name == QLatin1String("report"))
    return WriteReportCommand(session, command.report, command.out, err);
  if (command.name == QLatin1String("check")) {
    out << CheckListing(session.portfolio(), session.language(),
                        dateFormatFromSetting(session.settings().dateFormat));
    return kDone;
  }
  printDataSet(session, command.file, command.json, out);
  if (command.saveAs.isEmpty()) return kDone;
  out.flush();
  return saveAs(session, prompter, command, err);
}

}  // namespace

int runOpenVerb(const QCommandLineParser& parser, const GlobalOptions& global, QTextStream& out,
                QTextStream& err) {
  const std::optional<Command> command = commandOf(parser, err);
  if (!command) return kUsage;
  // The program's own data folder and settings, only read, never written:
  // the price folder, the date format and, without --lang, the language.
  Session session(dataDirectory());
  session.loadSettings(QSettingsStore());
  applyGlobalOptions(global, session);
  return runCommand(session, *command, out, err);
}

}  // namespace pelmar
