#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QList>
#include <QTextStream>
#include <optional>

#include "lang/language.h"

namespace pelmar {

class Session;

// The options every verb takes, standing before or after the verb:
// --today, --lang and --prices (--version and --help end the run at once).
struct GlobalOptions {
  std::optional<Language::Code> language;
  QDate today;  // invalid: the real date
  std::optional<QString> priceFolder;
};

// The global options and those of the verb: the chart verb has its own,
// every other verb shares one set.
QList<QCommandLineOption> optionsOf(const QString& verb);

// The verb of a command line (the program name first): its first argument
// that is neither an option nor an option's value; empty when there is none.
QString verbOf(const QStringList& arguments);

// The global options of a parsed command line; nothing when one of them is
// malformed, and the reason then goes to err.
std::optional<GlobalOptions> readGlobalOptions(const QCommandLineParser& parser, QTextStream& err);

// Takes the language, today and the price folder of the command line into
// the session (after its settings were loaded).
void applyGlobalOptions(const GlobalOptions& options, Session& session);

// The tool's help text.
QString cliUsage();

}  // namespace pelmar
