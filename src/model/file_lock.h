#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>

class QLockFile;

namespace pelmar {

// Which program holds a lock: its name, process number and computer, as the
// lock file records them; empty or 0 when the file does not say.
struct LockHolder {
  QString program;
  qint64 pid = 0;
  QString host;

  // The arguments %2 (program), %3 (process) and %4 (computer) of the
  // "in use" texts; `unknown` names a program the lock file does not name.
  QStringList args(const QString& unknown) const;
};

// A lock file (QLockFile) beside what it guards: one program at a time
// holds it. A lock left by a process that no longer runs on this computer
// (killed, crashed) is stale and taken over; a lock of a running program
// never grows stale by its age alone.
class FileLock {
 public:
  enum class Result {
    Taken,        // held now
    HeldByOther,  // another program (or another session of this one) holds it
    NotPossible,  // the lock file cannot be made here (no permission, disk full)
  };

  explicit FileLock(const QString& lockFile);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Tries to take the lock, waiting at most `wait` while another holds it.
  Result take(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  void release();
  bool held() const;
  const QString& path() const { return path_; }
  // Who holds the lock, as the lock file says.
  LockHolder holder() const;

 private:
  // How old a lock file that names nobody must be before it counts as left
  // by a killed program (milliseconds).
  static constexpr qint64 kUnnamedLockAge = 1000;

  QString path_;
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace pelmar
