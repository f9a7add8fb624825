#include "support/full_disk.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace pelmar::test {

namespace {

const QString kFiller = QStringLiteral("filler");

}  // namespace

FullDisk::FullDisk(int kilobytes) {
#ifdef Q_OS_LINUX
  if (::geteuid() != 0) {
    unavailable_ = QStringLiteral(
        "a full disk needs a tmpfs of its own, which only root may mount (CI runs as root)");
    return;
  }
  QByteArray folder = QFile::encodeName(QDir::tempPath() + QStringLiteral("/pelmar-full-XXXXXX"));
  if (::mkdtemp(folder.data()) == nullptr) {
    unavailable_ =
        QStringLiteral("no folder for the mount: ") + QString::fromLocal8Bit(std::strerror(errno));
    return;
  }
  root_ = QFile::decodeName(folder);
  const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0777";
  if (::mount("tmpfs", folder.constData(), "tmpfs", 0, options.constData()) != 0) {
    unavailable_ =
        QStringLiteral("mount -t tmpfs failed: ") + QString::fromLocal8Bit(std::strerror(errno));
    ::rmdir(folder.constData());
    return;
  }
  mounted_ = true;
#else
  (void)kilobytes;
  unavailable_ = QStringLiteral("a full disk is made with a Linux tmpfs");
#endif
}

FullDisk::~FullDisk() {
#ifdef Q_OS_LINUX
  if (!mounted_) return;
  const QByteArray folder = QFile::encodeName(root_);
  ::umount2(folder.constData(), MNT_DETACH);
  ::rmdir(folder.constData());
#endif
}

bool FullDisk::fill() {
#ifdef Q_OS_LINUX
  if (!mounted_) return false;
  const int fd =
      ::open(QFile::encodeName(path(kFiller)).constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (fd < 0) return false;
  static const QByteArray chunk(64 * 1024, 'f');
  // Large pieces first, then down to single bytes, until nothing fits.
  for (const qsizetype size : {qsizetype(64 * 1024), qsizetype(4096), qsizetype(1)}) {
    while (::write(fd, chunk.constData(), static_cast<size_t>(size)) == size) {
    }
  }
  const bool full = errno == ENOSPC;
  ::close(fd);
  return full;
#else
  return false;
#endif
}

void FullDisk::release() {
  if (mounted_) QFile::remove(path(kFiller));
}

QMap<QString, QByteArray> FullDisk::files() const {
  QMap<QString, QByteArray> found;
  if (!mounted_) return found;
  QDirIterator it(root_, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    const QString name = QDir(root_).relativeFilePath(file);
    if (name == kFiller) continue;
    QFile in(file);
    found.insert(name, in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<unreadable>"));
  }
  return found;
}

}  // namespace pelmar::test
