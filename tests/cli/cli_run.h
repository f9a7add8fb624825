#pragma once

#include <QStringList>
#include <QTextStream>

#include "cli/cli.h"

namespace pelmar::test {

// What one in-process run of pelmar-cli gave: its exit code and streams.
struct CliRun {
  int code;
  QString out;
  QString err;
};

// Runs pelmar-cli with the arguments (without the program name).
inline CliRun runCliWith(QStringList args) {
  QString out, err;
  QTextStream o(&out), e(&err);
  args.prepend(QStringLiteral("pelmar-cli"));
  const int code = runCli(args, o, e);
  o.flush();
  e.flush();
  return {code, out, err};
}

}  // namespace pelmar::test
