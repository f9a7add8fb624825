#pragma once

#include <QDialog>
#include <optional>

#include "prices/stock_list.h"
#include "ui/prices/stock_grid.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace pelmar {

class Prompter;
class Session;

// The Dutch download list window: a grid of Name, Ticker and Date with add
// and delete, modal. OK saves the list when it was edited and offers the
// selected row; Cancel leaves the file as it was.
class TFondsenForm_nl : public QDialog {
 public:
  TFondsenForm_nl(Session& session, Prompter& prompter, QWidget* parent = nullptr);

  // Reads the list into the grid unless it is loaded; false when the file
  // could not be read (the window then does not open).
  bool load();
  // nl1Click: loads when needed and shows the window modal.
  void nl1Click();
  // The download rewrote the file: the next use reads it again.
  void markNotLoaded() { list_.markNotLoaded(); }

  void SpeedAddClick();
  void SpeedDelClick();
  void OKBtnClick();
  // Cancel, Esc and the close box drop the edits: the file is what counts.
  void reject() override;
  // Shows the list modal in selection mode (no add or delete, no editing)
  // and returns the row chosen with OK; nothing when cancelled. The window
  // is back in management mode afterwards.
  std::optional<StockLine> selectStock();
  bool selecting() const { return selecting_; }

  bool loaded() const { return list_.loaded(); }
  bool modified() const { return list_.modified(); }
  bool okClicked() const { return ok_; }
  // The row selected when OK was clicked.
  const StockLine& offered() const { return offered_; }
  QTableWidget* grid() const { return Grid; }

 private:
  void HandleLanguage();

  Session& session_;
  Prompter& prompter_;
  bool ok_ = false;
  bool selecting_ = false;
  StockLine offered_;

  QLabel* TopPanel;
  QTableWidget* Grid;
  QToolButton* SpeedAdd;
  QToolButton* SpeedDel;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  StockListGrid list_;
};

}  // namespace pelmar
