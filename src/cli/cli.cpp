#include "cli/cli.h"

#include <QCommandLineParser>
#include <QDate>

#include "commands/session.h"

namespace pelmar {
namespace {

QString usage() {
  return QStringLiteral(
      "Usage: pelmar-cli [options]\n"
      "The headless Pelmar tool: runs the program's commands without a window.\n"
      "\n"
      "Options:\n"
      "  --today YYYY-MM-DD  take this date as today\n"
      "  --lang nl|en        language of the texts and numbers (default: the system's)\n"
      "  --version           print the program name and version\n"
      "  --help              print this text\n");
}

}  // namespace

int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption today(QStringLiteral("today"), QString(), QStringLiteral("date"));
  const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("language"));
  const QCommandLineOption version(QStringLiteral("version"));
  const QCommandLineOption help(QStringLiteral("help"));
  parser.addOptions({today, lang, version, help});

  if (!parser.parse(arguments)) {
    err << parser.errorText() << "\n\n" << usage();
    return 2;
  }
  if (parser.isSet(help)) {
    out << usage();
    return 0;
  }

  Session session(QString{});
  if (parser.isSet(lang)) {
    const QString code = parser.value(lang);
    if (code == QLatin1String("nl")) {
      session.setLanguage(Language::Code::Dutch);
    } else if (code == QLatin1String("en")) {
      session.setLanguage(Language::Code::English);
    } else {
      err << "Unknown language \"" << code << "\": use nl or en.\n";
      return 2;
    }
  }
  if (parser.isSet(today)) {
    const QDate day = QDate::fromString(parser.value(today), Qt::ISODate);
    if (!day.isValid()) {
      err << "Not a date: \"" << parser.value(today) << "\"; use YYYY-MM-DD.\n";
      return 2;
    }
    session.clock().fix(day);
  }

  if (parser.isSet(version)) {
    out << session.caption().trimmed() << '\n';
    return 0;
  }
  if (!parser.positionalArguments().isEmpty()) {
    err << "Unknown command \"" << parser.positionalArguments().first() << "\".\n\n" << usage();
    return 2;
  }
  out << usage();
  return 0;
}

}  // namespace pelmar
