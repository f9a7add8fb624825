#pragma once

#include <QString>
#include <QTextStream>
#include <optional>
#include <vector>

#include "cli/exit_codes.h"
#include "prices/price_table.h"

namespace pelmar {

class HeadlessPrompter;
class Session;

// One step of a `pelmar-cli run` script, as parsed.
struct ScriptStep {
  enum class Kind {
    Select,
    DataSet,
    Set,
    Trade,
    Account,
    AccountApply,
    DivirOzev,
    RividuDori,
    Answer,
    Download,
    ImportPrices,
    // Currencies and the live quotes.
    Currency,
    Quote,
    // Splits, reference value, year closing and maintenance (script_method.cpp).
    Split,
    RefValue,
    YearClose,
    Flag,
    Maintenance,
    // New funds.
    NewFund,
    NewManualFund
  };
  int line = 0;
  Kind kind = Kind::Select;
  // The ticker, the dataset direction, the value typed or the answer.
  QString text;
  // import-prices: the CSV file, and the order of day and month given.
  QString file;
  std::optional<DateOrder> dateOrder;
  // The grid row of `set`, the accounts window's row of `account`.
  int row = -1;
  // The account of `account` (1 to 5).
  int account = 0;
  // A trade: shares (negative sells), the price when given, fixed costs.
  double quantity = 0;
  std::optional<double> price;
  double costs = 0;
  // divirozev or rividudori on or off.
  bool on = false;
};

// The steps of a script, or the reason it is malformed (naming its line).
struct ParsedScript {
  std::vector<ScriptStep> steps;
  QString error;
};
ParsedScript ParseScript(const QString& text);

// The steps of the splits, reference-value, year-closing and maintenance
// commands: `split R`, `refvalue`, `yearclose NEWFILE`, `flag NAME on|off`,
// `maintenance on|off`. True when the words are one of them; `error` then
// says what is malformed, if anything.
bool ParseMethodStep(const QStringList& words, ScriptStep& step, QString& error);
// Runs one of those steps; false when the program refused it.
bool RunMethodStep(Session& session, HeadlessPrompter& prompter, const ScriptStep& step);

// Runs the steps on the opened portfolio as the main window would: the
// program's messages reach the error stream through the prompter. A step
// the program refuses is reported and the run goes on, or, with `strict`,
// stops there: returns kScriptRefused then, else 0.
int RunScript(Session& session, HeadlessPrompter& prompter, const std::vector<ScriptStep>& steps,
              bool strict, QTextStream& err);

}  // namespace pelmar
