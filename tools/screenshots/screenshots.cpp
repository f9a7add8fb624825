// Pictures of the dialogs for docs/, in both languages: a tool run by
// `make screenshots`, not a test. It builds the windows on the test
// fixtures (a portfolio in a temporary folder, offscreen) and saves each
// as NAME-LANG.png into the folder named by PELMAR_SCREENSHOTS.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "prices/settings_store.h"
#include "support/one_reply.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/main/check_form.h"
#include "ui/main/main_window.h"
#include "ui/main/rek_form.h"
#include "ui/main/service_form.h"
#include "ui/platform/qt_prompter.h"
#include "ui/prices/currency_dialogs.h"
#include "ui/prices/fondsen_form.h"
#include "ui/prices/new_fund_forms.h"
#include "ui/prices/options_form.h"

namespace pelmar {
namespace {

constexpr Language::Code kLanguages[] = {Language::Code::Dutch, Language::Code::English};

QString languageOf(Language::Code code) {
  return code == Language::Code::Dutch ? QStringLiteral("nl") : QStringLiteral("en");
}

// Saves the window as it is as NAME.png in the pictures' folder.
void saveAsItIs(QWidget& window, const QString& name) {
  const QString file =
      QDir(qEnvironmentVariable("PELMAR_SCREENSHOTS")).filePath(name + QStringLiteral(".png"));
  QDir().mkpath(QFileInfo(file).absolutePath());
  EXPECT_TRUE(window.grab().save(file)) << file.toStdString();
}

// Saves the window at its natural size as NAME-LANG.png.
void save(QWidget& window, const QString& name, Language::Code code) {
  window.adjustSize();
  saveAsItIs(window, name + u'-' + languageOf(code));
}

class Screenshots : public test::PortfolioFixture {
 protected:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("PELMAR_SCREENSHOTS"))
      GTEST_SKIP() << "PELMAR_SCREENSHOTS names no folder";
    session.setSettingsStore(&store);
  }
  MemorySettingsStore store;
  test::ScriptedPrompter prompter;
};

TEST_F(Screenshots, NewFundDialogs) {
  for (const Language::Code code : kLanguages) {
    session.setLanguage(code);
    TNieuwFondsForm listed(session);
    QTimer::singleShot(0, &listed, [&] {
      save(listed, "new-fund", code);
      listed.reject();
    });
    (void)listed.Execute(NewFundForm{});
    TNewFakeFundForm manual(session);
    QTimer::singleShot(0, &manual, [&] {
      save(manual, "new-manual-fund", code);
      manual.reject();
    });
    (void)manual.Execute();
  }
}

TEST_F(Screenshots, CurrencyDialogs) {
  session.clock().fix(QDate(2024, 3, 15));
  start(QDate(2024, 3, 1));
  addFund(QStringLiteral("AAA"), 1000, 10, 100);
  calc();
  next(QDate(2024, 3, 15));
  goToDataSet(1);
  select(0);
  test::writeFile(path(QStringLiteral("Prices/Stocks_nl.txt")),
                  "ASML Holding,asml,\r\nDollar/Euro,dol.eur,2024-03-14\r\n");
  test::writeFile(path(QStringLiteral("Prices/240315A.csv")),
                  "Dollar/Euro,dol.eur,24/03/15,1.25\r\n");
  session.settings().dollarIndexName = QStringLiteral("dol.eur");
  QtPrompter dialogs(session, nullptr);
  for (const Language::Code code : kLanguages) {
    session.setLanguage(code);
    TDollarDlg dollar(session, dialogs);
    QTimer::singleShot(0, &dollar, [&] {
      save(dollar, "currency-index", code);
      dollar.reject();
    });
    dollar.Execute();
    TDlgValutaFonds& fund = *dialogs.fundCurrencyDialog();
    QTimer::singleShot(0, &fund, [&] {
      fund.CustomValuta->click();
      QTimer::singleShot(0, fund.Picker, [&] {
        save(*fund.Picker, "stock-picker", code);
        fund.Picker->reject();
      });
      fund.Index->LijstBtn->click();
      save(fund, "fund-currency", code);
      fund.reject();
    });
    (void)KiesValutaClick(session, dialogs);
  }
}

// The settings window, one picture per page: settings/settings-PAGE-LANG.png.
TEST_F(Screenshots, SettingsPages) {
  TOptionsForm form(session, prompter);
  for (const Language::Code code : kLanguages) {
    session.setLanguage(code);
    form.SetCaptions();
    form.show();
    for (int page = 0; page < form.pages->count(); ++page) {
      form.pages->setCurrentIndex(page);
      save(form, QStringLiteral("settings/settings-%1").arg(page + 1), code);
    }
  }
}

// The US stock list exists in English only.
TEST_F(Screenshots, UsStockList) {
  test::writeFile(session.prices().folder() + "Stocks_us.txt",
                  "Apple,AAPL,2026-01-02\r\nMicrosoft,MSFT,2026-01-02\r\n");
  test::OneReply http(test::page(""));
  TFondsenForm form(session, prompter, Market::Us, &http, nullptr,
                    [](const QUrl&) { return true; });
  form.manage();
  form.TickerEdit->setText("IBM");
  saveAsItIs(form, QStringLiteral("stock-list-us-en"));
}

// The maintenance window (older datasets editable) and the check listing it
// opens.
TEST_F(Screenshots, MaintenanceWindows) {
  start(QDate(2024, 1, 2));
  addFund("ALPHA", 2000, 10, 100);
  select(0);
  portfolio().markUnchanged();
  TServiceForm form(session);
  form.showService();
  form.checkBox(MaintenanceSwitch::EditOldDates)->setChecked(true);
  form.checkButton()->click();
  saveAsItIs(form, QStringLiteral("maintenance-window"));
  saveAsItIs(*form.checkForm(), QStringLiteral("check-window"));
  form.checkForm()->close();
  form.close();
}

// The accounts window on an account with figures, with its Alt letters:
// accounts-window-LANG.png.
TEST_F(Screenshots, AccountsWindow) {
  session.clock().fix(QDate(2024, 3, 15));
  start(QDate(2024, 3, 1));
  addFund(QStringLiteral("ALPHA"), 15000, 100, 125.5);
  RekeningRec& first = account(1);
  first.RekNaam = QStringLiteral("Beleggen");
  first.RekNummer = QStringLiteral("NL-2093");
  first.CredRente = 1.5;
  first.DebRente = 7;
  calc();
  next(QDate(2024, 3, 15));
  select(0);
  portfolio().markUnchanged();
  TRekForm form(session, prompter);
  for (const Language::Code code : kLanguages) {
    session.setLanguage(code);
    form.SpeedRekClick();
    save(form, QStringLiteral("accounts-window"), code);
  }
}

// The main window at 1280 x 900, the grid and the tabs grown with it:
// main-window-1280-LANG.png.
TEST_F(Screenshots, LargeMainWindow) {
  session.clock().fix(QDate(2024, 3, 15));
  test::writeManuals(path(QStringLiteral("program")));
  start(QDate(2024, 3, 1));
  addFund(QStringLiteral("beta"), 500, 5, 100);
  addFund(QStringLiteral("ALPHA"), 12345, 10, 1234.5);
  calc();
  next(QDate(2024, 3, 15));
  select(0);
  TMainForm window(session, prompter, path(QStringLiteral("program")));
  (void)session.report(Report(Outcome::done(), Change::Portfolio));
  // The first paint sizes the window to its contents.
  window.show();
  QCoreApplication::processEvents();
  for (const Language::Code code : kLanguages) {
    session.setLanguage(code);
    window.HandleLanguage();
    window.ShowLatestPrices();
    window.resize(1280, 900);
    QCoreApplication::processEvents();
    saveAsItIs(window, QStringLiteral("main-window-1280-") + languageOf(code));
  }
  window.hide();
}

}  // namespace
}  // namespace pelmar
