#pragma once

#include <QDialog>
#include <array>

#include "commands/maintenance.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pelmar {

class Session;
class TCheckForm;

// The maintenance window "Pelmar - Service": the flag panel (state, set and
// clear of the selected fund's flags and the year-closed flag), the five
// switches, the record sizes and memory state, and "Check Bestand". Every
// change goes through the maintenance commands; the window draws.
class TServiceForm : public QDialog {
  Q_OBJECT

 public:
  TServiceForm(Session& session, QWidget* parent = nullptr);

  // Shows the window with the flags and the memo as they are now.
  void showService();
  // FormPaint: the state labels and the memo.
  void refresh();

  QLabel* stateLabel(MaintenanceFlag flag) const { return states_[static_cast<size_t>(flag)]; }
  QPushButton* setButton(MaintenanceFlag flag) const { return sets_[static_cast<size_t>(flag)]; }
  QPushButton* clearButton(MaintenanceFlag flag) const {
    return clears_[static_cast<size_t>(flag)];
  }
  QCheckBox* checkBox(MaintenanceSwitch which) const { return checks_[static_cast<size_t>(which)]; }
  QPlainTextEdit* memo() const { return memo_; }
  QPushButton* checkButton() const { return btnCheck_; }
  TCheckForm* checkForm() const { return checkForm_; }

 signals:
  // A flag or a switch changed: the main window shows the dataset again.
  void changed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* flagsPanel();
  QWidget* checkPanel();
  void storePlace();

  Session& session_;
  std::array<QLabel*, 5> states_{};
  std::array<QPushButton*, 5> sets_{};
  std::array<QPushButton*, 5> clears_{};
  std::array<QCheckBox*, 5> checks_{};
  QPlainTextEdit* memo_ = nullptr;
  QPushButton* btnCheck_ = nullptr;
  TCheckForm* checkForm_ = nullptr;
};

}  // namespace pelmar
