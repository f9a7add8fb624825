#include "reports/actions_report.h"

#include <QHash>
#include <cmath>

#include "model/conversions.h"
#include "model/currency.h"

namespace pelmar {
namespace {

using namespace report_text;

bool isZero(double value) {
  return std::fabs(value) <= 0.0001;
}

// The name a fund is matched by across datasets.
QString matchName(const KoersRec& fund) {
  return TrimLeftBlanks(fund.Ticker).toLower();
}

class ActionsReportBuilder {
 public:
  ActionsReportBuilder(const Portfolio& portfolio, const ReportContext& context)
      : p_(portfolio),
        context_(context),
        l_(context.language),
        writer_(CharFormat{kCourierNew, 12, false}, kActionsTabStops) {}

  // The heading is printed with the first dataset's lines, and the lines of
  // one dataset on one page.
  ReportDocument build() {
    writer_.setFooter(Footer(context_));
    heading();
    int rek = Portfolio::kFirstRekIndex;
    int koers = Portfolio::kFirstKoersIndex;
    if (p_.idAt(rek - 1) == AlgemeenRec::Id) {
      dataSet(rek, -1);
      while (!p_.IsLastDataSet(rek)) {
        const int previous = rek;
        if (!p_.NextDataSet(rek, koers)) break;
        dataSet(rek, previous);
      }
    }
    writer_.line();
    WriteRemarks(writer_, l_.text(TextId::ReportRemarks));
    return writer_.take();
  }

 private:
  QString text(TextId id) const { return l_.text(id); }

  void heading() {
    writer_.keepTogether();
    writer_.setFormat(kVerdana, 18, true);
    writer_.line(TitleLine(context_, true));
    writer_.line();
    writer_.setFormat(kVerdana, 16);
    writer_.line(text(TextId::ActionsHeading) + QChar('"') + context_.portfolioName + QChar('"') +
                 QChar('.'));
    writer_.setFormat(kVerdana, 13);
    writer_.line(CurrencyLine(context_, p_.bRapInDollar()));
    writer_.setFormat(kCourierNew, 12, true);
    writer_.line(text(TextId::ActionsNumberWord));
    writer_.line(text(TextId::ActionsColumns));
    if (!l_.isDutch()) writer_.line();
  }

  // The fund lines and the account line of the dataset at rek; previous is
  // the first account of the dataset before it, -1 for the first dataset.
  void dataSet(int rek, int previous) {
    const AlgemeenRec& alg = p_.algAt(rek - 1);
    const QString datum = ShortDate(alg.Datum, context_.dates);
    const QHash<QString, double> before =
        previous < 0 ? QHash<QString, double>{} : quantities(previous);
    const int first = Portfolio::KoersIndexOf(rek);
    writer_.keepTogether();
    bool written = false;
    for (int i = first; i < first + p_.fundCount(first); ++i) {
      const KoersRec& fund = p_.koersAt(i);
      if (fund.isPlaceholder()) continue;
      const double bought = fund.Aantal - before.value(matchName(fund), 0.0);
      if (previous >= 0 && isZero(fund.Inleg) && isZero(bought) && isZero(fund.Kosten) &&
          isZero(fund.BTW) && isZero(fund.Dividend) && isZero(fund.DivBel))
        continue;
      fundLine(datum, alg, fund, bought);
      written = true;
    }
    accountLine(rek, datum, previous < 0);
    if (previous < 0 || written) writer_.line();
    writer_.endKeep();
  }

  // The number of shares of each fund of the dataset at rek by its name;
  // the first of two funds of one name counts.
  QHash<QString, double> quantities(int rek) const {
    QHash<QString, double> result;
    const int first = Portfolio::KoersIndexOf(rek);
    for (int i = first; i < first + p_.fundCount(first); ++i) {
      const KoersRec& fund = p_.koersAt(i);
      if (fund.isPlaceholder()) continue;
      const QString name = matchName(fund);
      if (!result.contains(name)) result.insert(name, fund.Aantal);
    }
    return result;
  }

  void fundLine(const QString& datum, const AlgemeenRec& alg, const KoersRec& fund, double bought) {
    const double fx = RapValutaFactor(p_, alg, fund);
    const QChar tab('\t');
    QString quantity = Fixed(bought, 10, 4, l_);
    // Wider than its column: asterisks rather than a cut number.
    if (quantity.size() > 14) quantity = QString(14, QChar('*'));
    writer_.line(tab + datum + tab + TrimLeftBlanks(fund.Ticker) + tab +
                 Fixed(fund.Inleg * fx, 10, 2, l_) + tab + quantity + tab +
                 Fixed(fund.Kosten * fx, 6, 2, l_) + tab + Fixed(fund.BTW * fx, 6, 2, l_) + tab +
                 Fixed(fund.Dividend * fx, 6, 2, l_) + tab + Fixed(fund.DivBel * fx, 6, 2, l_) +
                 tab + Fixed(fund.Koers * fx, 10, 4, l_));
  }

  // The costs and VAT booked on the five accounts; a line only when either
  // is not zero. They stand under the costs and VAT columns of the fund
  // lines, reached by the same tabs and written as wide as the fund amounts
  // there: blanks to line them up would overrun the narrow columns. A zero
  // sum is written as 0,00 in the first dataset and left empty after it.
  void accountLine(int rek, const QString& datum, bool firstDataSet) {
    double costs = 0, vat = 0;
    for (int i = rek; i < rek + Portfolio::kAccountsPerDataSet; ++i) {
      const RekeningRec& account = p_.rekAt(i);
      const double a = RekRapValutaFactor(p_, account, context_.currencyIndexPrice);
      if (!isZero(account.Kosten)) costs += account.Kosten * a;
      if (!isZero(account.BTW)) vat += account.BTW * a;
    }
    if (isZero(costs) && isZero(vat)) return;
    const auto amount = [&](double sum) {
      if (!isZero(sum) || firstDataSet) return Fixed(sum, 6, 2, l_);
      return QString();
    };
    const QChar tab('\t');
    // Date, name, then past the investment and quantity columns.
    writer_.line(tab + datum + tab + text(TextId::ActionsAccounts) + tab + tab + tab +
                 amount(costs) + tab + amount(vat));
  }

  const Portfolio& p_;
  const ReportContext& context_;
  const Language& l_;
  ReportWriter writer_;
};

}  // namespace

ReportDocument ActionsReport(const Portfolio& portfolio, const ReportContext& context) {
  return ActionsReportBuilder(portfolio, context).build();
}

}  // namespace pelmar
