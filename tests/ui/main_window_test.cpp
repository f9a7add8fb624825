#include "ui/main/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <memory>

#include "commands/fund_grid.h"
#include "commands/portfolio_io.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/dialogs/help_window.h"
#include "ui/main/delta_image.h"
#include "ui/main/fund_grid_widget.h"
#include "ui/main/fund_list_box.h"
#include "ui/main/fund_panel.h"
#include "ui/main/main_actions.h"
#include "ui/main/panel_tabs.h"
#include "ui/main/real_time_box.h"
#include "ui/main/rek_form.h"
#include "ui/main/splash_form.h"
#include "ui/prices/options_form.h"

namespace pelmar {
namespace {

const QDate kStart(2023, 1, 2);
const QColor kGreen(0xE0, 0xFF, 0xE0);
const QColor kYellow(0xFF, 0xFF, 0xE0);

// A Dutch session on 1 March 2023 with two saved portfolios of two datasets
// each: "Test-1.xml" (the recorded one: ALPHA and beta) and "Other.xml"
// (GAMMA); one price file and a program folder with the manuals. Opening
// a portfolio appends the dataset of today, the third.
class MainWindowTest : public test::PortfolioFixture {
 protected:
  MainWindowTest() : PortfolioFixture(Language::Code::Dutch) {
    session.clock().fix(QDate(2023, 3, 1));
    for (const QString name : {"pelmar_nl.html", "pelmar_en.html"}) {
      test::writeFile(path("program/help/" + name),
                      test::readFile(QStringLiteral(PELMAR_SOURCE_DIR "/data/help/") + name));
    }
    test::writeFile(path("Prices/230102A.csv"), "Other,OTHER,23/01/02,10\r\n");
    save("Test-1.xml", [&] {
      addFund("beta", 500, 5, 100);
      addFund("ALPHA", 12345, 10, 1234.5);
    });
    save("Other.xml", [&] { addFund("GAMMA", 200, 4, 50); });
    window = std::make_unique<TMainForm>(session, prompter, path("program"));
  }

  // Saves a portfolio of two datasets a month apart with the funds that
  // `addFunds` adds, then leaves the session without a portfolio.
  template <typename AddFunds>
  void save(const QString& name, AddFunds addFunds) {
    start(kStart);
    addFunds();
    calc();
    next(kStart.addMonths(1));
    test::ScriptedPrompter quiet;
    ASSERT_TRUE(
        SavePortfolio(session, quiet, path("Port/" + name), WriteLimitAll(portfolio()), false));
    portfolio().clear();
  }

  // The window after its first paint opened the recorded portfolio.
  void open() {
    window->FormPaint();
    ASSERT_TRUE(portfolio().bPortOpened());
  }

  const MainActions& actions() const { return window->actions(); }
  const FundPanel& panel() const { return window->fundPanel(); }
  QString node() const { return actions().nodePanel->text(); }
  QString cell(int row) { return window->grid()->item(row, 1)->text().trimmed(); }
  static QColor colour(const QWidget* widget) { return widget->palette().color(QPalette::Window); }
  void selectFund(const QString& ticker) {
    window->fundList()->setCurrentRow(
        static_cast<int>(window->fundList()->tickers().indexOf(ticker)));
  }
  // Types a value into a row of the selected fund and commits it.
  void edit(int row, const QString& text) {
    FundGridWidget* grid = window->grid();
    grid->setCurrentCell(row, 1);
    grid->setCellText(row, text);
    grid->ReadGrid();
  }

  test::ScriptedPrompter prompter;
  std::unique_ptr<TMainForm> window;
};

TEST_F(MainWindowTest, BeforeOpeningOnlyTheFileCommandsWork) {
  EXPECT_EQ(window->windowTitle(), "Pelmar, versie 1.32a ");
  EXPECT_EQ(node(), "Niets gelezen");
  EXPECT_TRUE(actions().openFile->isEnabled());
  EXPECT_FALSE(actions().saveFile->isEnabled());
  EXPECT_FALSE(actions().vorigeDatum->isEnabled());
  EXPECT_FALSE(actions().acties->menuAction()->isEnabled());
  // The price download needs no portfolio: it fills the price files.
  EXPECT_TRUE(actions().download->isEnabled());
  // The window is never smaller than its contents.
  EXPECT_EQ(window->minimumSize(), window->size());
}

// A portfolio of an earlier year: the year question is asked with the
// splash window closed (it stays on top and would hide the question), and
// Enter answers No.
TEST_F(MainWindowTest, TheYearQuestionComesWithoutTheSplashAndNoAsDefault) {
  session.clock().fix(QDate(2024, 1, 15));
  prompter.whenAsked = [&] {
    ASSERT_NE(window->splash(), nullptr);
    EXPECT_FALSE(window->splash()->isVisible());
  };
  prompter.expectCheckedQuestion("Een nieuw jaar is begonnen", {Answer::No, false});
  open();
  EXPECT_FALSE(prompter.lastQuestion().yesIsDefault);
}

TEST_F(MainWindowTest, ShowsTheOpenedPortfolioAsAPersonSeesIt) {
  open();
  EXPECT_EQ(window->fundList()->tickers(), QStringList({"ALPHA", "beta", "[Nieuw]"}));
  EXPECT_EQ(window->fundList()->currentItem()->text(), "ALPHA") << "the first real fund";
  EXPECT_EQ(node(), "Dataset 3");
  EXPECT_TRUE(window->windowTitle().endsWith("Test-1.xml]"));
  EXPECT_EQ(colour(panel().fondsPanel), kGreen);
  EXPECT_FALSE(actions().saveFile->isEnabled());

  selectFund("ALPHA");
  EXPECT_EQ(cell(GridRow::Ticker), "ALPHA");
  EXPECT_EQ(cell(GridRow::Koers), "1.234,5000");
  EXPECT_TRUE(window->tabs()->Text1().contains("Waarde;12.345,00;;"));
  EXPECT_TRUE(
      window->tabs()->Text3().startsWith(";Huidig Fonds;;Portefeuille;\n ; ; ; ;\nTWR begin;"));

  // Switching the language redraws every text.
  session.setLanguage(Language::Code::English);
  window->HandleLanguage();
  EXPECT_EQ(actions().openFile->text(), "&Open File");
  EXPECT_EQ(window->grid()->item(GridRow::Koers, 0)->text().trimmed(), "Unit Price");
  EXPECT_EQ(cell(GridRow::Koers), "1,234.5000");
  EXPECT_TRUE(window->tabs()->Text1().contains("Value;12,345.00;;"));
  actions().divirOzev->trigger();
  EXPECT_EQ(panel().labelTurbo->text(), "DivirOzev = On");
  EXPECT_TRUE(actions().divirOzev->isChecked());
}

// The keys of a desktop program beside the program's own, an Alt letter for
// every menu and item in both languages (none twice in one menu; an item
// whose every letter is taken has none), and Qt's own texts in the
// program's language.
TEST_F(MainWindowTest, StandardKeysAndAltLettersInBothLanguages) {
  const auto has = [](const QAction* action, const char* key) {
    return action->shortcuts().contains(QKeySequence(QString::fromLatin1(key)));
  };
  EXPECT_TRUE(has(actions().newFile, "Ctrl+N"));
  EXPECT_TRUE(has(actions().openFile, "Ctrl+O"));
  EXPECT_TRUE(has(actions().saveFile, "Ctrl+S"));
  EXPECT_TRUE(has(actions().saveAs, "Ctrl+Shift+S"));
  EXPECT_TRUE(has(actions().einde, "F10"));
  EXPECT_TRUE(has(actions().einde, "Ctrl+Q"));
  EXPECT_TRUE(has(actions().vorigeDatum, "F7"));
  EXPECT_TRUE(has(actions().toonRekeningen, "F3"));

  const auto letters = [](const QList<QAction*>& group) {
    QStringList found;
    for (const QAction* action : group) {
      if (action->isSeparator() || action->text().isEmpty()) continue;
      const QString text = QString(action->text()).replace("&&", "");
      const qsizetype at = text.indexOf('&');
      found << (at < 0 ? QString("none: " + text) : text.mid(at + 1, 1).toLower());
    }
    return found;
  };
  for (const Language::Code code : {Language::Code::Dutch, Language::Code::English}) {
    session.setLanguage(code);
    window->HandleLanguage();
    QList<QAction*> groups;
    for (QMenu* menu : {actions().bestand, actions().acties, actions().grafieken, actions().opties,
                        actions().help}) {
      groups << menu->menuAction();
      const QStringList items = letters(menu->actions());
      EXPECT_EQ(QSet<QString>(items.begin(), items.end()).size(), items.size())
          << items.join(' ').toStdString();
    }
    EXPECT_EQ(letters(groups).first(), code == Language::Code::English ? "f" : "b");
    // The groups and the file menu have a letter for everything.
    for (const QStringList& all : {letters(groups), letters(actions().bestand->actions())})
      EXPECT_FALSE(all.join(' ').contains("none")) << all.join(' ').toStdString();
    // Qt's own buttons and dialogs speak the same language.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
              code == Language::Code::English ? "Cancel" : "Annuleren");
  }
}

// The status line holds only what is still true: no recalculation count
// once it is done, no prompt of a closed accounts window, no empty "Gelezen:".
TEST_F(MainWindowTest, TheStatusLineIsClearedWhenItsTextNoLongerHolds) {
  open();
  const auto status = [&] { return window->statusLabel()->text(); };
  actions().speedReken->trigger();
  EXPECT_FALSE(status().contains("herberekend")) << status().toStdString();
  EXPECT_FALSE(status().startsWith("Gelezen: \r\n")) << status().toStdString();
  EXPECT_TRUE(status().contains("Laatste koersen")) << status().toStdString();

  actions().toonRekeningen->trigger();
  auto* grid = window->accounts()->findChild<QTableWidget*>("RekGrid");
  ASSERT_NE(grid, nullptr);
  grid->setCurrentCell(0, 1);
  EXPECT_TRUE(status().contains("Geef de Naam van de rekening")) << status().toStdString();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(window->accounts(), &escape);
  EXPECT_FALSE(window->accounts()->isVisible()) << "Esc is Cancel";
  EXPECT_TRUE(status().isEmpty()) << status().toStdString();
}

// The main window can be maximised: it is never smaller than its contents,
// it opens inside the screen, and larger, the grid and the tabs take the
// room with the fund list, not the list alone. (Run on a 1280 x 900 screen
// too, by the name.)
TEST_F(MainWindowTest, WindowsFitTheMaximisedMainWindow) {
  open();
  EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  window->show();
  QCoreApplication::processEvents();
  const QRect available = window->screen()->availableGeometry();
  EXPECT_TRUE(available.contains(window->frameGeometry()));
  const QSize natural = window->size();
  EXPECT_EQ(window->minimumSize(), natural);
  ASSERT_LT(natural.width(), 1280 - 100);
  ASSERT_LT(natural.height(), 900 - 100);
  const QSize grid = window->grid()->size();
  const int tabsWidth = window->tabs()->width();
  const QSize list = window->fundList()->size();

  window->resize(1280, 900);
  QCoreApplication::processEvents();
  const QSize wider = window->size() - natural;
  const QSize gridGain = window->grid()->size() - grid;
  const QSize listGain = window->fundList()->size() - list;
  EXPECT_GT(gridGain.width(), wider.width() / 4);
  EXPECT_GT(gridGain.height(), wider.height() / 2);
  EXPECT_GT(window->tabs()->width(), tabsWidth + wider.width() / 4);
  EXPECT_GT(listGain.height(), 0);
  EXPECT_LT(listGain.width(), gridGain.width());
  // The value column takes the width, and the values stay right-aligned.
  const FundGridWidget& g = *window->grid();
  EXPECT_GE(g.fontMetrics().horizontalAdvance(g.item(GridRow::Koers, 1)->text()),
            g.columnWidth(1) - 10);

  window->showMaximized();
  QCoreApplication::processEvents();
  EXPECT_TRUE(available.contains(window->frameGeometry()));
  EXPECT_GE(window->grid()->height(), grid.height());
}

TEST_F(MainWindowTest, NavigationMovesTheDataSetTheColoursAndTheButtons) {
  open();
  selectFund("ALPHA");
  const auto states = [&] {
    QString out;
    const MainActions& a = actions();
    for (const QAction* command : {a.eersteDatum, a.vorigeDatum, a.volgendeDatum, a.laatsteDatum})
      out += command->isEnabled() ? '1' : '0';
    return out;
  };
  EXPECT_EQ(states(), "1100");
  actions().eersteDatum->trigger();
  EXPECT_EQ(node(), "Dataset 1");
  EXPECT_EQ(states(), "0011");
  // An older dataset is yellow.
  EXPECT_EQ(colour(panel().fondsPanel), kYellow);
  actions().volgendeDatum->trigger();
  EXPECT_EQ(node(), "Dataset 2");
  EXPECT_EQ(states(), "1111");
  actions().laatsteDatum->trigger();
  EXPECT_EQ(node(), "Dataset 3");
  EXPECT_EQ(colour(panel().fondsPanel), kGreen);
}

// Each command tells every listening window once what it changed, whatever
// its outcome; the windows redraw from that alone.
TEST_F(MainWindowTest, EveryCommandNotifiesTheWindowsOnceWithWhatItChanged) {
  open();
  selectFund("ALPHA");
  std::vector<Changes> heard;
  const int listener = session.addChangeListener([&](Changes c) { heard.push_back(c); });
  const MainActions& a = actions();
  struct Row {
    QAction* command;
    Changes changed;
  };
  for (const Row& row : std::vector<Row>{
           {a.eersteDatum, Change::DataSet},
           {a.volgendeDatum, Change::DataSet},
           {a.laatsteDatum, Change::DataSet},
           {a.speedReken, Change::Figures | Change::Prices},
           {a.divirOzev, Change::Accounts | Change::Figures},
           {a.rividuDori, Change::Settings},
           {a.delStock, {}},  // answered No
           {a.overzichtPortefeuille, Change::Figures},
       }) {
    heard.clear();
    if (row.command == a.delStock) prompter.expectQuestion("ALPHA", Answer::No);
    row.command->trigger();
    ASSERT_EQ(heard.size(), 1u) << row.command->objectName().toStdString();
    EXPECT_EQ(heard.front(), row.changed) << row.command->objectName().toStdString();
  }
  // The marks and labels of the modes follow the notification.
  EXPECT_TRUE(a.rividuDori->isChecked());
  EXPECT_EQ(panel().labelPremie->text(), "RividuDori = Aan");
  heard.clear();
  selectFund("beta");
  EXPECT_EQ(heard, std::vector<Changes>({Change::Fund}));
  session.removeChangeListener(listener);
}

// No pending event (a timer, a click) runs inside a recalculation, so
// nothing can reach the engine half-way.
TEST_F(MainWindowTest, RecalculatingAllRunsNoPendingEvents) {
  open();
  bool ran = false;
  QTimer::singleShot(0, window.get(), [&] { ran = true; });
  actions().speedReken->trigger();
  EXPECT_FALSE(ran);
  QCoreApplication::processEvents();
  EXPECT_TRUE(ran);
}

TEST_F(MainWindowTest, EditingAPriceRecalculatesTheTotalsAndTheAdvice) {
  open();
  selectFund("ALPHA");
  edit(GridRow::Koers, "2000");
  EXPECT_TRUE(window->tabs()->Text1().contains("Waarde;20.000,00;;"));
  // The rise calls for a sale, drawn in the advice colour.
  EXPECT_TRUE(panel().adviesLabel->text().contains(" Verkopen: "));
  EXPECT_EQ(panel().adviesLabel->styleSheet(), "color: blue");
  EXPECT_TRUE(actions().saveFile->isEnabled());
}

TEST_F(MainWindowTest, AFundAddedThroughTheNewLineJoinsTheFundList) {
  open();
  selectFund("[Nieuw]");
  FundGridWidget* grid = window->grid();
  grid->setCellText(GridRow::Ticker, "DELTA");
  grid->setCellText(GridRow::Koers, "50");
  grid->setCellText(GridRow::Aantal, "4");
  grid->setCurrentCell(GridRow::Ticker, 1);
  grid->UpdateFonds();
  EXPECT_EQ(window->fundList()->tickers(), QStringList({"ALPHA", "beta", "DELTA", "[Nieuw]"}));
  EXPECT_EQ(cell(GridRow::Aantal), "4,0000");
}

TEST_F(MainWindowTest, SaveAsksAndWritesTheChangesThenHasNothingToSave) {
  open();
  const QByteArray before = test::readFile(path("Port/Test-1.xml"));
  // Costs may change on an older dataset, which a save without "Nieuw" writes.
  actions().vorigeDatum->trigger();
  selectFund("ALPHA");
  edit(GridRow::Kosten, "7");
  ASSERT_TRUE(actions().saveFile->isEnabled());

  prompter.expectSavePrompt("bewaren", SaveChoice::SaveChanges)
      .expectTimedMessage("2 Datasets geschreven.");
  actions().saveFile->trigger();
  prompter.verify();
  EXPECT_NE(test::readFile(path("Port/Test-1.xml")), before);
  EXPECT_FALSE(portfolio().bPortChanged());
  EXPECT_FALSE(actions().saveFile->isEnabled());
  EXPECT_EQ(node(), "Dataset 2");
}

TEST_F(MainWindowTest, OpenShowsTheChosenPortfolio) {
  open();
  prompter.expectOpenFile(path("Port/Other.xml"));
  actions().openFile->trigger();
  prompter.verify();
  EXPECT_EQ(window->fundList()->tickers(), QStringList({"GAMMA", "[Nieuw]"}));
  EXPECT_TRUE(window->windowTitle().endsWith("Other.xml]"));
}

// After New the caption names no file until the first save.
TEST_F(MainWindowTest, ANewPortfolioNamesNoFileInTheCaption) {
  open();
  prompter.expectQuestion("Dollar", Answer::No).expectDate(QDateTime(kStart, QTime(12, 0)));
  actions().newFile->trigger();
  prompter.verify();
  EXPECT_FALSE(window->windowTitle().contains("Test-1.xml"));
  EXPECT_EQ(window->windowTitle(), session.files().caption);
  EXPECT_FALSE(actions().saveFile->isEnabled()) << "nothing to save yet";
}

TEST_F(MainWindowTest, ACancelledCloseKeepsTheWindowAndTheChanges) {
  open();
  window->show();
  selectFund("ALPHA");
  edit(GridRow::Koers, "2000");
  const QByteArray before = test::readFile(path("Port/Test-1.xml"));

  prompter.expectSavePrompt("bewaren", SaveChoice::Cancel);
  EXPECT_FALSE(window->close());
  prompter.verify();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(portfolio().bPortChanged());
  EXPECT_TRUE(actions().saveFile->isEnabled());
  EXPECT_EQ(test::readFile(path("Port/Test-1.xml")), before);
}

TEST_F(MainWindowTest, TheStartUpDownloadWaitsHalfAMinuteWhenAskedFor) {
  session.settings().downloadAtStart = true;
  open();
  const auto* timer = window->findChild<QTimer*>("TimerDownload");
  ASSERT_TRUE(timer);
  EXPECT_TRUE(timer->isActive());
  EXPECT_TRUE(timer->isSingleShot());
  EXPECT_EQ(timer->interval(), 30000);
}

TEST_F(MainWindowTest, ClosingRemembersWhereTheWindowStood) {
  MemorySettingsStore store;
  session.settings().mainLeft = 40;
  session.settings().mainTop = 0;
  TMainForm placed(session, prompter, path("program"), &store);
  EXPECT_EQ(placed.pos(), QPoint(40, 1));
  placed.move(70, 80);
  EXPECT_TRUE(placed.close());
  const Settings stored = Settings::load(store, dir.path());
  EXPECT_EQ(QPoint(stored.mainLeft, stored.mainTop), QPoint(70, 80));
}

// Help opens the manual of the language in the program's own window, no
// browser needed; a program without its manual says so.
TEST_F(MainWindowTest, HelpOpensTheManualOfTheLanguageAtItsStart) {
  EXPECT_TRUE(window->helpFile().endsWith("/program/help/pelmar_nl.html"));
  actions().hHelp->trigger();
  ASSERT_NE(window->helpWindow(), nullptr);
  EXPECT_TRUE(window->helpWindow()->isVisible());
  EXPECT_EQ(window->helpWindow()->browser()->source(), QUrl::fromLocalFile(window->helpFile()));
  EXPECT_EQ(window->helpWindow()->anchor(), "start");
  session.setLanguage(Language::Code::English);
  test::ScriptedPrompter missing;
  missing.expectMessage("Help file not found\r\n");
  TMainForm noHelp(session, missing, path("nowhere"));
  missing.verify();
}

// Quotes reach the real-time box: its time, its picture, its title.
TEST_F(MainWindowTest, QuotesReachTheRealTimeBox) {
  open();
  RealTimeBox& box = *panel().realTime;
  box.ShowDollarQuote(0.92, false, "2023-03-01 12:00 (MET)");
  EXPECT_EQ(box.tijdLabel->text(), "2023-03-01 12:00 (MET)");
  box.ShowDollarQuote(0.95, true, "");
  EXPECT_EQ(box.deltaImage->marks().back(), QuoteHistory::Mark::Up);
  box.ShowAEXQuote(700, "-1,5", "-0,21%", "17:30");
  EXPECT_EQ(box.title(), " AEX ");
  EXPECT_EQ(box.tijdLabel->styleSheet(), "color: red");
}

// F1 opens the manual at the topic of the focused control: a row of the
// grid, the fund list, an open menu's item, the accounts window, and a modal
// dialog, which blocks every other window and so gets a help window of its own.
TEST_F(MainWindowTest, F1OpensTheTopicOfTheFocusedControl) {
  open();
  const auto f1 = [](QWidget* window, QWidget* control) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    control->setFocus();
    QTest::keyClick(control, Qt::Key_F1);
  };
  window->grid()->setCurrentCell(GridRow::Koers, 1);
  f1(window.get(), window->grid());
  const HelpWindow* help = window->helpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->anchor(), "grid-price");
  EXPECT_GT(help->browser()->verticalScrollBar()->value(), 0);
  window->grid()->setCurrentCell(GridRow::UpDr, 1);
  f1(window.get(), window->grid());
  EXPECT_EQ(help->anchor(), "thresholds");
  f1(window.get(), window->fundList());
  EXPECT_EQ(help->anchor(), "fundlist");

  QMenu* menu = actions().acties;
  menu->popup(window->geometry().center());
  menu->setActiveAction(actions().jaarafsluiting);
  QTest::keyClick(menu, Qt::Key_F1);
  EXPECT_EQ(help->anchor(), "yearclosing");
  EXPECT_FALSE(menu->isVisible());

  f1(window->accounts(), window->accounts());
  EXPECT_EQ(help->anchor(), "accounts");
  window->accounts()->hide();

  TOptionsForm* options = window->optionsForm();
  options->open();
  f1(options, options);
  const auto* own = options->findChild<HelpWindow*>();
  ASSERT_NE(own, nullptr);
  EXPECT_TRUE(own->isVisible());
  EXPECT_EQ(own->anchor(), "settings");
  options->reject();
}

}  // namespace
}  // namespace pelmar
