#pragma once

#include <QStringList>
#include <QTextStream>

namespace pelmar {

// pelmar-cli chart KIND [TICKER] [--portfolio FILE] [--days N]
//   [--scale normal|relative] [--size WxH] [--png OUT.png] [--csv OUT.csv]
// Builds the chart as the chart window does and draws it with the window's
// own drawing code into a PNG, and/or writes its series as the export does.
int runChartVerb(const QStringList& arguments, QTextStream& out, QTextStream& err);

// The usage lines of the verb, for the tool's help text.
QString chartUsage();

}  // namespace pelmar
