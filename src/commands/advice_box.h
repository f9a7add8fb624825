#pragma once

#include <QString>

#include "commands/session.h"

namespace pelmar {

// How the advice line is drawn.
enum class AdviceColour {
  Blue,  // the trade advice is due
  Red,   // the price change is too small for a trade
};

// What the advice box shows for the selected fund.
struct AdviceBox {
  QString adviesLabel;  // the advice line
  AdviceColour adviesColour = AdviceColour::Red;
  QString koopLabel;       // price and quantity of the next purchase
  QString verkoopLabel;    // price and quantity of the next sale
  QString exhaustionHint;  // hint of the advice info button
};

// Whether `offset` of the dataset at rekIndex is a fund, which has advice
// (not the placeholder row or past the list).
bool IsAdvisedFund(const Portfolio& portfolio, int rekIndex, int offset);

// What the advice box shows for the fund at `offset` of the dataset at
// rekIndex, from the advice the engine computed last (for that fund).
AdviceBox AdviceBoxOf(const Session& session, int rekIndex, int offset);
// Recomputes the advice of that fund first: its reference value and
// AdviesR may change.
AdviceBox ShowAdvice(Session& session, int rekIndex, int offset);

// The labels of the DivirOzev and RividuDori modes as they stand.
QString DivirOzevLabel(const Session& session);
QString RividuDoriLabel(const Session& session);

}  // namespace pelmar
