#include "commands/file_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "commands/dataset_view.h"
#include "commands/datasets.h"
#include "commands/navigation.h"
#include "commands/portfolio_lock.h"
#include "commands/refusal.h"
#include "commands/todays_entries.h"
#include "commands/year_closing.h"

namespace pelmar {

namespace {

// Files smaller than this hold no portfolio.
constexpr qint64 kMinPortfolioFileSize = 10;

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
  explicit KeepPlace(Portfolio& p) : p_(p), rek_(p.FirstRekIndex()), sel_(p.SelFonds()) {}
  ~KeepPlace() {
    p_.goToDataSet(rek_);
    p_.selectFund(sel_);
  }
  KeepPlace(const KeepPlace&) = delete;
  KeepPlace& operator=(const KeepPlace&) = delete;

 private:
  Portfolio& p_;
  int rek_;
  int sel_;
};

// What a name without a point means: no file to open, or a file to save
// as ".xml".
enum class NoPoint { Refuse, SaveAsXml };

// The extension message for a name that is refused; true when refused.
bool refuseExtension(Session& session, Prompter& prompter, const QString& fileName,
                     const QStringList& allowed, NoPoint noPoint) {
  // Compared as typed: "XML" is no "xml".
  if (allowed.contains(QFileInfo(fileName).suffix(), Qt::CaseSensitive)) return false;
  if (noPoint == NoPoint::SaveAsXml && !QFileInfo(fileName).fileName().contains(QLatin1Char('.')))
    return false;
  (void)Refuse(session, prompter, TextId::InvalidExtension,
               {extensionOf(fileName), QDir::toNativeSeparators(fileName)});
  return true;
}

// The save prompt of an opened portfolio with `message`. When the dataset
// of today holds entries of the user, the prompt names them and its default
// button saves that dataset too; "Save changes", which drops it, is asked
// once more (Yes drops, No saves it too, Cancel saves nothing).
SaveChoice askSave(Session& session, Prompter& prompter, const QString& message) {
  const QStringList entries = EntriesOfToday(session);
  if (entries.isEmpty()) return prompter.savePrompt(message, SaveChoice::SaveChanges);
  const SaveChoice choice =
      prompter.savePrompt(message + QStringLiteral("\r\n") + EntriesOfTodayLine(session, entries),
                          SaveChoice::SaveWithNew);
  if (choice != SaveChoice::SaveChanges) return choice;
  Question question;
  question.caption = session.text(TextId::SaveFormCaption);
  question.message =
      session.text(TextId::SaveWithoutTodayQuestion).arg(entries.join(QStringLiteral("; ")));
  question.yesText = session.text(TextId::ButtonYes);
  question.noText = session.text(TextId::ButtonNo);
  question.cancelText = session.text(TextId::ButtonCancel);
  question.showCancel = true;
  question.yesIsDefault = false;
  switch (prompter.question(question)) {
    case Answer::Yes:
      return SaveChoice::SaveChanges;
    case Answer::No:
      return SaveChoice::SaveWithNew;
    case Answer::Cancel:
      break;
  }
  return SaveChoice::Cancel;
}

// Offers unsaved changes for saving before the portfolio is replaced.
// False when they would be lost: the prompt or the name dialog was
// cancelled, or the save failed.
bool mayReplacePortfolio(Session& session, Prompter& prompter) {
  if (!session.portfolio().bPortChanged()) return true;
  const SaveOutcome outcome = SpeedSaveClick(session, prompter);
  // "Close Without Saving" here means going on without saving; the window
  // stays open and its closing asks again.
  session.files().closingWithoutSaving = false;
  return outcome == SaveOutcome::Saved || outcome == SaveOutcome::CloseWindow;
}

}  // namespace

Outcome LoadPortfolio(Session& session, Prompter& prompter, const QString& fileName,
                      const FileProgress& progress) {
  Portfolio& p = session.portfolio();
  // A missing file has size 0.
  if (QFileInfo(fileName).size() < kMinPortfolioFileSize) {
    prompter.timedMessage(session.text(TextId::PortfolioNoInformation),
                          session.text(TextId::SelectAnotherPortfolio), 5000);
    p.markNotOpened();
    return Outcome::failed(TextId::PortfolioNoInformation);
  }
  // One program per portfolio: the file's lock, or read-only, or not at all.
  OpeningLock lock;
  if (Outcome locked = LockForOpening(session, prompter, fileName, lock); !locked) return locked;
  if (Outcome read = OpenPortfolioFile(session, prompter, fileName, progress.read); !read) {
    // The reason of a file the reader refused says what is wrong, and where.
    QString text = session.text(TextId::FileNotRead).arg(QDir::toNativeSeparators(fileName));
    if (read.reason() && read.reason()->line > 0)
      text += QLatin1Char('\n') + read.reason()->text(session.language());
    prompter.message(text);
    return read;
  }
  const bool readOnly = lock.readOnly;
  AdoptOpeningLock(session, std::move(lock));
  RecordCurrentFile(session, fileName);
  SetFileCaption(session, QFileInfo(fileName).fileName());
  if (readOnly) {
    session.files().caption += session.text(TextId::ReadOnlyCaption);
    const PortfolioLock& held = session.portfolioLock();
    prompter.message(Reason{TextId::PortfolioReadOnly,
                            {QDir::toNativeSeparators(fileName),
                             held.holder.args(session.text(TextId::UnknownHolder)).value(0)}}
                         .text(session.language()));
  }

  // Every dataset recalculated in date order, then the dataset of today.
  session.engine().setPortStartDate(p.algAt(Portfolio::kFirstRekIndex - 1).Datum);
  SpeedRekenClick(session, progress.recalc);
  p.goToDataSet(p.lastRekIndex());
  SelectFundEntry(p, FillFondsenBox(p).value(0));
  // What the window shows is computed here, so that a freshly read
  // portfolio counts as unchanged once it is on screen.
  ShowDataSet(session, p.pKoersRec());
  // A portfolio of an earlier year is offered for closing.
  OfferYearClosing(session, prompter, progress.recalc);
  KeepDataSetOfToday(session);
  p.markUnchanged();
  return Outcome::done();
}

namespace {

Outcome makeNewPortfolio(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (!mayReplacePortfolio(session, prompter)) return Outcome::stopped();

  Question question;
  question.caption = session.text(TextId::SelectCurrencyTitle);
  question.message = session.text(TextId::SelectCurrencyQuestion);
  const bool inDollar = prompter.question(question) == Answer::Yes;
  if (Outcome made = NewPortfolio(session, prompter, inDollar); !made) return made;
  // The portfolio has no file any more; the old one is free for others.
  ReleasePortfolioLock(session);

  session.files().caption = session.caption() + session.text(TextId::NewFileCaption);
  // A new portfolio has no dataset of today that opening appended: every
  // save writes all its datasets, so none the user made is dropped.
  session.files().dataSetOfTodayAdded = false;
  session.files().dataSetOfTodayAsOpened.reset();
  session.engine().setPortStartDate(p.algAt(Portfolio::kFirstRekIndex - 1).Datum);
  SelectFundEntry(p, FillFondsenBox(p).value(0));
  ShowDataSet(session, p.pKoersRec());
  p.markUnchanged();
  return Outcome::done();
}

}  // namespace

Report SpeedNewClick(Session& session, Prompter& prompter) {
  return Report::ifDone(makeNewPortfolio(session, prompter), Change::Portfolio);
}

namespace {

Outcome openChosenPortfolio(Session& session, Prompter& prompter, const FileProgress& progress) {
  const QString folder = session.settings().portfolioPath;
  QString proposal = CurrentFileName(session);
  if (firstFile(folder, QStringLiteral("*.xml")).isEmpty()) {
    prompter.message(session.text(TextId::FileFormatChanged));
    const QString old = firstFile(folder, QStringLiteral("*.pelmar"));
    proposal = old.isEmpty() ? folder : old;
  }
  const std::optional<QString> chosen =
      prompter.openFileName(session.text(TextId::OpenPortfolioCaption), proposal,
                            session.text(TextId::PortfolioFileFilter));
  if (!chosen) return Outcome::stopped();
  if (!mayReplacePortfolio(session, prompter)) return Outcome::stopped();
  if (refuseExtension(session, prompter, *chosen, {QStringLiteral("xml"), QStringLiteral("bak")},
                      NoPoint::Refuse))
    return Outcome::failed(TextId::InvalidExtension,
                           {extensionOf(*chosen), QDir::toNativeSeparators(*chosen)});
  return LoadPortfolio(session, prompter, *chosen, progress);
}

}  // namespace

Report SpeedOpenClick(Session& session, Prompter& prompter, const FileProgress& progress) {
  return Report::ifDone(openChosenPortfolio(session, prompter, progress), Change::Portfolio);
}

SaveOutcome SpeedSaveClick(Session& session, Prompter& prompter) {
  TraceScope trace(session.trace(), kSaveRoutine);
  Portfolio& p = session.portfolio();
  FileState& state = session.files();
  if (p.isEmpty()) {
    state.bMayClose = true;
    return SaveOutcome::NotSaved;
  }
  const KeepPlace keep(p);

  if (p.bPortNew()) {
    const QString folder = session.settings().portfolioPath;
    QString name = ProposedPortfolioName(session, folder);
    if (!name.contains(QLatin1Char('.'))) name += QStringLiteral(".xml");
    const std::optional<QString> chosen = prompter.saveFileName(
        session.text(TextId::ProductName) + session.text(TextId::SaveNewPortfolioTitle),
        QDir(folder).filePath(name), session.text(TextId::PortfolioFileFilter));
    // A cancelled name dialog keeps the program open, as Cancel in the
    // save prompt does: closing would lose the new portfolio.
    if (!chosen) {
      state.bMayClose = false;
      return SaveOutcome::NotSaved;
    }
    if (refuseExtension(session, prompter, *chosen, {QStringLiteral("xml"), QStringLiteral("bak")},
                        NoPoint::SaveAsXml)) {
      trace.exitEarly();
      return SaveOutcome::NotSaved;
    }
    // The file written is the ".xml" one, also for a name typed with ".bak".
    const QString target = xmlFileOf(*chosen);
    RecordCurrentFile(session, target);
    StoreSettings(session, prompter);
    SetFileCaption(session, QFileInfo(target).completeBaseName());
    state.bMayClose = true;
    // A failed save keeps the portfolio new and changed, so that it is
    // offered for saving again rather than counted as saved.
    if (!SavePortfolio(session, prompter, target, WriteLimitAll(p), true)) {
      state.bMayClose = false;
      return SaveOutcome::NotSaved;
    }
    MovePortfolioLock(session, target);
    p.markOpened();
    p.markUnchanged();
    return SaveOutcome::Saved;
  }

  const SaveChoice choice = askSave(session, prompter, session.text(TextId::SaveFormMessage));
  if (choice == SaveChoice::Cancel) {
    state.bMayClose = false;
    return SaveOutcome::Cancelled;
  }
  state.bMayClose = true;
  if (choice == SaveChoice::CloseWithoutSaving) {
    state.closingWithoutSaving = true;
    trace.exitEarly();
    return SaveOutcome::CloseWindow;
  }
  const int limit =
      choice == SaveChoice::SaveWithNew ? WriteLimitAll(p) : WriteLimitWithoutLast(session);
  const QString fileName = CurrentFileName(session);
  if (!SavePortfolio(session, prompter, fileName, limit, true)) {
    state.bMayClose = false;
    return SaveOutcome::NotSaved;
  }
  RecordCurrentFile(session, xmlFileOf(fileName));
  StoreSettings(session, prompter);
  p.markUnchanged();
  return SaveOutcome::Saved;
}

Report SaveFileClick(Session& session, Prompter& prompter) {
  const bool saved = SpeedSaveClick(session, prompter) == SaveOutcome::Saved;
  return Report(saved ? Outcome::done() : Outcome::stopped(), Change::Figures);
}

namespace {

Outcome saveUnderName(Session& session, Prompter& prompter) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return Outcome::stopped();
  const KeepPlace keep(p);
  const SaveChoice choice = askSave(session, prompter, session.text(TextId::SaveAsWithNewQuestion));
  if (choice == SaveChoice::Cancel || choice == SaveChoice::CloseWithoutSaving)
    return Outcome::stopped();
  const int limit =
      choice == SaveChoice::SaveWithNew ? WriteLimitAll(p) : WriteLimitWithoutLast(session);

  const std::optional<QString> chosen =
      prompter.saveFileName(session.text(TextId::SaveAsTitle), session.settings().portfolioPath,
                            session.text(TextId::PortfolioFileFilter));
  if (!chosen) return Outcome::stopped();
  if (refuseExtension(session, prompter, *chosen,
                      {QStringLiteral("pelmar"), QStringLiteral("xml"), QStringLiteral("bak")},
                      NoPoint::SaveAsXml))
    return Outcome::stopped();
  const QString target = xmlFileOf(*chosen);
  if (Outcome saved = SavePortfolio(session, prompter, target, limit, true); !saved) return saved;
  MovePortfolioLock(session, target);
  RecordCurrentFile(session, target);
  StoreSettings(session, prompter);
  SetFileCaption(session, QFileInfo(target).fileName());
  // The portfolio now lives in that file: the next save goes there without
  // asking for a name, and nothing is left unsaved.
  p.markOpened();
  p.markUnchanged();
  return Outcome::done();
}

}  // namespace

Report SaveAsClick(Session& session, Prompter& prompter) {
  return Report::ifDone(saveUnderName(session, prompter), Change::Figures);
}

void SpeedEindeClick(Session& session, Prompter& prompter) {
  // A cancelled prompt here is asked again by the closing itself (FormClose).
  if (session.portfolio().bPortChanged()) (void)SpeedSaveClick(session, prompter);
  session.files().bMayClose = true;
}

bool FormClose(Session& session, Prompter& prompter) {
  FileState& state = session.files();
  // Closing without changes, or after "Close Without Saving", needs no
  // question: there is nothing to lose or the user has decided.
  if (session.portfolio().bPortChanged() && !state.closingWithoutSaving)
    (void)SpeedSaveClick(session, prompter);
  else
    state.bMayClose = true;
  state.closingWithoutSaving = false;
  if (!state.bMayClose) return false;
  state.bMayClose = false;
  return true;
}

QString ProposedPortfolioName(const Session& session, const QString& folder) {
  const Portfolio& p = session.portfolio();
  const int year = serialToDate(p.algAt(Portfolio::kFirstRekIndex - 1).Datum).year();
  const QString stem = QString::number(year) + session.text(TextId::ProposedPortfolioWord);
  // From "A" upward to the first free letter; with every letter taken the
  // save dialog's overwrite question protects "Z".
  QChar letter = QLatin1Char('A');
  while (letter < QLatin1Char('Z') &&
         QFileInfo::exists(QDir(folder).filePath(stem + letter + QStringLiteral(".xml"))))
    letter = QChar(letter.unicode() + 1);
  return stem + letter;
}

void RecordCurrentFile(Session& session, const QString& fileName) {
  const QFileInfo info(fileName);
  Settings& settings = session.settings();
  settings.portfolioPath = info.absolutePath() + QLatin1Char('/');
  settings.fileName = info.fileName();
  const QString extension = extensionOf(fileName);
  if (!extension.isEmpty()) settings.extension = extension;
}

void StoreSettings(Session& session, Prompter& prompter) {
  if (Outcome stored = session.storeSettings(); !stored) Tell(session, prompter, stored);
}

void SetFileCaption(Session& session, const QString& name) {
  session.files().caption = session.text(TextId::ProductName) + QLatin1Char(' ') +
                            session.text(TextId::VersionText) + QStringLiteral(" [") + name +
                            QLatin1Char(']');
}

QString CurrentFileName(const Session& session) {
  return QDir(session.settings().portfolioPath).filePath(session.settings().fileName);
}

}  // namespace pelmar
