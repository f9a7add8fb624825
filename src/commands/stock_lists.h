#pragma once

#include <QList>
#include <optional>

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"
#include "prices/source_map.h"
#include "prices/stock_list.h"

namespace pelmar {

// A cell of a list window's row as the list keeps it: a comma (which would
// split the file's line into other fields) becomes a blank, and the blanks
// around the text go.
QString StockCellText(const QString& typed);
// A ticker as the add group shows it while it is typed: upper case.
QString TypedTicker(const QString& typed);
// The row the add group makes of a company and a ticker: the company as a
// cell keeps it, the ticker upper case without blanks and an empty
// LastDate; nothing when either ends up empty.
std::optional<StockLine> NewStockRow(const QString& company, const QString& ticker);

// The rows of a download stock list, sorted, as its window shows them; nothing
// (after saying why) when the file exists but cannot be read, so that the
// window never saves an empty list over it.
std::optional<QList<StockLine>> LoadStockRows(Session& session, Prompter& prompter, Market market);

// The market's own sources and symbols of its stocks (source_map.h); nothing
// (after saying why) when their file cannot be read.
std::optional<SourceMap> LoadStockSources(Session& session, Prompter& prompter, Market market);

// Saves the window's rows as the market's list, sorted; a row without a name
// is left out. Refused, with the file named, when it cannot be written (the
// old list stays). With `sources` the stocks' own sources are saved beside
// it, after a source name that is none of the known ones has been refused
// before anything was written.
Outcome SaveStockRows(Session& session, Prompter& prompter, Market market,
                      const QList<StockLine>& rows, const SourceMap* sources = nullptr);

// Asks whether the row may be removed from the list, naming its ticker and
// name. No is the default button, so Enter keeps the row; true only on Yes.
bool ConfirmStockRowRemoval(Session& session, Prompter& prompter, const StockLine& row);

}  // namespace pelmar
