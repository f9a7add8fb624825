#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"

namespace pelmar {

// The currency codes of a portfolio and of a fund.
inline const QString kEuroCode = QStringLiteral("EUR");
inline const QString kDollarCode = QStringLiteral("US$");

// "US$" for a portfolio kept in dollars, else "EUR"; the other code.
QString PortfolioCurrency(const Portfolio& portfolio);
QString OtherCurrency(const Portfolio& portfolio);
// A fund's country follows its currency: "nl" for "EUR", "us" otherwise.
QString CountryOfCurrency(const QString& valuta);

// The price of a currency index in the daily price files on the session's
// today (0 when there is none), and the rate it stands for: an index
// price above 1.0 gives the price of one euro in dollars, so its inverse.
double IndexPriceToday(Session& session, const QString& ticker);
double RateOfIndexPrice(double price);
// Why the index picked in the fund-currency dialog cannot give the rate: no
// price, or a price that makes one euro cost less than 0.2 or more than 5
// dollars. Nothing when it can.
std::optional<Reason> FundIndexRefusal(const QString& ticker, double price);

// The two captions of the ratio group for the texts of the price and factor
// edits. `keep`: the factor edit is empty or no whole number above 0 and
// the captions stay as they are; `show`: the price differs from 1.0 by at
// least 0.001, so the group is shown.
struct RatioCaptions {
  bool keep = false;
  bool show = false;
  QString inDollars;  // "One Euro costs r Dollar"
  QString inEuros;    // "One Dollar costs r Euro"
};
RatioCaptions CurrencyRatioCaptions(const Language& language, const QString& priceText,
                                    const QString& factorText);

// The fields of the currency-index dialog (TDollarDlg).
struct DollarIndexFields {
  QString indexName;  // NaamKoersEdit
  QString priceText;  // KoersEdit
  QString factor;     // FactorEdit
  bool inDollars = false;
};

// The fields as the dialog opens: the index of the settings with its price
// of today (five decimals), the factor and the direction.
DollarIndexFields DollarIndexDialogFields(Session& session);

// The list window of the dialog ended: `ticker` is the row chosen with OK,
// nothing after Cancel. A chosen index with a price of at least 0.01 sets
// DollarKoers (an inverse above 1.0) and the settings' index and factor; a
// lower price shows "No price available." and puts 0.9400 and factor 1 in
// the fields. The current dataset's Dollar then takes the price field.
void DollarIndexPicked(Session& session, Prompter& prompter, DollarIndexFields& fields,
                       const std::optional<QString>& ticker);

// OK of the dialog: the index, factor and direction become the "Valuta"
// settings, which are stored; the portfolio is marked changed. Refused when
// the factor is no whole number above 0 (the dialog stays open).
Outcome ValutaOKBtnClick(Session& session, Prompter& prompter, const DollarIndexFields& fields);

// The fund-currency choice (TDlgValutaFonds) for the selected fund: the
// dialog, then the chosen currency in the fund, in the same fund of every
// later dataset and, by the country rule, in the country of every fund of
// those datasets; they are recalculated and the portfolio marked changed.
// Stopped, with nothing changed, when the dialog was cancelled; an index
// picked in the dialog's list takes effect with OK, unless
// FundIndexRefusal refuses it (the rate then stays).
Report KiesValutaClick(Session& session, Prompter& prompter);

// The currency change of KiesValutaClick without the dialog (also the
// `currency` step of the headless tool): refused when the code is empty.
Outcome ApplyFundCurrency(Session& session, Prompter& prompter, const QString& currency);

// The stock picker's lines (TKoersForm): the Dutch then the US download
// list, each line the name in characters 1–30, the ticker in 31–45 and the
// last date after them.
QStringList StockPickerLines(Session& session);
// What OK in the picker takes from a line.
struct PickedStock {
  QString name;    // characters 1–30, trailing blanks removed
  QString ticker;  // characters 31–45, every blank removed
  QString third;   // the rest, every blank removed
};
PickedStock PickedStockOf(const QString& line);

}  // namespace pelmar
