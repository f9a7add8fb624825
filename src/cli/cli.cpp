#include "cli/cli.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/chart_verb.h"
#include "cli/exit_codes.h"
#include "cli/headless_prompter.h"
#include "cli/report_output.h"
#include "cli/script.h"
#include "cli/settings_verb.h"
#include "commands/dataset_view.h"
#include "commands/file_commands.h"
#include "commands/portfolio_io.h"
#include "commands/portfolio_lock.h"
#include "commands/session.h"
#include "commands/todays_entries.h"
#include "model/conversions.h"
#include "model/currency.h"
#include "model/safe_read.h"
#include "prices/settings_store.h"
#include "reports/check_listing.h"

namespace pelmar {
namespace {

QString usage() {
  return QStringLiteral(
             "Usage: pelmar-cli [options] [command FILE]\n"
             "The headless Pelmar tool: runs the program's commands without a window.\n"
             "\n"
             "Commands:\n"
             "  open FILE           open the portfolio as the main window does and print\n"
             "                      its last dataset (the dataset of today)\n"
             "  check FILE          open the portfolio and print its check listing\n"
             "  report portfolio|actions FILE --out OUT\n"
             "                      open the portfolio and write its portfolio overview\n"
             "                      (of the dataset of today) or its actions overview\n"
             "                      as OUT.rtf, OUT.pdf or OUT.txt\n"
             "  run FILE --script STEPS\n"
             "                      open the portfolio, run the steps of the file STEPS\n"
             "                      (\"-\" reads them from standard input) as the window\n"
             "                      would, then print or save it as open does\n"
             "  settings list       print every setting as Section/Name = value\n"
             "  settings get NAME   print one setting (NAME as Section/Name, any case)\n"
             "  settings set NAME VALUE\n"
             "                      change and store one setting, checked and applied\n"
             "                      as the settings window does\n"
             "  new OUT [--currency EUR|US$]\n"
             "                      make a new portfolio as the New command does, dated\n"
             "                      today (see --today), and save it as OUT\n"
             "%1"
             "\n"
             "Options:\n"
             "  --today YYYY-MM-DD  take this date as today\n"
             "  --lang nl|en        language of the texts and numbers (default: the\n"
             "                      program's setting)\n"
             "  --prices DIR        folder of the daily price files (default: the\n"
             "                      program's price folder)\n"
             "  --save OUT          open: save the opened portfolio as OUT\n"
             "  --without-new       with --save: leave the dataset of today out\n"
             "  --json              open: print the dataset as JSON\n"
             "  --strict            run: stop at the first step the program refuses\n"
             "\n"
             "Steps of run, one a line, \"#\" starts a comment:\n"
             "  select TICKER                 dataset first|previous|next|last\n"
             "  set FIELD VALUE               (Koers Inleg Kosten KostenProc Dividend DivBel\n"
             "                                BTW UpDr DownDr v f)\n"
             "  buy N [price P] [costs C]     sell N [price P] [costs C]\n"
             "  account N FIELD VALUE         account apply\n"
             "                                (RekNaam RekNummer CredRente DebRente\n"
             "                                RenteCorrectie Kosten BTW CredPerc Valuta)\n"
             "  divirozev on|off              answer yes|no|cancel|TEXT\n"
             "  split R   refvalue            yearclose NEWFILE\n"
             "  flag NAME on|off              maintenance on|off\n"
             "                                (Splits Cumulatief BuySell RefWaarde JaarAfsl)\n"
             "  newfund TICKER PRICE|- QUANTITY [ACCOUNT]\n"
             "                                a stock of the download lists (\"-\": the\n"
             "                                daily files' price), bought for its value\n"
             "  newfund-manual NAME PRICE QUANTITY   a fund entered by hand\n"
             "  --version           print the program name and version\n"
             "  --help              print this text\n"
             "\n"
             "Exit codes: 0 done, 2 wrong usage, 3 file not readable, 4 not saved,\n"
             "5 a step refused with --strict, 6 a setting refused, 7 nothing to chart,\n"
             "8 the portfolio is in use by another program.\n")
      .arg(chartUsage());
}

// The funds of the last dataset as listed: every fund but the placeholder
// row, in file order.
struct FundLine {
  QString ticker;
  double price = 0;
  double shares = 0;
  double value = 0;
  double reserve = 0;
  double fundReturn = 0;
  double rotaiReturn = 0;
  AdviceBox advice;
  // Where a price of an older day comes from (StalePriceNote); empty when fresh.
  QString priceNote;
};

struct Listing {
  QString file;
  int dataSet = 0;
  QString date;
  double total = 0;
  double profit = 0;
  double annualReturn = 0;
  double rotaiReturn = 0;
  QString selected;
  std::vector<FundLine> funds;
};

// The records of the current dataset, to be put back after looking at
// every fund: showing a fund may change its dataset as the window does,
// and the listing must leave the portfolio as opening left it.
class DataSetSnapshot {
 public:
  explicit DataSetSnapshot(Portfolio& portfolio) : portfolio_(portfolio) {
    first_ = portfolio.pAlgRec();
    const int end = portfolio.dataSetEnd(portfolio.FirstRekIndex());
    records_.assign(portfolio.records().begin() + first_, portfolio.records().begin() + end);
  }
  void restore() {
    for (size_t i = 0; i < records_.size(); ++i) {
      const int index = first_ + static_cast<int>(i);
      std::visit(
          [&](const auto& record) {
            using T = std::decay_t<decltype(record)>;
            if constexpr (std::is_same_v<T, AlgemeenRec>) portfolio_.algAt(index) = record;
            if constexpr (std::is_same_v<T, RekeningRec>) portfolio_.rekAt(index) = record;
            if constexpr (std::is_same_v<T, KoersRec>) portfolio_.koersAt(index) = record;
          },
          records_[i]);
    }
  }

 private:
  Portfolio& portfolio_;
  int first_ = 0;
  RecordList records_;
};

// Shows the selected fund as the window shows it: after opening the first
// entry of the fund list, after steps the fund they left selected (showing
// another fund would store that fund's advice, which the window never
// showed). Then the advice line of every fund is computed as the window
// shows it when the fund is selected, and the dataset is put back as it was.
Listing showLastDataSet(Session& session, const QString& fileName) {
  Portfolio& p = session.portfolio();
  Listing listing;
  listing.file = QDir::toNativeSeparators(fileName);

  const int first = p.SelFonds();
  ShowDataSet(session, p.FirstKoersIndex() + first);
  const DataSetView view = DataSetViewOf(session, fileName);
  Advice& method = session.engine().advice();
  const int rek = p.FirstRekIndex();
  const int fundCount = p.fundCount(p.FirstKoersIndex());
  std::vector<AdviceBox> advice(fundCount);
  DataSetSnapshot snapshot(p);
  for (int i = 0; i < fundCount; ++i) advice[i] = method.ShowAdvice(rek, i);
  snapshot.restore();
  // The advice results end as the selected fund's, as on the window.
  method.FundAdvice(rek, first);

  const AlgemeenRec& alg = p.alg();
  listing.dataSet = alg.NrOfSet;
  listing.date = view.datum;
  listing.total = alg.Totaal;
  listing.profit = alg.Winst;
  listing.annualReturn = alg.Rendement;
  listing.rotaiReturn = alg.ROTAIRendement;
  listing.selected = view.ticker;
  for (int i = 0; i < fundCount; ++i) {
    const KoersRec& fund = p.koersAt(p.FirstKoersIndex() + i);
    if (fund.isPlaceholder()) continue;
    FundLine line;
    line.ticker = TrimRightBlanks(fund.Ticker);
    line.price = fund.Koers;
    line.shares = fund.Aantal;
    line.value = fund.Aantal * FundCurrencyFactor(p, alg, fund) * fund.Koers;
    line.reserve = fund.Reserve;
    line.fundReturn = fund.FRend;
    line.rotaiReturn = fund.ROTAIFRend;
    line.advice = advice[i];
    line.priceNote = StalePriceNote(session, p.FirstKoersIndex() + i);
    listing.funds.push_back(line);
  }
  return listing;
}

void printText(const Listing& listing, const Session& session, QTextStream& out) {
  const Language& language = session.language();
  const auto amount = [&](double value, int width) {
    return FormatAmount(value, 0, 2, language).rightJustified(width);
  };
  const auto number = [&](double value, int width) {
    return FormatAmount(value, 0, 4, language).rightJustified(width);
  };
  const auto label = [&](TextId id) { return (session.text(id) + u':').leftJustified(17); };

  out << session.text(TextId::CliPortfolio) << listing.file << '\n';
  out << session.text(TextId::DataSetPrefix) << listing.dataSet << ": " << listing.date << '\n';
  out << label(TextId::TabTotal) << amount(listing.total, 16) << '\n';
  out << label(TextId::TabProfit) << amount(listing.profit, 16) << '\n';
  out << label(TextId::CliReturn) << amount(listing.annualReturn, 16) << " %\n";
  out << label(TextId::CliRotaiReturn) << amount(listing.rotaiReturn, 16) << " %\n\n";

  out << session.text(TextId::CliTicker).leftJustified(12)
      << session.text(TextId::CliPrice).rightJustified(12)
      << session.text(TextId::CliShares).rightJustified(14)
      << session.text(TextId::CliValue).rightJustified(16)
      << session.text(TextId::CliReserve).rightJustified(16)
      << session.text(TextId::CliFundReturn).rightJustified(10)
      << session.text(TextId::CliFundRotaiReturn).rightJustified(10) << '\n';
  for (const FundLine& fund : listing.funds) {
    out << fund.ticker.leftJustified(12) << number(fund.price, 12) << number(fund.shares, 14)
        << amount(fund.value, 16) << amount(fund.reserve, 16) << amount(fund.fundReturn, 10)
        << amount(fund.rotaiReturn, 10) << '\n';
    const QString advice = fund.advice.adviesLabel.trimmed();
    if (!advice.isEmpty()) out << "    " << advice << '\n';
    if (!fund.priceNote.isEmpty()) out << "    " << fund.priceNote << '\n';
  }
}

// Amounts as the portfolio file keeps them, to four decimals, so that the
// binary remainder of the stored value does not show.
double fourDecimals(double value) {
  return static_cast<double>(Round4(value));
}

void printJson(const Listing& listing, QTextStream& out) {
  QJsonArray funds;
  for (const FundLine& fund : listing.funds) {
    funds.append(QJsonObject{
        {"ticker", fund.ticker},
        {"price", fourDecimals(fund.price)},
        {"shares", fourDecimals(fund.shares)},
        {"value", fourDecimals(fund.value)},
        {"reserve", fourDecimals(fund.reserve)},
        {"return", fourDecimals(fund.fundReturn)},
        {"rotaiReturn", fourDecimals(fund.rotaiReturn)},
        {"advice", fund.advice.adviesLabel.trimmed()},
        {"adviceDue", fund.advice.adviesColour == AdviceColour::Blue &&
                          !fund.advice.adviesLabel.trimmed().isEmpty()},
        {"buy", fund.advice.koopLabel.trimmed()},
        {"sell", fund.advice.verkoopLabel.trimmed()},
        {"priceNote", fund.priceNote},
    });
  }
  const QJsonObject root{
      {"file", listing.file},
      {"dataSet", listing.dataSet},
      {"date", listing.date},
      {"total", fourDecimals(listing.total)},
      {"profit", fourDecimals(listing.profit)},
      {"return", fourDecimals(listing.annualReturn)},
      {"rotaiReturn", fourDecimals(listing.rotaiReturn)},
      {"selectedFund", listing.selected},
      {"funds", funds},
  };
  out << QJsonDocument(root).toJson(QJsonDocument::Indented);
}

// The options of the open and check commands.
struct Command {
  QString name;
  QString file;
  QString priceFolder;
  QString saveAs;
  bool withoutNew = false;
  bool json = false;
  // run: the steps and whether a refused step ends the run.
  std::vector<ScriptStep> steps;
  bool strict = false;
  // report: which overview and where it goes.
  QString report;
  QString out;
};

// The steps of a script file, or of standard input for "-"; nothing when
// they cannot be read.
std::optional<QString> readScript(const QString& name) {
  if (name != QLatin1String("-")) {
    // A script file is read like every other input: a regular file, bounded.
    const safe_read::ReadResult read = safe_read::ReadFile(name);
    if (!read.read()) return std::nullopt;
    return QString::fromUtf8(read.bytes);
  }
  QFile file;
  if (!file.open(stdin, QIODevice::ReadOnly)) return std::nullopt;
  return QString::fromUtf8(file.read(safe_read::kMaxTextFile));
}

// Opens the portfolio as the main window does. The program's own messages
// reach the error stream through the prompter.
Outcome openPortfolio(Session& session, Prompter& prompter, const Command& command,
                      QTextStream& err) {
  session.settings().pricePath = command.priceFolder;
  if (!QFileInfo(command.priceFolder).isDir()) {
    err << session.text(TextId::CliNoPriceFolder).arg(QDir::toNativeSeparators(command.priceFolder))
        << '\n';
  }
  session.applyPricePath();
  return LoadPortfolio(session, prompter, command.file);
}

// The exit code of a portfolio that was not saved: in use elsewhere (or
// opened read-only because it was), or not written.
int notSavedCode(const Outcome& saved) {
  const std::optional<Reason>& reason = saved.reason();
  const bool inUse = reason && (reason->cause == TextId::PortfolioInUse ||
                                reason->cause == TextId::PortfolioReadOnly);
  return inUse ? kInUse : kNotSaved;
}

// The line after a failed save: the file and why.
void tellNotSaved(const Session& session, const QString& file, const Outcome& saved,
                  QTextStream& err) {
  Reason reason{TextId::CliNotSaved, {QDir::toNativeSeparators(file)}};
  if (saved.reason() && saved.reason()->hasCause())
    reason = reason.because(*saved.reason()->causeReason());
  err << reason.text(session.language()) << '\n';
}

int runCommand(Session& session, const Command& command, QTextStream& out, QTextStream& err) {
  HeadlessPrompter prompter(err);
  // A portfolio another program has open is opened read-only, unless the
  // command is to save over it: then not at all.
  prompter.setOpenInUseReadOnly(command.saveAs.isEmpty() ||
                                PortfolioLockKey(command.saveAs) != PortfolioLockKey(command.file));
  if (Outcome opened = openPortfolio(session, prompter, command, err); !opened) {
    const bool inUse = opened.reason() && opened.reason()->id == TextId::PortfolioInUse;
    return inUse ? kInUse : kNotReadable;
  }
  if (RunScript(session, prompter, command.steps, command.strict, err) != kDone)
    return kScriptRefused;

  if (command.name == QLatin1String("report"))
    return WriteReportCommand(session, command.report, command.out, err);
  if (command.name == QLatin1String("check")) {
    out << CheckListing(session.portfolio(), session.language(),
                        dateFormatFromSetting(session.settings().dateFormat));
    return kDone;
  }

  const Listing listing = showLastDataSet(session, command.file);
  if (command.json) {
    printJson(listing, out);
  } else {
    printText(listing, session, out);
  }
  if (command.saveAs.isEmpty()) return kDone;

  Portfolio& p = session.portfolio();
  const int limit = command.withoutNew ? WriteLimitWithoutLast(session) : WriteLimitAll(p);
  out.flush();
  // Leaving the dataset of today out drops what the steps entered there.
  if (const QStringList dropped = command.withoutNew ? EntriesOfToday(session) : QStringList();
      !dropped.isEmpty())
    err << session.text(TextId::CliEntriesDropped).arg(dropped.join(QStringLiteral("; "))) << '\n';
  if (Outcome saved = SavePortfolio(session, prompter, command.saveAs, limit, true); !saved) {
    tellNotSaved(session, command.saveAs, saved, err);
    return notSavedCode(saved);
  }
  return kDone;
}

// New portfolio: `new OUT --currency EUR|US$` answers the New command's
// currency question and start date (today) and saves the portfolio.
int runNewPortfolio(Session& session, const QString& out, bool inDollar, QTextStream& err) {
  HeadlessPrompter prompter(err);
  prompter.queueAnswer(inDollar ? QStringLiteral("yes") : QStringLiteral("no"));
  prompter.queueAnswer(session.clock().today().toString(Qt::ISODate));
  if (!SpeedNewClick(session, prompter)) return kNotSaved;
  if (Outcome saved =
          SavePortfolio(session, prompter, out, WriteLimitAll(session.portfolio()), false);
      !saved) {
    tellNotSaved(session, out, saved, err);
    return notSavedCode(saved);
  }
  return kDone;
}

}  // namespace

int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err) {
  // Charts: the verb has its own options.
  if (arguments.value(1) == QLatin1String("chart")) return runChartVerb(arguments, out, err);
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption today(QStringLiteral("today"), QString(), QStringLiteral("date"));
  const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("language"));
  const QCommandLineOption prices(QStringLiteral("prices"), QString(), QStringLiteral("folder"));
  const QCommandLineOption save(QStringLiteral("save"), QString(), QStringLiteral("file"));
  const QCommandLineOption withoutNew(QStringLiteral("without-new"));
  const QCommandLineOption json(QStringLiteral("json"));
  const QCommandLineOption script(QStringLiteral("script"), QString(), QStringLiteral("steps"));
  const QCommandLineOption strict(QStringLiteral("strict"));
  const QCommandLineOption version(QStringLiteral("version"));
  const QCommandLineOption help(QStringLiteral("help"));
  const QCommandLineOption reportOut(QStringLiteral("out"), QString(), QStringLiteral("file"));
  parser.addOptions(
      {today, lang, prices, save, withoutNew, json, script, strict, version, help, reportOut});
  // New portfolio.
  const QCommandLineOption currency(QStringLiteral("currency"), QString(), QStringLiteral("code"));
  parser.addOption(currency);

  if (!parser.parse(arguments)) {
    err << parser.errorText() << "\n\n" << usage();
    return kUsage;
  }
  if (parser.isSet(help)) {
    out << usage();
    return kDone;
  }

  std::optional<Language::Code> language;
  if (parser.isSet(lang)) {
    const QString code = parser.value(lang);
    if (code == QLatin1String("nl")) {
      language = Language::Code::Dutch;
    } else if (code == QLatin1String("en")) {
      language = Language::Code::English;
    } else {
      err << "Unknown language \"" << code << "\": use nl or en.\n";
      return kUsage;
    }
  }
  QDate fixedToday;
  if (parser.isSet(today)) {
    fixedToday = QDate::fromString(parser.value(today), Qt::ISODate);
    if (!fixedToday.isValid()) {
      err << "Not a date: \"" << parser.value(today) << "\"; use YYYY-MM-DD.\n";
      return kUsage;
    }
  }

  if (parser.isSet(version)) {
    Session session(QString{});
    if (language) session.setLanguage(*language);
    out << session.caption().trimmed() << '\n';
    return kDone;
  }
  const QStringList positional = parser.positionalArguments();
  if (positional.isEmpty()) {
    out << usage();
    return kDone;
  }

  if (positional.first() == QLatin1String("settings"))
    return runSettingsVerb(positional.mid(1), language, out, err);

  Command command;
  command.name = positional.first();
  // New portfolio.
  if (command.name == QLatin1String("new") || parser.isSet(currency)) {
    const QString code = parser.value(currency);
    if (command.name != QLatin1String("new") || positional.size() != 2 ||
        !(code.isEmpty() || code == QLatin1String("EUR") || code == QLatin1String("US$"))) {
      err << "The command new takes one file and --currency EUR or US$.\n\n" << usage();
      return kUsage;
    }
    Session session(dataDirectory());
    session.loadSettings(QSettingsStore());
    if (language) session.setLanguage(*language);
    if (fixedToday.isValid()) session.clock().fix(fixedToday);
    return runNewPortfolio(session, positional.at(1), code == QLatin1String("US$"), err);
  }
  // report KIND FILE --out OUT: the kind goes aside, the rest is checked
  // as for the other commands.
  QStringList positionalFiles = positional;
  if (command.name == QLatin1String("report")) {
    command.report = positional.value(1);
    command.out = parser.value(reportOut);
    if (!CheckReportArguments(command.report, command.out, err)) {
      err << '\n' << usage();
      return kUsage;
    }
    positionalFiles.removeAt(1);
  } else if (parser.isSet(reportOut)) {
    err << "--out belongs to the command report.\n\n" << usage();
    return kUsage;
  }
  if (!QStringList({"open", "check", "run", "report"}).contains(command.name)) {
    err << "Unknown command \"" << command.name << "\".\n\n" << usage();
    return kUsage;
  }
  if (positionalFiles.size() != 2) {
    err << "The command " << command.name << " takes one portfolio file.\n\n" << usage();
    return kUsage;
  }
  const bool running = command.name == QLatin1String("run");
  const bool opening = command.name == QLatin1String("open") || running;
  if (!opening && (parser.isSet(save) || parser.isSet(withoutNew) || parser.isSet(json))) {
    err << "--save, --without-new and --json belong to the command open.\n\n" << usage();
    return kUsage;
  }
  if (running != parser.isSet(script) || (!running && parser.isSet(strict))) {
    err << "--script and --strict belong to the command run, which needs --script.\n\n" << usage();
    return kUsage;
  }
  if (parser.isSet(withoutNew) && !parser.isSet(save)) {
    err << "--without-new goes with --save.\n\n" << usage();
    return kUsage;
  }
  command.file = positionalFiles.at(1);
  command.saveAs = parser.value(save);
  command.withoutNew = parser.isSet(withoutNew);
  command.json = parser.isSet(json);
  command.strict = parser.isSet(strict);
  if (running) {
    const std::optional<QString> text = readScript(parser.value(script));
    if (!text) {
      err << "The steps " << parser.value(script) << " cannot be read.\n";
      return kUsage;
    }
    ParsedScript parsed = ParseScript(*text);
    if (!parsed.error.isEmpty()) {
      err << "Malformed step in " << parser.value(script) << ", " << parsed.error << ".\n";
      return kUsage;
    }
    command.steps = std::move(parsed.steps);
  }

  // The program's own data folder and settings, only read, never written:
  // the price folder, the date format and, without --lang, the language.
  Session session(dataDirectory());
  session.loadSettings(QSettingsStore());
  if (language) session.setLanguage(*language);
  if (fixedToday.isValid()) session.clock().fix(fixedToday);
  // Without --prices the price folder is the program's; a missing one is
  // not created.
  command.priceFolder = parser.isSet(prices) ? parser.value(prices) : session.settings().pricePath;
  if (!command.priceFolder.endsWith(u'/')) command.priceFolder += u'/';
  return runCommand(session, command, out, err);
}

}  // namespace pelmar
