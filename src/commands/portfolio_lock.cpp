#include "commands/portfolio_lock.h"

#include <QDir>
#include <QFileInfo>

namespace pelmar {

namespace {

// The ".xml" file a save under this name writes.
QString xmlOf(const QString& fileName) {
  const QFileInfo info(fileName);
  return info.dir().filePath(info.completeBaseName() + QStringLiteral(".xml"));
}

std::unique_ptr<FileLock> lockOf(const QString& key) {
  return std::make_unique<FileLock>(key + QStringLiteral(".lock"));
}

}  // namespace

QString PortfolioLockKey(const QString& fileName) {
  const QFileInfo info(xmlOf(fileName));
  if (info.isSymLink()) {
    const QString resolved = info.canonicalFilePath();
    if (!resolved.isEmpty()) return resolved;
  }
  // The folder as the system names it, so that the key is the same before
  // the file exists and after.
  const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
  return (folder.isEmpty() ? QDir::cleanPath(info.absolutePath()) : folder) + QLatin1Char('/') +
         info.fileName();
}

QString PortfolioLockFile(const QString& fileName) {
  return PortfolioLockKey(fileName) + QStringLiteral(".lock");
}

QStringList InUseArgs(const Session& session, const QString& file, const LockHolder& holder) {
  return QStringList{QDir::toNativeSeparators(file)} +
         holder.args(session.text(TextId::UnknownHolder));
}

Outcome LockForOpening(Session& session, Prompter& prompter, const QString& fileName,
                       OpeningLock& taken) {
  taken = {};
  taken.file = PortfolioLockKey(fileName);
  const PortfolioLock& current = session.portfolioLock();
  // Opened again: the lock is the session's already.
  if (current.file == taken.file && !current.readOnly && current.lock && current.lock->held())
    return Outcome::done();
  std::unique_ptr<FileLock> lock = lockOf(taken.file);
  switch (lock->take()) {
    case FileLock::Result::Taken:
      taken.lock = std::move(lock);
      return Outcome::done();
    case FileLock::Result::NotPossible:
      // A folder without room or write permission for a lock file: the
      // portfolio opens; a save there reports why it cannot write.
      return Outcome::done();
    case FileLock::Result::HeldByOther:
      break;
  }
  taken.holder = lock->holder();
  const Reason inUse{TextId::PortfolioInUse, InUseArgs(session, xmlOf(fileName), taken.holder),
                     fileName};
  Question question;
  question.caption = session.text(TextId::ProductName);
  question.message = Reason{TextId::PortfolioInUseQuestion, {inUse.text(session.language())}}.text(
      session.language());
  if (prompter.portfolioInUse(question) != Answer::Yes) return Outcome::failed(inUse);
  taken.readOnly = true;
  return Outcome::done();
}

void AdoptOpeningLock(Session& session, OpeningLock&& taken) {
  PortfolioLock& current = session.portfolioLock();
  // The same file opened again keeps its lock.
  if (taken.file == current.file && !taken.lock && !taken.readOnly && current.lock) return;
  current.lock = std::move(taken.lock);
  current.file = taken.file;
  current.readOnly = taken.readOnly;
  current.holder = taken.holder;
}

Outcome MayWritePortfolio(Session& session, const QString& target,
                          std::unique_ptr<FileLock>& temporary) {
  const QString key = PortfolioLockKey(target);
  const PortfolioLock& current = session.portfolioLock();
  if (key == current.file && current.readOnly) {
    return Outcome::failed(Reason{TextId::PortfolioReadOnly,
                                  {QDir::toNativeSeparators(target),
                                   current.holder.args(session.text(TextId::UnknownHolder))[0]},
                                  target});
  }
  if (key == current.file && current.lock && current.lock->held()) return Outcome::done();
  std::unique_ptr<FileLock> lock = lockOf(key);
  switch (lock->take()) {
    case FileLock::Result::Taken:
      temporary = std::move(lock);
      return Outcome::done();
    case FileLock::Result::NotPossible:
      return Outcome::done();
    case FileLock::Result::HeldByOther:
      break;
  }
  return Outcome::failed(
      Reason{TextId::PortfolioInUse, InUseArgs(session, target, lock->holder()), target});
}

void MovePortfolioLock(Session& session, const QString& target) {
  PortfolioLock& current = session.portfolioLock();
  const QString key = PortfolioLockKey(target);
  if (key == current.file && !current.readOnly) return;
  std::unique_ptr<FileLock> lock = lockOf(key);
  // Held elsewhere since the save (or never possible here): saves to the
  // file take it again or are refused.
  if (lock->take() != FileLock::Result::Taken) lock.reset();
  current.lock = std::move(lock);
  current.file = key;
  current.readOnly = false;
  current.holder = {};
}

void ReleasePortfolioLock(Session& session) {
  PortfolioLock& current = session.portfolioLock();
  current.lock.reset();
  current.file.clear();
  current.readOnly = false;
  current.holder = {};
}

}  // namespace pelmar
