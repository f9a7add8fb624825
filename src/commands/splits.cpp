#include "commands/splits.h"

#include <cmath>

#include "commands/datasets.h"
#include "commands/refusal.h"
#include "model/conversions.h"
#include "prices/price_update.h"

namespace pelmar {

namespace {

// Splits one record; its price becomes the user's, set today. In the dataset
// of the split its ratio to the dataset before grows by the ratio; a later
// dataset keeps its own ratio to the one before it (1 when it had no
// split), since both are split alike.
void splitRecord(KoersRec& fund, double ratio, bool here, quint8 priceMark) {
  const bool wasSplit = fund.Flag1 & KoersFlag::Splits;
  fund.Aantal = fund.Aantal * ratio;
  fund.Koers = fund.Koers / ratio;
  if (here) {
    // An unknown ratio (0) stays unknown.
    fund.SplitRatio = wasSplit ? fund.SplitRatio * ratio : ratio;
  } else if (!wasSplit) {
    fund.SplitRatio = 1;
  }
  fund.Flag1 = SetBits(fund.Flag1, KoersFlag::Splits | priceMark);
}

}  // namespace

void SplitFund(Portfolio& p, int selFonds, double ratio, QDate today) {
  int rek = p.FirstRekIndex();
  int koers = Portfolio::KoersIndexOf(rek);
  KoersRec& selected = p.koersAt(koers + selFonds);
  // The ticker is compared exactly: same characters, blanks and case.
  const QString ticker = selected.Ticker;
  splitRecord(selected, ratio, true, UserPriceMark(p.algAt(rek - 1).Datum, today));
  while (!p.IsLastDataSet(rek) && p.NextDataSet(rek, koers)) {
    const quint8 mark = UserPriceMark(p.algAt(rek - 1).Datum, today);
    const int funds = p.fundCount(koers);
    for (int i = 0; i < funds; ++i) {
      KoersRec& fund = p.koersAt(koers + i);
      if (fund.Ticker == ticker) splitRecord(fund, ratio, false, mark);
    }
  }
}

namespace {

Outcome splitSelectedFund(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return Outcome::stopped();
  const InputResult answer =
      prompter.input(session.text(TextId::SplitTitle), session.text(TextId::SplitQuestion), {});
  Outcome outcome = Outcome::stopped();
  if (answer.accepted) {
    // Stored as a 6-byte real, as every amount of the program.
    const double ratio = Real48(StrToReal(answer.text));
    if (ratio <= 0) {
      // A ratio of 0 would divide the price by zero, a negative one would
      // turn the holding negative.
      outcome = Refuse(session, prompter, TextId::SplitRatioRefused, {answer.text.trimmed()});
    } else if (std::fabs(ratio - 1) > kSplitTolerance && !p.koers().isPlaceholder()) {
      SplitFund(p, p.SelFonds(), ratio, session.clock().today());
      p.markChanged();
      outcome = Outcome::done();
    }
  }
  CalcCurrentDataSet(session);
  return outcome;
}

}  // namespace

Report SpeedSplitsClick(Session& session, Prompter& prompter) {
  return Report::ifDone(splitSelectedFund(session, prompter), Change::Figures);
}

namespace {

Outcome switchReferenceValue(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return Outcome::stopped();
  KoersRec& fund = p.koers();
  Outcome outcome = Outcome::stopped();
  if (fund.Flag1 & KoersFlag::RefWaarde) {
    Question question;
    question.caption = session.text(TextId::RefWaardeUndoTitle);
    question.message = session.text(TextId::RefWaardeUndoQuestion);
    question.showCancel = true;
    // Yes drops the value the user set: Return alone must not do it.
    question.yesIsDefault = false;
    if (prompter.question(question) == Answer::Yes) {
      fund.Flag1 = ClearBits(fund.Flag1, KoersFlag::RefWaarde);
      p.markChanged();
      outcome = Outcome::done();
    }
  } else {
    fund.Flag1 = SetBits(fund.Flag1, KoersFlag::RefWaarde);
    // The present value of the holding, in the fund's currency.
    fund.RefWrde = fund.Koers * fund.Aantal;
    p.markChanged();
    outcome = Outcome::done();
  }
  CalcCurrentDataSet(session);
  return outcome;
}

}  // namespace

Report SpeedRefWaardeClick(Session& session, Prompter& prompter) {
  return Report::ifDone(switchReferenceValue(session, prompter), Change::Figures);
}

}  // namespace pelmar
