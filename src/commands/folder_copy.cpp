#include "commands/folder_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "model/safe_write.h"

namespace pelmar {
namespace {

bool copyWhole(const QFileInfo& source, const QString& target) {
  if (!safe_write::CopyFile(source.filePath(), target)) return false;
  // The copy carries the source's time, so that copying again keeps it.
  QFile written(target);
  if (written.open(QIODevice::ReadWrite))
    (void)written.setFileTime(source.lastModified(), QFileDevice::FileModificationTime);
  return true;
}

}  // namespace

bool FolderUsable(const QString& folder) {
  if (folder.trimmed().isEmpty() || !QDir().mkpath(folder)) return false;
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("pelmar-probe-XXXXXX")));
  return probe.open();
}

bool SameFolder(const QString& a, const QString& b) {
  const QString ca = QFileInfo(a).canonicalFilePath();
  const QString cb = QFileInfo(b).canonicalFilePath();
  if (!ca.isEmpty() && !cb.isEmpty()) return ca == cb;
  return QDir::cleanPath(a) == QDir::cleanPath(b);
}

FolderCopy CopyFolderFiles(const QString& from, const QString& to, const QStringList& extensions,
                           const CopyProgress& progress) {
  FolderCopy result;
  if (SameFolder(from, to)) return result;
  QStringList filters;
  for (const QString& extension : extensions) filters << QStringLiteral("*.") + extension;
  const QFileInfoList files = QDir(from).entryInfoList(filters, QDir::Files, QDir::Name);
  const QDir target(to);
  int done = 0;
  for (const QFileInfo& file : files) {
    const QFileInfo existing(target.filePath(file.fileName()));
    if (existing.isFile() && existing.lastModified() >= file.lastModified()) {
      ++result.kept;
    } else if (copyWhole(file, existing.filePath())) {
      ++result.copied;
    } else {
      result.ok = false;
      result.failedFile = file.fileName();
      return result;
    }
    if (progress) progress(++done, static_cast<int>(files.size()));
  }
  return result;
}

}  // namespace pelmar
