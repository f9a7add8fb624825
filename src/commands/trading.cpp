#include "commands/trading.h"

#include <cmath>

#include "commands/accounts.h"
#include "commands/advice_box.h"
#include "commands/currencies.h"
#include "commands/datasets.h"
#include "commands/fund_grid.h"
#include "commands/new_fund.h"
#include "commands/refusal.h"
#include "engine/engine_support.h"
#include "engine/fund_names.h"
#include "model/conversions.h"
#include "model/currency.h"

namespace pelmar {

namespace {

// How long the refusals of a trade stay on screen.
constexpr int kTradeMessageMs = 5000;
// A purchase must leave at least this many shares' worth in the account.
constexpr double kShareMargin = 0.000001;

const RekeningRec& bookedAccountOf(const Portfolio& p, const KoersRec& fund) {
  return p.rekAt(p.FirstRekIndex() + bookedAccount(fund.RekNr) - 1);
}

}  // namespace

TradeFigures TradeFiguresOf(const TradeProposal& proposal, double quantity, double price,
                            double costs) {
  TradeFigures figures;
  figures.value = quantity * price;
  figures.totalCosts = figures.value * proposal.costsPercent / 100 + costs;
  return figures;
}

double MethodQuantity(const TradeProposal& proposal) {
  return proposal.adviceDue ? std::nearbyint(proposal.tradeAdvice) : 0.0;
}

double DivirOzevAmount(const Session& session) {
  if (!session.engine().advice().divirOzevChecked()) return 0;
  const Portfolio& p = session.portfolio();
  const RekeningRec& account = bookedAccountOf(p, p.koers());
  return account.Waarde * account.CredPerc / 100.0;
}

TradeProposal ProposeTrade(Session& session) {
  Portfolio& p = session.portfolio();
  const AdviceFigures advice =
      session.engine().advice().FundAdvice(p.FirstRekIndex(), p.SelFonds());
  const KoersRec& fund = p.koers();
  TradeProposal proposal;
  proposal.ticker = TrimRightBlanks(fund.Ticker);
  proposal.price = fund.Koers;
  proposal.costsPercent = fund.KostenProc;
  proposal.currencyFactor = FundCurrencyFactor(p, p.alg(), fund);
  proposal.tradeAdvice = advice.tradeAdvice;
  proposal.adviceDue = IsAdvisedFund(p, p.FirstRekIndex(), p.SelFonds()) && advice.due();
  proposal.affordable =
      fund.Koers > kSmallest
          ? (bookedAccountOf(p, fund).Saldo + DivirOzevAmount(session)) / fund.Koers
          : 0.0;
  // A sell advice (or none) proposes its whole shares; a buy advice what
  // the account can pay for.
  proposal.presetQuantity =
      proposal.tradeAdvice < kSmallest
          ? IntToStrPadded(static_cast<qint64>(std::nearbyint(proposal.tradeAdvice)), 12)
          : RealToStr(proposal.affordable, 0, 4, session.language());
  return proposal;
}

Outcome CheckAccountReserve(Session& session, Prompter& prompter, double before) {
  Portfolio& p = session.portfolio();
  KoersRec& fund = p.koers();
  if (fund.Aantal <= before) return Outcome::done();
  const long double f = FundCurrencyFactor(p, p.alg(), fund);
  const long double credit = DivirOzevAmount(session) * f;
  const RekeningRec& account = bookedAccountOf(p, fund);
  const long double money = ld(account.Saldo) + account.RenteCorrectie + account.CumCRente +
                            account.CumDRente - account.CumKosten - account.CumBTW;
  // The margin is added to the purchase, so that a purchase costing exactly
  // the money there is counts as too large.
  const long double price = (ld(fund.Aantal) - before + kShareMargin) * fund.Koers * f - credit;
  if (f * money > price) return Outcome::done();
  fund.Aantal = before;
  return Refuse(session, prompter, TextId::AccountReserveTooSmall);
}

void PropagateDelta(Portfolio& portfolio, int selFonds, double change) {
  const QString key =
      FundNameIndex::key(portfolio.koersAt(portfolio.FirstKoersIndex() + selFonds).Ticker);
  int rek = portfolio.FirstRekIndex();
  int koers = portfolio.FirstKoersIndex();
  while (!portfolio.IsLastDataSet(rek) && portfolio.NextDataSet(rek, koers)) {
    const int offset = FundNameIndex(portfolio, koers).offsetOf(key);
    if (offset < 0) continue;
    KoersRec& later = portfolio.koersAt(koers + offset);
    later.Aantal = ld(later.Aantal) + change;
  }
}

void RecalculateEveryDataSet(Session& session, const Engine::Progress& progress) {
  Portfolio& p = session.portfolio();
  session.engine().CalcAllDataSets(p.SelFonds(), progress);
  session.engine().CalcDataSet(p.lastRekIndex(), p.SelFonds());
}

Outcome BuyOrSell(Session& session, Prompter& prompter, const Engine::Progress& progress) {
  Portfolio& p = session.portfolio();
  if (p.koers().Koers <= kSmallest) return Outcome::stopped();
  const TradeProposal proposal = ProposeTrade(session);
  const int index = p.pKoersRec();
  // A trade that does not go through leaves the fund as it was: its price
  // and costs too, so a refused purchase books no costs.
  const KoersRec before = p.koersAt(index);
  const auto undo = [&] { p.koersAt(index) = before; };
  const TradeEntry entry = prompter.buySell(proposal);
  if (!entry.accepted) return Outcome::stopped();
  if (entry.price <= kSmallest) {
    prompter.timedMessage(session.text(TextId::TradePriceMissing), QString(), kTradeMessageMs);
    return Outcome::failed(TextId::TradePriceMissing);
  }

  KoersRec& fund = p.koersAt(index);
  const double a0 = before.Aantal;
  fund.Aantal = a0 + entry.quantity;
  fund.Koers = entry.price;
  // The costs of the trades of one dataset add up: a second trade on a day
  // keeps what the first one (or the grid) booked.
  const double tradeCosts =
      TradeFiguresOf(proposal, entry.quantity, entry.price, entry.costs).totalCosts;
  fund.Kosten = ld(before.Kosten) + tradeCosts;
  if (Outcome checked = CheckAccountReserve(session, prompter, a0); !checked) {
    undo();
    return checked;
  }
  if (fund.Aantal.value() == before.Aantal.value()) {
    undo();
    return Outcome::stopped();
  }
  const long double cost = (ld(fund.Aantal) - a0) * fund.Koers * proposal.currencyFactor;
  // A sale raises the reserve: it passes even while the reserve is below 0.
  if (cost > 0 && fund.Reserve - cost < 0) {
    prompter.timedMessage(session.text(TextId::FundReserveNegative),
                          session.text(TextId::NotPermitted), kTradeMessageMs);
    undo();
    return Outcome::failed(TextId::FundReserveNegative);
  }
  fund.Delta = ld(fund.Aantal) - a0;
  fund.Reserve = ld(fund.Reserve) - cost - tradeCosts;
  fund.RefWrde = ld(fund.Koers) * fund.Aantal;
  fund.Flag1 = SetBits(fund.Flag1, KoersFlag::BuySell | KoersFlag::RefWaarde);
  p.markChanged();
  PropagateDelta(p, p.SelFonds(), fund.Delta);
  RecalculateEveryDataSet(session, progress);
  return Outcome::done();
}

namespace {

Outcome doubleClick(Session& session, Prompter& prompter, const QStringList& cells, int row,
                    bool& fundsChanged, const Engine::Progress& progress) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty() || p.idAt(p.pKoersRec()) != KoersRec::Id) return Outcome::stopped();
  const bool placeholder = p.koers().isPlaceholder();
  if (row == GridRow::Ticker && placeholder) {
    Question question;
    question.caption = session.text(TextId::AddStockTitle);
    question.message = session.text(TextId::AddStockQuestion);
    question.yesText = session.text(TextId::ButtonYes);
    question.noText = session.text(TextId::ButtonNo);
    question.cancelText = session.text(TextId::ButtonCancel);
    question.showCancel = true;
    const Answer answer = prompter.question(question);
    if (answer == Answer::Cancel) return Outcome::stopped();
    if (answer == Answer::No) {
      const Outcome added = NewManualFund(session, prompter, progress);
      fundsChanged = added.ok();
      return added;
    }
  }

  // The commit recalculates; that alone is no change to keep. What the
  // commit really changed stays marked.
  const bool wasChanged = p.bPortChanged();
  const UpdateFondsResult committed = UpdateFonds(session, prompter, cells, row, progress);
  fundsChanged = committed.fundsChanged;
  if (!wasChanged && !committed.changed && !committed.fundsChanged) p.markUnchanged();

  if (OlderDataSetLocked(session)) {
    if (row >= GridRow::Kosten && row <= GridRow::BTW) return Outcome::stopped();
    if (!placeholder) return Refuse(session, prompter, TextId::OldDataSetValueLocked);
  }
  switch (row) {
    case GridRow::Ticker: {
      if (!placeholder) return Outcome::stopped();
      const Outcome added = NewFundFromLists(session, prompter, progress);
      fundsChanged = fundsChanged || added.ok();
      return added;
    }
    case GridRow::Valuta:
      if (!(p.koers().Flag1 & KoersFlag::Cumulatief))
        return Refuse(session, prompter, TextId::ValutaFirstDataSetOnly);
      return KiesValutaClick(session, prompter);
    case GridRow::Aantal:
      return BuyOrSell(session, prompter, progress);
    case GridRow::Inleg: {
      if (std::fabs(p.koers().CumInleg) >= 0.01) return Outcome::stopped();
      quint8 rekNr = p.koers().RekNr;
      return ChooseAccount(session, prompter, rekNr);
    }
    default:
      return Outcome::stopped();
  }
}

}  // namespace

Report FondsGridDblClick(Session& session, Prompter& prompter, const QStringList& cells, int row,
                         const Engine::Progress& progress) {
  bool fundsChanged = false;
  Outcome outcome = doubleClick(session, prompter, cells, row, fundsChanged, progress);
  return Report(std::move(outcome),
                fundsChanged ? Change::Figures | Change::Funds : Change::Figures);
}

}  // namespace pelmar
