#include "reports/chart_texts.h"

#include "lang/texts.h"
#include "model/conversions.h"
#include "prices/stock_list.h"

namespace pelmar {

namespace {

QString tickerKey(const QString& ticker) {
  return RemoveBlanks(ticker).toLower();
}

// The drawn kind text; the price of a fund has none.
QString titleOf(ChartKind kind, const Language& language) {
  switch (kind) {
    case ChartKind::FundPrice:
      return {};
    case ChartKind::FundValue:
      return language.text(TextId::ChartTitleValue);
    case ChartKind::FundYield:
      return language.text(TextId::ChartTitleYield);
    case ChartKind::PortfolioValue:
      return language.text(TextId::ChartTitlePortfolioValue);
    case ChartKind::PortfolioYield:
      return language.text(TextId::ChartTitlePortfolioYield);
    case ChartKind::FundTwr:
      return language.text(TextId::ChartTitleTwr);
    case ChartKind::PortfolioTwr:
      return language.text(TextId::ChartTitlePortfolioTwr);
  }
  return {};
}

}  // namespace

std::optional<QString> StockListName(const QString& priceFolder, const QString& ticker) {
  const QString key = tickerKey(ticker);
  for (const Market market : {Market::Dutch, Market::Us}) {
    for (const QString& line : LoadStockList(stockListPath(priceFolder, market))) {
      const StockLine stock = StockLine::split(line);
      if (tickerKey(stock.ticker) == key) return stock.name;
    }
  }
  return std::nullopt;
}

ChartTexts ChartTextsOf(ChartKind kind, const QString& ticker,
                        const std::optional<QString>& listName, const QString& portfolioName,
                        const ChartSeries& series, const Language& language) {
  const QString fund = ticker.trimmed();
  const QString named =
      fund + QStringLiteral(" (") + listName.value_or(language.text(TextId::ChartNotListed)) + u')';
  ChartTexts texts;
  switch (kind) {
    case ChartKind::FundPrice:
      texts.caption = named;
      break;
    case ChartKind::FundValue:
      texts.caption = language.text(TextId::ChartCaptionValue) + named;
      break;
    case ChartKind::FundYield:
      texts.caption = language.text(TextId::ChartCaptionYield) + named;
      break;
    case ChartKind::PortfolioValue:
      texts.caption = language.text(TextId::ChartCaptionPortfolioValue).arg(portfolioName);
      break;
    case ChartKind::PortfolioYield:
      texts.caption = language.text(TextId::ChartCaptionPortfolioYield);
      break;
    case ChartKind::FundTwr:
      texts.caption = language.text(TextId::ChartCaptionTwr) + named;
      break;
    case ChartKind::PortfolioTwr:
      texts.caption = language.text(TextId::ChartCaptionPortfolioTwr);
      break;
  }
  const QString title = titleOf(kind, language);
  if (!isFundChart(kind)) {
    texts.heading = title;
  } else {
    texts.heading = title.isEmpty() ? named : title + u' ' + named;
    // Returns are percentages already: no change of the series is added.
    if (kind != ChartKind::FundYield && kind != ChartKind::FundTwr)
      texts.heading +=
          QStringLiteral(" [") + ChangeText(SeriesChange(series), language) + QStringLiteral("%]");
  }
  return texts;
}

}  // namespace pelmar
