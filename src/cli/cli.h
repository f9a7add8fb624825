#pragma once

#include <QStringList>
#include <QTextStream>

namespace pelmar {

// Runs pelmar-cli with the given arguments (the program name first), writing
// to the given streams. Returns the process exit code.
int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace pelmar
