#pragma once

#include "model/portfolio.h"
#include "model/real48.h"

namespace pelmar {

// The advice figures of one fund.
struct AdviceFigures {
  // 1 / (1 - f) and 1 / (1 - v) of the fund's growth factors.
  Real48 buyGrowth;
  Real48 sellGrowth;
  // The shares that bring the holding back to its reference value, times
  // the growth: to buy (positive) or sell (negative).
  Real48 adviceShares;
  // The prices at which the method buys and sells next, and how many.
  Real48 buyPrice;
  Real48 sellPrice;
  Real48 buyShares;
  Real48 sellShares;
  // The trade the current price calls for; 0 when none is.
  Real48 tradeAdvice;

  // Whether the trade advice is due: it reaches the quantity of a purchase
  // or of a sale.
  bool due() const;
};

// Where falling prices use a fund's reserve up: the price falls DownDr
// percent a step and the method buys at every step, until the reserve is
// below 0 or 1000 steps have passed.
struct ReserveExhaustion {
  enum class Kind {
    At,            // the reserve runs out at the figures below
    NotReached,    // shares held, and the reserve lasts every step
    WithoutShares  // no shares: falling prices cost nothing
  };
  Kind kind = Kind::NotReached;
  // The step where the reserve runs out: its price, the reserve left (below
  // 0) and the shares then held. Only for Kind::At.
  double price = 0;
  double reserve = 0;
  double shares = 0;
};
ReserveExhaustion ReserveExhaustionOf(const KoersRec& fund);

// The advice generator: for one fund the quantity that brings its holding
// back to its reference value, the prices at which the method buys and
// sells with the quantities for each, and whether the current price calls
// for a trade. It also keeps the reference value RefWrde from dataset to
// dataset. The results describe the fund computed last; they are figures
// only: the commands build the texts that show them.
class Advice {
 public:
  explicit Advice(Portfolio& portfolio);

  // The dataset whose funds the routines below advise; the engine sets it
  // for every dataset it computes.
  void setDataSet(int rekIndex) { rek_ = rekIndex; }

  // The AdviceShares routine for a fund of that dataset: sets the growth
  // figures and returns the shares to buy (positive) or sell (negative)
  // now; 0 in the first dataset.
  long double AdviceSharesOf(const KoersRec& fund);

  // The advice of the fund at `offset` of the dataset at rekIndex, looking
  // its previous fund up by name. May change RefWrde and AdviesR of the fund.
  AdviceFigures FundAdvice(int rekIndex, int offset);
  // The same with the previous fund already known: nullptr for a fund that
  // is new in this dataset. The engine uses it in its pass over all funds.
  void FundAdvice(int offset, const KoersRec* previous);

  // The buy and sell prices and quantities of a fund in the first dataset.
  void FirstDataSetAdvice(const KoersRec& fund);

  // The DivirOzev mode switched, and set on the account of the selected
  // fund when there is one.
  void DivirOzevClick(RekeningRec* account);
  // The RividuDori mode switched: only its check mark and label change.
  void RividuDoriClick();
  bool divirOzevChecked() const { return divirOzevChecked_; }
  bool rividuDoriChecked() const { return rividuDoriChecked_; }

  // The figures of the fund advised last.
  AdviceFigures figures() const { return figures_; }

 private:
  bool inFirstDataSet() const;
  int koersIndex() const;
  // The growth figures of the fund's growth factors.
  void setGrowth(const KoersRec& fund);
  // The buy and sell prices and quantities of the fund at its reference
  // value; the quantities only when `withQuantities`.
  void setPricesAndQuantities(const KoersRec& fund, bool rounded, bool withQuantities);

  Portfolio& portfolio_;
  int rek_ = Portfolio::kFirstRekIndex;
  bool divirOzevChecked_ = false;
  bool rividuDoriChecked_ = false;
  AdviceFigures figures_;
};

}  // namespace pelmar
