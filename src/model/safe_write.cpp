#include "model/safe_write.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <cerrno>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace pelmar::safe_write {
namespace {

QString shown(const QString& path) {
  return QDir::toNativeSeparators(path);
}

// The system's last error number: errno, or GetLastError() on Windows.
int lastSystemError() {
#ifdef Q_OS_WIN
  return static_cast<int>(GetLastError());
#else
  return errno;
#endif
}

void clearSystemError() {
#ifdef Q_OS_WIN
  SetLastError(0);
#else
  errno = 0;
#endif
}

// What a path is on disk (a link followed).
enum class Kind { Missing, Regular, Folder, Device, Fifo, Special };

Kind kindOf(const QString& path) {
#ifdef Q_OS_UNIX
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return Kind::Missing;
  if (S_ISREG(st.st_mode)) return Kind::Regular;
  if (S_ISDIR(st.st_mode)) return Kind::Folder;
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return Kind::Device;
  if (S_ISFIFO(st.st_mode)) return Kind::Fifo;
  return Kind::Special;
#else
  const QFileInfo info(path);
  if (!info.exists()) return Kind::Missing;
  if (info.isDir()) return Kind::Folder;
  return info.isFile() ? Kind::Regular : Kind::Special;
#endif
}

// The cause from what a file device reports: the error number taken right
// after the failing call when the device's text is that number's, else the
// number whose text the device gives, else the device's own text.
Reason causeFrom(const QFileDevice& file, int error, const QString& path) {
  const QString text = file.errorString();
#ifdef Q_OS_UNIX
  if (error != 0 && (text.isEmpty() || text == qt_error_string(error)))
    return CauseOfError(error, path);
  static constexpr std::array kKnown{ENOSPC, EDQUOT, EACCES, EPERM,  EROFS,
                                     EIO,    EFBIG,  ENOENT, EISDIR, ENOTDIR};
  for (const int known : kKnown)
    if (text == qt_error_string(known)) return CauseOfError(known, path);
#endif
  return CauseOfError(error, path, text);
}

// A device that hands every write to the save file and counts the bytes
// that reached it; the first failing write keeps its error number. Its
// position and size are the bytes written; it cannot seek back.
class CountingDevice : public QIODevice {
 public:
  explicit CountingDevice(QSaveFile& file) : file_(file) {
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }
  qint64 size() const override { return written_; }
  bool seek(qint64 pos) override { return pos == written_ && QIODevice::seek(pos); }
  qint64 written() const { return written_; }
  bool failed() const { return failed_; }
  int error() const { return error_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    if (failed_) return -1;
    clearSystemError();
    const qint64 done = file_.write(data, size);
    if (done != size) {
      error_ = lastSystemError();
      failed_ = true;
      return -1;
    }
    written_ += done;
    return done;
  }

 private:
  QSaveFile& file_;
  qint64 written_ = 0;
  bool failed_ = false;
  int error_ = 0;
};

// One attempt: the temporary file written, flushed, synced, measured and
// renamed over the target. The target was resolved and checked.
Outcome writeOnce(const QString& path, const QString& target, const Writer& writer) {
  QSaveFile file(target);
  // Unbuffered: every write reaches the file at once and says whether it
  // did, instead of failing unseen in the final flush.
  clearSystemError();
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    return Outcome::failed(causeFrom(file, lastSystemError(), path));
  CountingDevice out(file);
  const bool wrote = writer(out);
  const auto fail = [&](const Reason& cause) {
    file.cancelWriting();
    return Outcome::failed(cause);
  };
  if (out.failed()) return fail(causeFrom(file, out.error(), path));
  if (file.error() != QFileDevice::NoError) return fail(causeFrom(file, 0, path));
  if (!wrote) return fail(CauseOfError(0, path, file.errorString()));
  clearSystemError();
  if (!file.flush() || file.error() != QFileDevice::NoError)
    return fail(causeFrom(file, lastSystemError(), path));
#ifdef Q_OS_UNIX
  // commit() syncs too, but does not look at the result.
  if (file.handle() >= 0 && ::fsync(file.handle()) != 0) return fail(CauseOfError(errno, path));
#endif
  const qint64 size = file.size();
  if (size != out.written()) {
    return fail(Reason{TextId::WriteSizeWrong,
                       {shown(path), QString::number(size), QString::number(out.written())}});
  }
  clearSystemError();
  if (!file.commit()) return Outcome::failed(causeFrom(file, lastSystemError(), path));
  // What is now in place, measured once more.
  const qint64 after = QFileInfo(target).size();
  if (after != out.written()) {
    return Outcome::failed(
        Reason{TextId::WriteSizeWrong,
               {shown(path), QString::number(after), QString::number(out.written())}});
  }
  return Outcome::done();
}

bool worthRetrying(const Reason& cause) {
#ifdef Q_OS_WIN
  // A virus scanner or indexer holding the file for a moment.
  if (cause.id == TextId::WriteNoPermission) return true;
#endif
  return cause.id == TextId::WriteFailed;
}

}  // namespace

Reason CauseOfError(int error, const QString& path, const QString& systemText) {
  const QString file = shown(path);
  const QString folder = shown(QFileInfo(path).absolutePath());
#ifdef Q_OS_WIN
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Reason{TextId::WriteDiskFull, {folder}};
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Reason{TextId::WriteNoPermission, {file}};
    case ERROR_WRITE_PROTECT:
      return Reason{TextId::WriteReadOnlyDisk, {file}};
    case ERROR_PATH_NOT_FOUND:
      return Reason{TextId::WriteNoFolder, {file}};
    default:
      break;
  }
#else
  switch (error) {
    case ENOSPC:
      return Reason{TextId::WriteDiskFull, {folder}};
    case EDQUOT:
      return Reason{TextId::WriteQuotaFull, {folder}};
    case EACCES:
    case EPERM:
      return Reason{TextId::WriteNoPermission, {file}};
    case EROFS:
      return Reason{TextId::WriteReadOnlyDisk, {file}};
    case EIO:
      return Reason{TextId::WriteIoError, {file}};
    case EFBIG:
      return Reason{TextId::WriteTooLarge, {file}};
    case ENOENT:
    case ENOTDIR:
      return Reason{TextId::WriteNoFolder, {file}};
    case EISDIR:
      return Reason{TextId::WriteIsFolder, {file}};
    default:
      break;
  }
#endif
  QString detail = systemText.trimmed();
  if (detail.isEmpty()) detail = error != 0 ? qt_error_string(error) : QStringLiteral("?");
  return Reason{TextId::WriteFailed, {file, detail}};
}

bool IsDiskFailure(const Reason& cause) {
  return cause.id == TextId::WriteDiskFull || cause.id == TextId::WriteQuotaFull ||
         cause.id == TextId::WriteReadOnlyDisk || cause.id == TextId::WriteIoError;
}

Outcome ResolveTarget(const QString& path, QString& target, bool makeFolder) {
  const QFileInfo info(path);
  const QString file = shown(path);
  if (path.isEmpty() || info.fileName().isEmpty())
    return Outcome::failed(Reason{TextId::WriteIsFolder, {file}});
  target = path;
  if (info.isSymLink()) {
    // Followed to its end, as the system would; the link itself stays.
    QFileInfo end = info;
    for (int depth = 0; end.isSymLink() && depth < 40; ++depth) end.setFile(end.symLinkTarget());
    const QString resolved = end.absoluteFilePath();
    const QStringList args{file, shown(resolved)};
    if (end.isSymLink()) return Outcome::failed(Reason{TextId::WriteLinkDangling, args});
    switch (kindOf(resolved)) {
      case Kind::Missing:
        return Outcome::failed(Reason{TextId::WriteLinkDangling, args});
      case Kind::Folder:
        return Outcome::failed(Reason{TextId::WriteLinkToFolder, args});
      case Kind::Device:
        return Outcome::failed(Reason{TextId::WriteLinkToDevice, args});
      case Kind::Fifo:
        return Outcome::failed(Reason{TextId::WriteLinkToFifo, args});
      case Kind::Special:
        return Outcome::failed(Reason{TextId::WriteLinkToSpecial, args});
      case Kind::Regular:
        break;
    }
    target = resolved;
  } else {
    switch (kindOf(path)) {
      case Kind::Folder:
        return Outcome::failed(Reason{TextId::WriteIsFolder, {file}});
      case Kind::Device:
        return Outcome::failed(Reason{TextId::WriteIsDevice, {file}});
      case Kind::Fifo:
        return Outcome::failed(Reason{TextId::WriteIsFifo, {file}});
      case Kind::Special:
        return Outcome::failed(Reason{TextId::WriteIsSpecial, {file}});
      case Kind::Missing:
      case Kind::Regular:
        break;
    }
  }
  const QFileInfo existing(target);
  if (existing.exists()) {
    // Mode bits, not access(): root may write any file, but a file without
    // a write bit was made read-only on purpose.
    const QFile::Permissions writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(existing.permissions() & writeBits))
      return Outcome::failed(Reason{TextId::WriteReadOnlyFile, {file}});
    if (!existing.isWritable()) return Outcome::failed(Reason{TextId::WriteNoPermission, {file}});
  }
  const QString folder = existing.absolutePath();
  if (!QFileInfo(folder).isDir()) {
    if (!makeFolder || !QDir().mkpath(folder)) {
      return Outcome::failed(QFileInfo::exists(folder)
                                 ? Reason{TextId::WriteIsSpecial, {shown(folder)}}
                                 : Reason{TextId::WriteNoFolder, {file}});
    }
  }
  return Outcome::done();
}

Outcome WriteFile(const QString& path, const Writer& writer, const Options& options) {
  QString target;
  if (Outcome resolved = ResolveTarget(path, target, options.makeFolder); !resolved)
    return resolved;
  Outcome written = Outcome::stopped();
  for (int attempt = 1; attempt <= std::max(1, options.attempts); ++attempt) {
    if (attempt > 1) std::this_thread::sleep_for(options.pause);
    written = writeOnce(path, target, writer);
    if (written || !worthRetrying(*written.reason())) break;
  }
  return written;
}

Outcome WriteFile(const QString& path, const QByteArray& bytes, const Options& options) {
  return WriteFile(
      path, [&bytes](QIODevice& out) { return out.write(bytes) == bytes.size(); }, options);
}

Outcome CopyFile(const QString& from, const QString& to, const Options& options) {
  const Reason unreadable{TextId::WriteSourceUnreadable, {shown(from)}};
  if (kindOf(from) != Kind::Regular) return Outcome::failed(unreadable);
  QFile in(from);
  if (!in.open(QIODevice::ReadOnly)) return Outcome::failed(unreadable);
  // Set when the source did not read back whole: then nothing is replaced.
  bool sourceBroken = false;
  const Writer copy = [&](QIODevice& out) {
    const QFileInfo before(from);
    const qint64 size = before.size();
    const QDateTime modified = before.lastModified();
    sourceBroken = !in.seek(0);
    qint64 read = 0;
    while (!sourceBroken) {
      const QByteArray chunk = in.read(1 << 20);
      if (in.error() != QFileDevice::NoError) sourceBroken = true;
      if (sourceBroken || chunk.isEmpty()) break;
      read += chunk.size();
      if (out.write(chunk) != chunk.size()) return false;
    }
    const QFileInfo after(from);
    if (read != size || after.size() != size || after.lastModified() != modified)
      sourceBroken = true;
    return !sourceBroken;
  };
  const Outcome written = WriteFile(to, copy, options);
  if (!written && sourceBroken) return Outcome::failed(unreadable);
  return written;
}

}  // namespace pelmar::safe_write
