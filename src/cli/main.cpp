#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstring>
#include <memory>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // A chart is drawn with fonts, which need a GUI application; without a
  // screen it draws on the offscreen platform.
  const bool chart = argc > 1 && std::strcmp(argv[1], "chart") == 0;
  if (chart && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  std::unique_ptr<QCoreApplication> app = chart ? std::make_unique<QGuiApplication>(argc, argv)
                                                : std::make_unique<QCoreApplication>(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  return pelmar::runCli(QCoreApplication::arguments(), out, err);
}
