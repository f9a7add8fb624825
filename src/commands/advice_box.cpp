#include "commands/advice_box.h"

#include <cmath>

#include "engine/engine_support.h"
#include "model/conversions.h"

namespace pelmar {

namespace {

// Advice lines leave out quantities this close to 0.
constexpr double kNoShares = 0.001;

// The nearest whole number, an exact half to the even one.
QString wholeNumber(double value) {
  // Written from the double, so that no count is too large for its text;
  // adding 0 turns a rounded -0 into 0.
  return QString::number(std::nearbyint(value) + 0.0, 'f', 0);
}

QString amount(const Session& session, double value) {
  return FormatAmount(value, 0, 4, session.language());
}

// " Kopen: 2 (2.5000) stuks" and its selling counterpart.
QString quantityText(const Session& session, TextId action, double shares) {
  return session.text(action) + wholeNumber(shares) + QStringLiteral(" (") +
         amount(session, shares) + QStringLiteral(")") + session.text(TextId::AdviceUnits);
}

// The hint that tells where falling prices use the fund's reserve up.
QString exhaustionHint(const Session& session, const KoersRec& fund) {
  const ReserveExhaustion exhaustion = ReserveExhaustionOf(fund);
  switch (exhaustion.kind) {
    case ReserveExhaustion::Kind::NotReached:
      return session.text(TextId::ExhaustionNotReached);
    case ReserveExhaustion::Kind::WithoutShares:
      return session.text(TextId::ExhaustionUnknown);
    case ReserveExhaustion::Kind::At:
      break;
  }
  return session.text(TextId::ExhaustionAt)
      .arg(amount(session, exhaustion.price), amount(session, exhaustion.reserve),
           amount(session, exhaustion.shares));
}

}  // namespace

bool IsAdvisedFund(const Portfolio& portfolio, int rekIndex, int offset) {
  return offset >= 0 && portfolio.idAt(Portfolio::KoersIndexOf(rekIndex) + offset) == KoersRec::Id;
}

AdviceBox AdviceBoxOf(const Session& session, int rekIndex, int offset) {
  AdviceBox box;
  const Portfolio& p = session.portfolio();
  if (!IsAdvisedFund(p, rekIndex, offset)) return box;
  const KoersRec& fund = p.koersAt(Portfolio::KoersIndexOf(rekIndex) + offset);
  const AdviceFigures figures = session.engine().advice().figures();

  if (figures.buyPrice > kSmallest && figures.sellPrice > kSmallest) {
    const QString at = session.text(TextId::AdviceAt);
    box.koopLabel = at + amount(session, figures.buyPrice) +
                    quantityText(session, TextId::AdviceBuy, figures.buyShares);
    box.verkoopLabel = at + amount(session, figures.sellPrice) +
                       quantityText(session, TextId::AdviceSell, figures.sellShares);
  }

  // A trade that is due shows its quantity, else the shares the holding
  // misses to its reference value.
  const bool due = figures.due();
  box.adviesColour = due ? AdviceColour::Blue : AdviceColour::Red;
  const double shares = due ? figures.tradeAdvice.value() : fund.AdviesR.value();
  const QString lead = session.text(due ? TextId::AdviceTrade : TextId::AdviceTooSmall);
  if (rekIndex != Portfolio::kFirstRekIndex) {
    if (shares > kNoShares)
      box.adviesLabel = lead + quantityText(session, TextId::AdviceBuy, shares);
    else if (shares < -kNoShares)
      box.adviesLabel = lead + quantityText(session, TextId::AdviceSell, -shares);
  }

  box.exhaustionHint = exhaustionHint(session, fund);
  return box;
}

AdviceBox ShowAdvice(Session& session, int rekIndex, int offset) {
  session.engine().advice().FundAdvice(rekIndex, offset);
  return AdviceBoxOf(session, rekIndex, offset);
}

QString DivirOzevLabel(const Session& session) {
  return session.text(session.engine().advice().divirOzevChecked() ? TextId::DivirOzevOn
                                                                   : TextId::DivirOzevOff);
}

QString RividuDoriLabel(const Session& session) {
  return session.text(session.engine().advice().rividuDoriChecked() ? TextId::RividuDoriOn
                                                                    : TextId::RividuDoriOff);
}

}  // namespace pelmar
