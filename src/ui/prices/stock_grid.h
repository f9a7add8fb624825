#pragma once

#include <QList>
#include <array>

#include "prices/source_map.h"
#include "prices/stock_list.h"

class QTableWidget;

namespace pelmar {

class Prompter;
class Session;

// The grid both download list windows share: three columns of the given
// widths and two for the stock's own price source and symbol, whole rows
// selected, rows as high as the font plus 3. Returns the window's client
// width (the columns plus 30).
int SetUpStockGrid(QTableWidget* grid, const std::array<int, 3>& widths);
// The headings of the source and symbol columns, with the source names as
// the source column's hint.
void SetSourceHeadings(QTableWidget* grid, const Session& session);
// Replaces the grid's rows by the lines, each with its own source.
void FillStockGrid(QTableWidget* grid, const QList<StockLine>& lines, const SourceMap& sources);
// The own sources and symbols the grid's rows name.
SourceMap StockGridSources(const QTableWidget* grid);
// The grid's rows as lines, each cell as the list keeps it (StockCellText).
QList<StockLine> StockGridRows(const QTableWidget* grid);

// What both list windows keep about their grid: whether the market's file
// is loaded into it and whether it was edited since. Edits of cells count
// as modified; rows filled from the file do not.
class StockListGrid {
 public:
  StockListGrid(QTableWidget* grid, Market market);

  // Reads the list into the grid unless it is loaded; false when the file
  // could not be read (the grid is then left as it was).
  bool load(Session& session, Prompter& prompter);
  void markNotLoaded() { loaded_ = false; }
  bool loaded() const { return loaded_; }
  bool modified() const { return modified_; }

  // Appends a row of the cells, selects it and counts as an edit.
  void appendRow(const QString& name, const QString& ticker);
  // Removes the selected row (an edit) once the user confirmed it; false
  // when none is selected or the user kept it.
  bool removeCurrentRow(Session& session, Prompter& prompter);
  // Cancel: the edits since loading are dropped, the next use reads the file.
  void discardEdits();
  // The selected row; an empty line when none is.
  StockLine currentLine() const;
  // Saves the rows when they were edited; the next use reads the file
  // again, sorted as stored. False (after saying why) when the save failed:
  // the grid keeps its edits.
  bool save(Session& session, Prompter& prompter);
  // Selection mode makes the grid read-only; leaving it restores editing.
  void setSelecting(bool selecting);

 private:
  QTableWidget* grid_;
  Market market_;
  bool loaded_ = false;
  bool modified_ = false;
  bool filling_ = false;
  int editTriggers_ = 0;
};

}  // namespace pelmar
