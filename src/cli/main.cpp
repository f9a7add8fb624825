#include <QCoreApplication>
#include <QTextStream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  return pelmar::runCli(QCoreApplication::arguments(), out, err);
}
