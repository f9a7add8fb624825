#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
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

class FetchWorker;
class HttpGet;
class Prompter;
class Session;
struct SymbolLookup;

// What the Dutch and the US list windows differ in.
struct StockListLook {
  Market market;
  const char* objectName;
  TextId title;
  TextId nameColumn;
  std::array<int, 3> columnWidths;
  int height;
  // Whether managing the list keeps the rest of the program waiting.
  bool modal;
  // The US window adds its rows from an add group whose ticker and company
  // can be looked up on the symbol-lookup page; the Dutch window adds an
  // empty row that is typed into the grid.
  bool lookUps;
};

// A download list window: a grid of Name (or Company), Ticker and Date, the
// stock's own source and symbol, with add and delete. OK saves the list
// when it was edited and offers the selected row; Cancel, Esc and the close
// box leave the file as it was and drop the edits.
class TFondsenForm : public QDialog {
  Q_OBJECT

 public:
  // Opens a page in the user's browser; false when no browser took it.
  using OpenUrl = std::function<bool(const QUrl&)>;

  static const StockListLook& lookOf(Market market);

  // `http` fetches the look-up page (needed where the look has look-ups);
  // `openUrl` defaults to the desktop's.
  TFondsenForm(Session& session, Prompter& prompter, Market market, HttpGet* http = nullptr,
               QWidget* parent = nullptr, OpenUrl openUrl = {});
  ~TFondsenForm() override;

  // Reads the list into the grid unless it is loaded; false when the file
  // could not be read (the window then does not open).
  bool load();
  // The menu's nl1Click and us1Click: loads when needed and shows the
  // window, modal or not as its look says.
  void manage();
  // The file was rewritten (download, settings): the next use reads it
  // again; an open window reads it at once, so that OK never writes the
  // old rows over the new file.
  void markNotLoaded();

  void AddBtnClick();
  void DelBtnClick();
  void OKBtnClick();
  void reject() override;
  // Closing the window in any way ends a look-up in flight and drops its
  // answer.
  void done(int result) override;
  // Look the company up from the ticker, and the ticker from the company.
  // The fetch runs on a worker; the add group waits until it answers.
  void CompanyBtnClick();
  void TickerBtnClick();
  bool lookingUp() const;
  // Shows the list modal in selection mode (no add, delete or look-up, no
  // editing, nothing saved) and returns the row chosen with OK; nothing
  // when cancelled. The window is back in management mode afterwards.
  std::optional<StockLine> selectStock();
  bool selecting() const { return selecting_; }

  bool loaded() const { return list_.loaded(); }
  bool modified() const { return list_.modified(); }
  bool okClicked() const { return ok_; }
  // The row selected when OK was clicked.
  const StockLine& offered() const { return offered_; }

  QTableWidget* grid() const { return Grid; }
  // The add group's edits and look-up buttons exist where the look has
  // look-ups.
  QLineEdit* TickerEdit = nullptr;
  QLineEdit* CompanyEdit = nullptr;
  QPushButton* CompanyBtn = nullptr;
  QPushButton* TickerBtn = nullptr;
  QPushButton* AddBtn;
  QPushButton* DelBtn;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  // What a look-up in flight asks for.
  QLabel* LookupStatus = nullptr;

 signals:
  // A look-up answered and its answer is shown.
  void lookUpFinished();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void buildAddGroup(QLayout* stack);
  void HandleLanguage();
  void setRowButtonsVisible(bool visible);
  void updateAddBtn();
  void lookUp(QLineEdit* wanted, const QLineEdit* known, const QString& company,
              const QString& ticker, TextId manyFound);
  void showLookUp(const SymbolLookup& found, TextId manyFound);
  void setLookingUp(const QString& query);
  // Drops a look-up in flight.
  void endLookUp();

  Session& session_;
  Prompter& prompter_;
  const StockListLook& look_;
  // Fetches the look-up page off this thread; none without a client.
  std::unique_ptr<FetchWorker> lookUps_;
  OpenUrl openUrl_;
  bool ok_ = false;
  bool selecting_ = false;
  StockLine offered_;

  QLabel* TopPanel;
  QTableWidget* Grid;
  QGroupBox* AddGroup = nullptr;
  QGroupBox* TickerBox = nullptr;
  QGroupBox* CompanyBox = nullptr;
  StockListGrid list_;
};

}  // namespace pelmar
