#include "commands/portfolio_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "commands/datasets.h"
#include "commands/refusal.h"
#include "model/conversions.h"
#include "model/portfolio_file.h"
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

// Copies a file through a temporary file, so that an existing copy is only
// replaced by a complete one.
bool copyFile(const QString& from, const QString& to) {
  QFile in(from);
  if (!in.open(QIODevice::ReadOnly)) return false;
  QSaveFile out(to);
  if (!out.open(QIODevice::WriteOnly)) return false;
  while (!in.atEnd()) {
    const QByteArray chunk = in.read(1 << 20);
    if (in.error() != QFileDevice::NoError || out.write(chunk) != chunk.size()) {
      out.cancelWriting();
      return false;
    }
  }
  return out.commit();
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
  QSaveFile log(QDir(session.dataDirectory()).filePath(QStringLiteral("Error.log")));
  if (!log.open(QIODevice::WriteOnly)) return;
  QByteArray text = "Fout in Rewrite(fT);\r\nPad: " + fileName.toLatin1() + "\r\n";
  for (int i = 0; i < 5; ++i) text += "\r\n";
  if (log.write(text) != text.size() || !log.commit())
    session.trace().Log(QStringLiteral("Pelmar.WriteXMLFile - Error.log mislukt"));
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
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return true;
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

  QFile file(fileName);
  if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly))
    return unreadable(QStringLiteral("bestand bestaat niet"));
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
  // A portfolio opened a second time on one day already ends with the
  // dataset of today: it opens on that one, so the entries made there
  // before are the ones shown. A portfolio too full for the dataset of
  // today opens without it; the year closing makes room. Either way its
  // last dataset is then a stored one. The date of the new dataset is taken
  // as proposed.
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
  fillAccountCurrencies(current);

  // The daily prices of every dataset; every dataset after the first is
  // recalculated from the one before it, up to the new one.
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

  if (current.DollarKoers() <= 0.001) current.setDollarKoers(current.alg().Dollar);
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
  // Without the copy of the previous version the file is not replaced. (A
  // folder in the file's place has none; writing reports it.)
  const QFileInfo existing(target);
  const bool backupMade = existing.isFile() && existing.size() > kBackupFileSize;
  if (backupMade && !copyFile(target, backup)) {
    session.trace().Log(QStringLiteral("Pelmar.SavePortfolio - backup mislukt"));
    scope.exitEarly();
    return Refuse(session, prompter, TextId::BackupNotMade, {QDir::toNativeSeparators(backup)});
  }

  Outcome written = Outcome::stopped();
  for (int attempt = 0; attempt < kWriteAttempts && !written; ++attempt)
    written = WriteXMLFile(session, prompter, target, writeLimit, showMessage);
  if (written) return written;
  scope.exitEarly();
  // Only a file refused as too small was written whole; then the backup,
  // when one was made now, is worth naming.
  const bool tooSmall = written.reason() && written.reason()->id == TextId::SavedFileTooSmall;
  if (tooSmall && backupMade)
    prompter.message(session.text(TextId::SavedFileTooSmall) + QDir::toNativeSeparators(backup));
  else
    prompter.message(notSaved.text(session.language()));
  return Outcome::failed(notSaved);
}

Outcome WriteXMLFile(Session& session, Prompter& prompter, const QString& fileName, int writeLimit,
                     bool showMessage) {
  const QString target = withoutExtension(fileName) + QStringLiteral(".xml");
  const Reason notSaved{TextId::PortfolioNotSaved, {QDir::toNativeSeparators(target)}, target};
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) {
    reportCreateFailure(session, target);
    return Outcome::failed(notSaved);
  }
  const int dataSets =
      portfolio_file::write(file, session.portfolio(), writeLimit, session.language());
  if (dataSets >= 0 && file.pos() < kMinSavedFileSize) {
    file.cancelWriting();
    session.trace().Log(QStringLiteral("Pelmar.WriteXMLFile - bestand te klein"));
    return Outcome::failed(Reason{TextId::SavedFileTooSmall, {}, target});
  }
  if (dataSets < 0 || !file.commit()) {
    file.cancelWriting();
    session.trace().Log(QStringLiteral("Pelmar.WriteXMLFile - schrijven mislukt"));
    return Outcome::failed(notSaved);
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
