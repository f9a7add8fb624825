#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace pelmar {

// Makes the folder when it is missing and tries a file in it: true when the
// program can keep its files there.
bool FolderUsable(const QString& folder);

// The same folder, whatever the spelling ("a/b/" and "a/b/../b").
bool SameFolder(const QString& a, const QString& b);

// What a folder copy did: every file copied or kept, or the first file that
// could not be copied.
struct FolderCopy {
  bool ok = true;
  QString failedFile;  // the file name, when not ok
  int copied = 0;
  int kept = 0;  // already in the target folder and not older there
};

// Called after each file with the number done and the number in all.
using CopyProgress = std::function<void(int done, int total)>;

// Copies the files of `from` with the given extensions (any case) into `to`.
// Each file is written whole or not at all (a save file), and a file the
// target folder already holds is replaced only when the source is newer, so
// a copy never takes newer prices or portfolios away. Stops at the first
// file that cannot be copied.
FolderCopy CopyFolderFiles(const QString& from, const QString& to, const QStringList& extensions,
                           const CopyProgress& progress = {});

}  // namespace pelmar
