#include "commands/dataset_view.h"

#include <QDir>

#include "commands/datasets.h"
#include "model/conversions.h"
#include "model/dates.h"
#include "prices/price_update.h"

namespace pelmar {

namespace {

// A dollar rate that cannot be right once normalised.
constexpr double kMinDollar = 0.01;
constexpr double kFallbackDollar = 0.93;
QString trueFalse(bool value) {
  return value ? QStringLiteral("True") : QStringLiteral("False");
}

// The reciprocal rounded to 4 decimals; a rate of 0 or less has none and
// stays 0 instead of becoming infinite.
double roundedReciprocal(double value) {
  return value > 0 ? static_cast<double>(Round4(1.0L / value)) : 0.0;
}

}  // namespace

double NormalisedDollar(double dollar) {
  double normalised = dollar > 1.0 ? roundedReciprocal(dollar) : dollar;
  if (normalised < kMinDollar) normalised = kFallbackDollar;
  return normalised;
}

CurrencyTexts CurrencyBoxTexts(const Session& session, double dollar) {
  const Language& language = session.language();
  const Portfolio& portfolio = session.portfolio();
  const auto currency = [&](bool inDollar) {
    return session.text(inDollar ? TextId::CurrencyDollar : TextId::CurrencyEuro);
  };
  // The dataset's rate is the dollar in euros unless the currency index
  // gives the euro in dollars.
  const QString plain = RealToStr(dollar, 2, 4, language);
  const QString inverse = FormatAmount(roundedReciprocal(dollar), 2, 4, language);
  const bool euroInDollars = session.settings().currencyMulDiv;
  CurrencyTexts texts;
  texts.portfolio = session.text(TextId::PortfolioInPrefix) + currency(portfolio.bPortInDollar());
  texts.report = session.text(TextId::ReportInPrefix) + currency(portfolio.bRapInDollar());
  texts.euro = session.text(TextId::OneEuroPrefix) + (euroInDollars ? plain : inverse) +
               QStringLiteral(" US$");
  texts.dollar = session.text(TextId::OneDollarPrefix) + (euroInDollars ? inverse : plain) +
                 QStringLiteral(" €");
  texts.realTime = session.text(TextId::RealTimeLabel);
  return texts;
}

QString PortfolioCaption(const Session& session, const QString& portfolioPath) {
  return session.text(TextId::ProductName) + QChar(' ') + session.text(TextId::VersionText) +
         QChar(' ') + QChar('[') + QDir::toNativeSeparators(portfolioPath) + QChar(']');
}

QString ShortDate(const Session& session, DateTime serial) {
  return formatDate(serialToDate(serial), dateFormatFromSetting(session.settings().dateFormat));
}

void ShowDataSet(Session& session, int index) {
  Portfolio& p = session.portfolio();
  const int fundCount = p.fundCount(p.FirstKoersIndex());
  if (index < p.FirstKoersIndex() || index >= p.FirstKoersIndex() + fundCount)
    index = p.FirstKoersIndex();
  p.selectFund(index - p.FirstKoersIndex());

  // Stored values change only when they really differ: showing a dataset
  // is no change of the portfolio. A rate the window rewrites is written
  // before the figures are computed, so that they follow the rate stored;
  // the later datasets, which build on them, are computed again too.
  AlgemeenRec& alg = p.alg();
  if (const Real48 dollar = NormalisedDollar(alg.Dollar); dollar.value() != alg.Dollar.value()) {
    alg.Dollar = dollar;
    p.markChanged();
    CalcDataSetsFrom(session, p.FirstRekIndex());
  } else {
    CalcCurrentDataSet(session);
  }

  // The fund's price from the daily files, by the rules of every dataset's
  // prices (a price the user set is kept). Compared as stored: a file price
  // of 160.59 is the stored 160.59000000008382, which is no change and
  // needs no second run.
  if (UpdateFundPrice(p, session.prices(), p.FirstRekIndex(), p.pKoersRec(),
                      session.engine().replacedPrices())) {
    p.markChanged();
    // Recalculated again so that the totals agree with the price shown.
    CalcCurrentDataSet(session);
  }
  session.engine().advice().FundAdvice(p.FirstRekIndex(), p.SelFonds());
}

QString StalePriceNote(Session& session, int koersIndex) {
  const Portfolio& p = session.portfolio();
  if (p.isEmpty() || p.idAt(koersIndex) != KoersRec::Id) return {};
  const std::optional<PriceAge> age =
      StalePrice(p, session.prices(), p.FirstRekIndex(), koersIndex);
  if (!age) return {};
  return session
      .text(age->fromEarlierDataSet ? TextId::StalePriceFromDataSet : TextId::StalePriceFromFile)
      .arg(formatDate(age->day, dateFormatFromSetting(session.settings().dateFormat)));
}

DataSetView DataSetViewOf(const Session& session, const QString& portfolioPath) {
  const Portfolio& p = session.portfolio();
  DataSetView view;
  view.atLastSet = p.atLastSet();
  // A new portfolio has no file yet: the caption says so until it is saved.
  view.caption = p.bPortNew() ? session.files().caption : PortfolioCaption(session, portfolioPath);
  const AlgemeenRec& alg = p.alg();
  view.datum = ShortDate(session, alg.Datum);
  view.nodePanel = session.text(TextId::DataSetPrefix) + QString::number(alg.NrOfSet);
  view.currency = CurrencyBoxTexts(session, alg.Dollar);
  const KoersRec& fund = p.koers();
  view.ticker = RemoveBlanks(fund.Ticker);
  if (fund.Flag1 & KoersFlag::Splits)
    view.splitLabel = TrimRightBlanks(fund.Ticker) + session.text(TextId::HasBeenSplit);
  if (!fund.isPlaceholder()) view.fundCumDatum = ShortDate(session, fund.CumDatum);
  view.cumDatum = ShortDate(session, alg.CumDatum);

  view.servicePanel = QStringLiteral(
                          " Node = %1 | Som = %2 | BuySell = %3 | Ref = %4 | "
                          "Fake = %5 | Dollar = %6")
                          .arg(p.pKoersRec())
                          .arg(trueFalse(fund.Flag1 & KoersFlag::Cumulatief),
                               trueFalse(fund.Flag1 & KoersFlag::BuySell),
                               trueFalse(fund.Flag1 & KoersFlag::RefWaarde),
                               trueFalse(fund.Flag1 & KoersFlag::FakeFund))
                          .arg(static_cast<double>(alg.Dollar));
  const Settings& settings = session.settings();
  view.showRealTime = view.atLastSet && (settings.downloadDollarQuote || settings.downloadAexQuote);
  view.showServicePanel = settings.servicePanel;
  view.advice = AdviceBoxOf(session, p.FirstRekIndex(), p.SelFonds());
  return view;
}

ControlStates EnableControls(const Session& session, bool isNew, bool opened, bool changed) {
  const Portfolio& p = session.portfolio();
  ControlStates states;
  states.save = changed;
  states.any = isNew || opened;
  const bool automatic = !p.isEmpty() && p.idAt(p.pKoersRec()) == KoersRec::Id &&
                         (p.koers().Flag1 & KoersFlag::RefWaarde);
  states.refWaarde =
      session.text(automatic ? TextId::RefWaardeAutomatic : TextId::RefWaardeCalculate);
  if (states.any) states.nav = SetNavBtns(p);
  return states;
}

}  // namespace pelmar
