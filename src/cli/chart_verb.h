#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include "cli/command_line.h"

namespace pelmar {

// pelmar-cli chart KIND [TICKER] [--portfolio FILE] [--days N]
//   [--scale normal|relative] [--size WxH] [--png OUT.png] [--csv OUT.csv]
// Builds the chart as the chart window does and draws it with the window's
// own drawing code into a PNG, and/or writes its series as the export does.
// `parser` has parsed the command line with the chart's options.
int runChartVerb(const QCommandLineParser& parser, const GlobalOptions& global, QTextStream& out,
                 QTextStream& err);

// The usage lines of the verb, for the tool's help text.
QString chartUsage();

// Prints why the chart's command line is wrong and the verb's usage; the
// usage exit code.
int chartUsageError(const QString& why, QTextStream& err);

}  // namespace pelmar
