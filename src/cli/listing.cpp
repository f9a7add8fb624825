#include "cli/listing.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "commands/advice_box.h"
#include "commands/dataset_view.h"
#include "commands/file_commands.h"
#include "commands/session.h"
#include "model/conversions.h"
#include "model/currency.h"
#include "model/dates.h"
#include "returns/true_returns.h"

namespace pelmar {
namespace {

// The funds of the last dataset as listed: every fund but the placeholder
// row, in file order.
struct FundLine {
  QString ticker;
  double price = 0;
  double shares = 0;
  double value = 0;
  double reserve = 0;
  double fundReturn = 0;
  double rotaiReturn = 0;
  AdviceBox advice;
  // Where a price of an older day comes from (StalePriceNote); empty when fresh.
  QString priceNote;
  HoldingReturns trueReturns;
};

struct Listing {
  QString file;
  int dataSet = 0;
  QString date;
  double total = 0;
  double profit = 0;
  double annualReturn = 0;
  double rotaiReturn = 0;
  QString selected;
  HoldingReturns trueReturns;
  std::vector<FundLine> funds;
};

// The records of the current dataset, to be put back after looking at
// every fund: showing a fund may change its dataset as the window does,
// and the listing must leave the portfolio as opening left it.
class DataSetSnapshot {
 public:
  explicit DataSetSnapshot(Portfolio& portfolio) : portfolio_(portfolio) {
    first_ = portfolio.pAlgRec();
    const int end = portfolio.dataSetEnd(portfolio.FirstRekIndex());
    records_.assign(portfolio.records().begin() + first_, portfolio.records().begin() + end);
  }
  void restore() {
    for (size_t i = 0; i < records_.size(); ++i) {
      const int index = first_ + static_cast<int>(i);
      std::visit(
          [&](const auto& record) {
            using T = std::decay_t<decltype(record)>;
            if constexpr (std::is_same_v<T, AlgemeenRec>) portfolio_.algAt(index) = record;
            if constexpr (std::is_same_v<T, RekeningRec>) portfolio_.rekAt(index) = record;
            if constexpr (std::is_same_v<T, KoersRec>) portfolio_.koersAt(index) = record;
          },
          records_[i]);
    }
  }

 private:
  Portfolio& portfolio_;
  int first_ = 0;
  RecordList records_;
};

// Shows the selected fund as the window shows it: after opening the first
// entry of the fund list, after steps the fund they left selected (showing
// another fund would store that fund's advice, which the window never
// showed). Then the advice line of every fund is computed as the window
// shows it when the fund is selected, and the dataset is put back as it was.
Listing showLastDataSet(Session& session, const QString& fileName) {
  Portfolio& p = session.portfolio();
  Listing listing;
  listing.file = QDir::toNativeSeparators(fileName);

  const int first = p.SelFonds();
  ShowDataSet(session, p.FirstKoersIndex() + first);
  const DataSetView view = DataSetViewOf(session, fileName);
  const int rek = p.FirstRekIndex();
  const int fundCount = p.fundCount(p.FirstKoersIndex());
  std::vector<AdviceBox> advice(fundCount);
  DataSetSnapshot snapshot(p);
  for (int i = 0; i < fundCount; ++i) advice[i] = ShowAdvice(session, rek, i);
  snapshot.restore();
  // The advice results end as the selected fund's, as on the window.
  session.engine().advice().FundAdvice(rek, first);

  const AlgemeenRec& alg = p.alg();
  listing.dataSet = alg.NrOfSet;
  listing.date = view.datum;
  listing.total = alg.Totaal;
  listing.profit = alg.Winst;
  listing.annualReturn = alg.Rendement;
  listing.rotaiReturn = alg.ROTAIRendement;
  listing.selected = view.ticker;
  const TrueReturns trueReturns = TrueReturnsOf(p, rek);
  listing.trueReturns = trueReturns.portfolio;
  std::vector<const HoldingReturns*> fundReturns(fundCount, nullptr);
  for (const FundTrueReturns& fund : trueReturns.funds) fundReturns[fund.offset] = &fund.returns;
  for (int i = 0; i < fundCount; ++i) {
    const KoersRec& fund = p.koersAt(p.FirstKoersIndex() + i);
    if (fund.isPlaceholder()) continue;
    FundLine line;
    line.ticker = TrimRightBlanks(fund.Ticker);
    line.price = fund.Koers;
    line.shares = fund.Aantal;
    line.value = fund.Aantal * FundCurrencyFactor(p, alg, fund) * fund.Koers;
    line.reserve = fund.Reserve;
    line.fundReturn = fund.FRend;
    line.rotaiReturn = fund.ROTAIFRend;
    line.advice = advice[i];
    line.priceNote = StalePriceNote(session, p.FirstKoersIndex() + i);
    if (fundReturns[i]) line.trueReturns = *fundReturns[i];
    listing.funds.push_back(line);
  }
  return listing;
}

void printText(const Listing& listing, const Session& session, QTextStream& out) {
  const Language& language = session.language();
  const auto amount = [&](double value, int width) {
    return FormatAmount(value, 0, 2, language).rightJustified(width);
  };
  const auto number = [&](double value, int width) {
    return FormatAmount(value, 0, 4, language).rightJustified(width);
  };
  const auto label = [&](TextId id) { return (session.text(id) + u':').leftJustified(17); };

  out << session.text(TextId::CliPortfolio) << listing.file << '\n';
  out << session.text(TextId::DataSetPrefix) << listing.dataSet << ": " << listing.date << '\n';
  out << label(TextId::TabTotal) << amount(listing.total, 16) << '\n';
  out << label(TextId::TabProfit) << amount(listing.profit, 16) << '\n';
  out << label(TextId::CliReturn) << amount(listing.annualReturn, 16) << " %\n";
  out << label(TextId::CliRotaiReturn) << amount(listing.rotaiReturn, 16) << " %\n\n";

  out << session.text(TextId::CliTicker).leftJustified(12)
      << session.text(TextId::CliPrice).rightJustified(12)
      << session.text(TextId::CliShares).rightJustified(14)
      << session.text(TextId::CliValue).rightJustified(16)
      << session.text(TextId::CliReserve).rightJustified(16)
      << session.text(TextId::CliFundReturn).rightJustified(10)
      << session.text(TextId::CliFundRotaiReturn).rightJustified(10) << '\n';
  for (const FundLine& fund : listing.funds) {
    out << fund.ticker.leftJustified(12) << number(fund.price, 12) << number(fund.shares, 14)
        << amount(fund.value, 16) << amount(fund.reserve, 16) << amount(fund.fundReturn, 10)
        << amount(fund.rotaiReturn, 10) << '\n';
    const QString advice = fund.advice.adviesLabel.trimmed();
    if (!advice.isEmpty()) out << "    " << advice << '\n';
    if (!fund.priceNote.isEmpty()) out << "    " << fund.priceNote << '\n';
  }
}

// Amounts as the portfolio file keeps them, to four decimals, so that the
// binary remainder of the stored value does not show.
double fourDecimals(double value) {
  return static_cast<double>(Round4(value));
}

// A rate in percent to four decimals, or null when it has no meaning.
QJsonValue rateJson(const std::optional<double>& rate) {
  return rate ? QJsonValue(fourDecimals(*rate)) : QJsonValue(QJsonValue::Null);
}

// The true returns of one holding: per period the first and last day
// (ISO dates), the days, whether the rates are per year, and the rates.
QJsonObject trueReturnsJson(const HoldingReturns& returns) {
  const auto period = [](const PeriodReturns& period) {
    const auto day = [](qint64 serial) {
      return serialToDate(double(serial)).toString(Qt::ISODate);
    };
    return QJsonObject{{"from", day(period.from)},    {"to", day(period.to)},
                       {"days", period.days()},       {"perYear", period.annualised},
                       {"twr", rateJson(period.twr)}, {"irr", rateJson(period.irr)}};
  };
  return QJsonObject{
      {"sinceStart", period(returns[int(ReturnPeriod::SinceStart)])},
      {"thisYear", period(returns[int(ReturnPeriod::ThisYear)])},
      {"last12Months", period(returns[int(ReturnPeriod::Last12Months)])},
  };
}

void printJson(const Listing& listing, QTextStream& out) {
  QJsonArray funds;
  for (const FundLine& fund : listing.funds) {
    funds.append(QJsonObject{
        {"ticker", fund.ticker},
        {"price", fourDecimals(fund.price)},
        {"shares", fourDecimals(fund.shares)},
        {"value", fourDecimals(fund.value)},
        {"reserve", fourDecimals(fund.reserve)},
        {"return", fourDecimals(fund.fundReturn)},
        {"rotaiReturn", fourDecimals(fund.rotaiReturn)},
        {"advice", fund.advice.adviesLabel.trimmed()},
        {"adviceDue", fund.advice.adviesColour == AdviceColour::Blue &&
                          !fund.advice.adviesLabel.trimmed().isEmpty()},
        {"buy", fund.advice.koopLabel.trimmed()},
        {"sell", fund.advice.verkoopLabel.trimmed()},
        {"priceNote", fund.priceNote},
        {"trueReturns", trueReturnsJson(fund.trueReturns)},
    });
  }
  const QJsonObject root{
      {"file", listing.file},
      {"dataSet", listing.dataSet},
      {"date", listing.date},
      {"total", fourDecimals(listing.total)},
      {"profit", fourDecimals(listing.profit)},
      {"return", fourDecimals(listing.annualReturn)},
      {"rotaiReturn", fourDecimals(listing.rotaiReturn)},
      {"selectedFund", listing.selected},
      {"trueReturns", trueReturnsJson(listing.trueReturns)},
      {"funds", funds},
  };
  out << QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace

void printDataSet(Session& session, const QString& fileName, bool json, QTextStream& out) {
  const Listing listing = showLastDataSet(session, fileName);
  if (json) {
    printJson(listing, out);
  } else {
    printText(listing, session, out);
  }
}

}  // namespace pelmar
