#pragma once

#include <QString>

#include "lang/language.h"
#include "model/portfolio.h"
#include "model/real48.h"

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

// The advice generator: for one fund the quantity that brings its holding
// back to its reference value, the prices at which the method buys and
// sells with the quantities for each, and whether the current price calls
// for a trade. It also keeps the reference value RefWrde from dataset to
// dataset. The results describe the fund computed last.
class Advice {
 public:
  Advice(Portfolio& portfolio, const Language& language);

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

  // Recomputes the advice of the fund at `offset` of the dataset at
  // rekIndex and returns what the advice box shows for it.
  AdviceBox ShowAdvice(int rekIndex, int offset);
  // What the advice box shows for that fund from the advice computed last
  // (FundAdvice of the same fund).
  AdviceBox AdviceBoxOf(int rekIndex, int offset) const;

  // The DivirOzev mode switched, and set on the account of the selected
  // fund when there is one; returns the text of the label that shows it.
  QString DivirOzevClick(RekeningRec* account);
  // The RividuDori menu command: only its check mark and label change.
  QString RividuDoriClick();
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
  // The hint that tells where falling prices use the reserve up.
  QString exhaustionHint(const KoersRec& fund) const;
  // " Kopen: 2 (2.5000) stuks" and its selling counterpart.
  QString quantityText(TextId action, double shares) const;

  Portfolio& portfolio_;
  const Language& language_;
  int rek_ = Portfolio::kFirstRekIndex;
  bool divirOzevChecked_ = false;
  bool rividuDoriChecked_ = false;
  AdviceFigures figures_;
};

}  // namespace pelmar
