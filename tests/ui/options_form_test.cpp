#include "ui/prices/options_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimeZone>
#include <memory>

#include "net/local_server.h"
#include "prices/settings_store.h"
#include "support/full_disk.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/main/fund_panel.h"
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"
#include "ui/main/real_time_box.h"
#include "ui/main/rek_form.h"
#include "ui/prices/download_form.h"

namespace pelmar {
namespace {

// A prompter whose folder-browse window picks a set folder.
class BrowsingPrompter : public test::ScriptedPrompter {
 public:
  std::optional<QString> chooseFolder(const QString&, const QString&,
                                      const QString& mask) override {
    lastMask = mask;
    return chosen;
  }
  std::optional<QString> chosen;
  QString lastMask;
};

class OptionsFormTest : public test::PortfolioFixture {
 protected:
  OptionsFormTest() { session.setSettingsStore(&store); }
  // The Dutch row set to the chart source at `server`, with ASML's symbol
  // proposed from the list.
  const TOptionsForm::SourceRow& chartSourceAt(const test::LocalServer& server) {
    session.clock().fix(QDateTime(QDate(2024, 1, 8), QTime(13, 0), QTimeZone::utc()));
    test::writeFile(path("Prices/Stocks_nl.txt"), "ASML Holding,ASML,\r\n");
    test::writeFile(path("Prices/Sources_nl.txt"), "ASML,,ASML.AS\r\n");
    form.VarToScreen();
    const TOptionsForm::SourceRow& dutch = form.sourceRows.front();
    EXPECT_EQ(dutch.combo->currentText(), "None (download nothing)");
    EXPECT_EQ(dutch.symbol->text(), "ASML.AS");
    dutch.combo->setCurrentIndex(dutch.combo->findText("Chart JSON (Yahoo Finance format)"));
    for (const TOptionsForm::ServiceRow& row : form.serviceRows)
      if (row.label->text() == "Chart JSON (Yahoo Finance format)")
        row.edit->setText(server.url("/"));
    return dutch;
  }
  // Clicks a Test button and waits for its answer to be shown.
  bool runTest(const TOptionsForm::SourceRow& row) {
    QSignalSpy tested(&form, &TOptionsForm::sourceTested);
    row.test->click();
    return tested.wait(5 * 60 * 1000);
  }
  static QByteArray chartReply() {
    QFile reply(QStringLiteral(PELMAR_SOURCE_DIR "/tests/data/sources/chart_good.json"));
    return reply.open(QIODevice::ReadOnly) ? reply.readAll() : QByteArray();
  }
  MemorySettingsStore store;
  BrowsingPrompter prompter;
  TOptionsForm form{session, prompter};
};

TEST_F(OptionsFormTest, FromLastDateStoresZeroDaysAndOnlyOneLiveQuoteIsOn) {
  EXPECT_EQ(form.EditDagen->text(), "100");
  EXPECT_TRUE(form.CheckMeer->isChecked());
  EXPECT_TRUE(form.RadioSY->isChecked());
  EXPECT_FALSE(form.GroupCurrency->isEnabled());  // no portfolio open

  form.CheckLaatste->click();
  EXPECT_FALSE(form.CheckMeer->isChecked());
  EXPECT_FALSE(form.EditDagen->isEnabled());
  form.CheckDollar->click();
  form.CheckAEX->click();
  EXPECT_FALSE(form.CheckDollar->isChecked());
  form.BtnOK->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(store.value("Download", "Dagen").toInt(), 0);
  EXPECT_TRUE(form.effects().quotes.aex);

  // After a restart the days field shows 0.
  Session restarted(dir.path() + "/");
  restarted.loadSettings(store);
  TOptionsForm again(restarted, prompter);
  EXPECT_EQ(again.EditDagen->text(), "0");
  EXPECT_TRUE(again.CheckLaatste->isChecked());
  EXPECT_TRUE(again.CheckAEX->isChecked());
}

TEST_F(OptionsFormTest, CancelAfterEditsChangesNothing) {
  const Settings before = session.settings();
  form.TitleEdit->setText("Edited");
  form.RadioNL->setChecked(true);
  form.RadioDMJ->setChecked(true);
  form.DownloadPadEdit->setText(path("Elsewhere"));
  form.CheckLaatste->click();
  form.serviceRows.front().edit->setText("junk");
  form.BtnCancel->click();
  EXPECT_EQ(session.settings().reportTitle, before.reportTitle);
  EXPECT_EQ(session.settings().language, before.language);
  EXPECT_EQ(session.settings().pricePath, before.pricePath);
  EXPECT_FALSE(session.language().isDutch());
  EXPECT_FALSE(store.value("Defaults", "Title").isValid());
  EXPECT_FALSE(QDir(path("Elsewhere")).exists());
  // The window shows the settings in use again.
  EXPECT_EQ(form.TitleEdit->text(), "");
  EXPECT_TRUE(form.RadioSY->isChecked());
  EXPECT_TRUE(form.CheckMeer->isChecked());
}

// Settings the store cannot keep (a full disk): OK says so, yet closes the
// window with the edits in effect, not lost to a window kept open.
TEST_F(OptionsFormTest, OkOnAStoreThatCannotKeepTheSettingsSaysSoAndAppliesThem) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  QSettingsStore full(disk.path("Pelmar.conf"));
  session.setSettingsStore(&full);
  ASSERT_TRUE(disk.fill());
  bool applied = false;
  QObject::connect(&form, &TOptionsForm::applied, [&] { applied = true; });
  form.TitleEdit->setText("Family");
  prompter.expectMessage("The settings could not be saved. The disk is full.");
  form.BtnOK->click();
  prompter.verify();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_TRUE(applied);
  EXPECT_EQ(session.settings().reportTitle, "Family");
  session.setSettingsStore(&store);  // `full` goes before the session
}

TEST_F(OptionsFormTest, AFormatStoredInCapitalsShowsItsRadioAndOkKeepsTheLists) {
  const QByteArray list = "Aegon,agn,13-03-2009\r\n";
  test::writeFile(session.settings().pricePath + "Stocks_nl.txt", list);
  session.settings().dateFormat = QStringLiteral("DD-MM-YYYY");
  TOptionsForm shown(session, prompter);
  EXPECT_TRUE(shown.RadioDMJ->isChecked());
  shown.BtnOK->click();
  EXPECT_FALSE(shown.effects().dateFormat);
  EXPECT_EQ(test::readFile(session.settings().pricePath + "Stocks_nl.txt"), list);
  EXPECT_EQ(store.value("Options", "Datum").toString(), "dd-MM-yyyy");
}

TEST_F(OptionsFormTest, ButtonsFillTheFieldsAndARefusedFolderShowsTheOldOne) {
  form.PathEdit->setText("x");
  form.BtnDefaultPorts->click();
  EXPECT_EQ(form.PathEdit->text(), QDir::toNativeSeparators(path("Port/")));
  form.ButtonDefaultPrices->click();
  EXPECT_EQ(form.DownloadPadEdit->text(), QDir::toNativeSeparators(path("Prices/")));
  prompter.chosen = path("Chosen");
  form.BtnBrowseKoersen->click();
  EXPECT_EQ(prompter.lastMask, "*.csv");
  EXPECT_EQ(form.DownloadPadEdit->text(), QDir::toNativeSeparators(path("Chosen/")));
  form.serviceRows.front().edit->setText("junk");
  form.serviceRows.front().defaultButton->click();
  EXPECT_EQ(form.serviceRows.front().edit->text(), Settings().dutchPriceService);

  // A price folder under a file cannot be made: refused, the old one shown.
  test::writeFile(path("plain-file"), "x");
  form.DownloadPadEdit->setText(path("plain-file/Prices"));
  prompter.expectMessage("cannot be made or written");
  form.BtnOK->click();
  EXPECT_NE(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.DownloadPadEdit->text(), QDir::toNativeSeparators(session.settings().pricePath));

  prompter.expectMessage("updates come with the installed package");
  form.BtnCheck->click();
}

TEST_F(OptionsFormTest, ASourceIsChosenByNameAndTestedBeforeItIsKept) {
  test::LocalServer server({{"/v8/finance/chart/ASML.AS", test::Route::page(chartReply())}});
  NetworkHttpGet http(test::quickLimits());
  form.setHttp(&http);
  const TOptionsForm::SourceRow& dutch = chartSourceAt(server);
  ASSERT_TRUE(runTest(dutch));
  EXPECT_EQ(form.LabelTestResult->text(), "ASML.AS: 3 closes, the latest 627.7 EUR of 2024-01-05");

  form.ComboRateSource->setCurrentIndex(1);
  form.BtnOK->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(store.value("Download", "DutchSource").toString(), "chart");
  EXPECT_EQ(store.value("Download", "USSource").toString(), "none");
  EXPECT_EQ(store.value("Download", "RateSource").toString(), "ecb");
}

// Against a silent source the click returns at once and the test buttons
// wait; Escape ends the fetch without waiting for the client's time-out and
// its answer is never shown; the next test answers.
TEST_F(OptionsFormTest, ATestOfASilentSourceEndsWithTheWindow) {
  test::LocalServer server({{"/v8/finance/chart/SLOW", test::Route::silent()},
                            {"/v8/finance/chart/ASML.AS", test::Route::page(chartReply())}});
  HttpLimits patient = test::quickLimits();
  patient.timeoutMs = 30 * 60 * 1000;  // only an abort ends this wait
  NetworkHttpGet http(patient);
  form.setHttp(&http);
  const TOptionsForm::SourceRow& dutch = chartSourceAt(server);
  form.show();
  QSignalSpy tested(&form, &TOptionsForm::sourceTested);
  dutch.symbol->setText("SLOW");
  dutch.test->click();
  EXPECT_TRUE(form.testing());
  EXPECT_FALSE(dutch.test->isEnabled());
  EXPECT_FALSE(form.sourceRows.back().test->isEnabled());
  EXPECT_EQ(form.LabelTestResult->text(), "Fetching: SLOW");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requests().isEmpty(); }, 5 * 60 * 1000));
  QTest::keyClick(&form, Qt::Key_Escape);
  // The ended fetch's answer, queued already, is delivered and dropped.
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(tested.count(), 0);
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_FALSE(form.testing());
  EXPECT_TRUE(dutch.test->isEnabled());
  EXPECT_TRUE(form.LabelTestResult->text().isEmpty());

  dutch.symbol->setText("ASML.AS");
  ASSERT_TRUE(runTest(dutch));
  EXPECT_EQ(tested.count(), 1);
  EXPECT_EQ(form.LabelTestResult->text(), "ASML.AS: 3 closes, the latest 627.7 EUR of 2024-01-05");
}

// The settings window inside the program: its OK reaches every window.
class OptionsInMainWindowTest : public test::PortfolioFixture {
 protected:
  OptionsInMainWindowTest() {
    test::writeManuals(path("program"));
    window = std::make_unique<TMainForm>(session, prompter, path("program"));
  }
  test::ScriptedPrompter prompter;
  std::unique_ptr<TMainForm> window;
};

TEST_F(OptionsInMainWindowTest, SwitchingTheLanguageChangesEveryOpenWindowAtOnce) {
  window->show();
  window->accounts()->show();
  window->downloadForm()->show();
  TOptionsForm& form = *window->optionsForm();
  const QString menu = window->actions().bestand->menuAction()->text();
  const QString accounts = window->accounts()->windowTitle();
  EXPECT_EQ(window->downloadForm()->closeButton()->text(), "Close");

  form.VarToScreen();
  form.RadioNL->setChecked(true);
  prompter.expectMessage("De taal is gewijzigd");
  form.BtnOKClick();
  EXPECT_NE(window->actions().bestand->menuAction()->text(), menu);
  EXPECT_NE(window->accounts()->windowTitle(), accounts);
  EXPECT_EQ(window->downloadForm()->closeButton()->text(), "Sluiten");
  EXPECT_EQ(form.windowTitle(), "Pelmar - Instellingen");
  EXPECT_EQ(form.BtnCancel->text(), "Annuleren");
}

TEST_F(OptionsInMainWindowTest, FromDollarToIndexQuoteHidesTheDollarButton) {
  TOptionsForm& form = *window->optionsForm();
  form.VarToScreen();
  form.CheckDollar->click();
  form.BtnOKClick();
  const MainActions& a = window->actions();
  EXPECT_TRUE(a.buttonDollar->isVisible());
  EXPECT_TRUE(a.downloadDollarOn->isChecked());
  window->fundPanel().realTime->tijdLabel->setText("2023-03-01 10:00 (UTC)");
  ASSERT_FALSE(window->fundPanel().realTime->tijdLabel->text().isEmpty());

  form.VarToScreen();
  form.CheckAEX->click();
  EXPECT_FALSE(form.CheckDollar->isChecked());
  form.BtnOKClick();
  EXPECT_FALSE(a.downloadDollarOn->isChecked());
  EXPECT_TRUE(a.downloadAexOn->isChecked());
  EXPECT_FALSE(a.buttonDollar->isVisible());
  EXPECT_TRUE(form.effects().quotes.clearDollar);
  EXPECT_FALSE(form.effects().quotes.dollar);
  EXPECT_TRUE(window->fundPanel().realTime->tijdLabel->text().isEmpty());
}

}  // namespace
}  // namespace pelmar
