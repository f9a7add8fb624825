#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "cli/cli_run.h"
#include "prices/settings_store.h"
#include "support/full_disk.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

using test::runCliWith;

TEST(CliSettings, SetGetAndListTheStoredSettings) {
  test::CliRun run = runCliWith({"settings", "set", "download/dagen", "30"});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "Download/Dagen = 30\n");
  // Stored: a new run reads it back.
  EXPECT_EQ(runCliWith({"settings", "get", "Download/Dagen"}).out, "30\n");
  run = runCliWith({"settings", "set", "Download/Laatste datum", "yes"});
  ASSERT_EQ(run.code, 0);
  EXPECT_EQ(runCliWith({"settings", "get", "Download/Dagen"}).out, "0\n");
  (void)runCliWith({"settings", "set", "Download/Laatste datum", "0"});

  QTemporaryDir dir;
  run = runCliWith({"settings", "set", "Download/Pad voor Koersen", dir.filePath("Prices")});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "Download/Pad voor Koersen = " + dir.filePath("Prices") + "/\n");
  EXPECT_TRUE(QDir(dir.filePath("Prices")).exists());

  run = runCliWith({"settings", "list"});
  EXPECT_EQ(run.code, 0);
  EXPECT_TRUE(run.out.contains("\nOptions/Taal = SysteemTaal\n"));
  EXPECT_TRUE(run.out.contains("\nDownload/Laatste datum = 0\n"));
}

TEST(CliSettings, RefusedChangesEndWithCode6AndChangeNothing) {
  ASSERT_EQ(runCliWith({"settings", "set", "Grafiek/Dagen", "200"}).code, 0);
  struct Case {
    QStringList args;
    const char* says;
  };
  QTemporaryDir dir;
  test::writeFile(dir.filePath("file"), "x");
  const std::vector<Case> cases = {
      {{"set", "Grafiek/Dagen", "many"}, "not a valid value for Grafiek/Dagen"},
      {{"set", "Grafiek/Nothing", "1"}, "no setting"},
      {{"get", "Grafiek/Nothing"}, "no setting"},
      {{"set", "Options/Datum", "yy.MM.dd"}, "choose from"},
      {{"set", "Download/USPriceService", "not an address"}, "not a web address"},
      {{"set", "Defaults/Path", dir.filePath("file/Port")}, "cannot be made or written"},
  };
  for (const Case& c : cases) {
    const test::CliRun run = runCliWith(QStringList{"settings"} + c.args);
    EXPECT_EQ(run.code, 6) << c.args.join(' ').toStdString();
    EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
  }
  EXPECT_EQ(runCliWith({"settings", "get", "grafiek/dagen"}).out, "200\n");
  EXPECT_EQ(runCliWith({"settings", "list", "extra"}).code, 2);
  EXPECT_EQ(runCliWith({"settings", "remove", "x"}).code, 2);
}

// A change the settings file cannot take (a full disk) is no success.
TEST(CliSettings, AChangeTheFileCannotTakeEndsWithCode4AndTheReason) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  const QByteArray home = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(disk.root()));
  test::writeFile(disk.path("Pelmar/Pelmar.conf"), "[Grafiek]\nDagen=200\n");
  ASSERT_TRUE(disk.fill());
  const test::CliRun run = runCliWith({"settings", "set", "Grafiek/Dagen", "250", "--lang", "en"});
  qputenv("XDG_CONFIG_HOME", home);
  EXPECT_EQ(run.code, 4);
  EXPECT_TRUE(run.err.contains("The settings could not be saved. The disk is full."))
      << run.err.toStdString();
}

// A stored value that cannot be used is named once and no longer blocks a
// later change.
TEST(CliSettings, AnUnusableStoredValueIsNamedOnceAndBlocksNothing) {
  {
    QSettingsStore store;
    store.setValue("Options", "Taal", "Klingon");
    store.setValue("Download", "Breedte", "1000000000");
    ASSERT_TRUE(store.sync());
  }
  test::CliRun run = runCliWith({"settings", "set", "Grafiek/Dagen", "250"});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_TRUE(
      run.err.contains("These settings could not be used and are back at their defaults: "
                       "Options/Taal, Download/Breedte"))
      << run.err.toStdString();
  run = runCliWith({"settings", "get", "Options/Taal"});
  EXPECT_EQ(run.out, "SysteemTaal\n");
  EXPECT_FALSE(run.err.contains("could not be used")) << "said once";
  EXPECT_EQ(runCliWith({"settings", "get", "Download/Breedte"}).out, "266\n");
}

}  // namespace
}  // namespace pelmar
