#include <QApplication>

#include "commands/session.h"
#include "prices/settings_store.h"
#include "ui/main/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelmar"));

  pelmar::QSettingsStore store;
  pelmar::Session session(pelmar::dataDirectory());
  session.loadSettings(store);

  pelmar::TMainForm window(session);
  window.show();
  return QApplication::exec();
}
