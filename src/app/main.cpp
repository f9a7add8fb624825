#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>

#include "commands/session.h"
#include "prices/settings_store.h"
#include "ui/dialogs/ask_dlg.h"
#include "ui/dialogs/calendar_dlg.h"
#include "ui/dialogs/message_form.h"
#include "ui/dialogs/save_form.h"
#include "ui/dialogs/show_mess_form.h"
#include "ui/dialogs/yes_no_dlg.h"
#include "ui/main/main_window.h"
#include "ui/platform/qt_prompter.h"

namespace {

// The folder with the help page and the example folders "Port" and
// "Prices": beside the program when installed, else the source tree's
// data folder when run from a build folder.
QString programFolder() {
  const QDir program(QCoreApplication::applicationDirPath());
  for (const QString& candidate :
       {QStringLiteral("."), QStringLiteral("data"), QStringLiteral("../share/pelmar"),
        QStringLiteral("../data"), QStringLiteral("../../data")}) {
    const QDir folder(program.filePath(candidate));
    if (folder.exists(QStringLiteral("help"))) return folder.absolutePath();
  }
  return program.absolutePath();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelmar"));
  // The menu entry and icon the installation provides (dist/).
  const QString id = QStringLiteral("nl.pelmar.Pelmar");
  QApplication::setDesktopFileName(id);
  QApplication::setWindowIcon(
      QIcon::fromTheme(id, QIcon(QStringLiteral(":/icons/nl.pelmar.Pelmar.png"))));

  pelmar::QSettingsStore store;
  pelmar::Session session(pelmar::dataDirectory());
  session.loadSettings(store);
  session.startTrace(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));

  // The dialogs stand on their own: the prompter outlives the window that
  // needs it from its first line on.
  pelmar::QtPrompter prompter(session, nullptr);
  pelmar::TMainForm window(session, prompter, programFolder(), &store);
  prompter.setOwner(&window);
  prompter.setStockPicker([&window](pelmar::Market market) { return window.pickStock(market); });
  window.show();
  return QApplication::exec();
}
