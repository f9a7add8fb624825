#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "model/dates.h"
#include "prices/settings_store.h"

namespace pelmar {

// Every stored setting of the program with its default. Positions written
// as std::optional have no default: the window keeps its own placement
// until one is stored.
struct Settings {
  // "Defaults": main window.
  int mainTop = 1;
  int mainLeft = 1;
  int mainWidth = 720;
  int mainHeight = 540;
  // "Options": settings window position.
  std::optional<int> optionsTop;
  std::optional<int> optionsLeft;
  // "Defaults": files.
  QString portfolioPath;  // data directory + "Port/"
  QString fileName = QStringLiteral("Test-1.xml");
  QString extension = QStringLiteral(".xml");
  bool copyPorts = true;
  // "Options": language and dates.
  QString language = QStringLiteral("SysteemTaal");
  QString dateFormat = dateFormatSetting(DateFormat::YearMonthDay);
  // "Defaults": display and reports.
  bool showRotai = true;
  bool hideYearClosingWarning = false;
  QString reportTitle;
  // "Download".
  QString pricePath;  // data directory + "Prices/"
  bool copyPrices = true;
  bool downloadAtStart = false;
  bool downloadDollarQuote = false;
  bool downloadAexQuote = false;
  bool downloadDutchList = true;
  bool downloadUsList = true;
  int downloadDays = 100;
  bool downloadFromLastDate = false;
  int downloadTop = 1;
  int downloadLeft = 1;
  int downloadWidth = 266;
  int downloadHeight = 314;
  // Base addresses of the price services and the symbol-lookup page. The
  // defaults lie in the reserved ".example" domain, so nothing is fetched
  // until the user names a real service (README: "Price services").
  QString dutchPriceService = QStringLiteral("https://dutch-prices.example/");
  QString usPriceService = QStringLiteral("https://us-prices.example/");
  QString symbolLookupService = QStringLiteral("https://symbol-lookup.example/");
  // The price source of each stock list, by name ("none", "chart", "csv",
  // "nl-service", "us-service"; price_source.h). "none" fetches nothing, so a
  // download asks nothing of the internet until the user chooses a source.
  QString dutchSource = QStringLiteral("none");
  QString usSource = QStringLiteral("none");
  // The chart-JSON source's base address and the CSV source's address
  // template ("{symbol}", "{from:yyyyMMdd}", ...).
  QString chartSourceUrl = QStringLiteral("https://query1.finance.yahoo.com/");
  QString csvSourceUrl =
      QStringLiteral("https://stooq.com/q/d/l/?s={symbol}&i=d&d1={from:yyyyMMdd}&d2={to:yyyyMMdd}");
  // The euro/dollar reference rates: "none" or "ecb", and where their files
  // lie.
  QString rateSource = QStringLiteral("none");
  QString referenceRatesUrl = QStringLiteral("https://www.ecb.europa.eu/stats/eurofxref/");
  // "Update".
  bool automaticUpdate = true;
  // "Valuta" and the currency index.
  QString dollarIndexName = QStringLiteral("Dollar/Euro");
  double euro = 0.95;
  QString dollarFactor = QStringLiteral("1");
  bool currencyMulDiv = false;
  // "sValuta": the index values the fund-currency dialog writes on OK.
  QString fundIndexName = QStringLiteral("Dollar/Euro");
  QString fundIndexFactor = QStringLiteral("1");
  bool fundIndexMulDiv = false;
  // "Download": the pages of the live quotes, the currency-rate page and the
  // index-quote page's base (the AEX page is its path
  // "indices/netherlands-25-historical-data"). Reserved ".example"
  // defaults, like the price services (README: "Live quotes").
  QString dollarQuotePage = QStringLiteral("https://currency-rates.example/");
  QString aexQuotePage = QStringLiteral("https://index-quotes.example/");
  // "Grafiek": chart window.
  int chartDays = 301;
  bool chartNormal = true;
  std::optional<int> chartTop;
  std::optional<int> chartLeft;
  std::optional<int> chartWidth;
  std::optional<int> chartHeight;
  // Report windows ("Defaults").
  std::optional<int> actionsTop;
  std::optional<int> actionsLeft;
  std::optional<int> actionsHeight;
  std::optional<int> actionsWidth;
  std::optional<int> portReportTop;
  std::optional<int> portReportLeft;
  std::optional<int> portReportHeight;
  std::optional<int> portReportWidth;
  // Accounts and about windows ("Defaults").
  int accountsTop = 100;
  int accountsLeft = 100;
  std::optional<int> accountsWidth;
  std::optional<int> accountsHeight;
  int aboutTop = 100;
  int aboutLeft = 100;
  // "Check": portfolio check window.
  int checkTop = 1;
  int checkLeft = 1;
  // "Service": maintenance window and its switches.
  int serviceTop = 100;
  int serviceLeft = 100;
  int serviceClientWidth = 427;
  int serviceClientHeight = 357;
  bool cumFonds = false;
  bool servicePanel = false;
  bool debug = false;
  bool logFile = false;
  bool editOldDates = false;
  // "Options": configuration window.
  QString cfg;

  // The defaults, with the folders formed under the given data directory
  // (which ends in a separator).
  static Settings defaults(const QString& dataDirectory);

  // Reads every value; a missing value keeps its default. A value that
  // cannot be used (a letter in a number, a number out of its bounds, a
  // choice none of its texts, a service address that is no web address)
  // keeps its default too, and its stored name goes into `reset`. A
  // relative folder is made absolute in the data directory.
  static Settings load(const SettingsStore& store, const QString& dataDirectory,
                       QStringList* reset = nullptr);
  // Writes every value; yes/no values as 1 or 0, absent positions not at all.
  void save(SettingsStore& store) const;

  bool operator==(const Settings&) const = default;
};

// Reading and writing one setting as text, by its stored name
// "Section/Value" (any case), so that a tool can list, show and change
// settings the way they are kept.
enum class SettingText { Done, UnknownName, NotAValue };
// Every stored name, in the order the settings are kept.
QStringList settingNames();
// The stored name in its own spelling; nothing for an unknown name.
std::optional<QString> settingName(const QString& name);
// The value as stored (yes/no as 1 or 0, a position never stored as ""),
// nothing for an unknown name.
std::optional<QString> settingText(const Settings& settings, const QString& name);
// Whole numbers, yes/no (1/0, true/false, yes/no) and floating values (either
// decimal separator) must read as such; "" clears a position without default.
SettingText setSettingText(Settings& settings, const QString& name, const QString& text);

// The per-user folder under which the portfolio and price folders are formed
// by default, ending in "/"; created when missing.
QString dataDirectory();

}  // namespace pelmar
