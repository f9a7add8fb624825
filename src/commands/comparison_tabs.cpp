#include "commands/comparison_tabs.h"

#include "model/conversions.h"
#include "model/currency.h"
#include "returns/true_returns.h"

namespace pelmar {

namespace {

// Returns above this are shown as asterisks.
constexpr double kLargestShownReturn = 99999;

// The portfolio columns: sums over the funds of the current dataset up to
// its placeholder row, each amount in the portfolio currency.
struct PortfolioSums {
  long double value = 0;
  long double reserve = 0;
  long double cumInleg = 0;
  long double interest = 0;
};

PortfolioSums sumFunds(const Portfolio& portfolio) {
  PortfolioSums sums;
  const int first = portfolio.FirstKoersIndex();
  const int count = portfolio.fundCount(first);
  for (int i = first; i < first + count; ++i) {
    const KoersRec& fund = portfolio.koersAt(i);
    if (fund.isPlaceholder()) break;
    const long double fx = FundCurrencyFactor(portfolio, portfolio.alg(), fund);
    sums.value += static_cast<long double>(fund.Koers) * fund.Aantal * fx;
    sums.reserve += fund.Reserve;
    sums.cumInleg += fund.CumInleg;
    sums.interest += fund.RatCumRente * fx;
  }
  return sums;
}

QString amount(long double value, const Language& language) {
  return FormatAmount(static_cast<double>(value), 12, 2, language);
}

QString yield(double value, const Language& language) {
  return value > kLargestShownReturn ? QStringLiteral("*********") : amount(value, language);
}

// The line kinds of both tabs.
QString headerLine(const Language& language) {
  return QLatin1Char(';') + language.text(TextId::TabCurrentStock) + QLatin1String(";;") +
         language.text(TextId::TabTotalPortfolio) + QLatin1Char(';');
}
QString blankLine() {
  return QStringLiteral(" ; ; ; ;");
}
QString ruleLine() {
  return QStringLiteral(";------------------; +;-----------------; +");
}
QString figureLine(const QString& label, const QString& a, const QString& b) {
  return label + QLatin1Char(';') + a + QLatin1String(";;") + b + QLatin1Char(';');
}
QString returnLine(const QString& label, const QString& a, const QString& b) {
  return label + QLatin1Char(';') + a + QLatin1String("; %;") + b + QLatin1String("; %");
}

// The figures both tabs share for the current fund.
struct FundFigures {
  long double fx;
  long double value;
  QString reference;
  QString interest;
};

FundFigures fundFigures(const Portfolio& portfolio, const Language& language) {
  const KoersRec& fund = portfolio.koers();
  FundFigures figures;
  figures.fx = FundCurrencyFactor(portfolio, portfolio.alg(), fund);
  figures.value = static_cast<long double>(fund.Koers) * fund.Aantal * figures.fx;
  figures.reference = amount(fund.RefWrde * figures.fx, language);
  figures.interest = amount(fund.RatCumRente * figures.fx, language);
  return figures;
}

// A sum divided by a duration in days; undivided while there is none.
long double perDay(long double sum, qint32 days) {
  return days == 0 ? sum : sum / days;
}

}  // namespace

TabLine SplitTabLine(const QString& line) {
  const QStringList fields = line.split(QLatin1Char(';'));
  return {fields.value(0), fields.value(1), fields.value(2), fields.value(3), fields.value(4)};
}

QStringList TabRotac(const Portfolio& portfolio, const Language& language) {
  const KoersRec& fund = portfolio.koers();
  const AlgemeenRec& alg = portfolio.alg();
  const FundFigures figures = fundFigures(portfolio, language);
  const PortfolioSums sums = sumFunds(portfolio);
  const auto text = [&](TextId id) { return language.text(id); };
  return {
      headerLine(language),
      blankLine(),
      figureLine(text(TextId::TabReference), figures.reference, {}),
      figureLine(text(TextId::TabAccumCash), amount(fund.CumInleg, language),
                 amount(sums.cumInleg, language)),
      figureLine(text(TextId::TabAccumInterest), figures.interest, amount(sums.interest, language)),
      blankLine(),
      figureLine(text(TextId::TabValue), amount(figures.value, language),
                 amount(sums.value, language)),
      figureLine(text(TextId::TabReserve), amount(fund.Reserve, language),
                 amount(sums.reserve, language)),
      ruleLine(),
      figureLine(text(TextId::TabTotal), amount(figures.value + fund.Reserve, language),
                 amount(alg.Totaal, language)),
      figureLine(text(TextId::TabProfit),
                 amount(figures.value + fund.Reserve - fund.CumInleg, language),
                 amount(alg.Winst, language)),
      returnLine(text(TextId::TabAnnualYield), yield(fund.FRend, language),
                 yield(alg.Rendement, language)),
  };
}

QStringList TabRotai(const Portfolio& portfolio, const Language& language) {
  const KoersRec& fund = portfolio.koers();
  const AlgemeenRec& alg = portfolio.alg();
  const FundFigures figures = fundFigures(portfolio, language);
  const PortfolioSums sums = sumFunds(portfolio);
  const auto text = [&](TextId id) { return language.text(id); };
  // The portfolio's weighted investment is divided by the portfolio's own
  // duration PDuur, as the portfolio's ROTAI return divides it, so the
  // figure is the average investment of the whole portfolio period. The
  // selected fund's FDuur would make the portfolio figure change with the
  // fund that happens to be selected.
  return {
      headerLine(language),
      blankLine(),
      figureLine(text(TextId::TabReference), figures.reference, {}),
      figureLine(text(TextId::TabWeightedCash),
                 amount(perDay(fund.ROTAIGewInleg, fund.FDuur), language),
                 amount(perDay(alg.ROTAISomGewInleg, alg.PDuur), language)),
      figureLine(text(TextId::TabCapital), amount(fund.Reserve, language),
                 amount(sums.reserve, language)),
      figureLine(text(TextId::TabAccumInterest), figures.interest, amount(sums.interest, language)),
      blankLine(),
      figureLine(text(TextId::TabValue), amount(figures.value, language),
                 amount(sums.value, language)),
      figureLine(text(TextId::TabAccumCash), amount(fund.ROTAICumInleg, language),
                 amount(alg.ROTAISomCumInleg, language)),
      ruleLine(),
      figureLine(text(TextId::TabProfit), amount(figures.value - fund.ROTAICumInleg, language),
                 amount(alg.ROTAIWinst, language)),
      returnLine(text(TextId::TabAnnualYield), yield(fund.ROTAIFRend, language),
                 yield(alg.ROTAIRendement, language)),
  };
}

QStringList TabTrueReturns(const Portfolio& portfolio, const Language& language, DateFormat dates) {
  const TrueReturns returns =
      TrueReturnsOf(portfolio, portfolio.FirstRekIndex(), {false, portfolio.koers().Ticker.str()});
  // The selected fund's; the placeholder row has none.
  const HoldingReturns* fund =
      !returns.funds.empty() && returns.funds.front().offset == portfolio.SelFonds()
          ? &returns.funds.front().returns
          : nullptr;
  const auto text = [&](TextId id) { return language.text(id); };
  // A rate with its suffix: " %", or " % p.j." per year; without a rate
  // the no-rate text.
  using Rate = std::optional<double> PeriodReturns::*;
  const auto rate = [&](const PeriodReturns* period, Rate which) {
    if (!period || !(period->*which)) return text(TextId::TrueNoRate) + QLatin1String(";");
    const QString suffix = period->annualised ? QStringLiteral(" % ") + text(TextId::TruePerYear)
                                              : QStringLiteral(" %");
    return yield(*(period->*which), language) + QLatin1Char(';') + suffix;
  };
  const TextId periods[kReturnPeriods] = {TextId::TruePeriodStart, TextId::TruePeriodYear,
                                          TextId::TruePeriod12Months};
  QStringList lines{headerLine(language), blankLine()};
  for (const auto& [name, which] :
       {std::pair<QString, Rate>(QStringLiteral("TWR "), &PeriodReturns::twr),
        std::pair<QString, Rate>(QStringLiteral("IRR "), &PeriodReturns::irr)}) {
    for (int period = 0; period < kReturnPeriods; ++period) {
      lines << name + text(periods[period]) + QLatin1Char(';') +
                   rate(fund ? &(*fund)[period] : nullptr, which) + QLatin1Char(';') +
                   rate(&returns.portfolio[period], which);
    }
    lines << blankLine();
  }
  const auto from = [&](const HoldingReturns* holding) {
    return holding ? formatDate(serialToDate(double((*holding)[0].from)), dates) : QString();
  };
  lines << figureLine(text(TextId::TrueFrom), from(fund), from(&returns.portfolio));
  return lines;
}

ReturnTab StoredReturnTab(const Settings& settings) {
  return settings.showRotai ? ReturnTab::Rotai : ReturnTab::Rotac;
}

void ChooseReturnTab(Settings& settings, ReturnTab tab) {
  if (tab != ReturnTab::TrueReturns) settings.showRotai = tab == ReturnTab::Rotai;
}

}  // namespace pelmar
