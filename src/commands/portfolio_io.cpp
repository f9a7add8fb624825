#include "commands/portfolio_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "commands/datasets.h"
#include "commands/portfolio_lock.h"
#include "commands/refusal.h"
#include "model/conversions.h"
#include "model/portfolio_file.h"
#include "model/safe_read.h"
#include "model/safe_write.h"
#include "prices/price_update.h"

namespace pelmar {

namespace {

const QString kReadRoutine = QStringLiteral("Pelmar.ReadXMLFile");

// The name cut at the last "." of its file name part; a "." in a folder
// name is no extension.
QString withoutExtension(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  const qsizetype separator =
      std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
  return dot > separator ? fileName.left(dot) : fileName;
}

bool isBlank(const QString& text) {
  return RemoveBlanks(text).isEmpty();
}

// The trace word of a file the reader refused.
QString refusalWord(const portfolio_file::ReadResult& result, const Language& language) {
  using portfolio_file::ReadError;
  switch (result.error) {
    case ReadError::NoRoot:
      return QStringLiteral("bestand te klein-1");
    case ReadError::NoFirstBlock:
      return QStringLiteral("bestand te klein-2");
    case ReadError::NoIdentBlock:
      return QStringLiteral("lijst aanmaken mislukt");
    case ReadError::Unreadable:
    case ReadError::None:
      break;
  }
  return QStringLiteral("bestand onleesbaar, ") + result.reason.text(language);
}

// The trace line and "Error.log" of a file that cannot be created.
void reportCreateFailure(Session& session, const QString& fileName) {
  session.trace().Log(QStringLiteral("Pelmar.WriteXMLFile - Exit"));
  // "Error.log" goes into the program's data folder: the working directory
  // of a desktop program is no place the user knows or may write to.
  QByteArray text = "Fout in Rewrite(fT);\r\nPad: " + fileName.toLatin1() + "\r\n";
  for (int i = 0; i < 5; ++i) text += "\r\n";
  const Outcome written = safe_write::WriteFile(
      QDir(session.dataDirectory()).filePath(QStringLiteral("Error.log")), text);
  if (!written) {
    session.trace().Log(QStringLiteral("Pelmar.WriteXMLFile - Error.log mislukt: ") +
                        written.reason()->text(session.language()));
  }
}

// Accounts without a currency take the currency of the funds booked on
// them, in every dataset but the last.
void fillAccountCurrencies(Portfolio& portfolio) {
  int rekIndex = Portfolio::kFirstRekIndex;
  int koersIndex = Portfolio::kFirstKoersIndex;
  for (; !portfolio.IsLastDataSet(rekIndex); portfolio.NextDataSet(rekIndex, koersIndex)) {
    for (int i = koersIndex; i < portfolio.dataSetEnd(rekIndex); ++i) {
      const KoersRec& fund = portfolio.koersAt(i);
      // RekNr comes from the file; only the five accounts are addressed.
      if (fund.RekNr < 1 || fund.RekNr > Portfolio::kAccountsPerDataSet) continue;
      RekeningRec& account = portfolio.rekAt(rekIndex + fund.RekNr - 1);
      if (isBlank(account.Valuta)) account.Valuta = fund.Valuta;
    }
  }
}

// Appends the dataset of today to a portfolio just read. A portfolio opened
// a second time on one day already ends with it: it opens on that one, so
// the entries made there before are the ones shown. A portfolio too full
// for it opens without it; the year closing makes room. Either way its last
// dataset is then a stored one. The date of the new dataset is taken as
// proposed.
void addDataSetOfToday(Session& session, Prompter& prompter) {
  Portfolio& current = session.portfolio();
  TraceLog& trace = session.trace();
  const bool ofToday =
      wholeDay(current.algAt(current.lastRekIndex() - 1).Datum) == DateOfNewDataSet(session);
  const bool added = !ofToday && current.canCopyDataSet(current.lastRekIndex()) &&
                     AddDataSet(session, prompter, DateQuestion::TakeProposal).ok();
  session.files().dataSetOfTodayAdded = added;
  if (ofToday) {
    trace.Log(kReadRoutine + QStringLiteral(" - geopend op de Dataset van vandaag"));
  } else if (!added) {
    trace.Log(kReadRoutine + QStringLiteral(" - geen Dataset toegevoegd, portefeuille vol"));
    (void)Refuse(session, prompter, TextId::PortfolioFullNoNewDataSet);
  }
}

// The daily prices of every dataset; every dataset after the first is
// recalculated from the one before it, up to the new one, which is shown.
void recalculateFromFiles(Session& session) {
  Portfolio& current = session.portfolio();
  PriceStore& prices = session.prices();
  Engine& engine = session.engine();
  engine.setPortStartDate(current.algAt(Portfolio::kFirstRekIndex - 1).Datum);
  int rek = Portfolio::kFirstRekIndex;
  int koers = Portfolio::kFirstKoersIndex;
  UpdatePricesFromFiles(current, prices, rek);
  while (!current.IsLastDataSet(rek)) {
    current.NextDataSet(rek, koers);
    UpdatePricesFromFiles(current, prices, rek);
    (void)engine.CalcDataSet(rek, current.SelFonds());
  }
  current.goToDataSet(rek);
}

}  // namespace

using namespace portfolio_files;

Outcome OpenPortfolioFile(Session& session, Prompter& prompter, const QString& fileName,
                          const ReadProgress& progress) {
  const QString extension = QLatin1Char('.') + QFileInfo(fileName).suffix();
  if (extension != QLatin1String(".xml") && extension != QLatin1String(".bak")) {
    session.portfolio().markNotOpened();
    return Outcome::failed(TextId::InvalidExtension,
                           {extension, QDir::toNativeSeparators(fileName)});
  }
  if (progress.status && QFileInfo(fileName).size() <= kCheckedFileSize)
    progress.status(session.text(TextId::PortfolioBeingChecked));
  if (IsValidXML(fileName)) return ReadXMLFile(session, prompter, fileName, progress);
  session.portfolio().markNotOpened();
  prompter.timedMessage(session.text(TextId::PortfolioNotValidXml),
                        session.text(TextId::SelectAnotherPortfolio), 5000);
  return Outcome::failed(TextId::PortfolioNotValidXml);
}

bool IsValidXML(const QString& fileName) {
  if (QFileInfo(fileName).size() > kCheckedFileSize) return true;
  QFile file;
  // What cannot be opened as a regular file is left to the reader, which
  // says why.
  if (!safe_read::Open(file, fileName, kCheckedFileSize).read()) return true;
  // A file that grew since its size was taken is judged by its first part.
  const QByteArray text = file.read(kCheckedFileSize + 1);
  if (text.size() > kCheckedFileSize) return true;
  return text.count('<') == text.count('>');
}

Outcome ReadXMLFile(Session& session, Prompter& prompter, const QString& fileName,
                    const ReadProgress& progress) {
  TraceLog& trace = session.trace();
  trace.enter(kReadRoutine);
  Portfolio& current = session.portfolio();
  const auto refuse = [&](const QString& word, Reason reason) {
    current.markNotOpened();
    trace.leave(kReadRoutine, word);
    reason.file = fileName;
    return Outcome::failed(std::move(reason));
  };
  const auto unreadable = [&](const QString& word) {
    return refuse(word, {TextId::FileNotRead, {QDir::toNativeSeparators(fileName)}});
  };

  if (QFileInfo(fileName).fileName().isEmpty())
    return unreadable(QStringLiteral("bestandsnaam is leeg"));

  // Only a regular file is read: a FIFO would hang the read, a device
  // never end it.
  QFile file;
  const safe_read::ReadResult opened = safe_read::Open(file, fileName, kMaxPortfolioFile);
  if (opened.refused) {
    current.markNotOpened();
    trace.leave(kReadRoutine, QStringLiteral("geen gewoon bestand"));
    Reason reason = *opened.refused;
    reason.file = fileName;
    return Outcome::failed(std::move(reason));
  }
  if (!opened.read()) return unreadable(QStringLiteral("bestand bestaat niet"));
  if (progress.status) progress.status(session.text(TextId::PortfolioBeingRead));
  PriceStore& prices = session.prices();
  prices.refresh();

  // The file is read into a fresh portfolio that replaces the current one
  // only when the whole file made sense. The copy keeps the program-wide
  // values that outlive a portfolio (initial records, DollarKoers).
  Portfolio fresh = current;
  fresh.clear();
  portfolio_file::ReadOptions options;
  options.accountNamePrefix = session.text(TextId::RenamedAccountPrefix);
  options.defaultCountry = current.initialRecords().DefaultKoersRec.Country;
  options.priceFor = [&prices](const QString& ticker, DateTime datum) {
    return prices.GetFilePrice(ticker, serialToDate(datum));
  };
  options.dataSetStarted = progress.dataSet;
  if (session.settings().debug) options.debugBlock = progress.debugRecord;
  const portfolio_file::ReadResult result = portfolio_file::read(file, fresh, options);
  file.close();
  if (!result.ok()) return refuse(refusalWord(result, session.language()), result.reason);

  current = std::move(fresh);
  current.markOpened();
  current.selectFund(0);
  current.goToDataSet(current.lastRekIndex());
  if (result.placeholdersAdded > 0) {
    Tell(session, prompter,
         Outcome::failed(TextId::PlaceholderRowsAdded,
                         {QString::number(result.placeholdersAdded),
                          current.initialRecords().placeholderTicker}));
  }
  addDataSetOfToday(session, prompter);
  fillAccountCurrencies(current);
  recalculateFromFiles(session);

  current.takeFileDollarKoers(current.alg().Dollar);
  trace.leave(kReadRoutine);
  return Outcome::done();
}

Outcome SavePortfolio(Session& session, Prompter& prompter, const QString& fileName, int writeLimit,
                      bool showMessage) {
  TraceScope scope(session.trace(), QStringLiteral("Pelmar.SavePortfolio"));
  // The file written is always the ".xml" one, also when saving to ".bak".
  const QString base = withoutExtension(fileName);
  const QString target = base + QStringLiteral(".xml");
  const QString backup = base + QStringLiteral(".bak");

  const Reason notSaved{TextId::PortfolioNotSaved, {QDir::toNativeSeparators(target)}, target};
  const auto refuse = [&](const Reason& reason) {
    scope.exitEarly();
    prompter.message(reason.text(session.language()));
    return Outcome::failed(reason);
  };
  // Never over a file another program holds, nor over the one this
  // session opened read-only.
  std::unique_ptr<FileLock> lock;
  if (Outcome may = MayWritePortfolio(session, target, lock); !may)
    return refuse(notSaved.because(*may.reason()));
  // A file that may not be replaced (a link to a device, a read-only file)
  // is refused before anything is read or copied.
  QString resolved;
  if (Outcome place = safe_write::ResolveTarget(target, resolved); !place) {
    reportCreateFailure(session, target);
    return refuse(notSaved.because(*place.reason()));
  }

  // Without the copy of the previous version the file is not replaced. The
  // copy is made from the file as it reads back whole.
  const QFileInfo existing(resolved);
  const bool backupMade = existing.isFile() && existing.size() > kBackupFileSize;
  if (backupMade) {
    if (Outcome copied = safe_write::CopyFile(resolved, backup); !copied) {
      session.trace().Log(QStringLiteral("Pelmar.SavePortfolio - backup mislukt"));
      return refuse(
          Reason{TextId::BackupNotMade, {QDir::toNativeSeparators(backup)}, backup}.because(
              *copied.reason()));
    }
  }

  Outcome written = Outcome::stopped();
  for (int attempt = 0; attempt < kWriteAttempts && !written; ++attempt) {
    written = WriteXMLFile(session, prompter, target, writeLimit, showMessage);
    // A full disk or a read-only file is not mended by trying again.
    const std::optional<Reason> cause =
        written.reason() ? written.reason()->causeReason() : std::nullopt;
    if (cause && cause->id != TextId::WriteFailed) break;
  }
  if (written) return written;
  scope.exitEarly();
  // Only a file refused as too small was written whole; then the backup,
  // when one was made now, is worth naming.
  const bool tooSmall = written.reason() && written.reason()->id == TextId::SavedFileTooSmall;
  if (tooSmall && backupMade) {
    prompter.message(session.text(TextId::SavedFileTooSmall) + QDir::toNativeSeparators(backup));
    return Outcome::failed(notSaved);
  }
  const Reason reason =
      written.reason() && written.reason()->hasCause() ? *written.reason() : notSaved;
  prompter.message(reason.text(session.language()));
  return Outcome::failed(reason);
}

Outcome WriteXMLFile(Session& session, Prompter& prompter, const QString& fileName, int writeLimit,
                     bool showMessage) {
  const QString target = withoutExtension(fileName) + QStringLiteral(".xml");
  const Reason notSaved{TextId::PortfolioNotSaved, {QDir::toNativeSeparators(target)}, target};
  int dataSets = -1;
  bool tooSmall = false;
  bool begun = false;
  const Outcome written = safe_write::WriteFile(target, [&](QIODevice& out) {
    begun = true;
    dataSets = portfolio_file::write(out, session.portfolio(), writeLimit, session.language());
    tooSmall = dataSets >= 0 && out.size() < kMinSavedFileSize;
    return dataSets >= 0 && !tooSmall;
  });
  if (tooSmall) {
    session.trace().Log(QStringLiteral("Pelmar.WriteXMLFile - bestand te klein"));
    return Outcome::failed(Reason{TextId::SavedFileTooSmall, {}, target});
  }
  if (!written) {
    const Reason& cause = *written.reason();
    // A file that could not even be made is noted in "Error.log".
    if (!begun) reportCreateFailure(session, target);
    session.trace().Log(QStringLiteral("Pelmar.WriteXMLFile - schrijven mislukt: ") +
                        cause.text(session.language()));
    return Outcome::failed(notSaved.because(cause));
  }
  if (showMessage)
    prompter.timedMessage(QString::number(dataSets) + session.text(TextId::DataSetsWritten),
                          QString(), 10000);
  return Outcome::done();
}

int WriteLimitAll(const Portfolio& portfolio) {
  return portfolio.size() - 1;
}

int WriteLimitWithoutLast(const Session& session) {
  const Portfolio& portfolio = session.portfolio();
  // A portfolio opened too full for the dataset of today has none to leave
  // out: its last dataset is a stored one.
  if (!session.files().dataSetOfTodayAdded) return WriteLimitAll(portfolio);
  int lastAlg = portfolio.size() - 1;
  while (lastAlg > 0 && portfolio.idAt(lastAlg) != AlgemeenRec::Id) --lastAlg;
  // The first account of the last dataset - 3.
  return lastAlg + 1 - 3;
}

}  // namespace pelmar
