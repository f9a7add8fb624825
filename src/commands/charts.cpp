#include "commands/charts.h"

#include <QFileInfo>

#include "commands/file_commands.h"
#include "engine/fund_names.h"
#include "model/conversions.h"
#include "model/dates.h"
#include "prices/stock_list.h"

namespace pelmar {

namespace {

QString portfolioName(const Session& session) {
  return QFileInfo(CurrentFileName(session)).completeBaseName();
}

bool fundChart(Session& session, ChartState& state, ChartKind kind) {
  const std::optional<QString> fund = SelectedChartFund(session);
  return fund && ShowChart(session, state, kind, *fund);
}

// The offset of a ticker among the funds of the last dataset; -1 when it is
// not one of them.
int lastSetOffset(const Portfolio& p, const QString& ticker) {
  if (p.isEmpty()) return -1;
  const FundNameIndex names(p, p.LastSetKoersIndex());
  return names.offsetOf(FundNameIndex::key(ticker));
}

// The currency text of the read-out: a fund's price is in the fund's
// currency, a value in the portfolio's.
QString currencySign(const Session& session, const ChartState& state) {
  const Portfolio& p = session.portfolio();
  if (state.request.kind == ChartKind::FundPrice) {
    const int offset = lastSetOffset(p, state.request.ticker);
    if (offset >= 0) return p.koersAt(p.LastSetKoersIndex() + offset).Valuta.str().trimmed() + u' ';
  }
  return p.bPortInDollar() ? QStringLiteral("US$ ") : QStringLiteral("€ ");
}

}  // namespace

bool ChartState::holds(ChartKind kind, const QString& ticker) const {
  if (series.empty() || request.kind != kind) return false;
  return !isFundChart(kind) || FundNameIndex::key(request.ticker) == FundNameIndex::key(ticker);
}

std::optional<QString> SelectedChartFund(const Session& session) {
  const Portfolio& p = session.portfolio();
  if (p.isEmpty() || (!p.bPortOpened() && !p.bPortNew())) return std::nullopt;
  const KoersRec& fund = p.koers();
  if (fund.isPlaceholder() || RemoveBlanks(fund.Ticker).isEmpty()) return std::nullopt;
  return QString(fund.Ticker);
}

bool ShowChart(Session& session, ChartState& state, ChartKind kind, const QString& ticker) {
  if (state.holds(kind, ticker)) return true;
  state.request.kind = kind;
  state.request.ticker = isFundChart(kind) ? ticker.trimmed() : QString();
  return RebuildChart(session, state);
}

bool RebuildChart(Session& session, ChartState& state) {
  const Settings& settings = session.settings();
  state.request.daysBack = ClampDaysBack(settings.chartDays);
  state.request.rotai = settings.showRotai;
  session.prices().refresh();
  state.series = BuildChartSeries(session.portfolio(), session.prices(), state.request);
  const std::optional<QString> listName =
      isFundChart(state.request.kind)
          ? StockListName(session.prices().folder(), state.request.ticker)
          : std::nullopt;
  state.texts = ChartTextsOf(state.request.kind, state.request.ticker, listName,
                             portfolioName(session), state.series, session.language());
  return !state.series.empty();
}

bool KoersFondsClick(Session& session, ChartState& state) {
  return fundChart(session, state, ChartKind::FundPrice);
}

bool WaardeFondsClick(Session& session, ChartState& state) {
  return fundChart(session, state, ChartKind::FundValue);
}

bool RendementFondsClick(Session& session, ChartState& state) {
  return fundChart(session, state, ChartKind::FundYield);
}

bool WaardePortClick(Session& session, ChartState& state) {
  return ShowChart(session, state, ChartKind::PortfolioValue, {});
}

bool RendementPortClick(Session& session, ChartState& state) {
  return ShowChart(session, state, ChartKind::PortfolioYield, {});
}

bool TwrFondsClick(Session& session, ChartState& state) {
  return fundChart(session, state, ChartKind::FundTwr);
}

bool TwrPortClick(Session& session, ChartState& state) {
  return ShowChart(session, state, ChartKind::PortfolioTwr, {});
}

bool ChartFollowsReturnTab(const Session& session, const ChartState& state) {
  const bool yield =
      state.request.kind == ChartKind::FundYield || state.request.kind == ChartKind::PortfolioYield;
  return yield && !state.series.empty() && state.request.rotai != session.settings().showRotai;
}

std::vector<ChartStock> ChartStockList(Session& session, QStringList& unreadable) {
  std::vector<ChartStock> stocks;
  for (const Market market : {Market::Dutch, Market::Us}) {
    const QString path = stockListPath(session.prices().folder(), market);
    bool ok = true;
    const QStringList lines = LoadStockList(path, &ok);
    if (!ok) unreadable.append(path);
    for (const QString& line : lines) {
      const StockLine stock = StockLine::split(line);
      if (RemoveBlanks(stock.ticker).isEmpty()) continue;
      stocks.push_back({stock.name.trimmed(), stock.ticker.trimmed()});
    }
  }
  return stocks;
}

bool FondsListBoxDblClick(Session& session, ChartState& state, const QString& ticker) {
  if (RemoveBlanks(ticker).isEmpty()) return false;
  const bool keepKind =
      isFundChart(state.request.kind) && lastSetOffset(session.portfolio(), ticker) >= 0;
  const ChartKind kind = keepKind ? state.request.kind : ChartKind::FundPrice;
  return ShowChart(session, state, kind, ticker);
}

ChartPicture ChartPictureOf(const Session& session, const ChartState& state) {
  const ChartScale scale =
      session.settings().chartNormal ? ChartScale::Normal : ChartScale::Relative;
  return PictureOf(state.series, state.texts.heading, scale, state.request.daysBack,
                   session.language());
}

QString ChartReadOut(const Session& session, const ChartState& state, int index) {
  if (index < 0 || index >= int(state.series.size())) return {};
  const ChartPoint& point = state.series[std::size_t(index)];
  QString value = QString::number(point.value, 'f', 4);
  value.replace(u'.', session.language().decimalSeparator());
  const DateFormat dates = dateFormatFromSetting(session.settings().dateFormat);
  // A return (yearly or time-weighted) is a percentage, without currency.
  const ChartKind kind = state.request.kind;
  if (isYieldChart(kind) || isTwrChart(kind))
    value += QStringLiteral(" %");
  else
    value.prepend(currencySign(session, state));
  return formatDate(serialToDate(double(point.day)), dates) + u'\n' + value;
}

QString ChartExportName(const Session& session, const ChartState& state) {
  return isFundChart(state.request.kind) ? state.request.ticker : portfolioName(session);
}

}  // namespace pelmar
