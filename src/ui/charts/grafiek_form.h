#pragma once

#include <QWidget>

#include "commands/charts.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

namespace pelmar {

class Prompter;
class Session;
class ChartView;

// The chart window: the plot, its price list, the days back (rebuilt 2 s
// after the last change), normal or relative scale, export and PNG.
class TGrafiekForm : public QWidget {
  Q_OBJECT

 public:
  TGrafiekForm(Session& session, Prompter& prompter, QWidget* parent = nullptr);
  ~TGrafiekForm() override;

  // Charts a kind for the main window's selected fund (or the portfolio)
  // and shows the window; nothing for the placeholder row.
  void showKind(ChartKind kind);
  // Follows the portfolio after every change a command reports: rebuilds
  // the held chart for the fund and dataset now shown.
  void follow();
  // Follows the main window's ROTAC/ROTAI tab: a yield chart is built again
  // for the return figure now chosen.
  void followReturnTab();
  // Fills the stock list again from the download lists (after a download).
  void refreshStockList();
  // Sets every text for the session's language; a chart on screen is
  // drawn again in it (caption, axes, decimal separator).
  void HandleLanguage();
  const ChartState& state() const { return state_; }
  QTimer* timerDagen() const { return timerDagen_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Escape closes the window, as its Close button does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void redraw();
  void TimerDagenTimer();
  void PricesBtnClick();
  void FondsListBoxDblClick(QListWidgetItem* item);

 public:
  // Asks for a file and saves the chart as drawn in the window as a PNG.
  void SavePngClick();

 private:
  Session& session_;
  Prompter& prompter_;
  ChartState state_;
  ChartView* view_ = nullptr;
  QListWidget* koersListBox_ = nullptr;
  QListWidget* fondsListBox_ = nullptr;
  bool stockListFilled_ = false;
  QSpinBox* spinEdit_ = nullptr;
  QRadioButton* radioNormaal_ = nullptr;
  QRadioButton* radioRelatief_ = nullptr;
  QPushButton* pricesBtn_ = nullptr;
  QPushButton* exportBtn_ = nullptr;
  QPushButton* pngBtn_ = nullptr;
  QPushButton* closeBtn_ = nullptr;
  QLabel* daysLabel_ = nullptr;
  QTimer* timerDagen_ = nullptr;
  int changeListener_ = 0;
};

}  // namespace pelmar
