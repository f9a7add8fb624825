#pragma once

#include <QStringList>

#include "commands/prompter.h"
#include "commands/session.h"
#include "engine/engine.h"
#include "lang/outcome.h"

namespace pelmar {

// The figures the buy/sell dialog shows for a quantity, price and fixed
// costs: the value of the trade and its total costs (the fund's cost
// percentage of the value plus the fixed costs).
struct TradeFigures {
  double value = 0;
  double totalCosts = 0;
};
TradeFigures TradeFiguresOf(const TradeProposal& proposal, double quantity, double price,
                            double costs);
// The quantity the method radio proposes: the advice rounded to whole
// shares while it is due, else 0. The other radio proposes the affordable
// quantity.
double MethodQuantity(const TradeProposal& proposal);

// The DivirOzev amount of the selected fund's account: while the mode is
// on, the account's value times its credit percentage, else 0.
double DivirOzevAmount(const Session& session);

// What the buy/sell dialog is handed for the selected fund: its advice,
// the quantity its account can pay for, and the preset quantity.
TradeProposal ProposeTrade(Session& session);

// After a trade entered on the selected fund, whose quantity was `before`:
// a purchase the fund's account cannot pay for is refused (the message is
// shown and the quantity returns to `before`); a sale or no change passes.
Outcome CheckAccountReserve(Session& session, Prompter& prompter, double before);

// Adds a change in shares to the fund named as the fund at offset selFonds
// of the current dataset, in every dataset after the current one (none
// when the current dataset is the last).
void PropagateDelta(Portfolio& portfolio, int selFonds, double change);

// Recalculates every dataset in date order, the last one too. The cursor
// stays.
void RecalculateEveryDataSet(Session& session, const Engine::Progress& progress = {});

// The trade of the quantity row: the dialog, the checks of the account and
// of the fund's reserve, the booking and the recalculation of every
// dataset. A trade that is refused or changes nothing leaves the fund as
// it was. `progress` follows the recalculation.
Outcome BuyOrSell(Session& session, Prompter& prompter, const Engine::Progress& progress = {});

// The fund grid's double click on a row of the selected fund, with the
// grid's cells as they stand: commits them, protects older datasets, then
// trades (row Aantal), attaches an account (row Inleg) or opens the dialogs
// of the ticker and currency rows. Whatever its outcome the figures may
// have changed; the fund list when the commit or a dialog added or renamed
// a fund.
Report FondsGridDblClick(Session& session, Prompter& prompter, const QStringList& cells, int row,
                         const Engine::Progress& progress = {});

}  // namespace pelmar
