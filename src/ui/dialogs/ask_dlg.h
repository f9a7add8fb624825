#pragma once

#include <QDialog>

#include "ui/platform/window_position.h"

class QLabel;
class QLineEdit;

namespace pelmar {

class Session;
class TColorButton;

// A one-line text input under a word-wrapped prompt, centred on the calling
// window. It ends only through its buttons (Esc counts as Cancel).
class TAskDlg : public QDialog {
 public:
  explicit TAskDlg(const Session& session, QWidget* parent = nullptr);

  // Asks for a text over the area; true after OK. The edit's content goes
  // back into text whichever button ended the dialog.
  bool Ask(const DialogArea& area, QString& text, const QString& prompt, const QString& caption);
  // Sets the texts, lays the window out and places it, without showing it.
  void prepare(const DialogArea& area, const QString& text, const QString& prompt,
               const QString& caption);

  bool accepted() const { return accepted_; }
  QString text() const;

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  const Session& session_;
  bool accepted_ = false;

  QLabel* AskLabel;
  QLineEdit* AskEdit;
  TColorButton* BtnOK;
  TColorButton* BtnCancel;
};

}  // namespace pelmar
