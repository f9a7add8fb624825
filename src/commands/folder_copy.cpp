#include "commands/folder_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

namespace pelmar {
namespace {

constexpr qint64 kChunk = 1 << 20;

bool copyWhole(const QFileInfo& source, const QString& target) {
  QFile in(source.filePath());
  QSaveFile out(target);
  if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return false;
  while (!in.atEnd()) {
    const QByteArray chunk = in.read(kChunk);
    if (chunk.isEmpty() && in.error() != QFileDevice::NoError) return false;
    if (out.write(chunk) != chunk.size()) return false;
  }
  if (!out.commit()) return false;
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
