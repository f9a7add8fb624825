#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <memory>

#include "cli/cli.h"
#include "cli/command_line.h"

namespace {

// A PDF report is laid out with fonts, which needs the graphical libraries;
// they start without a display (offscreen) unless a platform is chosen.
bool writesPdf(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (QByteArray(argv[i]).toLower().endsWith(".pdf")) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // A chart or a PDF report is drawn with fonts, which need a GUI application;
  // without a screen it draws on the offscreen platform.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const bool chart = pelmar::verbOf(arguments) == QLatin1String("chart");
  std::unique_ptr<QCoreApplication> app;
  if (chart || writesPdf(argc, argv)) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  QTextStream out(stdout);
  QTextStream err(stderr);
  return pelmar::runCli(QCoreApplication::arguments(), out, err);
}
