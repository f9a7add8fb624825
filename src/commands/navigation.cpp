#include "commands/navigation.h"

#include <algorithm>

#include "commands/datasets.h"
#include "commands/main_window_logic.h"
#include "model/conversions.h"
#include "prices/price_update.h"

namespace pelmar {

namespace {

constexpr int kDaysAheadAllowed = 100;

bool sameEntry(const QString& a, const QString& b) {
  return TrimLeftBlanks(a).compare(TrimLeftBlanks(b), Qt::CaseInsensitive) == 0;
}

// Points pAlgRec and pRekRec at the current dataset.
void pointAtCurrent(Portfolio& p) {
  p.pAlgRec = p.FirstRekIndex - 1;
  p.pRekRec = p.FirstRekIndex;
}

using Step = bool (Portfolio::*)(int&, int&);

bool navigate(Session& session, Step step) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return false;
  const QString remembered = SelectedFundEntry(p);
  if (!(p.*step)(p.FirstRekIndex, p.FirstKoersIndex)) return false;
  pointAtCurrent(p);
  SelectFundEntry(p, remembered);
  p.bAtLastSet = p.IsLastDataSet(p.FirstRekIndex);
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

int FundCount(const Portfolio& portfolio) {
  return portfolio.fundCount(portfolio.FirstKoersIndex) - 1;
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
  const int offset = FundOffsetOf(p, entry);
  p.SelFonds = std::clamp(offset, 0, std::max(FundCount(p), 0));
  p.pKoersRec = p.FirstKoersIndex + p.SelFonds;
  return entry;
}

QString SelectedFundEntry(const Portfolio& portfolio) {
  if (portfolio.idAt(portfolio.FirstKoersIndex + portfolio.SelFonds) != KoersRec::Id) return {};
  return TrimRightBlanks(portfolio.koersAt(portfolio.FirstKoersIndex + portfolio.SelFonds).Ticker);
}

NavButtons EnableNav(bool back, bool forward) {
  return {back, back, forward, forward};
}

NavButtons SetNavBtns(const Portfolio& portfolio) {
  if (portfolio.isEmpty()) return EnableNav(false, false);
  const bool first = portfolio.FirstRekIndex == Portfolio::kFirstRekIndex;
  const bool last = portfolio.IsLastDataSet(portfolio.FirstRekIndex);
  return EnableNav(!first, !last);
}

quint32 WindowColour(const Portfolio& portfolio) {
  return portfolio.bAtLastSet ? kLastDataSetColour : kOlderDataSetColour;
}

bool FirstDateBtnClick(Session& session) {
  return navigate(session, &Portfolio::FirstDataSet);
}
bool PrevDateBtnClick(Session& session) {
  return navigate(session, &Portfolio::PrevDataSet);
}
bool NextDateBtnClick(Session& session) {
  return navigate(session, &Portfolio::NextDataSet);
}
bool LastDateBtnClick(Session& session) {
  return navigate(session, &Portfolio::LastDataSet);
}

bool SpeedAddClick(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return false;
  // AddDataSet prices the new dataset after its date is known, so the
  // prices need no second fill here.
  if (!AddDataSet(session, prompter, session.prices(), p.FirstRekIndex, p.FirstKoersIndex))
    return false;
  pointAtCurrent(p);
  p.bAtLastSet = p.IsLastDataSet(p.FirstRekIndex);
  p.SelFonds = std::min(p.SelFonds, FundCount(p));
  session.engine().CalcDataSet();
  p.pKoersRec = p.FirstKoersIndex + p.SelFonds;
  p.bPortChanged = true;
  return true;
}

bool SpeedDelClick(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return false;
  if (p.FirstRekIndex == Portfolio::kFirstRekIndex) {
    prompter.message(session.text(TextId::FirstDataSetNotRemovable));
    return false;
  }
  if (p.IsLastDataSet(p.FirstRekIndex)) {
    prompter.message(session.text(TextId::NewDataSetNotRemovable));
    return false;
  }
  // The first fund that was added or traded here decides the message; the
  // placeholder row holds no position and is not looked at.
  const int end = p.FirstKoersIndex + p.fundCount(p.FirstKoersIndex);
  for (int i = p.FirstKoersIndex; i < end; ++i) {
    const KoersRec& fund = p.koersAt(i);
    if (fund.isPlaceholder()) continue;
    const QString ticker = TrimRightBlanks(fund.Ticker);
    if (fund.Flag1 & KoersFlag::Cumulatief) {
      prompter.message(session.text(TextId::FundFirstHereNotRemovable).arg(ticker));
      return false;
    }
    if (fund.Flag1 & KoersFlag::BuySell) {
      prompter.message(session.text(TextId::FundTradedNotRemovable).arg(ticker));
      return false;
    }
  }

  Question question;
  question.caption = session.text(TextId::RemoveDataSetCaption);
  question.message =
      session.text(TextId::RemoveDataSetQuestion).arg(p.algAt(p.FirstRekIndex - 1).NrOfSet);
  if (prompter.question(question) != Answer::Yes) return false;

  const QString remembered = SelectedFundEntry(p);
  if (!p.DeleteDataSet(p.FirstRekIndex, p.FirstKoersIndex)) return false;
  p.bAtLastSet = p.IsLastDataSet(p.FirstRekIndex);
  pointAtCurrent(p);
  session.engine().CalcDataSet();
  // The selected fund is always looked up again: the datasets may hold
  // different funds.
  SelectFundEntry(p, remembered);
  p.bPortChanged = true;
  return true;
}

bool DatumPanelClick(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return false;
  if (p.FirstRekIndex == Portfolio::kFirstRekIndex) {
    prompter.message(session.text(TextId::FirstDataSetDateFixed));
    return false;
  }
  const bool last = p.IsLastDataSet(p.FirstRekIndex);
  if (!last && !session.settings().editOldDates) {
    prompter.message(session.text(TextId::OldDataSetDateFixed));
    return false;
  }
  const DateTime upper =
      last ? dateToSerial(session.clock().today()) + kDaysAheadAllowed : *p.NextDataSetDate();
  const DateTime lower = *p.PrevDataSetDate();
  AlgemeenRec& alg = p.algAt(p.FirstRekIndex - 1);
  const DateTime old = alg.Datum;

  const std::optional<QDateTime> chosen =
      prompter.pickDate(session.text(TextId::SelectDateTitle), serialToDateTime(old));
  if (!chosen) return false;
  // The last dataset keeps the time of day; older ones are whole days.
  const DateTime datum = last ? dateTimeToSerial(*chosen) : wholeDay(dateTimeToSerial(*chosen));
  if (wholeDay(datum) < lower || wholeDay(datum) > wholeDay(upper)) {
    prompter.message(session.text(TextId::DateOutsideNeighbourDataSets));
    return false;
  }

  alg.Datum = datum;
  const int end = p.FirstKoersIndex + p.fundCount(p.FirstKoersIndex);
  for (int i = p.FirstKoersIndex; i < end; ++i) {
    KoersRec& fund = p.koersAt(i);
    if (fund.Flag1 & (KoersFlag::Cumulatief | KoersFlag::BuySell)) fund.CumDatum = datum;
  }
  UpdatePricesFromFiles(p, session.prices(), p.FirstRekIndex);
  // Funds that started on the old date start on the new one in every later
  // dataset too.
  for (int i = end; i < p.size(); ++i) {
    if (p.idAt(i) != KoersRec::Id) continue;
    KoersRec& fund = p.koersAt(i);
    if (fund.CumDatum == old) fund.CumDatum = datum;
  }
  p.bPortChanged = true;
  session.engine().CalcDataSet();
  p.pKoersRec = p.FirstKoersIndex + p.SelFonds;
  return true;
}

bool FCumDatumPanelClick(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty() || p.koers().isPlaceholder()) return false;
  if (!session.settings().editOldDates) {
    prompter.message(session.text(TextId::OldDataSetDateFixed));
    return false;
  }
  KoersRec& fund = p.koers();
  const std::optional<QDateTime> chosen =
      prompter.pickDate(session.text(TextId::SelectDateTitle), serialToDateTime(fund.CumDatum));
  if (!chosen) return false;
  fund.CumDatum = wholeDay(dateTimeToSerial(*chosen));
  // A changed start date is a change like any other: it must be offered
  // for saving.
  p.bPortChanged = true;
  return true;
}

bool SpeedDelFondsClick(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty() || p.koers().isPlaceholder()) return false;
  Question question;
  question.caption = session.text(TextId::RemoveStockCaption);
  question.message = session.text(TextId::RemoveStockQuestion);
  if (prompter.question(question) != Answer::Yes) return false;

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

  p.FirstDataSet(p.FirstRekIndex, p.FirstKoersIndex);
  int lastRek = p.FirstRekIndex;
  int lastKoers = p.FirstKoersIndex;
  p.LastDataSet(lastRek, lastKoers);
  session.engine().SpeedRekenClick();

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
  p.FirstDataSet(p.FirstRekIndex, p.FirstKoersIndex);
  while (p.algAt(p.FirstRekIndex - 1).NrOfSet != nrOfSet && !p.IsLastDataSet(p.FirstRekIndex))
    p.NextDataSet(p.FirstRekIndex, p.FirstKoersIndex);
  pointAtCurrent(p);
  p.bAtLastSet = p.IsLastDataSet(p.FirstRekIndex);
  p.bPortChanged = true;
  session.engine().CalcDataSet();
  SelectFundEntry(p, neighbour);
  return true;
}

}  // namespace pelmar
