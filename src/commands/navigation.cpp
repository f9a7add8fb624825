#include "commands/navigation.h"

#include <algorithm>

#include "commands/dataset_view.h"
#include "commands/datasets.h"
#include "commands/refusal.h"
#include "model/conversions.h"
#include "prices/price_update.h"

namespace pelmar {

namespace {

constexpr int kDaysAheadAllowed = 100;

bool sameEntry(const QString& a, const QString& b) {
  return TrimLeftBlanks(a).compare(TrimLeftBlanks(b), Qt::CaseInsensitive) == 0;
}

using Step = bool (Portfolio::*)(int&, int&) const;

bool navigate(Session& session, Step step) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return false;
  const QString remembered = SelectedFundEntry(p);
  int rek = p.FirstRekIndex();
  int koers = p.FirstKoersIndex();
  if (!(p.*step)(rek, koers)) return false;
  p.goToDataSet(rek);
  SelectFundEntry(p, remembered);
  return true;
}

// Calls visit(rekIndex) for every dataset from the first to the last. The
// visitor may change the funds of the dataset it is given.
template <typename Visit>
void forEachDataSet(Portfolio& p, Visit visit) {
  int rek = Portfolio::kFirstRekIndex;
  int koers = Portfolio::kFirstKoersIndex;
  while (true) {
    visit(rek);
    if (p.IsLastDataSet(rek)) break;
    p.NextDataSet(rek, koers);
  }
}

}  // namespace

bool FundListLess(const QString& a, const QString& b) {
  return a.toLower() < b.toLower();
}

QString FundListText(const Portfolio& portfolio, const KoersRec& fund) {
  return fund.isPlaceholder() ? portfolio.initialRecords().placeholderTicker
                              : TrimRightBlanks(fund.Ticker);
}

QStringList FillFondsenBox(const Portfolio& portfolio) {
  QStringList tickers;
  QStringList placeholders;
  const int count = portfolio.fundCount(portfolio.FirstKoersIndex());
  for (int offset = 0; offset < count; ++offset) {
    const KoersRec& fund = portfolio.koersAt(portfolio.FirstKoersIndex() + offset);
    (fund.isPlaceholder() ? placeholders : tickers) << FundListText(portfolio, fund);
  }
  std::stable_sort(tickers.begin(), tickers.end(), FundListLess);
  return tickers + placeholders;
}

int FundOffsetOf(const Portfolio& portfolio, const QString& listText) {
  const int count = portfolio.fundCount(portfolio.FirstKoersIndex());
  for (int offset = 0; offset < count; ++offset) {
    if (FundListText(portfolio, portfolio.koersAt(portfolio.FirstKoersIndex() + offset)) ==
        listText)
      return offset;
  }
  return -1;
}

Report FondsenBoxClick(Session& session, const QString& listText) {
  Portfolio& p = session.portfolio();
  if (!p.bPortOpened() && !p.bPortNew()) return Report(Outcome::stopped(), {});
  const int offset = FundOffsetOf(p, listText);
  if (offset < 0) return Report(Outcome::stopped(), {});
  ShowDataSet(session, p.FirstKoersIndex() + offset);
  return Report(Outcome::done(), Change::Fund);
}

QString SelectFundEntry(Portfolio& p, const QString& text) {
  const QStringList items = FillFondsenBox(p);
  QString entry = items.value(0);
  for (qsizetype i = items.size() - 1; i >= 0; --i) {
    if (sameEntry(items[i], text)) {
      entry = items[i];
      break;
    }
  }
  p.selectFund(FundOffsetOf(p, entry));
  return entry;
}

QString SelectedFundEntry(const Portfolio& portfolio) {
  if (portfolio.idAt(portfolio.pKoersRec()) != KoersRec::Id) return {};
  return FundListText(portfolio, portfolio.koers());
}

NavButtons EnableNav(bool back, bool forward) {
  return {back, back, forward, forward};
}

NavButtons SetNavBtns(const Portfolio& portfolio) {
  if (portfolio.isEmpty()) return EnableNav(false, false);
  const bool first = portfolio.FirstRekIndex() == Portfolio::kFirstRekIndex;
  const bool last = portfolio.atLastSet();
  return EnableNav(!first, !last);
}

namespace {

// A navigation step as a command's report: another dataset is current.
Report moved(bool stepped) {
  return Report::ifDone(stepped ? Outcome::done() : Outcome::stopped(), Change::DataSet);
}

}  // namespace

quint32 WindowColour(const Portfolio& portfolio) {
  return portfolio.atLastSet() ? kLastDataSetColour : kOlderDataSetColour;
}

Report FirstDateBtnClick(Session& session) {
  return moved(navigate(session, &Portfolio::FirstDataSet));
}
Report PrevDateBtnClick(Session& session) {
  return moved(navigate(session, &Portfolio::PrevDataSet));
}
Report NextDateBtnClick(Session& session) {
  return moved(navigate(session, &Portfolio::NextDataSet));
}
Report LastDateBtnClick(Session& session) {
  return moved(navigate(session, &Portfolio::LastDataSet));
}

namespace {

Outcome addDataSetAfterCurrent(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return Outcome::stopped();
  // AddDataSet prices the new dataset after its date is known, so the
  // prices need no second fill here.
  if (Outcome added = AddDataSet(session, prompter); !added) return added;
  // The datasets after an inserted one count from it now.
  CalcDataSetsFrom(session, p.FirstRekIndex());
  p.markChanged();
  return Outcome::done();
}

}  // namespace

Report SpeedAddClick(Session& session, Prompter& prompter) {
  return Report::ifDone(addDataSetAfterCurrent(session, prompter),
                        Change::DataSet | Change::Figures);
}

namespace {

Outcome deleteCurrentDataSet(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return Outcome::stopped();
  if (p.FirstRekIndex() == Portfolio::kFirstRekIndex)
    return Refuse(session, prompter, TextId::FirstDataSetNotRemovable);
  if (p.atLastSet()) return Refuse(session, prompter, TextId::NewDataSetNotRemovable);
  // The first fund that was added or traded here decides the message; the
  // placeholder row holds no position and is not looked at.
  const int end = p.FirstKoersIndex() + p.fundCount(p.FirstKoersIndex());
  for (int i = p.FirstKoersIndex(); i < end; ++i) {
    const KoersRec& fund = p.koersAt(i);
    if (fund.isPlaceholder()) continue;
    const QString ticker = TrimRightBlanks(fund.Ticker);
    if (fund.Flag1 & KoersFlag::Cumulatief)
      return Refuse(session, prompter, TextId::FundFirstHereNotRemovable, {ticker});
    if (fund.Flag1 & KoersFlag::BuySell)
      return Refuse(session, prompter, TextId::FundTradedNotRemovable, {ticker});
  }

  Question question;
  question.caption = session.text(TextId::RemoveDataSetCaption);
  question.message = session.text(TextId::RemoveDataSetQuestion).arg(p.alg().NrOfSet);
  // Yes destroys data: Return alone must not do it.
  question.yesIsDefault = false;
  if (prompter.question(question) != Answer::Yes) return Outcome::stopped();

  const QString remembered = SelectedFundEntry(p);
  int rek = p.FirstRekIndex();
  int koers = p.FirstKoersIndex();
  if (!p.DeleteDataSet(rek, koers)) return Outcome::failed(TextId::NewDataSetNotRemovable);
  p.goToDataSet(rek);
  // The follower and every later dataset count from the one before now.
  CalcDataSetsFrom(session, rek);
  // The selected fund is always looked up again: the datasets may hold
  // different funds.
  SelectFundEntry(p, remembered);
  p.markChanged();
  return Outcome::done();
}

}  // namespace

Report SpeedDelClick(Session& session, Prompter& prompter) {
  return Report::ifDone(deleteCurrentDataSet(session, prompter), Change::DataSet | Change::Figures);
}

namespace {

Outcome changeDataSetDate(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty() || !p.bPortOpened()) return Outcome::stopped();
  if (p.FirstRekIndex() == Portfolio::kFirstRekIndex)
    return Refuse(session, prompter, TextId::FirstDataSetDateFixed);
  const bool last = p.atLastSet();
  if (!last && !session.settings().editOldDates)
    return Refuse(session, prompter, TextId::OldDataSetDateFixed);
  const DateTime upper =
      last ? dateToSerial(session.clock().today()) + kDaysAheadAllowed : *p.NextDataSetDate();
  const DateTime lower = *p.PrevDataSetDate();
  AlgemeenRec& alg = p.alg();
  const DateTime old = alg.Datum;

  const std::optional<QDateTime> chosen =
      prompter.pickDate(session.text(TextId::SelectDateTitle), serialToDateTime(old));
  if (!chosen) return Outcome::stopped();
  // The last dataset keeps the time of day; older ones are whole days.
  const DateTime datum = last ? dateTimeToSerial(*chosen) : wholeDay(dateTimeToSerial(*chosen));
  if (wholeDay(datum) < lower || wholeDay(datum) > wholeDay(upper))
    return Refuse(session, prompter, TextId::DateOutsideNeighbourDataSets);

  alg.Datum = datum;
  const int end = p.FirstKoersIndex() + p.fundCount(p.FirstKoersIndex());
  for (int i = p.FirstKoersIndex(); i < end; ++i) {
    KoersRec& fund = p.koersAt(i);
    if (fund.Flag1 & (KoersFlag::Cumulatief | KoersFlag::BuySell)) fund.CumDatum = datum;
  }
  UpdatePricesFromFiles(p, session.prices(), p.FirstRekIndex());
  // Funds that started on the old date start on the new one in every later
  // dataset too.
  for (int i = end; i < p.size(); ++i) {
    if (p.idAt(i) != KoersRec::Id) continue;
    KoersRec& fund = p.koersAt(i);
    if (fund.CumDatum == old) fund.CumDatum = datum;
  }
  p.markChanged();
  // Durations and interest of every later dataset follow the new date.
  CalcDataSetsFrom(session, p.FirstRekIndex());
  return Outcome::done();
}

}  // namespace

Report DatumPanelClick(Session& session, Prompter& prompter) {
  return Report::ifDone(changeDataSetDate(session, prompter), Change::Figures | Change::Prices);
}

namespace {

Outcome changeFundStartDate(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty() || !p.bPortOpened() || p.koers().isPlaceholder()) return Outcome::stopped();
  if (!session.settings().editOldDates)
    return Refuse(session, prompter, TextId::OldDataSetDateFixed);
  KoersRec& fund = p.koers();
  const std::optional<QDateTime> chosen =
      prompter.pickDate(session.text(TextId::SelectDateTitle), serialToDateTime(fund.CumDatum));
  if (!chosen) return Outcome::stopped();
  fund.CumDatum = wholeDay(dateTimeToSerial(*chosen));
  // A changed start date is a change like any other: it must be offered
  // for saving.
  p.markChanged();
  return Outcome::done();
}

}  // namespace

Report FCumDatumPanelClick(Session& session, Prompter& prompter) {
  return Report::ifDone(changeFundStartDate(session, prompter), Change::Figures);
}

namespace {

Outcome removeFund(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty() || p.koers().isPlaceholder()) return Outcome::stopped();
  Question question;
  question.caption = session.text(TextId::RemoveStockCaption);
  question.message =
      session.text(TextId::RemoveStockQuestion).arg(TrimRightBlanks(p.koers().Ticker));
  question.yesIsDefault = false;
  if (prompter.question(question) != Answer::Yes) return Outcome::stopped();

  const int nrOfSet = p.alg().NrOfSet;
  const QString ticker = p.koers().Ticker;
  const int rekNr = p.koers().RekNr;
  const QStringList items = FillFondsenBox(p);
  const qsizetype at = items.indexOf(TrimRightBlanks(ticker));
  const QString neighbour = items.value(at + 1 < items.size() ? at + 1 : at - 1);

  forEachDataSet(p, [&](int rek) {
    const int first = Portfolio::KoersIndexOf(rek);
    const int count = p.fundCount(first);
    // A dataset of two funds or fewer keeps them.
    if (count <= 2) return;
    for (int i = first; i < first + count; ++i) {
      if (p.koersAt(i).Ticker != ticker) continue;
      if (p.koersAt(i).EndOfSetB) p.koersAt(i - 1).EndOfSetB = true;
      p.removeRecords(i, 1);
      return;
    }
  });

  SpeedRekenClick(session);

  // The fund's account starts afresh where no remaining fund is booked on
  // it; an account shared with other funds keeps its name, rates and
  // balance.
  if (rekNr >= 1 && rekNr <= Portfolio::kAccountsPerDataSet) {
    forEachDataSet(p, [&](int rek) {
      const int first = Portfolio::KoersIndexOf(rek);
      const int end = first + p.fundCount(first);
      for (int i = first; i < end; ++i) {
        const KoersRec& fund = p.koersAt(i);
        if (!fund.isPlaceholder() && fund.RekNr == rekNr) return;
      }
      RekeningRec& account = p.rekAt(rek + rekNr - 1);
      account = p.initialRecords().DefaultRekeningRec;
      account.EndOfSetB = rekNr == Portfolio::kAccountsPerDataSet;
    });
  }

  // Back to the dataset that was current.
  int rek = Portfolio::kFirstRekIndex;
  int koers = Portfolio::kFirstKoersIndex;
  while (p.algAt(rek - 1).NrOfSet != nrOfSet && !p.IsLastDataSet(rek)) p.NextDataSet(rek, koers);
  p.goToDataSet(rek);
  p.markChanged();
  CalcCurrentDataSet(session);
  SelectFundEntry(p, neighbour);
  return Outcome::done();
}

}  // namespace

Report SpeedDelFondsClick(Session& session, Prompter& prompter) {
  return Report::ifDone(removeFund(session, prompter), Change::Funds | Change::Figures);
}

}  // namespace pelmar
