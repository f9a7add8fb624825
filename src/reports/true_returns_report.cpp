#include "reports/true_returns_report.h"

#include <QHash>

#include "model/conversions.h"
#include "returns/true_returns.h"

namespace pelmar {

using namespace report_text;

namespace {

// One return as the table writes it: 8,2 and "%", " p.j." when per year,
// or the no-rate text.
QString returnText(const std::optional<double>& value, bool annualised, const Language& l) {
  if (!value) return l.text(TextId::TrueNoRate).rightJustified(8);
  QString text = Return(*value, l) + QChar('%');
  if (annualised) text += QChar(' ') + l.text(TextId::TruePerYear);
  return text;
}

QString returnsRow(const QString& label, const HoldingReturns& returns, const Language& l) {
  QString row = label;
  for (const auto rate : {&PeriodReturns::twr, &PeriodReturns::irr}) {
    for (const PeriodReturns& period : returns)
      row += QChar('\t') + returnText(period.*rate, period.annualised, l);
  }
  return row;
}

}  // namespace

void WriteTrueReturns(ReportWriter& writer, const Portfolio& portfolio, int rekIndex,
                      const std::vector<int>& fundIndices, const ReportContext& context) {
  const Language& l = context.language;
  const TrueReturns returns = TrueReturnsOf(portfolio, rekIndex);
  QHash<int, const HoldingReturns*> byIndex;
  const int first = Portfolio::KoersIndexOf(rekIndex);
  for (const FundTrueReturns& fund : returns.funds)
    byIndex.insert(first + fund.offset, &fund.returns);
  const AlgemeenRec& alg = portfolio.algAt(rekIndex - 1);
  const auto date = [&](qint64 day) { return ShortDate(double(day), context.dates); };

  // The section is printed on one page where it fits, as the others are.
  writer.setTabStops(kTrueReturnTabStops);
  writer.keepTogether();
  writer.setFormat(kVerdana, 16);
  writer.line(QChar('\t') + l.text(TextId::TrueReportHeading) + QChar('"') + context.portfolioName +
              QChar('"') + l.text(TextId::ReportAtDate) + date(qint64(wholeDay(alg.Datum))) +
              QChar('.'));
  writer.setFormat(kVerdana, 13);
  const HoldingReturns& whole = returns.portfolio;
  writer.line(l.text(TextId::TrueReportPeriods)
                  .arg(date(whole[int(ReturnPeriod::SinceStart)].from),
                       date(whole[int(ReturnPeriod::ThisYear)].from),
                       date(whole[int(ReturnPeriod::Last12Months)].from)));
  writer.line(l.text(TextId::TrueReportNotes));
  writer.line();
  writer.setFormat(kCourierNew, 12, true);
  writer.line(l.text(TextId::TrueReportColumns));
  for (const int index : fundIndices) {
    const HoldingReturns* fund = byIndex.value(index);
    if (!fund) continue;  // a second fund of one name has no returns of its own
    writer.line(
        returnsRow(QChar('\t') + TrimLeftBlanks(portfolio.koersAt(index).Ticker), *fund, l));
  }
  writer.line(l.text(TextId::TrueReportRule));
  writer.line(returnsRow(l.text(TextId::TrueReportPortfolio), whole, l));
  writer.endKeep();
  writer.line();
  writer.line();
}

}  // namespace pelmar
