// The settings file is written by the safe write path: a full disk, a link
// to a device and a link to a regular file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "prices/settings_store.h"
#include "support/full_disk.h"
#include "support/portfolio_fixture.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace pelmar {
namespace {

TEST(SettingsWrite, ValuesAreKeptUntilSyncAndMergedWithTheFileAsItIsThen) {
  QTemporaryDir dir;
  const QString conf = dir.filePath("Pelmar.conf");
  QSettingsStore store(conf);
  store.setValue("Options", "Left", 12);
  EXPECT_EQ(store.value("options", "left").toInt(), 12) << "a value set reads back before sync";
  EXPECT_FALSE(QFileInfo::exists(conf)) << "nothing written before sync";

  // Another program writes the file meanwhile: its value stays.
  test::writeFile(conf, "[Download]\nDagen=42\n");
  ASSERT_TRUE(store.sync());
  QSettingsStore reread(conf);
  EXPECT_EQ(reread.value("Download", "Dagen").toInt(), 42);
  EXPECT_EQ(reread.value("Options", "Left").toInt(), 12);
  EXPECT_EQ(store.value("Options", "Left").toInt(), 12);
}

TEST(SettingsWrite, OnAFullDiskTheSettingsFileStaysAsItWasAndTheReasonIsKnown) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  const QString conf = disk.path("Pelmar.conf");
  test::writeFile(conf, "[Options]\nLeft=1\n");
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();
  {
    QSettingsStore store(conf);
    store.setValue("Options", "Left", 250);
    store.setValue("Options", "Top", 300);
    EXPECT_FALSE(store.sync());
    ASSERT_TRUE(store.syncFailure());
    EXPECT_EQ(store.syncFailure()->id, TextId::WriteDiskFull);
  }  // the store's own last try on destruction fails alike
  EXPECT_EQ(disk.files(), before);
}

#ifdef Q_OS_UNIX

TEST(SettingsWrite, ALinkToARegularFileIsWrittenThroughAndStaysALink) {
  QTemporaryDir dir;
  QDir().mkpath(dir.filePath("dotfiles"));
  test::writeFile(dir.filePath("dotfiles/Pelmar.conf"), "[Options]\nLeft=1\n");
  ASSERT_TRUE(QFile::link(dir.filePath("dotfiles/Pelmar.conf"), dir.filePath("Pelmar.conf")));
  QSettingsStore store(dir.filePath("Pelmar.conf"));
  store.setValue("Options", "Left", 7);
  ASSERT_TRUE(store.sync());
  EXPECT_TRUE(QFileInfo(dir.filePath("Pelmar.conf")).isSymLink());
  EXPECT_TRUE(test::readFile(dir.filePath("dotfiles/Pelmar.conf")).contains("Left=7"));
}

// Once a settings save through a link to a character device replaced the
// device node with a regular file.
TEST(SettingsWrite, ALinkToADeviceIsRefusedAndTheDeviceStays) {
  QTemporaryDir dir;
  const QByteArray node = QFile::encodeName(dir.filePath("null-device"));
  if (::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
    GTEST_SKIP() << "no device node can be made here (needs root)";
  ASSERT_TRUE(QFile::link(dir.filePath("null-device"), dir.filePath("Pelmar.conf")));
  QSettingsStore store(dir.filePath("Pelmar.conf"));
  store.setValue("Options", "Left", 7);
  EXPECT_FALSE(store.sync());
  ASSERT_TRUE(store.syncFailure());
  EXPECT_EQ(store.syncFailure()->id, TextId::WriteLinkToDevice);
  EXPECT_EQ(Reason{TextId::SettingsNotSaved}.because(*store.syncFailure()).text(Language()),
            "The settings could not be saved. " +
                QDir::toNativeSeparators(dir.filePath("Pelmar.conf")) +
                " is a link to the device " +
                QDir::toNativeSeparators(dir.filePath("null-device")) + ".");
  struct stat st {};
  ASSERT_EQ(::stat(node.constData(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_TRUE(QFileInfo(dir.filePath("Pelmar.conf")).isSymLink());
}

TEST(SettingsWrite, ALinkToAFolderIsRefused) {
  QTemporaryDir dir;
  QDir().mkpath(dir.filePath("folder"));
  ASSERT_TRUE(QFile::link(dir.filePath("folder"), dir.filePath("Pelmar.conf")));
  QSettingsStore store(dir.filePath("Pelmar.conf"));
  store.setValue("Options", "Left", 7);
  EXPECT_FALSE(store.sync());
  EXPECT_EQ(store.syncFailure()->id, TextId::WriteLinkToFolder);
  EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
}

#endif

}  // namespace
}  // namespace pelmar
