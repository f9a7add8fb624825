#include "cli/cli.h"

#include <QCommandLineParser>

#include "cli/chart_verb.h"
#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/new_verb.h"
#include "cli/open_verb.h"
#include "cli/settings_verb.h"
#include "commands/session.h"

namespace pelmar {

int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err) {
  // The verb is found first: it chooses the options besides the global
  // ones, which may stand before or after it.
  const QString verb = verbOf(arguments);
  const bool chart = verb == QLatin1String("chart");
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addOptions(optionsOf(verb));
  if (!parser.parse(arguments)) {
    if (chart) return chartUsageError(parser.errorText(), err);
    err << parser.errorText() << "\n\n" << cliUsage();
    return kUsage;
  }
  if (parser.isSet("help")) {
    out << cliUsage();
    return kDone;
  }
  const std::optional<GlobalOptions> global = readGlobalOptions(parser, err);
  if (!global) return kUsage;
  if (parser.isSet("version")) {
    Session session(QString{});
    if (global->language) session.setLanguage(*global->language);
    out << session.caption().trimmed() << '\n';
    return kDone;
  }
  if (verb.isEmpty()) {
    out << cliUsage();
    return kDone;
  }
  if (chart) return runChartVerb(parser, *global, out, err);
  if (verb == QLatin1String("settings"))
    return runSettingsVerb(parser.positionalArguments().mid(1), global->language, out, err);
  if (verb == QLatin1String("new") || parser.isSet("currency"))
    return runNewVerb(parser, *global, err);
  return runOpenVerb(parser, *global, out, err);
}

}  // namespace pelmar
