#pragma once

#include <QDialog>

#include "commands/prompter_dialogs.h"
#include "ui/platform/window_position.h"

class QTableWidget;

namespace pelmar {

class Session;
class TColorButton;

// The account chooser: a header row and the five accounts with their name,
// number, currency and balance. Names, numbers and currencies may be
// edited; the selected row is the chosen account (the header row counts as
// account 1). It ends only through its buttons (Esc counts as Cancel).
class TKiesRekDlg : public QDialog {
 public:
  explicit TKiesRekDlg(const Session& session, QWidget* parent = nullptr);

  // Shows the chooser for the proposal over the area; how it ended.
  AccountChoice Execute(const DialogArea& area, const AccountChoice& proposal);
  // Sets the texts and rows without showing the dialog.
  void prepare(const DialogArea& area, const AccountChoice& proposal);
  // The rows as they stand and the selected account.
  AccountChoice choice() const;

  void reject() override;

 private:
  const Session& session_;
  bool accepted_ = false;
  QTableWidget* RekGrid;
  TColorButton* RekOKBtn;
  TColorButton* RekCancelBtn;
};

}  // namespace pelmar
