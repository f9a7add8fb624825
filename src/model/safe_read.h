#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

#include "lang/outcome.h"

namespace pelmar::safe_read {

// The one read path for every file that comes from outside the program's
// own writes: daily price files, stock lists, "Last Prices.txt", a CSV to
// import, the settings file, a portfolio, a script. Only a regular file is
// read (a link is followed to one); a FIFO, a device or a folder is refused
// before anything is read, so it can neither hang nor fill the memory; and
// no more than `maxBytes` are read: a larger file (or one that grows past
// the bound while it is read) is refused with that reason.

// Text files the program reads hold lines of prices or settings: anything
// past this is no such file.
inline constexpr qint64 kMaxTextFile = 16 * 1024 * 1024;

struct ReadResult {
  enum class Status { Read, Missing, Refused };
  Status status = Status::Missing;
  QByteArray bytes;               // the whole file when Read
  std::optional<Reason> refused;  // why, when Refused (ReadNotAFile, ReadTooLarge, ReadInputFailed)

  bool read() const { return status == Status::Read; }
  bool missing() const { return status == Status::Missing; }
};

// Reads the whole file. Missing when there is no file (or a link to
// nothing); Refused with the reason when it is no regular file, is larger
// than `maxBytes`, or cannot be read whole.
ReadResult ReadFile(const QString& path, qint64 maxBytes = kMaxTextFile);

// Opens the file for reading, in the same way and with the same refusals,
// for a reader that streams it; status Read means opened (bytes stay empty).
// The caller still bounds what it reads.
ReadResult Open(QFile& file, const QString& path, qint64 maxBytes = kMaxTextFile);

// The reason a file of more than `maxBytes` gets.
Reason TooLarge(const QString& path, qint64 maxBytes);

}  // namespace pelmar::safe_read
