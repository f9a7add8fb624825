#include "commands/datasets.h"

#include "engine/engine_support.h"
#include "model/dates.h"
#include "prices/price_update.h"

namespace pelmar {

namespace {

std::optional<DateTime> askDate(const Session& session, Prompter& prompter, DateTime proposal,
                                DateQuestion ask) {
  if (ask == DateQuestion::TakeProposal) return proposal;
  const std::optional<QDateTime> chosen =
      prompter.pickDate(session.text(TextId::SelectDateTitle), serialToDateTime(proposal));
  if (!chosen) return std::nullopt;
  return dateTimeToSerial(*chosen);
}

}  // namespace

DateTime DateOfNewDataSet(const Session& session) {
  return NextWorkDay(dateToSerial(session.clock().today()) - 1);
}

void CalcCurrentDataSet(Session& session) {
  Portfolio& p = session.portfolio();
  if (session.engine().CalcDataSet(p.FirstRekIndex(), p.SelFonds())) p.markChanged();
}

void SpeedRekenClick(Session& session, const Engine::Progress& progress) {
  Portfolio& p = session.portfolio();
  if (session.engine().CalcAllDataSets(p.SelFonds(), progress)) p.markChanged();
}

void CalcDataSetsFrom(Session& session, int rekIndex) {
  Portfolio& p = session.portfolio();
  if (session.engine().CalcDataSetsFrom(rekIndex, p.SelFonds())) p.markChanged();
}

Report RecalculateAllClick(Session& session, const Engine::Progress& progress) {
  SpeedRekenClick(session, progress);
  return Report(Outcome::done(), Change::Figures | Change::Prices);
}

Report DivirOzevClick(Session& session) {
  Portfolio& p = session.portfolio();
  RekeningRec* account = nullptr;
  if (p.idAt(p.pKoersRec()) == KoersRec::Id) {
    p.selectAccount(bookedAccount(p.koers().RekNr));
    account = &p.rek();
  }
  session.engine().advice().DivirOzevClick(account);
  p.markChanged();
  return Report(Outcome::done(), Change::Accounts | Change::Figures);
}

Report RividuDoriClick(Session& session) {
  session.engine().advice().RividuDoriClick();
  return Report(Outcome::done(), Change::Settings);
}

Outcome AddDataSet(Session& session, Prompter& prompter, DateQuestion ask) {
  Portfolio& portfolio = session.portfolio();
  int rekIndex = portfolio.FirstRekIndex();
  int koersIndex = portfolio.FirstKoersIndex();
  if (!portfolio.canCopyDataSet(rekIndex)) {
    prompter.message(session.text(TextId::PortfolioFull));
    return Outcome::failed(TextId::PortfolioFull);
  }
  const AlgemeenRec& current = portfolio.algAt(rekIndex - 1);
  const DateTime currentDay = wholeDay(current.Datum);

  if (portfolio.IsLastDataSet(rekIndex)) {
    // Append. A cancelled date keeps the previous date and SetDuur.
    DateTime datum = current.Datum;
    qint32 setDuur = current.SetDuur;
    if (const auto chosen = askDate(session, prompter, DateOfNewDataSet(session), ask)) {
      if (wholeDay(*chosen) < currentDay) {
        prompter.message(session.text(TextId::DateBeforeLastDataSet));
        datum = NextWorkDay(currentDay);
      } else {
        datum = *chosen;
      }
      // SetDuur follows the date the dataset really gets, the moved one too.
      setDuur = static_cast<qint32>(wholeDay(datum) - currentDay);
    }
    portfolio.appendDataSet(rekIndex, koersIndex, datum, setDuur);
  } else {
    int nextRek = rekIndex;
    int nextKoers = koersIndex;
    portfolio.NextDataSet(nextRek, nextKoers);
    DateTime datum = portfolio.algAt(nextRek - 1).Datum;
    const DateTime nextDay = wholeDay(datum);
    if (nextDay != currentDay) {
      const auto chosen = askDate(session, prompter, NextWorkDay(currentDay), ask);
      if (!chosen) return Outcome::stopped();
      datum = wholeDay(*chosen);
      if (datum < currentDay || datum > nextDay) {
        prompter.message(session.text(TextId::DateOutsideNeighbourDataSets));
        return Outcome::failed(TextId::DateOutsideNeighbourDataSets);
      }
    }
    portfolio.insertDataSet(rekIndex, koersIndex, datum);
  }
  portfolio.goToDataSet(rekIndex);
  UpdatePricesFromFiles(portfolio, session.prices(), rekIndex);
  portfolio.markChanged();
  return Outcome::done();
}

IdentRec NewIdentRec(const Session& session, bool portInDollar) {
  IdentRec ident;
  ident.Name = session.text(TextId::ProductName);
  ident.VersionI = session.text(TextId::VersionText);
  ident.CopyrightI = session.text(TextId::CopyrightText);
  ident.Author = session.text(TextId::AuthorNames);
  ident.PortInDollarB = portInDollar;
  ident.RapInDollarB = portInDollar;
  return ident;
}

Outcome NewPortfolio(Session& session, Prompter& prompter, bool portInDollar) {
  const std::optional<QDateTime> chosen = prompter.pickDate(
      session.text(TextId::SelectStartDateTitle), serialToDateTime(DateOfNewDataSet(session)));
  if (!chosen) return Outcome::stopped();
  session.portfolio().NewPortfolio(NewIdentRec(session, portInDollar),
                                   wholeDay(dateTimeToSerial(*chosen)));
  return Outcome::done();
}

}  // namespace pelmar
