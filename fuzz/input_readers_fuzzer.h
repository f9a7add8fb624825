// Shared by the fuzz targets of the readers of outside input: the bytes as
// a QByteArray, and a check that stops the run naming its line.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace pelmar::fuzz {

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A page's text as the download reads it: ISO-8859-1 up to the first NUL.
inline QString pageText(const QByteArray& bytes) {
  const qsizetype nul = bytes.indexOf('\0');
  return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul));
}

inline void require(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "check failed at line %d\n", line);
  std::abort();
}

}  // namespace pelmar::fuzz
