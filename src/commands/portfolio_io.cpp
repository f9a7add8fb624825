#include "commands/portfolio_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "commands/datasets.h"
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
QString refusalWord(const portfolio_file::ReadResult& result) {
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
  return QStringLiteral("bestand onleesbaar, regel %1: %2")
      .arg(result.lineNumber)
      .arg(result.reason);
}

}  // namespace

PortfolioFiles::PortfolioFiles(Session& session, Prompter& prompter, PriceStore& prices,
                               Engine& engine, TraceLog& trace)
    : session_(session), prompter_(prompter), prices_(prices), engine_(engine), trace_(trace) {}

bool PortfolioFiles::OpenPortfolioFile(const QString& fileName) {
  const QString extension = QLatin1Char('.') + QFileInfo(fileName).suffix();
  if (extension != QLatin1String(".xml") && extension != QLatin1String(".bak")) {
    session_.portfolio().bPortOpened = false;
    return false;
  }
  if (IsValidXML(fileName)) return ReadXMLFile(fileName);
  session_.portfolio().bPortOpened = false;
  prompter_.timedMessage(session_.text(TextId::PortfolioNotValidXml),
                         session_.text(TextId::SelectAnotherPortfolio), 5000);
  return false;
}

bool PortfolioFiles::IsValidXML(const QString& fileName) {
  if (QFileInfo(fileName).size() > kCheckedFileSize) return true;
  if (progress.status) progress.status(session_.text(TextId::PortfolioBeingChecked));
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return true;
  // A file that grew since its size was taken is judged by its first part.
  const QByteArray text = file.read(kCheckedFileSize + 1);
  if (text.size() > kCheckedFileSize) return true;
  return text.count('<') == text.count('>');
}

bool PortfolioFiles::ReadXMLFile(const QString& fileName) {
  trace_.enter(kReadRoutine);
  Portfolio& current = session_.portfolio();
  const auto refuse = [&](const QString& word) {
    current.bPortOpened = false;
    trace_.leave(kReadRoutine, word);
    return false;
  };

  if (QFileInfo(fileName).fileName().isEmpty())
    return refuse(QStringLiteral("bestandsnaam is leeg"));

  QFile file(fileName);
  if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly))
    return refuse(QStringLiteral("bestand bestaat niet"));
  if (progress.status) progress.status(session_.text(TextId::PortfolioBeingRead));
  prices_.refresh();

  // The file is read into a fresh portfolio that replaces the current one
  // only when the whole file made sense. The copy keeps the program-wide
  // values that outlive a portfolio (initial records, DollarKoers).
  Portfolio fresh = current;
  fresh.clear();
  portfolio_file::ReadOptions options;
  options.accountNamePrefix = session_.text(TextId::RenamedAccountPrefix);
  options.defaultCountry = current.initialRecords().DefaultKoersRec.Country;
  options.priceFor = [this](const QString& ticker, DateTime datum) {
    return prices_.GetFilePrice(ticker, serialToDate(datum));
  };
  options.dataSetStarted = progress.dataSet;
  if (session_.settings().debug) options.debugBlock = progress.debugRecord;
  const portfolio_file::ReadResult result = portfolio_file::read(file, fresh, options);
  file.close();
  if (!result.ok()) return refuse(refusalWord(result));

  // The dataset of today must fit: a portfolio without it would lose its
  // last stored dataset when saved without the dataset "Nieuw".
  int rekIndex = Portfolio::kFirstRekIndex;
  int koersIndex = Portfolio::kFirstKoersIndex;
  fresh.LastDataSet(rekIndex, koersIndex);
  if (!fresh.canCopyDataSet(rekIndex)) return refuse(QStringLiteral("bestand te groot"));

  current = std::move(fresh);
  current.bPortOpened = true;
  current.bPortNew = false;

  current.FirstDataSet(current.FirstRekIndex, current.FirstKoersIndex);
  current.SelFonds = 0;
  current.LastDataSet(current.FirstRekIndex, current.FirstKoersIndex);
  current.LastSetKoersIndex = current.FirstKoersIndex;
  AddDataSet(session_, prompter_, prices_, current.FirstRekIndex, current.FirstKoersIndex,
             DateQuestion::TakeProposal);

  // Accounts without a currency take the currency of the funds booked on
  // them, in every dataset but the new one.
  rekIndex = Portfolio::kFirstRekIndex;
  koersIndex = Portfolio::kFirstKoersIndex;
  for (; !current.IsLastDataSet(rekIndex); current.NextDataSet(rekIndex, koersIndex)) {
    for (int i = koersIndex; i < current.dataSetEnd(rekIndex); ++i) {
      const KoersRec& fund = current.koersAt(i);
      // RekNr comes from the file; only the five accounts are addressed.
      if (fund.RekNr < 1 || fund.RekNr > Portfolio::kAccountsPerDataSet) continue;
      RekeningRec& account = current.rekAt(rekIndex + fund.RekNr - 1);
      if (isBlank(account.Valuta)) account.Valuta = fund.Valuta;
    }
  }

  // The daily prices of every dataset; every dataset after the first is
  // recalculated from the one before it. The engine works on the current
  // dataset, which ends at the new one.
  current.FirstDataSet(current.FirstRekIndex, current.FirstKoersIndex);
  engine_.setPortStartDate(current.algAt(Portfolio::kFirstRekIndex - 1).Datum);
  UpdatePricesFromFiles(current, prices_, current.FirstRekIndex);
  while (!current.IsLastDataSet(current.FirstRekIndex)) {
    current.NextDataSet(current.FirstRekIndex, current.FirstKoersIndex);
    UpdatePricesFromFiles(current, prices_, current.FirstRekIndex);
    engine_.CalcDataSet();
  }
  current.bAtLastSet = true;
  current.pAlgRec = current.FirstRekIndex - 1;
  current.pKoersRec = current.FirstKoersIndex;

  if (current.DollarKoers <= 0.001) current.DollarKoers = current.alg().Dollar;
  trace_.leave(kReadRoutine);
  return true;
}

bool PortfolioFiles::SavePortfolio(const QString& fileName, int writeLimit, bool showMessage) {
  TraceScope scope(trace_, QStringLiteral("Pelmar.SavePortfolio"));
  // The file written is always the ".xml" one, also when saving to ".bak".
  const QString base = withoutExtension(fileName);
  const QString target = base + QStringLiteral(".xml");
  const QString backup = base + QStringLiteral(".bak");

  if (QFileInfo(target).size() > kBackupFileSize && !copyFile(target, backup))
    trace_.Log(QStringLiteral("Pelmar.SavePortfolio - backup mislukt"));

  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    if (WriteXMLFile(target, writeLimit, showMessage)) return true;
  }
  scope.exitEarly();
  prompter_.message(session_.text(TextId::SavedFileTooSmall) + QDir::toNativeSeparators(backup));
  return false;
}

bool PortfolioFiles::WriteXMLFile(const QString& fileName, int writeLimit, bool showMessage) {
  const QString target = withoutExtension(fileName) + QStringLiteral(".xml");
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) {
    reportCreateFailure(target);
    return false;
  }
  const int dataSets =
      portfolio_file::write(file, session_.portfolio(), writeLimit, session_.language());
  if (dataSets < 0 || file.pos() < kMinSavedFileSize || !file.commit()) {
    file.cancelWriting();
    trace_.Log(QStringLiteral("Pelmar.WriteXMLFile - schrijven mislukt"));
    return false;
  }
  if (showMessage)
    prompter_.timedMessage(QString::number(dataSets) + session_.text(TextId::DataSetsWritten),
                           QString(), 10000);
  return true;
}

void PortfolioFiles::reportCreateFailure(const QString& fileName) {
  trace_.Log(QStringLiteral("Pelmar.WriteXMLFile - Exit"));
  // "Error.log" goes into the program's data folder: the working directory
  // of a desktop program is no place the user knows or may write to.
  QSaveFile log(QDir(session_.dataDirectory()).filePath(QStringLiteral("Error.log")));
  if (!log.open(QIODevice::WriteOnly)) return;
  QByteArray text = "Fout in Rewrite(fT);\r\nPad: " + fileName.toLatin1() + "\r\n";
  for (int i = 0; i < 5; ++i) text += "\r\n";
  log.write(text);
  log.commit();
}

int WriteLimitAll(const Portfolio& portfolio) {
  return portfolio.size() - 1;
}

int WriteLimitWithoutLast(const Portfolio& portfolio) {
  int lastAlg = portfolio.size() - 1;
  while (lastAlg > 0 && portfolio.idAt(lastAlg) != AlgemeenRec::Id) --lastAlg;
  // The first account of the last dataset - 3.
  return lastAlg + 1 - 3;
}

}  // namespace pelmar
