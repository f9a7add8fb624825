#pragma once

#include <QList>
#include <optional>

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"
#include "prices/stock_list.h"

namespace pelmar {

// The rows of a download stock list, sorted, as its window shows them; nothing
// (after saying why) when the file exists but cannot be read, so that the
// window never saves an empty list over it.
std::optional<QList<StockLine>> LoadStockRows(Session& session, Prompter& prompter, Market market);

// Saves the window's rows as the market's list, sorted; a row without a name
// is left out. Refused, with the file named, when it cannot be written (the
// old list stays).
Outcome SaveStockRows(Session& session, Prompter& prompter, Market market,
                      const QList<StockLine>& rows);

// Asks whether the row may be removed from the list, naming its ticker and
// name. No is the default button, so Enter keeps the row; true only on Yes.
bool ConfirmStockRowRemoval(Session& session, Prompter& prompter, const StockLine& row);

}  // namespace pelmar
