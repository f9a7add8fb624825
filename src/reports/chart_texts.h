#pragma once

#include <QString>
#include <optional>

#include "lang/language.h"
#include "reports/chart_series.h"

namespace pelmar {

// The name of a ticker in the Dutch or the US download stock list of the
// price folder (blanks and case ignored), the Dutch list first; nothing when
// neither list holds it.
std::optional<QString> StockListName(const QString& priceFolder, const QString& ticker);

// The texts of a chart: the window's caption and the heading drawn over the
// plot. `listName` is the fund's name in the stock lists (nothing: not
// listed); `portfolioName` the portfolio's file name without folder.
struct ChartTexts {
  QString caption;
  QString heading;
};
ChartTexts ChartTextsOf(ChartKind kind, const QString& ticker,
                        const std::optional<QString>& listName, const QString& portfolioName,
                        const ChartSeries& series, const Language& language);

}  // namespace pelmar
