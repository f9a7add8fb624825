#pragma once

#include <QStringList>

#include "commands/prompter.h"
#include "commands/session.h"
#include "engine/engine.h"

namespace pelmar {

// The rows of the fund grid, top to bottom. Column 0 holds the label,
// column 1 the value of the current fund (pKoersRec).
namespace GridRow {
inline constexpr int Ticker = 0;
inline constexpr int Country = 1;
inline constexpr int Valuta = 2;
inline constexpr int Koers = 3;
inline constexpr int Aantal = 4;
inline constexpr int Inleg = 5;
inline constexpr int Kosten = 6;
inline constexpr int KostenProc = 7;
inline constexpr int Dividend = 8;
inline constexpr int DivBel = 9;
inline constexpr int BTW = 10;
inline constexpr int DownDr = 11;
inline constexpr int UpDr = 12;
inline constexpr int f = 13;
inline constexpr int v = 14;
inline constexpr int Count = 15;
}  // namespace GridRow

// The label of a row in the language.
QString GridLabel(const Language& language, int row);
// The status-line prompt of a row for the fund; empty for the ticker row.
QString GridPrompt(const Language& language, const KoersRec& fund, int row);
// The help context of the grid while a row is selected.
int GridHelpContext(int row);

// The number a value cell holds. The grid writes numbers grouped in
// thousands; such a text is read without its group separators, any other
// text as typed (either decimal separator, 0 when it is no number).
double GridCellValue(const QString& text, const Language& language);

// True while the current dataset is an older one and maintenance mode
// (the "Edit Old Dates" switch) is off: only costs, cost percentage,
// dividend, dividend tax and VAT may then still be changed.
bool OlderDataSetLocked(const Session& session);
// Whether the user may change the row of the current fund: never the
// ticker; every other row of the placeholder fund; in a locked older
// dataset only rows Kosten to BTW.
bool GridRowEditable(const Session& session, int row);
// An edit of the row about to start (a key that changes the cell, a value
// typed in): done when GridRowEditable allows it, else refused with the
// message that older datasets keep the value.
Outcome EditGridRow(Session& session, Prompter& prompter, int row);

// The 15 value texts of the current fund, unpadded. The price row is empty
// when the price is -0.0001 or below.
QStringList FillGrid(const Session& session);

// Reads the edited value texts back into the current fund: the country,
// the currency and rows Koers to v, each only when its text differs from
// what FillGrid shows for the stored value (so a stored value with more
// decimals than shown is not rounded away) and only in rows the user may
// change. The placeholder row is not read: it is taken by UpdateFonds when
// it becomes a fund. A negative price or quantity, or a value beyond what
// a Real48 holds, is refused with a message and the stored value kept.
// Sets bPortChanged when a field changed; done, with the figures changed,
// when one did, else stopped.
Report ReadGrid(Session& session, Prompter& prompter, const QStringList& cells);

// Whether a new fund, its new placeholder row and a copy in every later
// dataset fit into the portfolio.
bool RoomForNewFund(Portfolio& portfolio);
// Turns the placeholder row at index (in the current dataset) into a fund
// named ticker, gives the dataset a new placeholder row and copies the fund
// into every later dataset just before its last fund, with its currency in
// upper case and its Cumulatief, BuySell and RefWaarde marks cleared.
// RoomForNewFund must hold.
void AddFundAt(Portfolio& portfolio, int index, const QString& ticker);

struct UpdateFondsResult {
  // The fund list must be refilled: a fund was added or renamed.
  bool fundsChanged = false;
  // Something changed that reaches later datasets; they were recalculated.
  bool changed = false;

  // The commit as a command's report: the figures, and the fund list when
  // a fund was added or renamed.
  Report report() const {
    return Report(Outcome::done(),
                  fundsChanged ? Change::Figures | Change::Funds : Change::Figures);
  }
};

// Commits the edited cells of the current fund (SelFonds) with the grid
// row that was selected: adds a fund through the placeholder row, renames
// a fund through all later datasets, takes the values and recalculates.
// The caller shows the dataset again afterwards. `progress` follows the
// recalculation of all datasets.
UpdateFondsResult UpdateFonds(Session& session, Prompter& prompter, const QStringList& cells,
                              int selectedRow, const Engine::Progress& progress = {});

}  // namespace pelmar
