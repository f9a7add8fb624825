#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "commands/folder_copy.h"
#include "commands/prompter.h"
#include "commands/quotes.h"
#include "commands/session.h"
#include "lang/outcome.h"
#include "model/dates.h"
#include "prices/price_store.h"
#include "prices/settings.h"

namespace pelmar {

// What the settings window shows and edits: every stored setting, the
// number of days as typed, and the open portfolio's two currencies (kept in
// the portfolio file, not in the settings).
struct SettingsEdit {
  Settings settings;
  QString daysText;
  bool portInDollar = false;
  bool rapInDollar = false;
};

// What the live quotes must look like after the quote switches changed (or
// at start, the settings against themselves): the timer, button and menu
// check of each quote, the one-shot connection test, the quote label and
// which shown quote must be emptied. The one decision: the main window and
// the quote controller only apply it.
struct QuoteSwitches {
  bool dollar = false;             // TimerDollar running, its menu check
  bool aex = false;                // TimerAEX running, its menu check
  QuoteButtons buttons;            // the quote button shown (ShowQuoteButtons)
  bool connect = false;            // TimerConnect started once
  bool clearDollar = false;        // the dollar quote was switched off: empty its box
  bool clearAex = false;           // the AEX quote was switched off: empty its box
  QString label;                   // " * AEX ", " * US$ ", or empty: the label hidden
  bool automaticDownload = false;  // the menu check "Automatisch Downloaden"
  bool changed = false;            // either quote switch changed
};

QuoteSwitches QuoteEffect(const Settings& before, const Settings& after);

// What taking over the window's settings changed, for the windows to follow.
struct SettingsEffects {
  bool language = false;         // every open window's texts
  bool currencies = false;       // currency texts, menu checks, the dataset shown
  bool portfolioFolder = false;  // the portfolio folder in use changed
  bool priceFolder = false;      // prices and stock lists are read elsewhere now
  bool dateFormat = false;       // dates are shown and the stock lists kept in another format
  bool markets = false;          // the chart window's stock list
  bool chart = false;            // the chart window's days and scale
  // The folder typed could not be used: the field shows the old one again.
  bool keptPortfolioFolder = false;
  bool keptPriceFolder = false;
  QuoteSwitches quotes;
};

// The web addresses the download page edits, each with its label and a
// "Default" button. One row per service: a new service is one more row.
struct ServiceAddress {
  QString Settings::*member;
  TextId label;
  bool urlTemplate = false;  // holds "{symbol}" and date placeholders
};
const std::vector<ServiceAddress>& ServiceAddresses();

// VarToScreen: the program's settings and currencies as the window shows them.
SettingsEdit VarToScreen(const Session& session);

// NormalizeFilePathName: a folder ends in "/" with "/" separators and no
// blanks around it; a portfolio file name ends in ".xml".
enum class PathKind { Folder, PortfolioFile };
QString NormalizeFilePathName(const QString& path, PathKind kind);

// SetValuta: gives the open portfolio the currencies chosen and recomputes
// the dataset shown; false when nothing changed (or nothing is open).
bool SetValuta(Session& session, bool portInDollar, bool rapInDollar);

// ScreenToVar: takes a user's edit over. Everything is checked first; a
// number of days, a value or a folder that cannot be used is refused with
// its reason and nothing changes. Then the steps take effect in order:
// language (with the restart notice), portfolio folder with the copy of
// its portfolios, price folder with the copy of its prices, stock lists and
// "Last Prices.txt", the date format with both stock lists rewritten,
// currencies, quotes, markets, days and chart. A copy or conversion that
// fails keeps the old folder or format in use and says so; the other steps
// still take effect.
Outcome ScreenToVar(Session& session, Prompter& prompter, const SettingsEdit& edit,
                    SettingsEffects& effects, const CopyProgress& progress = {});

// SaveOptions: writes the settings to the session's store.
Outcome SaveOptions(const Session& session);

// BtnOKClick: ScreenToVar, then SaveOptions; a store that cannot keep the
// settings is told (they are in effect until the program ends).
Outcome OptionsOk(Session& session, Prompter& prompter, const SettingsEdit& edit,
                  SettingsEffects& effects, const CopyProgress& progress = {});

// One setting by its stored name, changed as the window would change it
// (switching one live quote on switches the other off) and taken over
// through ScreenToVar and SaveOptions.
Outcome SetSetting(Session& session, Prompter& prompter, const QString& name, const QString& value,
                   SettingsEffects& effects);

// Rewrites the LastDates of both stock lists of the price folder from one
// date format into the other, all lists or none: a list written before a
// failure gets its old bytes back. `failed` names the list that could not
// be converted, `notRestored` the lists that could not be put back and now
// hold the new format. `write` writes a file's bytes (the safe write path;
// a test gives one that fails).
struct StockListConversion {
  QString failed;
  QStringList notRestored;
};
using FileWriter = std::function<Outcome(const QString& path, const QByteArray& bytes)>;
StockListConversion ConvertStockListDates(const QString& folder, DateFormat from, DateFormat to,
                                          const FileWriter& write);

// ReadLastPrices: the latest download days of "Last Prices.txt" in the price
// folder (both 0 when it cannot be read), as the download page shows them.
LatestPriceDays ReadLastPrices(Session& session);
QString LastDownloadText(Session& session);

// BtnCheckClick: there is no update service; says where updates come from.
void BtnCheckClick(const Session& session, Prompter& prompter);

// Says which stored settings could not be used and were reset to their
// defaults at the last load (one message naming them), and stores the
// settings, so that it is said once; nothing when there were none.
void ReportResetSettings(Session& session, Prompter& prompter);

}  // namespace pelmar
