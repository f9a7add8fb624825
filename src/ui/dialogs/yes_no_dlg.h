#pragma once

#include <QDialog>

#include "commands/prompter.h"
#include "ui/platform/window_position.h"

class QDialogButtonBox;
class QFrame;
class QPlainTextEdit;

namespace pelmar {

class Session;
class TColorButton;

// A question with up to three buttons and free button texts, sized to its
// message and centred on the calling window. It ends only through its
// buttons.
class TYesNoDlg : public QDialog {
 public:
  explicit TYesNoDlg(const Session& session, QWidget* parent = nullptr);

  // Asks the question over the area; true only after Yes. cancelled tells
  // whether Cancel was pressed.
  bool Question(const DialogArea& area, const pelmar::Question& question, bool& cancelled);
  // Sets the texts, lays the window out and places it, without showing it.
  void prepare(const DialogArea& area, const pelmar::Question& question);

  bool answer() const { return answer_; }
  bool cancelled() const { return cancelled_; }

  // Esc counts as Cancel when Cancel is offered, else as No.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void finish(bool answer, bool cancelled);

  const Session& session_;
  bool answer_ = false;
  bool cancelled_ = false;
  bool yesIsDefault_ = true;
  Answer escape_ = Answer::No;

  QFrame* MessagePanel;
  QPlainTextEdit* MessageMemo;
  TColorButton* BtnYes;
  TColorButton* BtnNo;
  TColorButton* BtnCancel;
  QDialogButtonBox* Buttons;
};

}  // namespace pelmar
