#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "lang/texts.h"
#include "prices/stock_list.h"
#include "ui/prices/stock_grid.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QUrl;

namespace pelmar {

class HttpGet;
class Prompter;
class Session;

// The US download list window: a grid of Company, Ticker and Date, not
// modal, with an add group below it whose ticker and company can be looked
// up on the symbol-lookup page. OK saves the list when it was edited;
// Cancel hides the window and drops the edits.
class TFondsenForm_us : public QDialog {
 public:
  // Opens a page in the user's browser; false when no browser took it.
  using OpenUrl = std::function<bool(const QUrl&)>;

  // `http` fetches the look-up page; `openUrl` defaults to the desktop's.
  TFondsenForm_us(Session& session, Prompter& prompter, HttpGet& http, QWidget* parent = nullptr,
                  OpenUrl openUrl = {});

  // Reads the list into the grid unless it is loaded; false when the file
  // could not be read (the window then does not open).
  bool load();
  // us1Click: loads when needed and shows the window, not modal.
  void us1Click();
  // The file was rewritten (download, settings): the next use reads it
  // again; an open window reads it at once, so that OK never writes the
  // old rows over the new file.
  void markNotLoaded();

  void AddBtnClick();
  void DelBtnClick();
  void OKBtnClick();
  // Cancel, Esc and the close box drop the edits: the file is what counts.
  void reject() override;
  // Look the company up from the ticker, and the ticker from the company.
  void CompanyBtnClick();
  void TickerBtnClick();
  // Shows the list modal in selection mode (no add, delete or look-up, no
  // editing) and returns the row chosen with OK; nothing when cancelled.
  // The window is back in management mode afterwards.
  std::optional<StockLine> selectStock();
  bool selecting() const { return selecting_; }

  bool loaded() const { return list_.loaded(); }
  bool modified() const { return list_.modified(); }
  bool okClicked() const { return ok_; }
  const StockLine& offered() const { return offered_; }

  QTableWidget* grid() const { return Grid; }
  QLineEdit* TickerEdit;
  QLineEdit* CompanyEdit;
  QPushButton* CompanyBtn;
  QPushButton* TickerBtn;
  QPushButton* AddBtn;
  QPushButton* DelBtn;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void HandleLanguage();
  void updateAddBtn();
  void lookUp(QLineEdit* wanted, const QLineEdit* known, const QString& company,
              const QString& ticker, TextId manyFound);

  Session& session_;
  Prompter& prompter_;
  HttpGet& http_;
  OpenUrl openUrl_;
  bool ok_ = false;
  bool selecting_ = false;
  StockLine offered_;

  QLabel* TopPanel;
  QTableWidget* Grid;
  QGroupBox* AddGroup;
  QGroupBox* TickerBox;
  QGroupBox* CompanyBox;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  StockListGrid list_;
};

}  // namespace pelmar
