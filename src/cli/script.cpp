#include "cli/script.h"

#include <QRegularExpression>
#include <map>

#include "cli/headless_prompter.h"
#include "commands/accounts.h"
#include "commands/currencies.h"
#include "commands/dataset_view.h"
#include "commands/datasets.h"
#include "commands/download.h"
#include "commands/fund_grid.h"
#include "commands/latest_prices.h"
#include "commands/navigation.h"
#include "commands/new_fund.h"
#include "commands/quotes.h"
#include "commands/session.h"
#include "commands/trading.h"
#include "net/http_client.h"

namespace pelmar {

namespace {

using Kind = ScriptStep::Kind;

// The grid rows `set` may change, by the field they hold.
const std::map<QString, int> kGridFields = {
    {"koers", GridRow::Koers},
    {"inleg", GridRow::Inleg},
    {"kosten", GridRow::Kosten},
    {"kostenproc", GridRow::KostenProc},
    {"dividend", GridRow::Dividend},
    {"divbel", GridRow::DivBel},
    {"btw", GridRow::BTW},
    {"updr", GridRow::UpDr},
    {"downdr", GridRow::DownDr},
    {"v", GridRow::v},
    {"f", GridRow::f},
};

// The accounts window's rows `account` may change, by the field they hold.
const std::map<QString, int> kAccountFields = {
    {"reknaam", AccountRow::RekNaam},
    {"reknummer", AccountRow::RekNummer},
    {"credrente", AccountRow::CredRente},
    {"debrente", AccountRow::DebRente},
    {"rentecorrectie", AccountRow::RenteCorrectie},
    {"kosten", AccountRow::Kosten},
    {"btw", AccountRow::BTW},
    {"credperc", AccountRow::CredPerc},
    {"valuta", AccountRow::Valuta},
};

// A number of the script: digits with at most one "." or "," and a sign.
std::optional<double> number(const QString& text) {
  static const QRegularExpression shape(QStringLiteral("^[-+]?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
  if (!shape.match(text).hasMatch()) return std::nullopt;
  return QString(text).replace(u',', u'.').toDouble();
}

// The words of a line after its verb, the rest of the line from word `from`.
QString rest(const QStringList& words, int from) {
  return words.mid(from).join(u' ');
}

// Parses `buy N [price P] [costs C]`; an error text when malformed.
QString parseTrade(const QStringList& words, ScriptStep& step) {
  const std::optional<double> shares = words.size() >= 2 ? number(words[1]) : std::nullopt;
  if (!shares || *shares < 0) return QStringLiteral("%1 takes a number of shares").arg(words[0]);
  step.quantity = words[0] == QLatin1String("sell") ? -*shares : *shares;
  for (int i = 2; i < words.size(); i += 2) {
    const std::optional<double> value = i + 1 < words.size() ? number(words[i + 1]) : std::nullopt;
    if (words[i] == QLatin1String("price") && value && *value > 0) {
      step.price = value;
    } else if (words[i] == QLatin1String("costs") && value) {
      step.costs = *value;
    } else {
      return QStringLiteral("expected \"price P\" or \"costs C\" after the shares");
    }
  }
  return {};
}

// Parses `newfund TICKER PRICE|- QUANTITY [ACCOUNT]` and
// `newfund-manual NAME PRICE QUANTITY`; an error text when malformed.
QString parseNewFund(const QStringList& words, ScriptStep& step) {
  const bool manual = words[0] == QLatin1String("newfund-manual");
  const qsizetype size = words.size();
  if (size < 4 || size > (manual ? 4 : 5))
    return manual ? QStringLiteral("newfund-manual takes NAME PRICE QUANTITY")
                  : QStringLiteral("newfund takes TICKER PRICE|- QUANTITY [ACCOUNT]");
  step.kind = manual ? Kind::NewManualFund : Kind::NewFund;
  step.text = words[1];
  if (manual || words[2] != QLatin1String("-")) {
    step.price = number(words[2]);
    if (!step.price) return QStringLiteral("%1 is no price").arg(words[2]);
  }
  const std::optional<double> quantity = number(words[3]);
  if (!quantity || *quantity < 0) return QStringLiteral("%1 is no quantity").arg(words[3]);
  step.quantity = *quantity;
  if (size == 5) {
    bool whole = false;
    step.account = words[4].toInt(&whole);
    if (!whole || step.account < 1 || step.account > 5)
      return QStringLiteral("accounts are numbered 1 to 5");
  }
  return {};
}

// Parses one line's words into the step; an error text when malformed.
QString parseStep(const QStringList& words, ScriptStep& step) {
  const QString verb = words[0];
  if (verb == QLatin1String("select") && words.size() == 2) {
    step.kind = Kind::Select;
    step.text = words[1];
  } else if (verb == QLatin1String("dataset") && words.size() == 2 &&
             QStringList({"first", "previous", "next", "last"}).contains(words[1])) {
    step.kind = Kind::DataSet;
    step.text = words[1];
  } else if (verb == QLatin1String("set") && words.size() >= 3) {
    const auto field = kGridFields.find(words[1].toLower());
    if (field == kGridFields.end()) return QStringLiteral("no grid field %1").arg(words[1]);
    step.kind = Kind::Set;
    step.row = field->second;
    step.text = rest(words, 2);
  } else if (verb == QLatin1String("buy") || verb == QLatin1String("sell")) {
    step.kind = Kind::Trade;
    return parseTrade(words, step);
  } else if (verb == QLatin1String("account") && words.size() == 2 &&
             words[1] == QLatin1String("apply")) {
    step.kind = Kind::AccountApply;
  } else if (verb == QLatin1String("account") && words.size() >= 3) {
    bool whole = false;
    step.account = words[1].toInt(&whole);
    if (!whole || step.account < 1 || step.account > 5)
      return QStringLiteral("accounts are numbered 1 to 5");
    const auto field = kAccountFields.find(words[2].toLower());
    if (field == kAccountFields.end()) return QStringLiteral("no account field %1").arg(words[2]);
    step.kind = Kind::Account;
    step.row = field->second;
    step.text = rest(words, 3);
  } else if ((verb == QLatin1String("divirozev") || verb == QLatin1String("rividudori")) &&
             words.size() == 2 &&
             (words[1] == QLatin1String("on") || words[1] == QLatin1String("off"))) {
    step.kind = verb == QLatin1String("divirozev") ? Kind::DivirOzev : Kind::RividuDori;
    step.on = words[1] == QLatin1String("on");
  } else if (verb == QLatin1String("download") && words.size() == 1) {
    step.kind = Kind::Download;
  } else if (verb == QLatin1String("import-prices") && words.size() >= 3) {
    step.kind = Kind::ImportPrices;
    // "--date-order ymd|dmy|mdy" before the file, for a file whose dates
    // cannot tell the order of day and month.
    qsizetype file = 2;
    if (words[2] == QLatin1String("--date-order")) {
      step.dateOrder = dateOrderFromText(words.value(3));
      if (!step.dateOrder || words.size() < 5)
        return QStringLiteral("--date-order takes ymd, dmy or mdy and a file");
      file = 4;
    }
    step.text = words[1];
    step.file = rest(words, file);
  } else if (verb == QLatin1String("currency") && words.size() == 3 &&
             (words[2] == kEuroCode || words[2] == kDollarCode)) {
    step.kind = Kind::Currency;
    step.text = words[1];
    step.file = words[2];
  } else if (verb == QLatin1String("quote") && words.size() == 2 &&
             (words[1] == QLatin1String("dollar") || words[1] == QLatin1String("aex"))) {
    step.kind = Kind::Quote;
    step.text = words[1];
  } else if (verb == QLatin1String("newfund") || verb == QLatin1String("newfund-manual")) {
    return parseNewFund(words, step);
  } else if (verb == QLatin1String("answer") && words.size() >= 2) {
    step.kind = Kind::Answer;
    step.text = rest(words, 1);
  } else if (QString error; ParseMethodStep(words, step, error)) {
    return error;
  } else {
    return QStringLiteral("not a step: %1").arg(words.join(u' '));
  }
  return {};
}

// The download's log, line by line on the error stream.
class StreamMonitor : public DownloadMonitor {
 public:
  explicit StreamMonitor(QTextStream& out) : out_(out) {}
  void log(const QString& line) override {
    out_ << line << '\n';
    out_.flush();
  }

 private:
  QTextStream& out_;
};

// What a step did: whether the program took it, and what it changed, which
// the run reports to the session once.
struct StepResult {
  bool done = true;
  Changes changes;
};

// A command's report as a step: refused only when it failed.
StepResult taken(const Report& report) {
  return {!report.isFailure(), report.changes()};
}

// A command's report as a step that counts only when done.
StepResult takenIfDone(const Report& report) {
  return {report.ok(), report.changes()};
}

Report navigate(Session& session, const QString& direction) {
  if (direction == QLatin1String("first")) return FirstDateBtnClick(session);
  if (direction == QLatin1String("previous")) return PrevDateBtnClick(session);
  if (direction == QLatin1String("next")) return NextDateBtnClick(session);
  return LastDateBtnClick(session);
}

// `quote dollar|aex`: one tick from the configured page, on this thread.
StepResult quoteTick(Session& session, const QString& which, QTextStream& err) {
  NetworkHttpGet http;
  const QuoteKind kind = which == QLatin1String("dollar") ? QuoteKind::Dollar : QuoteKind::Aex;
  const QString page = QuotePage(session, kind);
  if (!ConnectionTest(http, page)) {
    err << "quote: no connection to " << page << '\n';
    return {false, {}};
  }
  if (kind == QuoteKind::Dollar) {
    const DollarRate rate = FetchDollarRate(http, page);
    const DollarTickResult result = ApplyDollarRate(session, rate);
    if (!result.arrived) {
      err << "quote: no dollar rate on " << page << '\n';
      return {false, {}};
    }
    err << "dollar " << QString::number(rate.rate, 'f', 4) << '\n';
    return {true, Change::Figures};
  }
  const AexQuote quote = FetchAEX(http, page, session.language());
  if (!quote.ok()) {
    err << quote.lastText << ' ' << quote.failure->text(session.language()) << '\n';
    return {false, {}};
  }
  err << "AEX " << quote.lastText << ' ' << quote.change << ' ' << quote.percent << ' '
      << quote.time << '\n';
  return {};
}

// `set FIELD VALUE`: the value typed into the grid row and committed.
StepResult setGridRow(Session& session, HeadlessPrompter& prompter, const ScriptStep& step) {
  if (!EditGridRow(session, prompter, step.row)) return {false, {}};
  QStringList cells = FillGrid(session);
  cells[step.row] = step.text;
  return taken(UpdateFonds(session, prompter, cells, step.row).report());
}

// `buy` and `sell`: the quantity row's double click with the trade dialog answered.
StepResult trade(Session& session, HeadlessPrompter& prompter, const ScriptStep& step) {
  prompter.setTrade(ScriptedTrade{step.quantity, step.price, step.costs});
  const Report traded = FondsGridDblClick(session, prompter, FillGrid(session), GridRow::Aantal);
  prompter.setTrade(std::nullopt);
  return taken(traded);
}

// `account apply`: Apply for every account typed into since the last one.
StepResult applyAccounts(Session& session, HeadlessPrompter& prompter,
                         std::map<int, QStringList>& accounts) {
  StepResult result;
  for (const auto& [number, cells] : accounts) {
    const StepResult applied = taken(ToepassenBtnClick(session, prompter, number, cells));
    result.done = applied.done && result.done;
    result.changes |= applied.changes;
  }
  accounts.clear();
  return result;
}

// `divirozev on|off` and `rividudori on|off`: the menu's mode switch, when
// the mode is not already as asked.
StepResult switchMode(Session& session, const ScriptStep& step) {
  const Advice& advice = session.engine().advice();
  if (step.kind == Kind::DivirOzev && advice.divirOzevChecked() != step.on)
    return taken(DivirOzevClick(session));
  if (step.kind == Kind::RividuDori && advice.rividuDoriChecked() != step.on)
    return taken(RividuDoriClick(session));
  return {};
}

// `newfund` and `newfund-manual`.
StepResult newFund(Session& session, HeadlessPrompter& prompter, const ScriptStep& step) {
  // The account chooser that follows the first investment takes the
  // account given, else it is cancelled and the fund stays on account 1.
  // The account is this step's: a step refused before the chooser leaves
  // it to no later one.
  if (step.account > 0) prompter.setAccount(step.account);
  const Report added =
      step.kind == Kind::NewFund
          ? NewFundByTicker(session, prompter, step.text, step.price, step.quantity)
          : NewManualFundNamed(session, prompter, step.text, step.price.value_or(0), step.quantity);
  prompter.setAccount(std::nullopt);
  return takenIfDone(added);
}

// The steps that change prices or currencies: the download, an import and
// a fund's currency. The figures may have changed whatever the outcome.
StepResult priceStep(Session& session, HeadlessPrompter& prompter, const ScriptStep& step,
                     QTextStream& err) {
  const Changes changes = Change::Prices | Change::Figures;
  switch (step.kind) {
    case Kind::Download: {
      NetworkHttpGet http;
      StreamMonitor monitor(err);
      return takenIfDone(Report(DownloadClick(session, http, monitor), changes));
    }
    case Kind::ImportPrices: {
      TableChoices choices;
      choices.dateOrder = step.dateOrder;
      return takenIfDone(
          Report(ImportPrices(session, prompter, step.text, step.file, choices), changes));
    }
    default:
      if (!FondsenBoxClick(session, step.text)) {
        err << "line " << step.line << ": "
            << QStringLiteral("no fund %1 in this dataset").arg(step.text) << '\n';
        return {false, {}};
      }
      return takenIfDone(Report(ApplyFundCurrency(session, prompter, step.file), changes));
  }
}

// Runs one step. Refusals of the program's commands reach the error stream
// through the prompter; those of the runner itself are written with the line.
StepResult runStep(Session& session, HeadlessPrompter& prompter, const ScriptStep& step,
                   std::map<int, QStringList>& accounts, QTextStream& err) {
  const auto refuse = [&](const QString& why) {
    err << "line " << step.line << ": " << why << '\n';
    return StepResult{false, {}};
  };
  switch (step.kind) {
    case Kind::Select: {
      const Report selected = FondsenBoxClick(session, step.text);
      if (!selected) return refuse(QStringLiteral("no fund %1 in this dataset").arg(step.text));
      return taken(selected);
    }
    case Kind::DataSet: {
      const Report moved = navigate(session, step.text);
      if (!moved) return refuse(QStringLiteral("the dataset did not change"));
      return taken(moved);
    }
    case Kind::Set:
      return setGridRow(session, prompter, step);
    case Kind::Trade:
      return trade(session, prompter, step);
    case Kind::Account: {
      QStringList& cells = accounts[step.account];
      if (cells.isEmpty()) cells = ShowAccount(session, step.account);
      cells[step.row] = step.text;
      return {};
    }
    case Kind::AccountApply:
      return applyAccounts(session, prompter, accounts);
    case Kind::DivirOzev:
    case Kind::RividuDori:
      return switchMode(session, step);
    case Kind::Answer:
      prompter.queueAnswer(step.text);
      return {};
    case Kind::Download:
    case Kind::ImportPrices:
    case Kind::Currency:
      return priceStep(session, prompter, step, err);
    case Kind::Quote:
      return quoteTick(session, step.text, err);
    case Kind::NewFund:
    case Kind::NewManualFund:
      return newFund(session, prompter, step);
    case Kind::Split:
    case Kind::RefValue:
    case Kind::YearClose:
    case Kind::Flag:
    case Kind::Maintenance:
      return {RunMethodStep(session, prompter, step), Change::Figures | Change::Funds};
  }
  return {};
}

}  // namespace

ParsedScript ParseScript(const QString& text) {
  ParsedScript parsed;
  const QStringList lines = text.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")));
  for (int i = 0; i < lines.size(); ++i) {
    const QString line = lines[i].section(u'#', 0, 0).simplified();
    if (line.isEmpty()) continue;
    ScriptStep step;
    step.line = i + 1;
    const QString error = parseStep(line.split(u' '), step);
    if (!error.isEmpty()) {
      parsed.error = QStringLiteral("line %1: %2").arg(i + 1).arg(error);
      parsed.steps.clear();
      return parsed;
    }
    parsed.steps.push_back(step);
  }
  return parsed;
}

int RunScript(Session& session, HeadlessPrompter& prompter, const std::vector<ScriptStep>& steps,
              bool strict, QTextStream& err) {
  std::map<int, QStringList> accounts;
  // A price the user set that a later daily file replaced is told, as the
  // window's status line does: after opening and after each step.
  const auto tellReplaced = [&] {
    if (const auto replaced = session.engine().takeReplacedPrices(); !replaced.empty())
      err << PricesReplacedText(session, replaced) << '\n';
  };
  tellReplaced();
  // The run redraws as the main window does: from what each step reported.
  const int listener = session.addChangeListener([&session](Changes changes) {
    if (changes) ShowDataSet(session, session.portfolio().pKoersRec());
  });
  int exitCode = 0;
  for (const ScriptStep& step : steps) {
    const StepResult result = runStep(session, prompter, step, accounts, err);
    (void)session.report(
        Report(result.done ? Outcome::done() : Outcome::stopped(), result.changes));
    tellReplaced();
    err.flush();
    if (!result.done && strict) {
      exitCode = kScriptRefused;
      break;
    }
  }
  session.removeChangeListener(listener);
  return exitCode;
}

}  // namespace pelmar
