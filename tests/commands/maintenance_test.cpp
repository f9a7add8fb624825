#include "commands/maintenance.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

class MaintenanceTest : public test::PortfolioFixture {
 protected:
  MaintenanceTest() {
    start(QDate(2024, 1, 2));
    addFund("AAA", 5000, 100, 50);
    select(0);
  }
};

TEST_F(MaintenanceTest, FlagButtonsChangeOneBitAndMarkTheChange) {
  for (MaintenanceFlag flag : kMaintenanceFlags) {
    SCOPED_TRACE(FlagCaption(flag).toStdString());
    portfolio().markUnchanged();
    EXPECT_FALSE(FlagState(session, flag));
    ASSERT_TRUE(SetMaintenanceFlag(session, flag, true));
    EXPECT_TRUE(FlagState(session, flag));
    EXPECT_TRUE(portfolio().bPortChanged());
    portfolio().markUnchanged();
    ASSERT_TRUE(SetMaintenanceFlag(session, flag, true));
    EXPECT_FALSE(portfolio().bPortChanged());
  }
  EXPECT_EQ(fund(0).Flag1,
            KoersFlag::Splits | KoersFlag::Cumulatief | KoersFlag::BuySell | KoersFlag::RefWaarde);
  EXPECT_EQ(portfolio().ident().Flag1, IdentFlag::JaarAfsl);
  ASSERT_TRUE(SetMaintenanceFlag(session, MaintenanceFlag::Cumulatief, false));
  EXPECT_EQ(fund(0).Flag1, KoersFlag::Splits | KoersFlag::BuySell | KoersFlag::RefWaarde);
  EXPECT_EQ(MaintenanceFlagNamed("jaarafsl."), MaintenanceFlag::JaarAfsl);
  EXPECT_EQ(MaintenanceFlagNamed("Fake"), std::nullopt);
}

TEST_F(MaintenanceTest, TheLogSwitchStartsAndStopsTheTraceAtOnce) {
  SetMaintenanceSwitch(session, MaintenanceSwitch::LogFile, true, dir.path());
  EXPECT_TRUE(session.settings().logFile);
  EXPECT_TRUE(session.trace().enabled());
  session.trace().Log("a line");
  EXPECT_TRUE(QFileInfo::exists(session.trace().fileName()));
  SetMaintenanceSwitch(session, MaintenanceSwitch::LogFile, false);
  EXPECT_FALSE(session.trace().enabled());
  SetMaintenanceSwitch(session, MaintenanceSwitch::EditOldDates, true);
  EXPECT_TRUE(SwitchState(session.settings(), MaintenanceSwitch::EditOldDates));
}

TEST_F(MaintenanceTest, MemoryFiguresComeFromMemInfoAndAreShownGrouped) {
  const QByteArray meminfo =
      "MemTotal:        8000000 kB\nMemFree:          100000 kB\n"
      "MemAvailable:    2000000 kB\nSwapTotal:       1000000 kB\nSwapFree:         500000 kB\n";
  const std::optional<MemoryStatus> status = MemoryStatusFromMemInfo(meminfo);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->totalPhysical, 8192000000u);
  EXPECT_EQ(status->loadPercent, 75);
  EXPECT_EQ(status->totalVirtual, 9216000000u);
  EXPECT_EQ(status->freeVirtual, 2560000000u);
  const QStringList memo = ServiceMemo(session, status);
  EXPECT_EQ(memo.mid(0, 7),
            (QStringList{"Memory use:", "", "  IdentRecord       = 91 Bytes",
                         "  AlgemeenRecord    = 76 Bytes", "  RekeningRecord    = 103 Bytes",
                         "  KoersRecord       = 221 Bytes", ""}));
  EXPECT_EQ(memo[7], "  Physical memory   = 8,192,000,000B");
  EXPECT_EQ(memo[8], "  Physical memory used = 75 %");

  for (const QByteArray& bad : {QByteArray(), QByteArray("MemTotal: 10 kB\n"),
                                QByteArray("MemTotal: x kB\nMemAvailable: 5 kB\n"),
                                QByteArray("MemTotal: 10 kB\nMemAvailable: 50 kB\n")})
    EXPECT_FALSE(MemoryStatusFromMemInfo(bad).has_value()) << bad.toStdString();
  EXPECT_EQ(ServiceMemo(session, std::nullopt).last(), "  (memory status not available)");
}

}  // namespace
}  // namespace pelmar
