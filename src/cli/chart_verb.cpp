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
#include "ui/charts/chart_painter.h"

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

// Builds the chart, prints its caption and writes the PNG and CSV files
// asked for.
int drawChart(Session& session, ChartKind kind, const QString& ticker,
              const std::optional<QString>& pngPath, const std::optional<QString>& csvPath,
              const QSize& imageSize, QTextStream& out, QTextStream& err) {
  ChartState state;
  if (!ShowChart(session, state, kind, ticker)) {
    err << "No chart: the portfolio holds no dataset to chart.\n";
    return kNoChart;
  }
  const ChartPicture picture = ChartPictureOf(session, state);
  out << state.texts.caption << '\n';
  if (picture.empty())
    err << session.text(TextId::ChartNotPlotted1) << ' ' << session.text(TextId::ChartNotPlotted2)
        << '\n';
  const auto written = [&](const Outcome& outcome) {
    if (!outcome.ok()) err << outcome.reason()->text(session.language()) << '\n';
    return outcome.ok();
  };
  if (pngPath && !written(WriteChartPng(*pngPath, ChartPng(picture, imageSize)))) return kNotSaved;
  if (csvPath &&
      !written(WriteChartFile(*csvPath, ChartCsv(state.series, session, ExportLineFormat::Modern))))
    return kNotSaved;
  return picture.empty() ? kNoChart : kDone;
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

int runChartVerb(const QStringList& arguments, QTextStream& out, QTextStream& err) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption today("today", {}, "date"), lang("lang", {}, "language"),
      prices("prices", {}, "folder"), portfolio("portfolio", {}, "file"), days("days", {}, "n"),
      scale("scale", {}, "scale"), size("size", {}, "size"), png("png", {}, "file"),
      csv("csv", {}, "file");
  parser.addOptions({today, lang, prices, portfolio, days, scale, size, png, csv});
  const auto usage = [&err](const QString& why) {
    err << why << "\n\nUsage:\n" << chartUsage();
    return kUsage;
  };
  if (!parser.parse(arguments)) return usage(parser.errorText());
  const QStringList positional = parser.positionalArguments();  // "chart" KIND [TICKER]
  const std::optional<ChartKind> kind = kindOf(positional.value(1));
  if (!kind) return usage("Unknown chart kind \"" + positional.value(1) + "\".");
  if (isFundChart(*kind) != (positional.size() == 3) || positional.size() > 3)
    return usage("A fund chart takes one TICKER; a portfolio chart none.");
  if (!parser.isSet(png) && !parser.isSet(csv))
    return usage("Nothing to write: give --png or --csv.");
  const QRegularExpressionMatch wh =
      QRegularExpression("^(\\d{2,5})x(\\d{2,5})$").match(parser.value(size));
  const QSize imageSize = parser.isSet(size) && wh.hasMatch()
                              ? QSize(wh.captured(1).toInt(), wh.captured(2).toInt())
                              : QSize(900, 560);
  if (parser.isSet(size) && !wh.hasMatch()) return usage("--size takes WIDTHxHEIGHT.");
  bool daysOk = true;
  const int daysBack = parser.isSet(days) ? parser.value(days).toInt(&daysOk) : 0;
  if (!daysOk || daysBack < 0) return usage("--days takes a whole number.");
  const QString scaleText = parser.value(scale);
  if (parser.isSet(scale) && scaleText != "normal" && scaleText != "relative")
    return usage("--scale takes normal or relative.");

  Session session(dataDirectory());
  session.loadSettings(QSettingsStore());
  if (parser.isSet(lang)) {
    if (parser.value(lang) != "nl" && parser.value(lang) != "en")
      return usage("Use --lang nl or en.");
    session.setLanguage(parser.value(lang) == "nl" ? Language::Code::Dutch
                                                   : Language::Code::English);
  }
  if (parser.isSet(today)) {
    const QDate day = QDate::fromString(parser.value(today), Qt::ISODate);
    if (!day.isValid()) return usage("Not a date: \"" + parser.value(today) + "\".");
    session.clock().fix(day);
  }
  if (parser.isSet(prices)) {
    QString folder = parser.value(prices);
    session.settings().pricePath = folder.endsWith(u'/') ? folder : folder + u'/';
  }
  session.applyPricePath();
  if (parser.isSet(days)) session.settings().chartDays = daysBack;
  if (parser.isSet(scale)) session.settings().chartNormal = scaleText == "normal";
  const QString file = parser.isSet(portfolio)
                           ? parser.value(portfolio)
                           : session.settings().portfolioPath + session.settings().fileName;
  HeadlessPrompter prompter(err);
  // A chart never saves the portfolio: one in use elsewhere opens read-only.
  prompter.setOpenInUseReadOnly(true);
  if (!LoadPortfolio(session, prompter, file).ok()) return kNotReadable;

  const auto pathOf = [&parser](const QCommandLineOption& option) {
    return parser.isSet(option) ? std::optional<QString>(parser.value(option)) : std::nullopt;
  };
  return drawChart(session, *kind, positional.value(2), pathOf(png), pathOf(csv), imageSize, out,
                   err);
}

}  // namespace pelmar
