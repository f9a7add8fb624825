#include "model/safe_read.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

#include "model/safe_write.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pelmar::safe_read {
namespace {

QString shown(const QString& path) {
  return QDir::toNativeSeparators(path);
}

ReadResult refused(Reason reason) {
  ReadResult result;
  result.status = ReadResult::Status::Refused;
  result.refused = std::move(reason);
  return result;
}

ReadResult notAFile(const QString& path) {
  return refused(Reason{TextId::ReadNotAFile, {shown(path)}, path});
}

ReadResult failed(const QString& path, int error) {
  Reason reason{TextId::ReadInputFailed, {shown(path)}, path};
  if (error != 0) reason = reason.because(safe_write::CauseOfError(error, path));
  return refused(std::move(reason));
}

}  // namespace

Reason TooLarge(const QString& path, qint64 maxBytes) {
  return Reason{TextId::ReadTooLarge,
                {shown(path), QString::number(maxBytes / (1024.0 * 1024.0), 'g', 4)},
                path};
}

ReadResult Open(QFile& file, const QString& path, qint64 maxBytes) {
  if (path.isEmpty()) return ReadResult{};
#ifdef Q_OS_UNIX
  // Opened without waiting, so a FIFO without a writer cannot hang the
  // open; what it is is then asked of the open file itself, so nothing can
  // be swapped in between.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) return ReadResult{};
    if (error == EISDIR || error == ENXIO) return notAFile(path);
    return failed(path, error);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return failed(path, error);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return notAFile(path);
  }
  if (st.st_size > maxBytes) {
    ::close(fd);
    return refused(TooLarge(path, maxBytes));
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return failed(path, 0);
  }
#else
  const QFileInfo info(path);
  if (!info.exists()) return ReadResult{};
  if (!info.isFile()) return notAFile(path);
  if (info.size() > maxBytes) return refused(TooLarge(path, maxBytes));
  file.setFileName(path);
  if (!file.open(QIODevice::ReadOnly)) return failed(path, 0);
#endif
  ReadResult result;
  result.status = ReadResult::Status::Read;
  return result;
}

ReadResult ReadFile(const QString& path, qint64 maxBytes) {
  QFile file;
  ReadResult result = Open(file, path, maxBytes);
  if (!result.read()) return result;
  // Read in pieces up to one byte past the bound, to see a file that grew;
  // memory is taken as the bytes come, not for the bound.
  result.bytes.reserve(static_cast<qsizetype>(std::min(file.size(), maxBytes) + 1));
  for (;;) {
    const qint64 want = std::min<qint64>(maxBytes + 1 - result.bytes.size(), 1 << 20);
    const QByteArray piece = want > 0 ? file.read(want) : QByteArray();
    if (file.error() != QFileDevice::NoError) return failed(path, 0);
    if (piece.isEmpty()) break;
    result.bytes += piece;
  }
  if (result.bytes.size() > maxBytes) return refused(TooLarge(path, maxBytes));
  return result;
}

}  // namespace pelmar::safe_read
