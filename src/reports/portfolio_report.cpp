#include "reports/portfolio_report.h"

#include <algorithm>

#include "model/conversions.h"
#include "model/currency.h"

namespace pelmar {
namespace {

using namespace report_text;

// The sums of one fund table.
struct FundSums {
  double value = 0;
  double reserve = 0;
  double invested = 0;  // CumInleg, or ROTAICumInleg
  double weighted = 0;  // column 6 of the ROTAI table
  double costs = 0;
  double dividend = 0;
  double dividendTax = 0;
  double vat = 0;
};

enum class View { Rotac, Rotai };

class PortfolioReportBuilder {
 public:
  PortfolioReportBuilder(const Portfolio& portfolio, int rekIndex, const ReportContext& context)
      : p_(portfolio),
        rek_(rekIndex),
        alg_(portfolio.algAt(rekIndex - 1)),
        context_(context),
        l_(context.language),
        writer_(CharFormat{kCourierNew, 11, false}, kFundTabStops) {}

  // Each section is printed on one page where it fits, a title line with
  // the section after it: every line of it is kept with the next but the last.
  ReportDocument build() {
    writer_.setFooter(Footer(context_));
    titleLine();
    fundSection(View::Rotac);
    if (!l_.isDutch()) titleLine();
    fundSection(View::Rotai);
    accountSection();
    WriteRemarks(writer_, l_.text(TextId::ReportRemarks));
    return writer_.take();
  }

 private:
  QString text(TextId id) const { return l_.text(id); }
  QString fixed(double value, int width) const { return Fixed(value, width, 2, l_); }
  QString date(DateTime serial) const { return ShortDate(serial, context_.dates); }
  QString quotedName() const { return QChar('"') + context_.portfolioName + QChar('"'); }

  // The day the report is made is in the footer: the heading's one date is
  // the dataset's.
  void titleLine() {
    writer_.setFormat(kVerdana, 18, true);
    writer_.keepTogether();
    writer_.line(TitleLine(context_, false));
    writer_.line();
  }

  // Heading lines 3 and 4: the cumulative date and the report currency.
  void cumulativeAndCurrency() {
    writer_.setFormat(kVerdana, 13);
    writer_.line(text(TextId::ReportCumulativeFrom) + date(alg_.CumDatum) + QChar('.'));
    writer_.line(CurrencyLine(context_, p_.bRapInDollar()));
    writer_.line();
  }

  // The funds of the dataset in the order of the main window's fund list.
  std::vector<int> fundIndices() const {
    const int first = Portfolio::KoersIndexOf(rek_);
    std::vector<std::pair<QString, int>> funds;
    for (int i = first; i < first + p_.fundCount(first); ++i) {
      const KoersRec& fund = p_.koersAt(i);
      if (!fund.isPlaceholder()) funds.emplace_back(TrimRightBlanks(fund.Ticker).toLower(), i);
    }
    std::stable_sort(funds.begin(), funds.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> indices;
    for (const auto& fund : funds) indices.push_back(fund.second);
    return indices;
  }

  void fundSection(View view) {
    writer_.keepTogether();
    writer_.setFormat(kVerdana, 16);
    writer_.line(
        text(view == View::Rotac ? TextId::ReportRotacHeading : TextId::ReportRotaiHeading) +
        quotedName() + text(TextId::ReportAtDate) + date(alg_.Datum) + QChar('.'));
    cumulativeAndCurrency();
    writer_.setFormat(kCourierNew, 12, true);
    writer_.line(
        text(view == View::Rotac ? TextId::ReportRotacColumns : TextId::ReportRotaiColumns));
    FundSums sums;
    for (int index : fundIndices()) fundRow(view, index, sums);
    fundTotals(view, sums);
  }

  // "* Price of an earlier day: 2026-01-02 (DBG, KMG)" when a price is
  // marked, the funds grouped by the day of their price.
  QString earlierPricesNote() const {
    QList<QDate> days;
    QHash<QDate, QStringList> funds;
    for (int index : fundIndices()) {
      const auto day = context_.earlierPriceDays.constFind(index);
      if (day == context_.earlierPriceDays.constEnd()) continue;
      if (!funds.contains(*day)) days << *day;
      funds[*day] << TrimLeftBlanks(p_.koersAt(index).Ticker);
    }
    QStringList groups;
    for (const QDate& day : days)
      groups << date(dateToSerial(day)) + QStringLiteral(" (") +
                    funds[day].join(QStringLiteral(", ")) + QChar(')');
    return groups.isEmpty()
               ? QString()
               : QChar('\t') +
                     text(TextId::ReportEarlierPrices).arg(groups.join(QStringLiteral("; ")));
  }

  void fundRow(View view, int index, FundSums& sums) {
    const KoersRec& fund = p_.koersAt(index);
    const double fx = RapValutaFactor(p_, alg_, fund);
    const double value = fund.Koers * fund.Aantal * fx;
    const double weighted = fund.FDuur > 0 ? fund.ROTAIGewInleg / fund.FDuur : 0.0;
    const double invested = view == View::Rotac ? fund.CumInleg : fund.ROTAICumInleg;
    sums.value += value;
    sums.reserve += fund.Reserve;
    sums.invested += invested;
    sums.weighted += weighted;
    sums.costs += fund.CumKosten * fx;
    sums.dividend += fund.CumDividend * fx;
    sums.dividendTax += fund.CumDivBel * fx;
    sums.vat += fund.CumBTW * fx;
    const QChar tab('\t');
    // A price of an earlier day is marked; the note under the table says which.
    const QString mark =
        context_.earlierPriceDays.contains(index) ? QStringLiteral("*") : QString();
    QString row = tab + TrimLeftBlanks(fund.Ticker) + tab + fixed(fund.Aantal, 9) + tab +
                  fixed(fund.Koers * fx, 9) + mark + tab + fixed(value, 12) + tab +
                  fixed(fund.Reserve, 12) + tab;
    if (view == View::Rotac) {
      row += fixed(fund.CumInleg, 12) + tab + fixed(value + fund.Reserve - fund.CumInleg, 11) +
             tab + Return(fund.FRend, l_);
    } else {
      row += fixed(weighted, 12) + tab + fixed(value - fund.ROTAICumInleg, 11) + tab +
             Return(fund.ROTAIFRend, l_);
    }
    writer_.line(row + QChar('%'));
  }

  void fundTotals(View view, const FundSums& sums) {
    const QChar tab('\t');
    writer_.line(text(TextId::ReportFundRule));
    QString totals =
        text(TextId::ReportFundSums) + fixed(sums.value, 12) + tab + fixed(sums.reserve, 12) + tab;
    if (view == View::Rotac) {
      totals += fixed(sums.invested, 12) + tab +
                fixed(sums.value + sums.reserve - sums.invested, 11) + tab +
                Return(alg_.Rendement, l_);
    } else {
      // The Dutch report divides the dataset's weighted investment by its
      // duration; a dataset without a duration has none.
      const double weighted = !l_.isDutch()    ? sums.weighted
                              : alg_.PDuur > 0 ? alg_.ROTAISomGewInleg / alg_.PDuur
                                               : 0.0;
      totals += fixed(weighted, 12) + tab + fixed(sums.value - sums.invested, 11) + tab +
                Return(alg_.ROTAIRendement, l_);
    }
    writer_.line(totals + QChar('%'));
    if (const QString note = earlierPricesNote(); !note.isEmpty()) writer_.line(note);
    writer_.line();
    summary(TextId::ReportTotalValue, sums.value + sums.reserve);
    summary(TextId::ReportFundCosts, sums.costs);
    summary(TextId::ReportDividend, sums.dividend);
    summary(TextId::ReportDividendTax, sums.dividendTax);
    summary(TextId::ReportFundVat, sums.vat);
    writer_.endKeep();
    writer_.line();
    writer_.line();
  }

  void summary(TextId label, double value, int width = 12) {
    writer_.line(text(label) + fixed(value, width));
  }

  void accountSection() {
    writer_.setTabStops(l_.isDutch() ? kAccountTabStopsDutch : kAccountTabStopsEnglish);
    writer_.keepTogether();
    writer_.setFormat(kVerdana, 16);
    writer_.line(text(TextId::ReportAccountsHeading) + quotedName() +
                 text(TextId::ReportAccountsAtDate) + date(alg_.Datum) + QChar('.'));
    writer_.setFormat(kVerdana, 13);
    writer_.line(text(TextId::ReportCumulativeFrom) + date(alg_.CumDatum) + QChar('.'));
    writer_.line();
    writer_.setFormat(kCourierNew, 12, true);
    writer_.line(text(TextId::ReportAccountColumns));

    const double rate = AccountDollarRate(alg_, context_);
    double balance = 0, credit = 0, debit = 0, costs = 0, vat = 0;
    const QChar tab('\t');
    for (int i = rek_; i < rek_ + Portfolio::kAccountsPerDataSet; ++i) {
      const RekeningRec& account = p_.rekAt(i);
      const double a = ReportCurrencyFactor(account.Valuta, p_.bRapInDollar(), rate);
      const double net = (account.Saldo + account.CumCRente + account.CumDRente -
                          account.CumKosten - account.CumBTW) *
                         a;
      balance += net;
      credit += account.CumCRente * a;
      debit += account.CumDRente * a;
      costs += account.CumKosten * a;
      vat += account.CumBTW * a;
      writer_.line(tab + account.RekNaam.str() + tab + account.RekNummer.str() + tab +
                   Fixed(account.CredRente, 6, 2, l_) + tab + Fixed(account.DebRente, 6, 2, l_) +
                   tab + fixed(net, 12) + tab + fixed(account.CumCRente * a, 9) + tab +
                   fixed(account.CumDRente * a, 9) + tab + fixed(account.CumKosten * a, 9) + tab +
                   fixed(account.CumBTW * a, 8));
    }
    writer_.line(text(TextId::ReportAccountRule));
    writer_.line(text(TextId::ReportAccountSums) + fixed(balance, 12) + tab + fixed(credit, 9) +
                 tab + fixed(debit, 9) + tab + fixed(costs, 9) + tab + fixed(vat, 8));
    writer_.line();
    summary(TextId::ReportInterestReceived, credit, 9);
    summary(TextId::ReportInterestPaid, debit, 9);
    summary(TextId::ReportAccountCosts, costs, 9);
    summary(TextId::ReportAccountVat, vat, 9);
    writer_.endKeep();
    writer_.line();
    writer_.line();
  }

  const Portfolio& p_;
  int rek_;
  const AlgemeenRec& alg_;
  const ReportContext& context_;
  const Language& l_;
  ReportWriter writer_;
};

}  // namespace

double AccountDollarRate(const AlgemeenRec& dataSet, const ReportContext& context) {
  if (wholeDay(dataSet.Datum) > dateToSerial(context.today)) return dataSet.Dollar;
  return context.currentDollar < 0.1 ? dataSet.Dollar.value() : context.currentDollar;
}

ReportDocument PortfolioReport(const Portfolio& portfolio, int rekIndex,
                               const ReportContext& context) {
  return PortfolioReportBuilder(portfolio, rekIndex, context).build();
}

}  // namespace pelmar
