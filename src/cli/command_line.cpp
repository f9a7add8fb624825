#include "cli/command_line.h"

#include "cli/chart_verb.h"
#include "commands/session.h"

namespace pelmar {

namespace {

// The options of the verb besides the global ones.
QList<QCommandLineOption> verbOptions(bool chart) {
  if (chart)
    return {QCommandLineOption("portfolio", {}, "file"), QCommandLineOption("days", {}, "n"),
            QCommandLineOption("scale", {}, "scale"),    QCommandLineOption("size", {}, "size"),
            QCommandLineOption("png", {}, "file"),       QCommandLineOption("csv", {}, "file")};
  return {QCommandLineOption("save", {}, "file"),
          QCommandLineOption("without-new"),
          QCommandLineOption("json"),
          QCommandLineOption("script", {}, "steps"),
          QCommandLineOption("strict"),
          QCommandLineOption("out", {}, "file"),
          QCommandLineOption("currency", {}, "code")};
}

}  // namespace

QList<QCommandLineOption> optionsOf(const QString& verb) {
  const QList<QCommandLineOption> global = {
      QCommandLineOption("today", {}, "date"), QCommandLineOption("lang", {}, "language"),
      QCommandLineOption("prices", {}, "folder"), QCommandLineOption("version"),
      QCommandLineOption("help")};
  return global + verbOptions(verb == QLatin1String("chart"));
}

QString verbOf(const QStringList& arguments) {
  // Every option of every verb, so that no option's value is taken for the
  // verb; unknown options are the verb's parser's to refuse.
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addOptions(optionsOf(QStringLiteral("chart")) + verbOptions(false));
  (void)parser.parse(arguments);
  return parser.positionalArguments().value(0);
}

std::optional<GlobalOptions> readGlobalOptions(const QCommandLineParser& parser, QTextStream& err) {
  GlobalOptions options;
  if (parser.isSet("lang")) {
    const QString code = parser.value("lang");
    if (code == QLatin1String("nl")) {
      options.language = Language::Code::Dutch;
    } else if (code == QLatin1String("en")) {
      options.language = Language::Code::English;
    } else {
      err << "Unknown language \"" << code << "\": use nl or en.\n";
      return std::nullopt;
    }
  }
  if (parser.isSet("today")) {
    options.today = QDate::fromString(parser.value("today"), Qt::ISODate);
    if (!options.today.isValid()) {
      err << "Not a date: \"" << parser.value("today") << "\"; use YYYY-MM-DD.\n";
      return std::nullopt;
    }
  }
  if (parser.isSet("prices")) options.priceFolder = parser.value("prices");
  return options;
}

void applyGlobalOptions(const GlobalOptions& options, Session& session) {
  if (options.language) session.setLanguage(*options.language);
  if (options.today.isValid()) session.clock().fix(options.today);
  if (options.priceFolder) session.settings().pricePath = *options.priceFolder;
  // Price files are looked up as folder + name.
  if (!session.settings().pricePath.endsWith(u'/')) session.settings().pricePath += u'/';
}

QString cliUsage() {
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

}  // namespace pelmar
