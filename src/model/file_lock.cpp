#include "model/file_lock.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

namespace pelmar {

QStringList LockHolder::args(const QString& unknown) const {
  return {program.isEmpty() ? unknown : program,
          pid > 0 ? QString::number(pid) : QStringLiteral("?"),
          host.isEmpty() ? QStringLiteral("?") : host};
}

namespace {

// Sleeps until the file at `path` is more than `age` milliseconds old. Qt
// counts a lock stale only when it is strictly older than its stale time,
// measured from a modification time cut to whole milliseconds: the wait
// goes a little beyond it.
void waitUntilAged(const QString& path, qint64 age) {
  constexpr qint64 kMargin = 20;
  const qint64 now = QFileInfo(path).lastModified().msecsTo(QDateTime::currentDateTime());
  if (now >= 0 && now <= age) QThread::msleep(static_cast<unsigned long>(age - now + kMargin));
}

// Qt takes a stale lock over behind "<lock>.rmlock" files of its own, each
// held only for an instant. A program killed in that instant leaves them
// behind, and Qt trusts such a file stale only after 30 s. Once they are
// `age` ms old they are cleared here, deepest first.
void clearLeftOverRemovalLocks(const QString& lockFile, qint64 age) {
  const QString removal = lockFile + QStringLiteral(".rmlock");
  for (const QString& name : {removal + QStringLiteral(".rmlock"), removal}) {
    if (!QFileInfo::exists(name)) continue;
    waitUntilAged(name, age);
    QLockFile leftOver(name);
    leftOver.setStaleLockTime(age);
    if (leftOver.tryLock(0)) leftOver.unlock();
  }
}

}  // namespace

FileLock::FileLock(const QString& lockFile)
    : path_(lockFile), lock_(std::make_unique<QLockFile>(lockFile)) {
  // Stale only when its process is gone: a long download or an evening
  // with the portfolio open is no reason to take a lock over.
  lock_->setStaleLockTime(0);
}

FileLock::~FileLock() = default;

FileLock::Result FileLock::take(std::chrono::milliseconds wait) {
  if (lock_->isLocked()) return Result::Taken;
  if (lock_->tryLock(wait)) return Result::Taken;
  if (lock_->error() != QLockFile::LockFailedError) return Result::NotPossible;
  clearLeftOverRemovalLocks(path_, kUnnamedLockAge);
  if (lock_->tryLock(0)) return Result::Taken;
  // A lock file that names nobody was left by a program killed while it
  // made it (its contents follow its creation at once). Once it is a
  // moment old it is removed, unless a running program still holds the
  // system's lock on it, and taken.
  qint64 pid = 0;
  QString host;
  QString program;
  if (lock_->getLockInfo(&pid, &host, &program) && pid > 0) return Result::HeldByOther;
  waitUntilAged(path_, kUnnamedLockAge);
  if (lock_->getLockInfo(&pid, &host, &program) && pid > 0) return Result::HeldByOther;
  if (lock_->removeStaleLockFile() && lock_->tryLock(0)) return Result::Taken;
  return Result::HeldByOther;
}

void FileLock::release() {
  if (lock_->isLocked()) lock_->unlock();
}

bool FileLock::held() const {
  return lock_->isLocked();
}

LockHolder FileLock::holder() const {
  LockHolder holder;
  if (!lock_->getLockInfo(&holder.pid, &holder.host, &holder.program)) return {};
  return holder;
}

}  // namespace pelmar
