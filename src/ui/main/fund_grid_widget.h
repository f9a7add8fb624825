#pragma once

#include <QFontMetrics>
#include <QTableWidget>

#include "commands/fund_grid.h"

namespace pelmar {

// The main window's fund grid: labels in column 0, the current fund's
// values in column 1, both right-aligned. What the grid shows, what it may
// edit and what a commit does are decided by the core (commands/fund_grid.h);
// the grid draws, reads its cells and tells the window what to do next.
class FundGridWidget : public QTableWidget {
  Q_OBJECT

 public:
  FundGridWidget(Session& session, Prompter& prompter, QWidget* parent = nullptr);

  // The text without leading blanks, then with blanks prepended while it is
  // narrower than the column width minus 10 pixels.
  static QString PadCell(const QString& text, int columnWidth, const QFontMetrics& metrics);

  // Sets the row labels of the language and sizes the grid to its font.
  void HandleLanguage();
  // The cells' own size, which the grid is never smaller than.
  QSize sizeHint() const override;
  // Writes the current fund into column 1 and opens the rows it may edit.
  void FillGrid();
  // Commits the cells into the current fund, then shows it again.
  void ReadGrid();
  // Commits the current fund with the selected row (Page Up, Page Down, the
  // double-click actions and the new-fund dialogs) and reports the commit
  // to the session.
  UpdateFondsResult UpdateFonds();

  // The texts of column 1, top to bottom.
  QStringList cellTexts() const;
  void setCellText(int row, const QString& text);
  // The help context of the selected row.
  int helpContext() const { return GridHelpContext(currentRow()); }

 signals:
  // The status-line prompt of the selected row.
  void promptChanged(const QString& prompt);
  // The portfolio may have changed: the window enables its controls.
  void edited();
  // Page Up (-1) or Page Down (+1): select the neighbouring fund of the list.
  void stepFund(int step);
  // A key was typed on the ticker row: the window shows the dataset again.
  void showDataSetWanted();
  void rowDoubleClicked(int row);
  // Shift+Alt+M: show or hide the diagnostics menu.
  void diagnosticsToggled();
  // The mouse is near the grid's edge: show the latest prices.
  void latestPricesWanted();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void commitData(QWidget* editor) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Commits and closes the cell editor when one is open (reading the
  // cells with it); false when none was open.
  bool commitOpenEditor();
  // Sets the text of a cell of a column, padded to that column.
  void putCell(int row, int column, const QString& text);
  QString padded(int column, const QString& text) const;
  // The value column takes the grid's width beside the labels, never less
  // than its own.
  void fitValueColumn();

  Session& session_;
  Prompter& prompter_;
  int valueWidth_ = 0;
};

}  // namespace pelmar
