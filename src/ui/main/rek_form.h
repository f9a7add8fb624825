#pragma once

#include <QWidget>

class QPushButton;
class QTabBar;
class QTableWidget;

namespace pelmar {

class Prompter;
class Session;

// The accounts window: one tab per account of the current dataset, a grid
// of its figures, and Apply, OK and Cancel. It is not modal; what it shows
// and what Apply does are decided by the core (commands/accounts.h).
class TRekForm : public QWidget {
  Q_OBJECT

 public:
  TRekForm(Session& session, Prompter& prompter, QWidget* parent = nullptr);
  ~TRekForm() override;

  // SpeedRekClick: shows the window on the selected fund's account.
  void SpeedRekClick();
  // Shows account 1 to 5 of the current dataset, recalculated.
  void ShowAccount(int number);
  // Draws the shown account again as the portfolio holds it now.
  void refresh();
  int shownAccount() const { return shown_; }
  // The texts of column 1, top to bottom.
  QStringList cellTexts() const;
  void setCellText(int row, const QString& text);

  void ToepassenBtnClick();
  void OKBtnClick();
  void CancelBtnClick();

 signals:
  // The status-line prompt of the clicked row.
  void promptChanged(const QString& prompt);

 public:
  // Every caption in the session's language.
  void HandleLanguage();

 protected:
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void fill(const QStringList& cells);
  // Tab change: the shown account is applied before the next is shown.
  void TabControl1Change(int index);

  Session& session_;
  Prompter& prompter_;
  int shown_ = 1;
  int changeListener_ = 0;
  bool switching_ = false;

  QTabBar* TabControl1;
  QTableWidget* RekGrid;
  QPushButton* OKBtn;
  QPushButton* ToepassenBtn;
  QPushButton* CancelBtn;
};

}  // namespace pelmar
