#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "commands/session.h"
#include "reports/chart_picture.h"
#include "reports/chart_series.h"
#include "reports/chart_texts.h"

namespace pelmar {

// What the chart window holds: the request it was built for, the series
// (its price list) and the texts. The window keeps one and draws from it.
struct ChartState {
  ChartRequest request;
  ChartSeries series;
  ChartTexts texts;
  // Whether the series was built for this kind and fund.
  bool holds(ChartKind kind, const QString& ticker) const;
};

// The ticker of the fund selected in the main window; nothing for the
// placeholder row ("[Nieuw]"/"[New]") or without a portfolio.
std::optional<QString> SelectedChartFund(const Session& session);

// Charts a kind for a fund (ignored for the portfolio kinds) with the
// settings' days back and return family. The same kind and fund, while a
// series is held, is not built again. False when there is nothing to chart.
bool ShowChart(Session& session, ChartState& state, ChartKind kind, const QString& ticker);
// Forgets the held series and builds it again for the current settings and
// portfolio (the days changed, the main window moved to another dataset).
bool RebuildChart(Session& session, ChartState& state);

// The menu commands: the fund selected in the main window, or the portfolio.
bool KoersFondsClick(Session& session, ChartState& state);
bool WaardeFondsClick(Session& session, ChartState& state);
bool RendementFondsClick(Session& session, ChartState& state);
bool WaardePortClick(Session& session, ChartState& state);
bool RendementPortClick(Session& session, ChartState& state);
// The time-weighted return since the start of the selected fund, and of
// the portfolio.
bool TwrFondsClick(Session& session, ChartState& state);
bool TwrPortClick(Session& session, ChartState& state);

// Whether the held chart is a yield chart built for the other return figure
// (ROTAC or ROTAI) than the settings now choose, and so must be built again.
bool ChartFollowsReturnTab(const Session& session, const ChartState& state);

// One stock of the chart window's stock list: the download lists' stocks,
// Dutch first, each list in its own order; lines without a ticker are left out.
struct ChartStock {
  QString name;
  QString ticker;
};
// `unreadable` gets the list files that exist but cannot be read, so the
// window can say so rather than show them as empty.
std::vector<ChartStock> ChartStockList(Session& session, QStringList& unreadable);

// Charts the stock picked in the stock list. A fund of the last dataset keeps
// the held fund kind (price, value or yield); any other stock, or a window
// holding a portfolio chart, charts the price. False when nothing is charted.
bool FondsListBoxDblClick(Session& session, ChartState& state, const QString& ticker);

// The held series as the settings' scale draws it.
ChartPicture ChartPictureOf(const Session& session, const ChartState& state);

// The read-out under the mouse: the day as a date, a line break, the
// currency sign and the value with four decimals.
QString ChartReadOut(const Session& session, const ChartState& state, int index);

// The export name: the fund's ticker, or the portfolio's file name.
QString ChartExportName(const Session& session, const ChartState& state);

}  // namespace pelmar
