#include "commands/session.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

TEST(Session, LoadingSettingsTakesTheStoredLanguage) {
  Session session(QStringLiteral("/data/"), QLocale(QLocale::English, QLocale::UnitedStates));
  MemorySettingsStore store;
  store.setValue("Options", "Taal", "Nederlands");
  session.loadSettings(store);
  EXPECT_EQ(session.language().codeText(), "NLD");
  EXPECT_EQ(session.text(TextId::NothingRead), "Niets gelezen");

  session.settings().language = QStringLiteral("Engels");
  ASSERT_TRUE(session.saveSettings(store));
  session.loadSettings(store);
  EXPECT_EQ(session.language().codeText(), "ENU");
}

TEST(Session, PriceFolderAndTraceFollowTheSettings) {
  QTemporaryDir dir;
  Session session(dir.path() + "/");

  MemorySettingsStore store;
  store.setValue("Download", "Pad voor Koersen", dir.path() + "/Koersen/");
  store.setValue("Service", "LogFile", 1);
  session.loadSettings(store);
  EXPECT_EQ(session.prices().folder(), dir.path() + "/Koersen/");

  session.clock().fix(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
  session.startTrace(dir.path());
  session.trace().Log("start");
  EXPECT_EQ(test::readFile(dir.path() + "/Pelmar.log").trimmed(), "2024-05-06 07:08:09 - start");
}

}  // namespace
}  // namespace pelmar
