#include "commands/start_up.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "commands/dataset_view.h"
#include "commands/example_data.h"
#include "commands/navigation.h"
#include "commands/refusal.h"
#include "commands/settings_edit.h"
#include "model/safe_write.h"

namespace pelmar {

namespace {

constexpr int kOpenAttemptsAtStart = 5;

const QStringList kPortfolioFiles = {QStringLiteral("*.xml")};
// The price files of the first start's examples, and those copied from the
// program folder when a portfolio is open but the price folder has none.
const QStringList kFirstPriceFiles = {QStringLiteral("*.csv"), QStringLiteral("*.txt")};
const QStringList kMissingPriceFiles = {QStringLiteral("*.csv"), QStringLiteral("*.bak"),
                                        QStringLiteral("*.txt")};

// A failed step of the examples is told, and the start goes on: the
// program works without them. True when the step was done.
bool toldIfFailed(Session& session, Prompter& prompter, const Outcome& outcome) {
  if (outcome) return true;
  session.trace().Log(QStringLiteral("StartUp - ") + outcome.reason()->text(session.language()));
  Tell(session, prompter, outcome);
  return false;
}

void copyExamples(Session& session, Prompter& prompter, const QString& from, const QString& to,
                  const QStringList& patterns) {
  toldIfFailed(session, prompter, CopyFiles(from, to, patterns));
}

// The first start's examples: portfolios and price files that end on the
// working day before today, made in a temporary folder and copied into the
// user's folders, so that no file already there is replaced.
void makeExamples(Session& session, Prompter& prompter) {
  const QTemporaryDir made;
  const Settings& settings = session.settings();
  const Outcome written =
      made.isValid()
          ? WriteExampleData(prompter, FirstStartExampleData(session.clock().today()),
                             made.filePath(QStringLiteral("Port")),
                             made.filePath(QStringLiteral("Prices")))
          : Outcome::failed(TextId::FolderNotMade, {QDir::toNativeSeparators(QDir::tempPath())});
  if (!toldIfFailed(session, prompter, written)) return;
  copyExamples(session, prompter, made.filePath(QStringLiteral("Prices")), settings.pricePath,
               kFirstPriceFiles);
  copyExamples(session, prompter, made.filePath(QStringLiteral("Port")), settings.portfolioPath,
               kPortfolioFiles);
}

// Opens the recorded portfolio, or asks for one.
Outcome openAtStart(Session& session, Prompter& prompter, const FileProgress& progress) {
  if (!session.settings().fileName.isEmpty()) {
    QString fileName = CurrentFileName(session);
    if (!QFileInfo::exists(fileName)) {
      const QFileInfo info(fileName);
      fileName = info.dir().filePath(info.completeBaseName() + QStringLiteral(".pelmar"));
    }
    return LoadPortfolio(session, prompter, fileName, progress);
  }
  Outcome opened = Outcome::stopped();
  for (int attempt = 0; attempt < kOpenAttemptsAtStart && !opened; ++attempt)
    opened = SpeedOpenClick(session, prompter, progress);
  return opened;
}

}  // namespace

bool FolderHolds(const QString& folder, const QString& pattern) {
  return !QDir(folder).entryList({pattern}, QDir::Files).isEmpty();
}

Outcome CopyFiles(const QString& from, const QString& to, const QStringList& patterns) {
  const QDir source(from);
  if (!source.exists()) return Outcome::done();
  if (!QDir().mkpath(to))
    return Outcome::failed(TextId::FolderNotMade, {QDir::toNativeSeparators(to)});
  for (const QString& name : source.entryList(patterns, QDir::Files)) {
    const QString target = QDir(to).filePath(name);
    if (QFileInfo::exists(target)) continue;
    if (Outcome copied = safe_write::CopyFile(source.filePath(name), target); !copied) {
      return Outcome::failed(
          Reason{TextId::FileNotCopied, {QDir::toNativeSeparators(target)}, target}.because(
              *copied.reason()));
    }
  }
  return Outcome::done();
}

Outcome StartUp(Session& session, Prompter& prompter, const QString& programFolder,
                const FileProgress& progress) {
  TraceScope trace(session.trace(), QStringLiteral("StartUp"));
  ReportResetSettings(session, prompter);
  const Settings& settings = session.settings();
  const QDir program(programFolder);
  if (!FolderHolds(settings.portfolioPath, kPortfolioFiles.front()))
    makeExamples(session, prompter);
  if (Outcome opened = openAtStart(session, prompter, progress); !opened) {
    trace.exitEarly();
    return opened;
  }

  if (!FolderHolds(settings.pricePath, QStringLiteral("*.csv")))
    copyExamples(session, prompter, program.filePath(QStringLiteral("Prices")), settings.pricePath,
                 kMissingPriceFiles);
  session.prices().refresh();
  Portfolio& p = session.portfolio();
  ShowDataSet(session, p.pKoersRec());
  if (FolderHolds(settings.pricePath, QStringLiteral("*.csv")))
    p.markUnchanged();
  else
    prompter.message(session.text(TextId::NoPriceFiles));
  session.trace().Log(QStringLiteral("StartUp - %1 geopend, Dataset %2, %3")
                          .arg(CurrentFileName(session))
                          .arg(p.alg().NrOfSet)
                          .arg(SelectedFundEntry(p)));
  return Outcome::done();
}

}  // namespace pelmar
