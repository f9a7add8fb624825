#pragma once

#include <QCommandLineParser>
#include <QTextStream>

#include "cli/command_line.h"

namespace pelmar {

// pelmar-cli open|check|run|report: the verbs that open a portfolio as the
// main window does, then print its dataset (open; run after its steps, and
// each may save it), its check listing (check) or write an overview (report).
int runOpenVerb(const QCommandLineParser& parser, const GlobalOptions& global, QTextStream& out,
                QTextStream& err);

}  // namespace pelmar
