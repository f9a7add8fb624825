#pragma once

#include <QDialog>
#include <QLocale>

#include "commands/dialog_logic.h"

class QCalendarWidget;
class QLabel;
class QSpinBox;

namespace pelmar {

class Session;
class TColorButton;

// The date picker: a month calendar with the year, quarter, month, week and
// date of the chosen day, spinners for the time of day and the buttons OK,
// Today and Cancel. Created once and reused; the caller sets a moment,
// executes the dialog and reads the chosen moment back.
class TCalendarDlg : public QDialog {
 public:
  explicit TCalendarDlg(const Session& session, QWidget* parent = nullptr);

  // Sets the texts of the session's language, the month and weekday names
  // of its locale and the caption "Pelmar - Kalender" / "Pelmar - Calendar".
  void HandleLanguage();

  // Shows the dialog modally, the focus on OK or on Cancel; true after OK or
  // Today.
  bool Execute(bool focusOnOk);
  pelmar::DateTime Date() const { return choice_.date(); }
  pelmar::DateTime DateTime();
  void SetDateTime(pelmar::DateTime value);

  // Esc and the close box end the dialog as Cancel does.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void layOut();
  void connectControls();
  // Draws the choice into the panels, the calendar and the spinners.
  void showChoice();
  QWidget* upDown(const QString& name, void (CalendarChoice::*step)(int));

  const Session& session_;
  QLocale locale_;
  CalendarChoice choice_;
  bool focusOnOk_ = true;

  QCalendarWidget* Calendar1;
  QLabel* JaarLabel;
  QLabel* JaarPanel;
  QLabel* MaandLabel;
  QLabel* MaandPanel;
  QLabel* WeekLabel;
  QLabel* WeekPanel;
  QLabel* KwartaalLabel;
  QLabel* KwartaalPanel;
  QLabel* DatumPanel;
  QLabel* LabelTime;
  QSpinBox* SpinUur;
  QSpinBox* SpinMinuut;
  QSpinBox* SpinSeconde;
  TColorButton* BtnOK;
  TColorButton* BtnVandaag;
  TColorButton* BtnCancel;
};

}  // namespace pelmar
