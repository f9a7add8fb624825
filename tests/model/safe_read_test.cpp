#include "model/safe_read.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace pelmar {
namespace {

void write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// What is read from a path, and why not.
TEST(SafeRead, OnlyRegularFilesWithinTheBound) {
  QTemporaryDir dir;
  const QString file = dir.filePath("prices.csv");
  write(file, "Date,Close\n2026-01-05,7.05\n");
  const QString empty = dir.filePath("empty.txt");
  write(empty, "");
  const QString large = dir.filePath("large.csv");
  write(large, QByteArray(2000, 'x'));
  const QString link = dir.filePath("zero.txt");
  QFile::link("/dev/zero", link);
#ifdef Q_OS_UNIX
  const QString fifo = dir.filePath("fifo.csv");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
#endif

  using Status = safe_read::ReadResult::Status;
  struct Case {
    const char* name;
    QString path;
    Status status;
    TextId reason;
  };
  const Case cases[] = {
      {"a file", file, Status::Read, TextId::Count},
      {"an empty file", empty, Status::Read, TextId::Count},
      {"nothing there", dir.filePath("none.csv"), Status::Missing, TextId::Count},
      {"a folder", dir.path(), Status::Refused, TextId::ReadNotAFile},
      {"past the bound", large, Status::Refused, TextId::ReadTooLarge},
      {"a link to a device", link, Status::Refused, TextId::ReadNotAFile},
#ifdef Q_OS_UNIX
      // Without a writer: refused at once, never waited for.
      {"a FIFO", fifo, Status::Refused, TextId::ReadNotAFile},
#endif
  };
  for (const Case& c : cases) {
    const safe_read::ReadResult read = safe_read::ReadFile(c.path, 1000);
    EXPECT_EQ(read.status, c.status) << c.name;
    if (c.status == Status::Refused) {
      ASSERT_TRUE(read.refused) << c.name;
      EXPECT_EQ(read.refused->id, c.reason) << c.name;
      EXPECT_TRUE(read.bytes.isEmpty()) << c.name;
    }
  }
  EXPECT_EQ(safe_read::ReadFile(file).bytes, "Date,Close\n2026-01-05,7.05\n");

  const Reason tooLarge = *safe_read::ReadFile(large, 1000).refused;
  const QString shown = QDir::toNativeSeparators(large);
  EXPECT_EQ(tooLarge.text(Language(Language::Code::English)),
            shown + " is larger than 0.0009537 MB and is not read.");
  EXPECT_EQ(safe_read::TooLarge(large, 16 * 1024 * 1024).text(Language(Language::Code::Dutch)),
            shown + " is groter dan 16 MB en wordt niet gelezen.");
  EXPECT_EQ(
      safe_read::ReadFile(dir.path()).refused->text(Language(Language::Code::Dutch)),
      QDir::toNativeSeparators(dir.path()) + " is geen gewoon bestand en wordt niet gelezen.");
}

}  // namespace
}  // namespace pelmar
