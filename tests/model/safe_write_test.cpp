#include "model/safe_write.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "model/file_lock.h"
#include "support/full_disk.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace pelmar {
namespace {

using safe_write::CopyFile;
using safe_write::WriteFile;

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

TextId causeOf(const Outcome& outcome) {
  return outcome.reason() ? outcome.reason()->id : TextId::Count;
}

class SafeWrite : public ::testing::Test {
 protected:
  QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
  QTemporaryDir dir;
};

TEST_F(SafeWrite, ReplacesAFileWholeAndLeavesNoTemporaryFile) {
  put(path("a.txt"), "old");
  ASSERT_TRUE(WriteFile(path("a.txt"), QByteArray("new text")).ok());
  EXPECT_EQ(bytesOf(path("a.txt")), "new text");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.txt"});
}

TEST_F(SafeWrite, AStreamingWriterThatFailsReplacesNothing) {
  put(path("a.txt"), "old");
  const Outcome written = WriteFile(path("a.txt"), [](QIODevice& out) {
    out.write("half");
    return false;
  });
  EXPECT_FALSE(written.ok());
  EXPECT_EQ(bytesOf(path("a.txt")), "old");
}

TEST_F(SafeWrite, TheWritersDeviceCountsItsBytes) {
  qint64 size = -1;
  ASSERT_TRUE(WriteFile(path("a.txt"), [&](QIODevice& out) {
                out.write("12345");
                out.write("678");
                size = out.size();
                return out.pos() == 8;
              }).ok());
  EXPECT_EQ(size, 8);
}

// The whole matter of the issue: small writes that stay in a buffer until
// the commit. On a full disk nothing is replaced, and the cause says so.
TEST_F(SafeWrite, OnAFullDiskEveryKindOfWriteLeavesTheFileAndSaysTheDiskIsFull) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  put(disk.path("small.txt"), "previous");
  put(disk.path("source.txt"), "a source");
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();

  const Outcome bytes = WriteFile(disk.path("small.txt"), QByteArray(4711, 'x'));
  EXPECT_EQ(causeOf(bytes), TextId::WriteDiskFull);
  const Outcome streamed = WriteFile(disk.path("small.txt"), [](QIODevice& out) {
    for (int i = 0; i < 100; ++i) out.write("a small line\r\n");
    return true;
  });
  EXPECT_EQ(causeOf(streamed), TextId::WriteDiskFull);
  const Outcome fresh = WriteFile(disk.path("new.txt"), QByteArray("x"));
  EXPECT_EQ(causeOf(fresh), TextId::WriteDiskFull);
  const Outcome copied = CopyFile(disk.path("source.txt"), disk.path("small.txt"));
  EXPECT_EQ(causeOf(copied), TextId::WriteDiskFull);

  EXPECT_EQ(disk.files(), before);
  EXPECT_TRUE(safe_write::IsDiskFailure(*bytes.reason()));
  EXPECT_EQ(bytes.reason()->text(Language(Language::Code::English)), "The disk is full.");
  EXPECT_EQ(bytes.reason()->text(Language(Language::Code::Dutch)), "De schijf is vol.");
  // With room again the same write goes through.
  disk.release();
  EXPECT_TRUE(WriteFile(disk.path("small.txt"), QByteArray(4711, 'x')).ok());
  EXPECT_EQ(bytesOf(disk.path("small.txt")).size(), 4711);
}

TEST_F(SafeWrite, AReadOnlyFileIsNotReplacedEvenByRoot) {
  put(path("mine.xml"), "kept");
  QFile::setPermissions(path("mine.xml"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
  const Outcome written = WriteFile(path("mine.xml"), QByteArray("new"));
  EXPECT_EQ(causeOf(written), TextId::WriteReadOnlyFile);
  EXPECT_EQ(bytesOf(path("mine.xml")), "kept");
  EXPECT_EQ(
      written.reason()->text(Language(Language::Code::English)),
      QDir::toNativeSeparators(path("mine.xml")) + " has been made read-only and is not replaced.");
}

TEST_F(SafeWrite, AFolderIsNoFileToWrite) {
  QDir().mkpath(path("folder.xml"));
  EXPECT_EQ(causeOf(WriteFile(path("folder.xml"), QByteArray("x"))), TextId::WriteIsFolder);
  EXPECT_TRUE(QFileInfo(path("folder.xml")).isDir());
}

TEST_F(SafeWrite, AMissingFolderIsMadeOnlyWhenAsked) {
  EXPECT_EQ(causeOf(WriteFile(path("sub/a.txt"), QByteArray("x"))), TextId::WriteNoFolder);
  safe_write::Options options;
  options.makeFolder = true;
  EXPECT_TRUE(WriteFile(path("sub/a.txt"), QByteArray("x"), options).ok());
}

TEST_F(SafeWrite, ACopyOfASourceThatCannotBeReadIsNotMade) {
  put(path("copy.bak"), "the old copy");
  EXPECT_EQ(causeOf(CopyFile(path("missing.xml"), path("copy.bak"))),
            TextId::WriteSourceUnreadable);
  QDir().mkpath(path("folder.xml"));
  EXPECT_EQ(causeOf(CopyFile(path("folder.xml"), path("copy.bak"))), TextId::WriteSourceUnreadable);
  EXPECT_EQ(bytesOf(path("copy.bak")), "the old copy");
  put(path("real.xml"), "the portfolio");
  ASSERT_TRUE(CopyFile(path("real.xml"), path("copy.bak")).ok());
  EXPECT_EQ(bytesOf(path("copy.bak")), "the portfolio");
}

#ifdef Q_OS_UNIX

TEST_F(SafeWrite, ALinkToARegularFileIsWrittenThroughAndStaysALink) {
  QDir().mkpath(path("real"));
  put(path("real/Pelmar.conf"), "old");
  ASSERT_TRUE(QFile::link(path("real/Pelmar.conf"), path("Pelmar.conf")));
  ASSERT_TRUE(WriteFile(path("Pelmar.conf"), QByteArray("new")).ok());
  EXPECT_TRUE(QFileInfo(path("Pelmar.conf")).isSymLink());
  EXPECT_EQ(bytesOf(path("real/Pelmar.conf")), "new");
}

TEST_F(SafeWrite, ALinkToAFolderAFifoOrNothingIsRefusedWithItsReason) {
  QDir().mkpath(path("folder"));
  ASSERT_TRUE(QFile::link(path("folder"), path("to-folder.xml")));
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(path("fifo"), path("to-fifo.xml")));
  ASSERT_TRUE(QFile::link(path("nowhere"), path("to-nothing.xml")));

  EXPECT_EQ(causeOf(WriteFile(path("to-folder.xml"), QByteArray("x"))), TextId::WriteLinkToFolder);
  EXPECT_EQ(causeOf(WriteFile(path("to-fifo.xml"), QByteArray("x"))), TextId::WriteLinkToFifo);
  EXPECT_EQ(causeOf(WriteFile(path("fifo"), QByteArray("x"))), TextId::WriteIsFifo);
  EXPECT_EQ(causeOf(WriteFile(path("to-nothing.xml"), QByteArray("x"))), TextId::WriteLinkDangling);
  // A FIFO is never opened to be copied (that would wait for a writer).
  EXPECT_EQ(causeOf(CopyFile(path("to-fifo.xml"), path("copy.bak"))),
            TextId::WriteSourceUnreadable);

  for (const char* link : {"to-folder.xml", "to-fifo.xml", "to-nothing.xml"})
    EXPECT_TRUE(QFileInfo(path(link)).isSymLink()) << link;
  EXPECT_TRUE(QFileInfo(path("folder")).isDir());
  EXPECT_FALSE(QFileInfo::exists(path("nowhere")));
  const Reason reason = *WriteFile(path("to-fifo.xml"), QByteArray("x")).reason();
  EXPECT_EQ(reason.text(Language(Language::Code::English)),
            QDir::toNativeSeparators(path("to-fifo.xml")) + " is a link to the FIFO (pipe) " +
                QDir::toNativeSeparators(path("fifo")) + ".");
}

TEST_F(SafeWrite, ALinkToADeviceIsRefusedAndTheDeviceStays) {
  // A device node of its own (root only): the program must not replace it.
  const QByteArray node = QFile::encodeName(path("null-device"));
  if (::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
    GTEST_SKIP() << "no device node can be made here (needs root)";
  ASSERT_TRUE(QFile::link(path("null-device"), path("Pelmar.conf")));
  EXPECT_EQ(causeOf(WriteFile(path("Pelmar.conf"), QByteArray("x"))), TextId::WriteLinkToDevice);
  EXPECT_EQ(causeOf(WriteFile(path("null-device"), QByteArray("x"))), TextId::WriteIsDevice);
  struct stat st {};
  ASSERT_EQ(::stat(node.constData(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_TRUE(QFileInfo(path("Pelmar.conf")).isSymLink());
}

// The lock of a program killed with kill -9 is taken over, with the removal
// locks a kill may leave; a live one is not.
TEST_F(SafeWrite, AStaleLockOfAKilledProcessIsTakenOver) {
  const QString lockFile = path("Test.xml.lock");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileLock lock(lockFile);
    if (lock.take() != FileLock::Result::Taken) ::_exit(1);
    ::kill(::getpid(), SIGKILL);
    ::_exit(2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_TRUE(QFileInfo::exists(lockFile));
  // Killed while taking a stale lock over, a program leaves Qt's removal
  // locks too: one naming it and an empty one.
  ASSERT_TRUE(QFile::copy(lockFile, lockFile + ".rmlock"));
  put(lockFile + ".rmlock.rmlock", QByteArray());

  FileLock mine(lockFile);
  EXPECT_EQ(mine.take(), FileLock::Result::Taken);
  FileLock second(lockFile);
  EXPECT_EQ(second.take(), FileLock::Result::HeldByOther);
  EXPECT_EQ(second.holder().pid, QCoreApplication::applicationPid());
  mine.release();
  EXPECT_EQ(second.take(), FileLock::Result::Taken);
}

// Killed between making its lock file and writing its name into it, a
// program leaves an empty lock file: a moment later it is taken over.
TEST_F(SafeWrite, AnEmptyLockFileLeftByAKilledProgramIsTakenOver) {
  put(path("Test.xml.lock"), QByteArray());
  FileLock lock(path("Test.xml.lock"));
  EXPECT_EQ(lock.take(), FileLock::Result::Taken);
  EXPECT_EQ(lock.holder().pid, QCoreApplication::applicationPid());
}

#endif

}  // namespace
}  // namespace pelmar
