#include "ui/main/service_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "commands/portfolio_io.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/main/check_form.h"
#include "ui/main/debug_view.h"

namespace pelmar {
namespace {

class ServiceFormTest : public test::PortfolioFixture {
 protected:
  ServiceFormTest() {
    session.setSettingsStore(&store);
    start(QDate(2024, 1, 2));
    addFund("ALPHA", 2000, 10, 100);
    select(0);
    portfolio().markUnchanged();
  }
  MemorySettingsStore store;
  TServiceForm form{session};
};

TEST_F(ServiceFormTest, FlagButtonsSwitchesMemoAndTheCheckWindow) {
  int changes = 0;
  QObject::connect(&form, &TServiceForm::changed, [&] { ++changes; });
  form.showService();
  EXPECT_EQ(form.windowTitle(), "Pelmar - Service");
  EXPECT_EQ(form.stateLabel(MaintenanceFlag::RefWaarde)->text(), "False");
  form.setButton(MaintenanceFlag::RefWaarde)->click();
  EXPECT_EQ(form.stateLabel(MaintenanceFlag::RefWaarde)->text(), "True");
  EXPECT_TRUE(fund(0).Flag1 & KoersFlag::RefWaarde);
  form.clearButton(MaintenanceFlag::RefWaarde)->click();
  EXPECT_FALSE(fund(0).Flag1 & KoersFlag::RefWaarde);
  EXPECT_EQ(changes, 2);

  form.checkBox(MaintenanceSwitch::EditOldDates)->setChecked(true);
  EXPECT_TRUE(session.settings().editOldDates);
  EXPECT_TRUE(form.memo()->toPlainText().startsWith("Memory use:"));
#ifdef Q_OS_LINUX
  EXPECT_TRUE(form.memo()->toPlainText().contains("Physical memory   = "));
#endif

  form.checkButton()->click();
  EXPECT_TRUE(form.checkForm()->isVisible());
  EXPECT_TRUE(form.checkForm()->memo()->toPlainText().startsWith("IdentRec:"));
  form.checkForm()->move(40, 50);
  form.checkForm()->okButton()->click();
  EXPECT_EQ(session.settings().checkLeft, 40);

  form.close();
  EXPECT_EQ(store.value("Service", "Edit Old Dates").toInt(), 1);
}

TEST_F(ServiceFormTest, TheDebugViewWaitsForNextAndEndsDebugging) {
  const QString file = path("Port/Debug.xml");
  next(QDate(2024, 2, 1));
  test::ScriptedPrompter prompter;
  ASSERT_TRUE(SavePortfolio(session, prompter, file, WriteLimitAll(portfolio()), false));
  session.settings().debug = true;
  TDebugView view(session);
  int shown = 0;
  ReadProgress progress;
  progress.debugRecord = [&](const QStringList& lines) {
    ++shown;
    // The first record is answered with Next, the second with End.
    QTimer::singleShot(0, &view, [&view, n = shown] {
      (n == 1 ? view.nextButton() : view.stopButton())->click();
    });
    return view.showRecord(lines);
  };
  ASSERT_TRUE(ReadXMLFile(session, prompter, file, progress));
  EXPECT_EQ(shown, 2);
  EXPECT_FALSE(session.settings().debug);
  EXPECT_EQ(view.windowTitle(), "RWPelmar");
}

}  // namespace
}  // namespace pelmar
