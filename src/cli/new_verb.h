#pragma once

#include <QCommandLineParser>
#include <QTextStream>

#include "cli/command_line.h"

namespace pelmar {

// pelmar-cli new OUT [--currency EUR|US$]: makes a new portfolio as the New
// command does, dated today, and saves it as OUT.
int runNewVerb(const QCommandLineParser& parser, const GlobalOptions& global, QTextStream& err);

}  // namespace pelmar
