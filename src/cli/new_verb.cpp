#include "cli/new_verb.h"

#include "cli/exit_codes.h"
#include "cli/headless_prompter.h"
#include "cli/not_saved.h"
#include "commands/file_commands.h"
#include "commands/portfolio_io.h"
#include "commands/session.h"
#include "prices/settings_store.h"

namespace pelmar {

int runNewVerb(const QCommandLineParser& parser, const GlobalOptions& global, QTextStream& err) {
  const QStringList positional = parser.positionalArguments();
  const QString code = parser.value("currency");
  if (positional.first() != QLatin1String("new") || positional.size() != 2 ||
      !(code.isEmpty() || code == QLatin1String("EUR") || code == QLatin1String("US$"))) {
    err << "The command new takes one file and --currency EUR or US$.\n\n" << cliUsage();
    return kUsage;
  }
  Session session(dataDirectory());
  session.loadSettings(QSettingsStore());
  applyGlobalOptions(global, session);
  // The answers to the New command's currency question and start date.
  HeadlessPrompter prompter(err);
  prompter.queueAnswer(code == QLatin1String("US$") ? QStringLiteral("yes") : QStringLiteral("no"));
  prompter.queueAnswer(session.clock().today().toString(Qt::ISODate));
  if (!SpeedNewClick(session, prompter)) return kNotSaved;
  const QString out = positional.at(1);
  if (Outcome saved =
          SavePortfolio(session, prompter, out, WriteLimitAll(session.portfolio()), false);
      !saved)
    return reportNotSaved(session, out, saved, err);
  return kDone;
}

}  // namespace pelmar
