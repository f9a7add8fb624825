#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

#include "prices/stock_list.h"

namespace pelmar {

// What the buy/sell dialog is handed for the selected fund.
struct TradeProposal {
  QString ticker;
  // The fund's price, the proposed price of the trade.
  double price = 0;
  // The fund's cost percentage and currency factor.
  double costsPercent = 0;
  double currencyFactor = 1;
  // The advice of the method (shares, negative to sell) and whether it is
  // due; the quantity the account can pay for.
  double tradeAdvice = 0;
  bool adviceDue = false;
  double affordable = 0;
  // The quantity the dialog opens with, as text.
  QString presetQuantity;
};

// How the buy/sell dialog ended: the quantity (negative sells), the
// transaction price and the fixed costs when OK was pressed.
struct TradeEntry {
  bool accepted = false;
  double quantity = 0;
  double price = 0;
  double costs = 0;
};

// One account as the account chooser lists it.
struct AccountChoiceRow {
  QString name;
  QString number;
  QString currency;
  double saldo = 0;
};

// What the account chooser shows, and how it ended: the five accounts
// (names, numbers and currencies as edited) and the chosen account, 1 to 5.
struct AccountChoice {
  bool accepted = false;
  int selected = 1;
  std::array<AccountChoiceRow, 5> rows;
};

// The fund-currency dialog (currencies): what it opens with for the
// selected fund, and how it ended.
struct FundCurrencyProposal {
  QString fundCurrency;       // the fund's Valuta, three characters, upper case
  QString portfolioCurrency;  // "EUR" or "US$"
  QString otherCurrency;      // the other of the two
  QString indexName;          // the currency index of the settings
  QString dollarText;         // the current dataset's Dollar, six decimals
  QString factor;
  bool inDollars = false;
  // The stock picker's lines, and the price of today of an index ticker.
  QStringList stockLines;
  std::function<double(const QString&)> indexPrice;
  // Why an index ticker cannot be taken (empty when it can): the dialog
  // refuses the pick with this reason.
  std::function<QString(const QString&)> indexRefusal;
};
struct FundCurrencyChoice {
  bool accepted = false;
  QString currency;  // ValutaEdit
  QString factor;
  bool inDollars = false;
  // The ticker last picked from the list and not refused.
  std::optional<QString> pickedIndex;
};

// New funds: the two new-fund dialogs.

// A stock taken from a download list for the new-fund dialog: its market,
// name, ticker (blanks removed) and price; `ok` is false when the pick was
// cancelled or refused (the dialog's fields are then emptied).
struct NewFundPick {
  bool ok = false;
  Market market = Market::Dutch;
  QString company;
  QString ticker;
  double price = 0;
};

// What the new-fund dialog opens with: the market of its currency labels
// until a list is chosen, and the command that picks a stock from a list,
// finds its price and checks it (the list buttons call it).
struct NewFundForm {
  Market market = Market::Dutch;
  std::function<NewFundPick(Market)> pick;
};

// How a new-fund dialog ended: with OK, the stock and the first purchase as
// typed. The manual dialog leaves `market` as the portfolio's currency.
struct NewFundEntry {
  bool accepted = false;
  Market market = Market::Dutch;
  QString company;
  QString ticker;
  double price = 0;
  double investment = 0;
  double quantity = 0;
};

}  // namespace pelmar
