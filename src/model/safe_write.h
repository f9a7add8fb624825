#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <chrono>
#include <functional>

#include "lang/outcome.h"

namespace pelmar::safe_write {

// The one write path for every file the program writes: the portfolio and
// its ".bak", the daily price files, the stock lists, "Last Prices.txt",
// reports, chart exports, the settings file, "Error.log", the year-closing
// archive and copied files.
//
// A file is written whole into a temporary file beside it, which replaces
// it only when every byte reached the disk: every write is checked, the
// temporary file is flushed, synced and its size compared before it is
// renamed over the file, and the size is compared once more after. (Qt's
// QSaveFile::commit() alone returns true after its own final flush failed,
// QTBUG-75077: on a full disk it put a 0-byte file in place.) Any failure
// leaves the previous file as it was and returns the cause as a reason of
// its own (WriteDiskFull, WriteNoPermission, ...), which the caller adds to
// its "has not been saved" text with Reason::because.
//
// A symbolic link is written through to its target when that is a regular
// file (the link stays a link); a path or a link to a folder, a device or a
// FIFO is refused, and so is a file without any write permission (mode 444,
// which root could otherwise replace).

// Fills the file being written; false when it could not write all of it.
// The device counts what reached the file.
using Writer = std::function<bool(QIODevice& out)>;

struct Options {
  // Attempts in all. A failure another attempt cannot mend (a full disk, a
  // read-only file, a link to a device) is not tried again.
  int attempts = 1;
  std::chrono::milliseconds pause{10};
  // Makes the file's folder when it is missing.
  bool makeFolder = false;
};

// Where a write to `path` goes: the path itself, or the regular file its
// symbolic link ends at. Fails with the reason when it is no place a file
// may be replaced (see above); a missing file in an existing folder is fine.
Outcome ResolveTarget(const QString& path, QString& target, bool makeFolder = false);

// Writes the bytes as the whole new content of the file.
Outcome WriteFile(const QString& path, const QByteArray& bytes, const Options& options = {});
// Writes what the writer puts into the device as the whole new content.
Outcome WriteFile(const QString& path, const Writer& writer, const Options& options = {});

// Copies a regular file through WriteFile. The source must read back whole:
// as many bytes as its size, without a read error, unchanged while read;
// otherwise nothing is written (WriteSourceUnreadable).
Outcome CopyFile(const QString& from, const QString& to, const Options& options = {});

// Whether the cause concerns the disk rather than the file (full, quota,
// read-only disk, input/output error): further files there fail alike.
bool IsDiskFailure(const Reason& cause);

// The cause of an OS error number (errno) for the file, as a reason.
Reason CauseOfError(int error, const QString& path, const QString& systemText = {});

}  // namespace pelmar::safe_write
