// Makes the example data: two portfolios in DATA_FOLDER/Port (one in euros
// with Dutch funds, one in dollars with US funds) and the matching price
// files in DATA_FOLDER/Prices, from fixed seeds, so running it again gives
// the same bytes.
//
//   pelmar-make-examples [DATA_FOLDER]      the fixed data (default: the
//                                           source tree's data/)
//   pelmar-make-examples --today YYYY-MM-DD DATA_FOLDER
//                                           the data a first start on that
//                                           day makes

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include "cli/headless_prompter.h"
#include "commands/example_data.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  QCommandLineParser parser;
  const QCommandLineOption today(QStringLiteral("today"),
                                 QStringLiteral("Make the data of a first start on that day."),
                                 QStringLiteral("YYYY-MM-DD"));
  parser.addOption(today);
  parser.addPositionalArgument(QStringLiteral("DATA_FOLDER"),
                               QStringLiteral("Where Port/ and Prices/ are written."));
  parser.addHelpOption();
  parser.process(app);

  pelmar::ExampleDataPlan plan = pelmar::FixedExampleData();
  if (parser.isSet(today)) {
    const QDate day = QDate::fromString(parser.value(today), Qt::ISODate);
    if (!day.isValid()) {
      err << "Not a date: \"" << parser.value(today) << "\"; use YYYY-MM-DD.\n";
      return 2;
    }
    plan = pelmar::FirstStartExampleData(day);
  }
  const QStringList folders = parser.positionalArguments();
  const QString folder = folders.isEmpty() ? QStringLiteral(PELMAR_DATA_DIR) : folders.first();
  const QString priceFolder = folder + QStringLiteral("/Prices");

  // Old day files go, so that the folder holds exactly this run's days.
  QDir prices(priceFolder);
  for (const QString& name : prices.entryList({QStringLiteral("*A.csv")}, QDir::Files))
    prices.remove(name);

  pelmar::HeadlessPrompter prompter(err);
  QStringList summary;
  const pelmar::Outcome made = pelmar::WriteExampleData(
      prompter, plan, folder + QStringLiteral("/Port"), priceFolder, &summary);
  for (const QString& line : summary) out << line << '\n';
  if (!made) {
    err << made.reason()->text(pelmar::Language(pelmar::Language::Code::English)) << '\n';
    return 1;
  }
  return 0;
}
