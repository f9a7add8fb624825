#pragma once

#include <QString>
#include <optional>

#include "commands/prompter.h"
#include "commands/session.h"
#include "commands/trading.h"
#include "engine/engine.h"
#include "lang/outcome.h"

namespace pelmar {

// The first purchase as the new-fund dialog's three edits hold it.
struct NewFundFigures {
  QString investment;
  QString number;
  QString value;
};

// The dialog's recomputes once typing has paused in one edit (its timers
// call them). The investment becomes the value when that is larger, else
// it stays as typed, written with two decimals; a number that reads as
// zero ("0,0000") is emptied. Typing a number recomputes the value
// (number × price, two decimals), typing a value the number (value / price,
// four decimals, not rounded to whole shares); each then adjusts the
// investment as above.
NewFundFigures InvestmentTimerTimer(const NewFundFigures& typed, const Language& language);
NewFundFigures NumberTimerTimer(const NewFundFigures& typed, double price,
                                const Language& language);
NewFundFigures ValueTimerTimer(const NewFundFigures& typed, double price, const Language& language);
// The manual dialog's value: price × number with two decimals.
QString FakeFundValue(const QString& price, const QString& number, const Language& language);

// The ticker a manual fund takes from its name, as the manual dialog
// proposes it while the name is typed: the name in lower case.
QString ManualFundTicker(const QString& name);

// The market the new-fund dialog starts with: the Dutch list in Dutch,
// the US list otherwise.
Market NewFundMarket(const Session& session);

// Whether a fund of that ticker (blanks and case ignored) is in the current
// dataset or a later one, where the new fund would be copied to.
bool FundInPortfolio(const Portfolio& portfolio, const QString& ticker);

// A list button of the new-fund dialog: the stock picked from the market's
// list, with its price from the daily price files on the current dataset's
// date or, when they have none, as the user types it. Not ok (after saying
// why) when the list was cancelled, no price above 0.01 was given, or the
// portfolio already holds the ticker.
NewFundPick PickNewFund(Session& session, Prompter& prompter, Market market);

// The OK of either new-fund dialog: the fund is made from the placeholder
// row of the current dataset with the market's country and currency (the
// manual one with the portfolio's, marked FakeFund), its first purchase is
// written as the grid writes typed values, and a copy goes into every later
// dataset holding the quantity, no investment and that dataset's price
// (from the daily files; a manual fund keeps its typed price). With an
// investment the account chooser follows. Every dataset is recalculated.
// Refused, with nothing changed, for an empty ticker, a ticker already in
// the portfolio, a price of 0.01 or less, a negative investment or number,
// or a full portfolio.
Outcome AddNewFund(Session& session, Prompter& prompter, const NewFundEntry& entry, bool manual,
                   const Engine::Progress& progress = {});

// The new-fund dialog of the download lists and the manual one, each with
// its OK; stopped when cancelled.
Outcome NewFundFromLists(Session& session, Prompter& prompter,
                         const Engine::Progress& progress = {});
Outcome NewManualFund(Session& session, Prompter& prompter, const Engine::Progress& progress = {});

// The menu's new fund: selects the placeholder row of the current dataset
// and runs the grid's double click on its ticker row, which asks whether
// the stock is in the download lists and opens the matching dialog.
Report NieuwFondsClick(Session& session, Prompter& prompter, const Engine::Progress& progress = {});

// The headless new fund: the ticker looked up in the Dutch and then the US
// list (refused when in neither); the price from the daily files when not
// given (refused when they have none).
Report NewFundByTicker(Session& session, Prompter& prompter, const QString& ticker,
                       std::optional<double> price, double quantity);
// The headless manual fund: named `name`, with the ticker the name gives,
// `quantity` bought at `price`.
Report NewManualFundNamed(Session& session, Prompter& prompter, const QString& name, double price,
                          double quantity);

}  // namespace pelmar
