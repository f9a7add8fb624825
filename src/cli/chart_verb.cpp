#include "cli/chart_verb.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QRegularExpression>

#include "cli/exit_codes.h"
#include "cli/headless_prompter.h"
#include "commands/chart_export.h"
#include "commands/charts.h"
#include "commands/file_commands.h"
#include "commands/session.h"
#include "prices/settings_store.h"
#include "rendering/chart_painter.h"

namespace pelmar {

namespace {

std::optional<ChartKind> kindOf(const QString& text) {
  static const QStringList names = {"price",           "value", "yield",        "portfolio-value",
                                    "portfolio-yield", "twr",   "portfolio-twr"};
  const int at = names.indexOf(text.toLower());
  if (at >= 0) return ChartKind(at + 1);
  bool number = false;
  const int kind = text.toInt(&number);
  if (number && kind >= 1 && kind <= int(names.size())) return ChartKind(kind);
  return std::nullopt;
}

// What the command line asks to chart, checked before anything is opened;
// `error` names what is wrong.
struct ChartArguments {
  ChartKind kind{};
  QString ticker;
  QSize size{900, 560};
  int days = 0;
  QString error;
};

ChartArguments chartArgumentsOf(const QCommandLineParser& parser) {
  ChartArguments request;
  const QStringList positional = parser.positionalArguments();  // "chart" KIND [TICKER]
  const std::optional<ChartKind> kind = kindOf(positional.value(1));
  const QRegularExpressionMatch wh =
      QRegularExpression("^(\\d{2,5})x(\\d{2,5})$").match(parser.value("size"));
  bool daysOk = true;
  if (parser.isSet("days")) request.days = parser.value("days").toInt(&daysOk);
  const QString scale = parser.value("scale");
  if (!kind)
    request.error = "Unknown chart kind \"" + positional.value(1) + "\".";
  else if (isFundChart(*kind) != (positional.size() == 3) || positional.size() > 3)
    request.error = "A fund chart takes one TICKER; a portfolio chart none.";
  else if (!parser.isSet("png") && !parser.isSet("csv"))
    request.error = "Nothing to write: give --png or --csv.";
  else if (parser.isSet("size") && !wh.hasMatch())
    request.error = "--size takes WIDTHxHEIGHT.";
  else if (!daysOk || request.days < 0)
    request.error = "--days takes a whole number.";
  else if (parser.isSet("scale") && scale != "normal" && scale != "relative")
    request.error = "--scale takes normal or relative.";
  if (!request.error.isEmpty()) return request;
  request.kind = *kind;
  request.ticker = positional.value(2);
  if (parser.isSet("size")) request.size = QSize(wh.captured(1).toInt(), wh.captured(2).toInt());
  return request;
}

// Writes the PNG and the CSV asked for; the reason of the first that fails.
Outcome writeChart(const QCommandLineParser& parser, const ChartArguments& request,
                   const Session& session, const ChartState& state, const ChartPicture& picture) {
  if (parser.isSet("png")) {
    const Outcome written = WriteChartPng(parser.value("png"), ChartPng(picture, request.size));
    if (!written) return written;
  }
  if (parser.isSet("csv"))
    return WriteChartFile(parser.value("csv"),
                          ChartCsv(state.series, session, ExportLineFormat::Modern));
  return Outcome::done();
}

}  // namespace

QString chartUsage() {
  return QStringLiteral(
      "  chart KIND [TICKER] draw a chart as the chart window does; KIND is price,\n"
      "                      value, yield, twr (of the fund TICKER), portfolio-value,\n"
      "                      portfolio-yield or portfolio-twr (twr: the time-weighted\n"
      "                      return since the start). Options: --portfolio FILE\n"
      "                      (default: the program's portfolio), --days N, --scale\n"
      "                      normal|relative, --size WxH (default 900x560),\n"
      "                      --png OUT.png, --csv OUT.csv\n");
}

int chartUsageError(const QString& why, QTextStream& err) {
  err << why << "\n\nUsage:\n" << chartUsage();
  return kUsage;
}

int runChartVerb(const QCommandLineParser& parser, const GlobalOptions& global, QTextStream& out,
                 QTextStream& err) {
  const ChartArguments request = chartArgumentsOf(parser);
  if (!request.error.isEmpty()) return chartUsageError(request.error, err);

  Session session(dataDirectory());
  session.loadSettings(QSettingsStore());
  applyGlobalOptions(global, session);
  session.applyPricePath();
  if (parser.isSet("days")) session.settings().chartDays = request.days;
  if (parser.isSet("scale")) session.settings().chartNormal = parser.value("scale") == "normal";
  const QString file = parser.isSet("portfolio")
                           ? parser.value("portfolio")
                           : session.settings().portfolioPath + session.settings().fileName;
  HeadlessPrompter prompter(err);
  // A chart never saves the portfolio: one in use elsewhere opens read-only.
  prompter.setOpenInUseReadOnly(true);
  if (!LoadPortfolio(session, prompter, file).ok()) return kNotReadable;

  ChartState state;
  if (!ShowChart(session, state, request.kind, request.ticker)) {
    err << "No chart: the portfolio holds no dataset to chart.\n";
    return kNoChart;
  }
  const ChartPicture picture = ChartPictureOf(session, state);
  out << state.texts.caption << '\n';
  if (picture.empty())
    err << session.text(TextId::ChartNotPlotted1) << ' ' << session.text(TextId::ChartNotPlotted2)
        << '\n';
  if (const Outcome written = writeChart(parser, request, session, state, picture); !written) {
    err << written.reason()->text(session.language()) << '\n';
    return kNotSaved;
  }
  return picture.empty() ? kNoChart : kDone;
}

}  // namespace pelmar
