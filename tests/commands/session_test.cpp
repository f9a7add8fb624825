#include "commands/session.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

TEST(Session, TheTraceFollowsTheSettings) {
  QTemporaryDir dir;
  Session session(dir.path() + "/");
  MemorySettingsStore store;
  store.setValue("Service", "LogFile", 1);
  session.loadSettings(store);

  session.clock().fix(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
  session.startTrace(dir.path());
  session.trace().Log("start");
  EXPECT_EQ(test::readFile(dir.path() + "/Pelmar.log").trimmed(), "2024-05-06 07:08:09 - start");
}

}  // namespace
}  // namespace pelmar
