#pragma once

#include <QStringList>

#include "commands/prompter.h"
#include "commands/session.h"
#include "engine/engine.h"
#include "lang/outcome.h"

namespace pelmar {

// The rows of the accounts window's grid, top to bottom. Column 0 holds
// the label, column 1 the value of the shown account.
namespace AccountRow {
inline constexpr int RekNaam = 0;
inline constexpr int RekNummer = 1;
inline constexpr int CredRente = 2;
inline constexpr int DebRente = 3;
inline constexpr int Saldo = 4;
inline constexpr int Rente = 5;
inline constexpr int RenteCorrectie = 6;
inline constexpr int Kosten = 7;
inline constexpr int BTW = 8;
inline constexpr int CumCRente = 9;
inline constexpr int CumDRente = 10;
inline constexpr int SumCumKosten = 11;
inline constexpr int SumCumBTW = 12;
inline constexpr int Waarde = 13;
inline constexpr int CredPerc = 14;
inline constexpr int Valuta = 15;
inline constexpr int Count = 16;
}  // namespace AccountRow

// The label and the status-line prompt of a row in the language.
QString AccountLabel(const Language& language, int row);
QString AccountPrompt(const Language& language, int row);
// Whether the user may change the row; the computed rows are not read back.
bool AccountRowEditable(int row);

// The account the window opens on: the one the selected fund is booked on.
int SelectedAccountNumber(const Portfolio& portfolio);

// The 16 value texts of account 1 to 5 of the current dataset, without
// recalculating: names padded to 10 characters (an empty one shows the
// language's default), numbers of width 12 with 2 decimals, rows 11 and 12
// the sums over the five accounts.
QStringList AccountCells(const Session& session, int number);
// Recalculates the current dataset (bPortChanged kept), makes the account
// current and returns its cells.
QStringList ShowAccount(Session& session, int number);

// Copies the name, number and interest rates of the account of the current
// dataset into the same account of every later dataset. True when a later
// dataset changed.
bool CopyAccountForward(Portfolio& portfolio, int number);

// Writes the edited cells back: rates, correction, costs and VAT into the
// account of the current dataset, the credit percentage (a text that is
// no whole number from 0 to 255 is refused with a message and the stored
// percentage kept), and the name, number and currency into the account of
// the first dataset, where they live. Only cells whose text differs from
// what AccountCells shows are read. With `copyForward` the account is then
// copied into the later datasets. When a value moved by more than 0.01, a
// text or the percentage changed, or a later dataset took a copy, every
// dataset is recalculated in order. Failed when the percentage was refused
// (the other cells are taken all the same).
Outcome ApplyAccount(Session& session, Prompter& prompter, int number, const QStringList& cells,
                     bool copyForward = false, const Engine::Progress& progress = {});

// The window's Apply (and OK): ApplyAccount with the copy into the later
// datasets, then the current dataset recalculated.
// Whatever its outcome the accounts and figures may have changed.
Report ToepassenBtnClick(Session& session, Prompter& prompter, int number, const QStringList& cells,
                         const Engine::Progress& progress = {});

// The account chooser for the selected fund, preset to `rekNr`: done with
// the chosen account in `rekNr`, the accounts' names, numbers and currencies
// as edited, and the fund booked on it; stopped, with nothing changed, when
// cancelled. An account of another currency than the fund's is refused
// with a message and the chooser asked again on the first account of the
// fund's currency.
Outcome ChooseAccount(Session& session, Prompter& prompter, quint8& rekNr);

}  // namespace pelmar
