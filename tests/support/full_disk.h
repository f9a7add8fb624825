#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace pelmar::test {

// A small file system of the test's own: a tmpfs mounted in a fresh folder
// when the test runs as root (as CI does), unmounted when the object goes.
// A test puts its files there first, then fill() takes every byte left, so
// that the next write fails with "No space left on device" as on a full
// disk. Each object has its own mount point, so tests run side by side.
//
//   test::FullDisk disk;
//   PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
class FullDisk {
 public:
  explicit FullDisk(int kilobytes = 2048);
  ~FullDisk();
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

  // Empty when the disk is mounted; otherwise why not, for the skip.
  const QString& unavailable() const { return unavailable_; }
  // The mount point, without a trailing "/".
  const QString& root() const { return root_; }
  QString path(const QString& name) const { return root_ + u'/' + name; }

  // Takes every byte left, up to the last page; true when the disk is full.
  bool fill();
  // Gives the filled bytes back.
  void release();

  // Every regular file below the root (the filler left out) with its
  // bytes, to compare before and after a write that must change nothing.
  QMap<QString, QByteArray> files() const;

 private:
  QString root_;
  QString unavailable_;
  bool mounted_ = false;
};

}  // namespace pelmar::test

// Skips the test, saying why, when the disk could not be mounted.
#define PELMAR_SKIP_WITHOUT_FULL_DISK(disk)                                                  \
  do {                                                                                       \
    if (!(disk).unavailable().isEmpty()) GTEST_SKIP() << (disk).unavailable().toStdString(); \
  } while (false)
