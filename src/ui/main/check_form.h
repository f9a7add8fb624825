#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace pelmar {

class Session;

// The portfolio check: the check listing of the first records in a
// read-only memo with OK under it. The window opens where it was last
// closed with OK (section "Check" of the settings).
class TCheckForm : public QDialog {
 public:
  TCheckForm(Session& session, QWidget* parent = nullptr);

  // Fills the memo with the listing of the portfolio as it is now and shows
  // the window.
  void showListing();
  QPlainTextEdit* memo() const { return memo_; }
  QPushButton* okButton() const { return ok_; }

 private:
  void OKBtnClick();

  Session& session_;
  QPlainTextEdit* memo_;
  QPushButton* ok_;
};

}  // namespace pelmar
