// The main window's commands of the method's upkeep: split, reference
// value, year closing and the maintenance window with its debug view.
#include <QApplication>
#include <QShortcut>

#include "commands/file_commands.h"
#include "commands/session.h"
#include "commands/splits.h"
#include "commands/year_closing.h"
#include "ui/main/debug_view.h"
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"
#include "ui/main/service_form.h"

namespace pelmar {

void TMainForm::connectMethodCommands() {
  const MainActions& a = *actions_;
  serviceForm_ = new TServiceForm(session_, this);
  debugView_ = new TDebugView(session_, this);
  // Each command shows its own refusals.
  wire(a.splitsen, [this] { (void)session_.report(SpeedSplitsClick(session_, prompter_)); });
  wire(a.nieuweRefWaarde,
       [this] { (void)session_.report(SpeedRefWaardeClick(session_, prompter_)); });
  wire(a.jaarafsluiting, [this] {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Report closed = SpeedJaarClick(session_, prompter_, recalcProgress());
    QApplication::restoreOverrideCursor();
    if (closed) setWindowTitle(session_.files().caption);
    (void)session_.report(closed);
  });
  wire(a.onderhoud, [this] { serviceForm_->showService(); });
  connect(serviceForm_, &TServiceForm::changed, this,
          [this] { (void)session_.report(Report(Outcome::done(), Change::Settings)); });
}

FileProgress TMainForm::fileProgress() {
  FileProgress progress;
  progress.read.debugRecord = [this](const QStringList& lines) {
    return debugView_->showRecord(lines);
  };
  progress.recalc = recalcProgress();
  return progress;
}

}  // namespace pelmar
