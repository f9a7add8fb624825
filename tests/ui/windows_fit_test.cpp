#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/charts/grafiek_form.h"
#include "ui/dialogs/aantal_kopen_form.h"
#include "ui/dialogs/ask_dlg.h"
#include "ui/dialogs/calendar_dlg.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/kies_rek_dlg.h"
#include "ui/dialogs/save_form.h"
#include "ui/dialogs/yes_no_dlg.h"
#include "ui/main/check_form.h"
#include "ui/main/debug_view.h"
#include "ui/main/rek_form.h"
#include "ui/main/service_form.h"
#include "ui/prices/csv_import_dialog.h"
#include "ui/prices/currency_dialogs.h"
#include "ui/prices/download_form.h"
#include "ui/prices/fondsen_form.h"
#include "ui/prices/new_fund_forms.h"
#include "ui/prices/options_form.h"
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

// Escape closes every window and dialog as its Cancel (or Close) does,
// whichever of its controls has the focus.
TEST_F(WindowsFitTest, EscapeClosesEveryWindow) {
  using Opens = std::function<std::unique_ptr<QWidget>()>;
  const auto plain = [](auto make) -> Opens {
    return [make] {
      std::unique_ptr<QWidget> window = make();
      window->show();
      return window;
    };
  };
  Session& s = session;
  test::ScriptedPrompter& p = prompter;
  const auto report = [&](ReportKind kind) -> Opens {
    return [&, kind] {
      auto window = std::make_unique<ReportWindow>(s, p, kind);
      (void)window->openReport();
      return std::unique_ptr<QWidget>(std::move(window));
    };
  };
  const std::vector<std::pair<const char*, Opens>> windows{
      {"chart", plain([&] { return std::make_unique<TGrafiekForm>(s, p); })},
      {"portfolio report", report(ReportKind::Portfolio)},
      {"actions report", report(ReportKind::Actions)},
      {"accounts",
       [&] {
         auto accounts = std::make_unique<TRekForm>(s, p);
         accounts->SpeedRekClick();
         return std::unique_ptr<QWidget>(std::move(accounts));
       }},
      {"download", plain([&] { return std::make_unique<TDownloadForm>(s); })},
      {"settings", plain([&] { return std::make_unique<TOptionsForm>(s, p); })},
      {"stock list", plain([&] { return std::make_unique<TFondsenForm>(s, p, Market::Dutch); })},
      {"import", plain([&] { return std::make_unique<CsvImportDialog>(s); })},
      {"price", plain([&] { return std::make_unique<TKoersForm>(s.language()); })},
      {"fund currency", plain([&] { return std::make_unique<TDlgValutaFonds>(s.language()); })},
      {"dollar index", plain([&] { return std::make_unique<TDollarDlg>(s, p); })},
      {"new fund", plain([&] { return std::make_unique<TNieuwFondsForm>(s); })},
      {"new fake fund", plain([&] { return std::make_unique<TNewFakeFundForm>(s); })},
      {"help", plain([] { return std::make_unique<HelpWindow>(); })},
      {"save prompt", plain([&] { return std::make_unique<TSaveForm>(s); })},
      {"question", plain([&] { return std::make_unique<TYesNoDlg>(s); })},
      {"calendar", plain([&] { return std::make_unique<TCalendarDlg>(s); })},
      {"ask", plain([&] { return std::make_unique<TAskDlg>(s); })},
      {"buy amount", plain([&] { return std::make_unique<TAantalKopenForm>(s); })},
      {"account chooser", plain([&] { return std::make_unique<TKiesRekDlg>(s); })},
      {"maintenance", plain([&] { return std::make_unique<TServiceForm>(s); })},
      {"check listing", plain([&] { return std::make_unique<TCheckForm>(s); })},
      {"debug view", plain([&] { return std::make_unique<TDebugView>(s); })},
  };
  for (const auto& [name, open] : windows) {
    const std::unique_ptr<QWidget> window = open();
    ASSERT_TRUE(window->isVisible()) << name;
    // The key goes where a person's would: to the control with the focus,
    // else to the first that can take it.
    QWidget* target = window->focusWidget();
    for (QWidget* child : window->findChildren<QWidget*>()) {
      if (target) break;
      if (child->isVisible() && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus))
        target = child;
    }
    QTest::keyClick(target ? target : window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << name;
  }
}

}  // namespace
}  // namespace pelmar
