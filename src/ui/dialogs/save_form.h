#pragma once

#include <QDialog>

#include "commands/prompter.h"
#include "ui/platform/window_position.h"

class QFrame;
class QLabel;

namespace pelmar {

class Session;
class TColorButton;

// The save prompt: a framed message over four buttons, one under the
// other, centred on the calling window. It ends only through its buttons;
// Esc counts as Cancel.
class TSaveForm : public QDialog {
 public:
  explicit TSaveForm(const Session& session, QWidget* parent = nullptr);

  // Shows the prompt with the message over the area and returns the button
  // that ended it; the default button has the focus and takes Enter.
  SaveChoice Execute(const DialogArea& area, const QString& message,
                     SaveChoice defaultChoice = SaveChoice::SaveChanges);
  // Sets the texts, lays the window out and places it, without showing it.
  void prepare(const DialogArea& area, const QString& message,
               SaveChoice defaultChoice = SaveChoice::SaveChanges);

  SaveChoice choice() const { return choice_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void finish(SaveChoice choice);

  const Session& session_;
  SaveChoice choice_ = SaveChoice::Cancel;
  SaveChoice default_ = SaveChoice::SaveChanges;

  QFrame* MessagePanel;
  QLabel* MessageLabel;
  TColorButton* BtnSave;
  TColorButton* BtnSaveNew;
  TColorButton* BtnClose;
  TColorButton* BtnCancel;
};

}  // namespace pelmar
