#include "commands/file_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "commands/datasets.h"
#include "commands/main_window_logic.h"
#include "commands/navigation.h"

namespace pelmar {

namespace {

// Files smaller than this hold no portfolio.
constexpr qint64 kMinPortfolioFileSize = 10;
constexpr int kOpenAttemptsAtStart = 5;

const QString kSaveRoutine = QStringLiteral("TMainForm.SpeedSaveClick");

// The extension as the messages show it: with its point, as typed.
QString extensionOf(const QString& fileName) {
  const QString suffix = QFileInfo(fileName).suffix();
  return suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
}

// The file that a save under this name writes: always the ".xml" one.
QString xmlFileOf(const QString& fileName) {
  const QFileInfo info(fileName);
  return info.dir().filePath(info.completeBaseName() + QStringLiteral(".xml"));
}

// The first file of the folder matching the pattern, or nothing.
QString firstFile(const QString& folder, const QString& pattern) {
  const QStringList names = QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
  return names.isEmpty() ? QString() : QDir(folder).filePath(names.first());
}

// Keeps the current dataset and the selected fund across a save.
class KeepPlace {
 public:
  explicit KeepPlace(Portfolio& p)
      : p_(p), rek_(p.FirstRekIndex), koers_(p.FirstKoersIndex), sel_(p.SelFonds) {}
  ~KeepPlace() {
    p_.FirstRekIndex = rek_;
    p_.FirstKoersIndex = koers_;
    p_.SelFonds = sel_;
    p_.pKoersRec = koers_ + sel_;
  }
  KeepPlace(const KeepPlace&) = delete;
  KeepPlace& operator=(const KeepPlace&) = delete;

 private:
  Portfolio& p_;
  int rek_;
  int koers_;
  int sel_;
};

}  // namespace

FileCommands::FileCommands(Session& session, Prompter& prompter, SettingsStore* store)
    : session_(session), prompter_(prompter), store_(store), caption_(session.caption()) {}

PortfolioFiles FileCommands::portfolioFiles() {
  PortfolioFiles files(session_, prompter_, session_.prices(), session_.engine(), session_.trace());
  files.progress = progress.read;
  return files;
}

bool FileCommands::LoadPortfolio(const QString& fileName) {
  Portfolio& p = session_.portfolio();
  // A missing file has size 0.
  if (QFileInfo(fileName).size() < kMinPortfolioFileSize) {
    prompter_.timedMessage(session_.text(TextId::PortfolioNoInformation),
                           session_.text(TextId::SelectAnotherPortfolio), 5000);
    p.bPortOpened = false;
    return false;
  }
  if (!portfolioFiles().OpenPortfolioFile(fileName)) {
    prompter_.message(session_.text(TextId::FileNotRead).arg(QDir::toNativeSeparators(fileName)));
    return false;
  }
  recordCurrentFile(fileName);
  setFileCaption(QFileInfo(fileName).fileName());

  // Every dataset recalculated in date order, then the dataset of today.
  Engine& engine = session_.engine();
  p.FirstDataSet(p.FirstRekIndex, p.FirstKoersIndex);
  engine.setPortStartDate(p.algAt(Portfolio::kFirstRekIndex - 1).Datum);
  engine.SpeedRekenClick(progress.recalc);
  p.LastDataSet(p.FirstRekIndex, p.FirstKoersIndex);
  p.pAlgRec = p.FirstRekIndex - 1;
  p.pRekRec = p.FirstRekIndex;
  p.pKoersRec = p.FirstKoersIndex;
  p.bAtLastSet = true;
  engine.CalcDataSet();
  SelectFundEntry(p, FillFondsenBox(p).value(0));
  p.bPortChanged = false;
  return true;
}

bool FileCommands::SpeedNewClick() {
  Portfolio& p = session_.portfolio();
  if (!mayReplacePortfolio()) return false;

  Question question;
  question.caption = session_.text(TextId::SelectCurrencyTitle);
  question.message = session_.text(TextId::SelectCurrencyQuestion);
  const bool inDollar = prompter_.question(question) == Answer::Yes;
  if (!NewPortfolio(session_, prompter_, inDollar)) return false;

  caption_ = session_.caption() + session_.text(TextId::NewFileCaption);
  session_.engine().setPortStartDate(p.algAt(Portfolio::kFirstRekIndex - 1).Datum);
  session_.engine().CalcDataSet();
  SelectFundEntry(p, FillFondsenBox(p).value(0));
  p.bPortChanged = false;
  return true;
}

bool FileCommands::SpeedOpenClick() {
  const QString folder = session_.settings().portfolioPath;
  QString proposal = currentFileName();
  if (firstFile(folder, QStringLiteral("*.xml")).isEmpty()) {
    prompter_.message(session_.text(TextId::FileFormatChanged));
    const QString old = firstFile(folder, QStringLiteral("*.pelmar"));
    proposal = old.isEmpty() ? folder : old;
  }
  const std::optional<QString> chosen =
      prompter_.openFileName(session_.text(TextId::OpenPortfolioCaption), proposal,
                             session_.text(TextId::PortfolioFileFilter));
  if (!chosen) return false;
  if (!mayReplacePortfolio()) return false;
  if (refuseExtension(*chosen, {QStringLiteral("xml"), QStringLiteral("bak")}, NoPoint::Refuse))
    return false;
  return LoadPortfolio(*chosen);
}

bool FileCommands::mayReplacePortfolio() {
  if (!session_.portfolio().bPortChanged) return true;
  const SaveOutcome outcome = SpeedSaveClick();
  // "Close Without Saving" here means going on without saving; the window
  // stays open and its closing asks again.
  closingWithoutSaving_ = false;
  return outcome == SaveOutcome::Saved || outcome == SaveOutcome::CloseWindow;
}

SaveOutcome FileCommands::SpeedSaveClick() {
  TraceScope trace(session_.trace(), kSaveRoutine);
  Portfolio& p = session_.portfolio();
  if (p.isEmpty()) {
    bMayClose = true;
    return SaveOutcome::NotSaved;
  }
  const KeepPlace keep(p);

  if (p.bPortNew) {
    const QString folder = session_.settings().portfolioPath;
    QString name = ProposedPortfolioName(folder);
    if (!name.contains(QLatin1Char('.'))) name += QStringLiteral(".xml");
    const std::optional<QString> chosen = prompter_.saveFileName(
        session_.text(TextId::ProductName) + session_.text(TextId::SaveNewPortfolioTitle),
        QDir(folder).filePath(name), session_.text(TextId::PortfolioFileFilter));
    if (!chosen) return SaveOutcome::NotSaved;
    if (refuseExtension(*chosen, {QStringLiteral("xml"), QStringLiteral("bak")},
                        NoPoint::SaveAsXml)) {
      trace.exitEarly();
      return SaveOutcome::NotSaved;
    }
    // The file written is the ".xml" one, also for a name typed with ".bak".
    const QString target = xmlFileOf(*chosen);
    recordCurrentFile(target);
    storeSettings();
    setFileCaption(QFileInfo(target).completeBaseName());
    bMayClose = true;
    // A failed save keeps the portfolio new and changed, so that it is
    // offered for saving again rather than counted as saved.
    if (!portfolioFiles().SavePortfolio(target, WriteLimitAll(p), true)) {
      bMayClose = false;
      return SaveOutcome::NotSaved;
    }
    p.bPortNew = false;
    p.bPortOpened = true;
    p.bPortChanged = false;
    return SaveOutcome::Saved;
  }

  const SaveChoice choice = prompter_.savePrompt(session_.text(TextId::SaveFormMessage));
  if (choice == SaveChoice::Cancel) {
    bMayClose = false;
    return SaveOutcome::Cancelled;
  }
  bMayClose = true;
  if (choice == SaveChoice::CloseWithoutSaving) {
    closingWithoutSaving_ = true;
    trace.exitEarly();
    return SaveOutcome::CloseWindow;
  }
  const int limit = choice == SaveChoice::SaveWithNew ? WriteLimitAll(p) : WriteLimitWithoutLast(p);
  const QString fileName = currentFileName();
  if (!portfolioFiles().SavePortfolio(fileName, limit, true)) {
    bMayClose = false;
    return SaveOutcome::NotSaved;
  }
  recordCurrentFile(xmlFileOf(fileName));
  storeSettings();
  p.bPortChanged = false;
  return SaveOutcome::Saved;
}

bool FileCommands::SaveAsClick() {
  Portfolio& p = session_.portfolio();
  if (p.isEmpty()) return false;
  const KeepPlace keep(p);
  const SaveChoice choice = prompter_.savePrompt(session_.text(TextId::SaveAsWithNewQuestion));
  if (choice == SaveChoice::Cancel || choice == SaveChoice::CloseWithoutSaving) return false;
  const int limit = choice == SaveChoice::SaveWithNew ? WriteLimitAll(p) : WriteLimitWithoutLast(p);

  const std::optional<QString> chosen =
      prompter_.saveFileName(session_.text(TextId::SaveAsTitle), session_.settings().portfolioPath,
                             session_.text(TextId::PortfolioFileFilter));
  if (!chosen) return false;
  if (refuseExtension(*chosen,
                      {QStringLiteral("pelmar"), QStringLiteral("xml"), QStringLiteral("bak")},
                      NoPoint::SaveAsXml))
    return false;
  const QString target = xmlFileOf(*chosen);
  if (!portfolioFiles().SavePortfolio(target, limit, true)) return false;
  recordCurrentFile(target);
  storeSettings();
  setFileCaption(QFileInfo(target).fileName());
  // The portfolio now lives in that file: the next save goes there without
  // asking for a name, and nothing is left unsaved.
  p.bPortNew = false;
  p.bPortOpened = true;
  p.bPortChanged = false;
  return true;
}

void FileCommands::SpeedEindeClick() {
  // A cancelled prompt here is asked again by the closing itself (FormClose).
  if (session_.portfolio().bPortChanged) SpeedSaveClick();
  bMayClose = true;
}

bool FileCommands::FormClose() {
  // Closing without changes, or after "Close Without Saving", needs no
  // question: there is nothing to lose or the user has decided.
  if (session_.portfolio().bPortChanged && !closingWithoutSaving_)
    SpeedSaveClick();
  else
    bMayClose = true;
  closingWithoutSaving_ = false;
  if (!bMayClose) return false;
  bMayClose = false;
  return true;
}

bool FileCommands::OpenAtStart(const QString& examplePortfolioFolder) {
  const QString folder = session_.settings().portfolioPath;
  QDir().mkpath(folder);
  if (firstFile(folder, QStringLiteral("*.xml")).isEmpty()) {
    const QDir examples(examplePortfolioFolder);
    for (const QString& name : examples.entryList({QStringLiteral("*.xml")}, QDir::Files))
      QFile::copy(examples.filePath(name), QDir(folder).filePath(name));
  }
  if (!session_.settings().fileName.isEmpty()) {
    QString fileName = currentFileName();
    if (!QFileInfo::exists(fileName)) {
      const QFileInfo info(fileName);
      fileName = info.dir().filePath(info.completeBaseName() + QStringLiteral(".pelmar"));
    }
    return LoadPortfolio(fileName);
  }
  for (int attempt = 0; attempt < kOpenAttemptsAtStart; ++attempt)
    if (SpeedOpenClick()) return true;
  return false;
}

QString FileCommands::ProposedPortfolioName(const QString& folder) const {
  const Portfolio& p = session_.portfolio();
  const int year = serialToDate(p.algAt(Portfolio::kFirstRekIndex - 1).Datum).year();
  const QString stem = QString::number(year) + session_.text(TextId::ProposedPortfolioWord);
  // From "A" upward to the first free letter; with every letter taken the
  // save dialog's overwrite question protects "Z".
  QChar letter = QLatin1Char('A');
  while (letter < QLatin1Char('Z') &&
         QFileInfo::exists(QDir(folder).filePath(stem + letter + QStringLiteral(".xml"))))
    letter = QChar(letter.unicode() + 1);
  return stem + letter;
}

QString FileCommands::currentFileName() const {
  return QDir(session_.settings().portfolioPath).filePath(session_.settings().fileName);
}

void FileCommands::recordCurrentFile(const QString& fileName) {
  const QFileInfo info(fileName);
  Settings& settings = session_.settings();
  settings.portfolioPath = info.absolutePath() + QLatin1Char('/');
  settings.fileName = info.fileName();
  const QString extension = extensionOf(fileName);
  if (!extension.isEmpty()) settings.extension = extension;
}

void FileCommands::storeSettings() {
  if (store_) session_.saveSettings(*store_);
}

void FileCommands::setFileCaption(const QString& name) {
  caption_ = session_.text(TextId::ProductName) + QLatin1Char(' ') +
             session_.text(TextId::VersionText) + QStringLiteral(" [") + name + QLatin1Char(']');
}

bool FileCommands::refuseExtension(const QString& fileName, const QStringList& allowed,
                                   NoPoint noPoint) {
  // Compared as typed: "XML" is no "xml".
  if (allowed.contains(QFileInfo(fileName).suffix(), Qt::CaseSensitive)) return false;
  if (noPoint == NoPoint::SaveAsXml && !QFileInfo(fileName).fileName().contains(QLatin1Char('.')))
    return false;
  prompter_.message(session_.text(TextId::InvalidExtension)
                        .arg(extensionOf(fileName), QDir::toNativeSeparators(fileName)));
  return true;
}

}  // namespace pelmar
