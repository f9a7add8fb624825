#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <memory>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/charts/grafiek_form.h"
#include "ui/main/rek_form.h"
#include "ui/reports/report_window.h"

namespace pelmar {
namespace {

class WindowsFitTest : public test::PortfolioFixture {
 protected:
  WindowsFitTest() {
    start(QDate(2023, 1, 2));
    addFund("ALPHA", 2000, 10, 100);
    calc();
    available = QGuiApplication::primaryScreen()->availableGeometry();
  }
  ::testing::AssertionResult inside(const QWidget& window) const {
    const QRect frame = window.frameGeometry();
    if (available.contains(frame)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << window.objectName().toStdString() << " at " << frame.x() << "," << frame.y() << " "
           << frame.width() << "x" << frame.height() << " leaves " << available.width() << "x"
           << available.height();
  }
  test::ScriptedPrompter prompter;
  QRect available;
};

// Stored places and default sizes that reach past the screen's bottom (the
// chart window's 900×600 at y 315, the actions overview's 700×875) open
// inside it, as large as they fit.
TEST_F(WindowsFitTest, EveryWindowOpensInsideTheAvailableArea) {
  Settings& s = session.settings();
  s.chartLeft = 100;
  s.chartTop = 315;
  s.chartWidth = 900;
  s.chartHeight = 600;
  TGrafiekForm chart(session, prompter);
  EXPECT_TRUE(inside(chart));
  // As large as it fits, its frame's few pixels aside.
  EXPECT_GE(chart.width(), std::min(900, available.width() - 10));

  ReportWindow actions(session, prompter, ReportKind::Actions);
  EXPECT_TRUE(inside(actions));
  ReportWindow overview(session, prompter, ReportKind::Portfolio);
  EXPECT_TRUE(inside(overview));

  s.accountsLeft = available.right() - 50;
  s.accountsTop = available.bottom() - 50;
  QWidget owner;
  owner.show();
  TRekForm accounts(session, prompter, &owner);
  accounts.SpeedRekClick();
  EXPECT_TRUE(inside(accounts));
}

}  // namespace
}  // namespace pelmar
