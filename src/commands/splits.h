#pragma once

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"

namespace pelmar {

// Ratios closer to 1 than this are no split.
inline constexpr double kSplitTolerance = 0.01;

// Splits the selected fund: asks the ratio r, then multiplies the shares
// by r and divides the price by r in the current dataset and in every
// later one where a fund has exactly the same ticker, marking each with the
// `Splits` bit (no money moves). A ratio within kSplitTolerance of 1 or a
// cancelled question splits nothing (stopped); a ratio of 0 or below, or
// no number, is refused with a message. The current dataset is
// recalculated in every case.
Report SpeedSplitsClick(Session& session, Prompter& prompter);

// Splits the fund at offset selFonds of the current dataset by `ratio` in
// that dataset and every later one (the step behind SpeedSplitsClick). The
// halved prices are the user's, set `today` (UserPriceMark).
void SplitFund(Portfolio& portfolio, int selFonds, double ratio, QDate today);

// Sets the selected fund's reference value by hand to its present value
// (price × shares) and marks it with the `RefWaarde` bit; when the bit is
// already set, asks whether to undo the mark and clears it on Yes. The
// current dataset is recalculated.
Report SpeedRefWaardeClick(Session& session, Prompter& prompter);

}  // namespace pelmar
