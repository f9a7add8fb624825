#include "commands/year_closing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "commands/dataset_view.h"
#include "commands/datasets.h"
#include "commands/file_commands.h"
#include "commands/navigation.h"
#include "commands/portfolio_io.h"
#include "commands/portfolio_lock.h"
#include "commands/refusal.h"
#include "engine/engine_support.h"
#include "model/conversions.h"
#include "model/safe_read.h"
#include "model/safe_write.h"

namespace pelmar {

namespace {

const QString kRoutine = QStringLiteral("TMainForm.SpeedJaarClick");

int yearOf(DateTime serial) {
  return serialToDate(serial).year();
}

// The fund fields that belong to one period and start at 0 in a copy.
void clearPeriodFields(KoersRec& fund) {
  fund.Inleg = 0;
  fund.Kosten = 0;
  fund.KostenProc = 0;
  fund.Dividend = 0;
  fund.DivBel = 0;
  fund.BTW = 0;
}

// From the opening dataset at openingRek on: the accounting year and every
// earlier fund start date begin on 1 January of the new year.
void moveCumDatum(Portfolio& p, int openingRek, int newYear) {
  const DateTime newYearsDay = dateToSerial(QDate(newYear, 1, 1));
  int rek = openingRek;
  int koers = Portfolio::KoersIndexOf(rek);
  do {
    p.algAt(rek - 1).CumDatum = newYearsDay;
    for (int i = 0; i < p.fundCount(koers); ++i) {
      KoersRec& fund = p.koersAt(koers + i);
      if (wholeDay(fund.CumDatum) < newYearsDay) fund.CumDatum = newYearsDay;
    }
  } while (!p.IsLastDataSet(rek) && p.NextDataSet(rek, koers));
}

// Writes bytes whole over a file, or leaves it as it was.
bool writeWhole(const QString& fileName, const QByteArray& bytes) {
  return safe_write::WriteFile(fileName, bytes).ok();
}

// The present file as it was before the closing: its bytes, or nothing
// when there was no file.
struct PresentFile {
  QString name;
  std::optional<QByteArray> bytes;
};

// Undoes a closing that was not confirmed: the present file gets its old
// bytes back (or goes, when there was none) and memory the old portfolio.
void undoClosing(Session& session, Prompter& prompter, const PresentFile& present,
                 Portfolio&& before) {
  session.portfolio() = std::move(before);
  const bool restored =
      present.bytes ? writeWhole(present.name, *present.bytes) : QFile::remove(present.name);
  const QString shown = QDir::toNativeSeparators(present.name);
  if (restored) {
    Tell(session, prompter, Outcome::failed(TextId::YearClosingCancelled, {shown}));
  } else {
    const QString backup =
        QFileInfo(present.name)
            .dir()
            .filePath(QFileInfo(present.name).completeBaseName() + QStringLiteral(".bak"));
    Tell(
        session, prompter,
        Outcome::failed(TextId::YearClosingNotRestored, {shown, QDir::toNativeSeparators(backup)}));
  }
}

// The ".xml" file a chosen name saves to.
QString xmlTarget(const QString& chosen) {
  const QFileInfo info(chosen);
  return info.dir().filePath(info.completeBaseName() + QStringLiteral(".xml"));
}

// Asks the new file's name until it is one that may be written: not the
// archive, with an extension a portfolio may have. Nothing when cancelled.
std::optional<QString> askNewFile(Session& session, Prompter& prompter, const QString& present,
                                  const QString& proposal) {
  const QString caption =
      session.text(TextId::ProductName) + session.text(TextId::YearClosingNameSuffix);
  for (;;) {
    const std::optional<QString> chosen =
        prompter.saveFileName(caption, proposal, session.text(TextId::PortfolioFileFilter));
    if (!chosen) return std::nullopt;
    const QString suffix = QFileInfo(*chosen).suffix();
    if (QFileInfo(*chosen).fileName().contains(u'.') && suffix != QLatin1String("xml") &&
        suffix != QLatin1String("bak")) {
      prompter.message(session.text(TextId::InvalidExtension)
                           .arg(QLatin1Char('.') + suffix, QDir::toNativeSeparators(*chosen)));
      continue;
    }
    const QString target = xmlTarget(*chosen);
    // The archive of the closed year is never overwritten by the new year.
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(present).absoluteFilePath()) {
      prompter.message(
          session.text(TextId::YearClosingArchiveKept).arg(QDir::toNativeSeparators(target)));
      continue;
    }
    return target;
  }
}

// Shows the new year as opening a file does: every dataset recalculated,
// the dataset of today current with the first fund of the list selected.
void showNewYear(Session& session, const Engine::Progress& progress) {
  Portfolio& p = session.portfolio();
  p.goToDataSet(Portfolio::kFirstRekIndex);
  session.engine().setPortStartDate(p.algAt(Portfolio::kFirstRekIndex - 1).Datum);
  SpeedRekenClick(session, progress);
  p.goToDataSet(p.lastRekIndex());
  SelectFundEntry(p, FillFondsenBox(p).value(0));
  ShowDataSet(session, p.pKoersRec());
  p.markUnchanged();
}

// Steps 4 to 8 of the closing on the session's portfolio: C and O in front
// of the first dataset of the new year, the start dates moved, the archive
// written to the present file, and everything before O removed. False,
// after a message, when the archive could not be written.
bool closeInMemory(Session& session, Prompter& prompter, const PresentFile& present,
                   int firstNewRek, int newYear) {
  Portfolio& p = session.portfolio();
  int lastOldRek = firstNewRek;
  int lastOldKoers = Portfolio::KoersIndexOf(firstNewRek);
  p.PrevDataSet(lastOldRek, lastOldKoers);
  const RecordList inserted = ClosingAndOpening(p, lastOldRek, newYear);
  if (p.insertDataSets(firstNewRek - 1, inserted) != Portfolio::Refusal::None) {
    (void)Refuse(session, prompter, TextId::YearClosingNoRoom);
    return false;
  }
  p.renumberDataSets();
  const int openingAlg = firstNewRek - 1 + static_cast<int>(inserted.size()) / 2;
  moveCumDatum(p, openingAlg + 1, newYear);

  p.ident().Flag1 = SetBits(p.ident().Flag1, IdentFlag::JaarAfsl);
  if (!SavePortfolio(session, prompter, present.name, WriteLimitAll(p), false)) return false;

  p.removeRecords(1, openingAlg - 1);
  p.renumberDataSets();
  p.goToDataSet(Portfolio::kFirstRekIndex);
  return true;
}

}  // namespace

RecordList ClosingAndOpening(const Portfolio& p, int lastOldRek, int newYear) {
  RecordList closing(p.records().begin() + (lastOldRek - 1),
                     p.records().begin() + p.dataSetEnd(lastOldRek));
  for (Record& record : closing) {
    if (auto* alg = std::get_if<AlgemeenRec>(&record)) {
      alg->Datum = dateToSerial(QDate(yearOf(alg->Datum), 12, 31));
    } else if (auto* rek = std::get_if<RekeningRec>(&record)) {
      rek->Kosten = 0;
      rek->BTW = 0;
    } else if (auto* fund = std::get_if<KoersRec>(&record)) {
      fund->Flag1 = ClearBits(fund->Flag1, KoersFlag::Splits | KoersFlag::Cumulatief |
                                               KoersFlag::BuySell | KoersFlag::RefWaarde);
      clearPeriodFields(*fund);
    }
  }
  const DateTime newYearsDay = dateToSerial(QDate(newYear, 1, 1));
  RecordList opening = closing;
  for (Record& record : opening) {
    if (auto* alg = std::get_if<AlgemeenRec>(&record)) {
      alg->CumDatum = newYearsDay;
      alg->Datum = newYearsDay;
    } else if (auto* fund = std::get_if<KoersRec>(&record)) {
      fund->Flag1 = ClearBits(fund->Flag1, KoersFlag::Splits | KoersFlag::RefWaarde);
      if (!fund->isPlaceholder()) fund->Flag1 = SetBits(fund->Flag1, KoersFlag::Cumulatief);
      fund->CumDatum = newYearsDay;
      // Inleg of C is 0 already; the opening investment is the holding.
      clearPeriodFields(*fund);
      fund->Inleg = ld(fund->Reserve) + ld(fund->Aantal) * ld(fund->Koers);
    }
  }
  closing.insert(closing.end(), opening.begin(), opening.end());
  return closing;
}

std::optional<int> FirstDataSetOfNewYear(const Portfolio& p) {
  if (p.isEmpty()) return std::nullopt;
  int rek = Portfolio::kFirstRekIndex;
  int koers = Portfolio::kFirstKoersIndex;
  while (p.NextDataSet(rek, koers) && !p.IsLastDataSet(rek)) {
    const AlgemeenRec& alg = p.algAt(rek - 1);
    if (yearOf(alg.Datum) > yearOf(alg.CumDatum)) return rek;
  }
  return std::nullopt;
}

bool YearClosed(const Portfolio& p) {
  if (!(p.ident().Flag1 & IdentFlag::JaarAfsl)) return false;
  if (p.isEmpty()) return true;
  return yearOf(p.algAt(Portfolio::kFirstRekIndex - 1).Datum) >=
         yearOf(p.algAt(p.lastRekIndex() - 1).Datum);
}

QString NewYearPortfolioName(const Session& session, const QString& presentFile, int newYear) {
  const QString base = QFileInfo(presentFile).completeBaseName();
  QChar suffix = base.isEmpty() ? QChar(u'A') : base.back().toUpper();
  const bool usable = (suffix >= u'0' && suffix <= u'9') || (suffix >= u'A' && suffix <= u'Z');
  if (!usable) suffix = u'A';
  const QString stem = QString::number(newYear) + session.text(TextId::ProposedPortfolioWord);
  const QDir folder = QFileInfo(presentFile).dir();
  while (suffix != u'Z' &&
         QFileInfo::exists(folder.filePath(stem + suffix + QStringLiteral(".xml"))))
    suffix = suffix == u'9' ? QChar(u'A') : QChar(suffix.unicode() + 1);
  return stem + suffix;
}

namespace {

Outcome closeYear(Session& session, Prompter& prompter, const Engine::Progress& progress) {
  TraceScope trace(session.trace(), kRoutine);
  Portfolio& p = session.portfolio();
  if (p.isEmpty()) return Outcome::stopped();
  if (YearClosed(p)) {
    trace.exitEarly();
    return Refuse(session, prompter, TextId::YearAlreadyClosed);
  }
  // Without a file of its own there is nothing to keep as the archive.
  if (p.bPortNew() || !p.bPortOpened()) {
    trace.exitEarly();
    return Refuse(session, prompter, TextId::YearClosingNotSavedYet);
  }
  const std::optional<int> firstNewRek = FirstDataSetOfNewYear(p);
  if (!firstNewRek) {
    trace.exitEarly();
    return Refuse(session, prompter, TextId::YearClosingNotPossible);
  }
  const int newYear = yearOf(p.algAt(*firstNewRek - 1).Datum);

  PresentFile present{xmlTarget(CurrentFileName(session)), std::nullopt};
  // Its bytes are what an undo writes back: only a regular file read whole.
  if (const safe_read::ReadResult read =
          safe_read::ReadFile(present.name, portfolio_files::kMaxPortfolioFile);
      read.read()) {
    present.bytes = read.bytes;
  } else if (read.refused) {
    trace.exitEarly();
    return Refuse(session, prompter, TextId::FileNotRead, {QDir::toNativeSeparators(present.name)});
  }
  Portfolio before = p;
  if (!closeInMemory(session, prompter, present, *firstNewRek, newYear)) {
    session.portfolio() = std::move(before);
    trace.exitEarly();
    return Outcome::failed(TextId::PortfolioNotSaved, {QDir::toNativeSeparators(present.name)});
  }

  const QString proposal =
      QFileInfo(present.name)
          .dir()
          .filePath(NewYearPortfolioName(session, present.name, newYear) + QStringLiteral(".xml"));
  const std::optional<QString> target = askNewFile(session, prompter, present.name, proposal);
  if (!target || !SavePortfolio(session, prompter, *target, WriteLimitAll(p), true)) {
    undoClosing(session, prompter, present, std::move(before));
    trace.exitEarly();
    return Outcome::stopped();
  }
  MovePortfolioLock(session, *target);
  p.markOpened();
  RecordCurrentFile(session, *target);
  StoreSettings(session, prompter);
  SetFileCaption(session, QFileInfo(*target).fileName());
  showNewYear(session, progress);
  return Outcome::done();
}

}  // namespace

Report SpeedJaarClick(Session& session, Prompter& prompter, const Engine::Progress& progress) {
  return Report::ifDone(closeYear(session, prompter, progress),
                        Change::Funds | Change::DataSet | Change::Figures);
}

void OfferYearClosing(Session& session, Prompter& prompter, const Engine::Progress& progress) {
  Portfolio& p = session.portfolio();
  if (p.isEmpty() || session.settings().hideYearClosingWarning) return;
  const int firstYear = yearOf(p.algAt(Portfolio::kFirstRekIndex - 1).Datum);
  const int newYear = yearOf(p.algAt(p.lastRekIndex() - 1).Datum);
  // A new year has begun since the last closing.
  if (newYear > firstYear) p.ident().Flag1 = ClearBits(p.ident().Flag1, IdentFlag::JaarAfsl);
  if ((p.ident().Flag1 & IdentFlag::JaarAfsl) || newYear == firstYear) return;

  Question question;
  question.caption = session.text(TextId::YearClosingTitle);
  question.message = session.text(TextId::YearClosingQuestion);
  question.showCancel = true;
  // Enter must not start the closing: it replaces the open file.
  question.yesIsDefault = false;
  const CheckedAnswer answer =
      prompter.questionWithCheck(question, session.text(TextId::DontShowAgain));
  if (answer.checked) {
    session.settings().hideYearClosingWarning = true;
    StoreSettings(session, prompter);
  }
  if (answer.answer == Answer::Yes) (void)SpeedJaarClick(session, prompter, progress);
}

}  // namespace pelmar
