#include "commands/start_up.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "commands/dataset_view.h"
#include "commands/refusal.h"
#include "model/safe_write.h"

namespace pelmar {

namespace {

constexpr int kOpenAttemptsAtStart = 5;

const QStringList kPortfolioFiles = {QStringLiteral("*.xml")};
// The price files copied while the portfolio folder is still empty, and
// those copied when a portfolio is open but the price folder has none.
const QStringList kFirstPriceFiles = {QStringLiteral("*.csv"), QStringLiteral("*.txt")};
const QStringList kMissingPriceFiles = {QStringLiteral("*.csv"), QStringLiteral("*.bak"),
                                        QStringLiteral("*.txt")};

// A failed copy is told, and the start goes on: the program works without
// the examples.
void copyExamples(Session& session, Prompter& prompter, const QString& from, const QString& to,
                  const QStringList& patterns) {
  if (Outcome copied = CopyFiles(from, to, patterns); !copied) {
    session.trace().Log(QStringLiteral("StartUp - ") + copied.reason()->text(session.language()));
    Tell(session, prompter, copied);
  }
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
  const Settings& settings = session.settings();
  const QDir program(programFolder);
  if (!FolderHolds(settings.portfolioPath, kPortfolioFiles.front())) {
    copyExamples(session, prompter, program.filePath(QStringLiteral("Prices")), settings.pricePath,
                 kFirstPriceFiles);
    copyExamples(session, prompter, program.filePath(QStringLiteral("Port")),
                 settings.portfolioPath, kPortfolioFiles);
  }
  if (Outcome opened = openAtStart(session, prompter, progress); !opened) return opened;

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
  return Outcome::done();
}

}  // namespace pelmar
