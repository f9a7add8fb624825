#include "ui/main/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <memory>

#include "commands/datasets.h"
#include "commands/portfolio_io.h"
#include "commands/session.h"
#include "model/dates.h"
#include "support/scripted_prompter.h"
#include "ui/main/delta_image.h"
#include "ui/main/fund_grid_widget.h"
#include "ui/main/fund_list_box.h"
#include "ui/main/fund_panel.h"
#include "ui/main/main_actions.h"
#include "ui/main/panel_tabs.h"
#include "ui/main/real_time_box.h"

namespace pelmar {
namespace {

const QDate kStart(2023, 1, 2);
const QColor kGreen(0xE0, 0xFF, 0xE0);
const QColor kYellow(0xFF, 0xFF, 0xE0);

void writeFile(const QString& path, const QByteArray& content) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(content);
}

// A Dutch session on a temporary data folder with a saved portfolio of two
// datasets (ALPHA and beta), one price file and a program folder with the
// help page. Opening it appends the dataset of today, the third.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    session.setLanguage(Language::Code::Dutch);
    session.clock().fix(QDate(2023, 3, 1));
    Settings& s = session.settings();
    s.portfolioPath = root() + "Port/";
    s.pricePath = root() + "Prices/";
    s.fileName = QStringLiteral("Test.xml");
    session.applyPricePath();
    writeFile(root() + "program/help/pelmar.html", "<html></html>");
    writeFile(s.pricePath + "230102A.csv", "Other,OTHER,23/01/02,10\r\n");
    QDir().mkpath(s.portfolioPath);
    savePortfolio();
    window = std::make_unique<TMainForm>(session, prompter, dir.path() + "/program");
  }

  QString root() const { return dir.path() + QLatin1Char('/'); }

  KoersRec& addFund(const QString& ticker, double inleg, double aantal, double koers) {
    Portfolio& p = session.portfolio();
    KoersRec fund = p.initialRecords().DefaultKoersRec;
    fund.EndOfSetB = false;
    fund.Ticker = ticker;
    fund.Inleg = inleg;
    fund.Aantal = aantal;
    fund.Koers = koers;
    fund.CumDatum = p.alg().Datum;
    const int at = p.FirstKoersIndex + p.fundCount(p.FirstKoersIndex) - 1;
    EXPECT_EQ(p.insertRecord(at, fund), Portfolio::Refusal::None);
    return p.koersAt(at);
  }

  void savePortfolio() {
    Portfolio& p = session.portfolio();
    p.NewPortfolio(NewIdentRec(session, false), dateToSerial(kStart));
    addFund("beta", 500, 5, 100);
    addFund("ALPHA", 12345, 10, 1234.5);
    session.engine().CalcDataSet();
    const QDate second = kStart.addMonths(1);
    ASSERT_TRUE(p.appendDataSet(p.FirstRekIndex, p.FirstKoersIndex, dateToSerial(second),
                                static_cast<qint32>(dateToSerial(second) - dateToSerial(kStart))));
    session.engine().CalcDataSet();
    test::ScriptedPrompter quiet;
    PortfolioFiles files(session, quiet, session.prices(), session.engine(), session.trace());
    ASSERT_TRUE(files.SavePortfolio(session.settings().portfolioPath + "Test.xml", WriteLimitAll(p),
                                    false));
    p.clear();
  }

  // The window after its first paint opened the portfolio.
  void open() {
    window->FormPaint();
    ASSERT_TRUE(session.portfolio().bPortOpened);
  }

  const FundPanel& panel() const { return window->fundPanel(); }
  QString node() const { return window->actions().nodePanel->text(); }
  QString cell(int row) { return window->grid()->item(row, 1)->text().trimmed(); }
  static QColor colour(const QWidget* widget) { return widget->palette().color(QPalette::Window); }
  void selectFund(const QString& ticker) {
    const QStringList lines = window->fundList()->tickers();
    window->fundList()->setCurrentRow(static_cast<int>(lines.indexOf(ticker)));
  }

  QTemporaryDir dir;
  Session session{dir.path() + QLatin1Char('/'), QLocale(QLocale::Dutch, QLocale::Netherlands)};
  test::ScriptedPrompter prompter;
  std::unique_ptr<TMainForm> window;
};

TEST_F(MainWindowTest, BeforeOpeningOnlyTheFileCommandsWork) {
  EXPECT_EQ(window->windowTitle(), "Pelmar, versie 1.32a ");
  EXPECT_EQ(node(), "Niets gelezen");
  EXPECT_TRUE(window->actions().openFile->isEnabled());
  EXPECT_FALSE(window->actions().saveFile->isEnabled());
  EXPECT_FALSE(window->actions().vorigeDatum->isEnabled());
  EXPECT_FALSE(window->actions().acties->menuAction()->isEnabled());
  // Commands of later work are shown but never wired.
  EXPECT_FALSE(window->actions().download->isEnabled());
  EXPECT_EQ(window->actions().download->text(), "Download Koersen");
  EXPECT_EQ(window->actions().vorigeDatum->shortcut(), QKeySequence("F7"));
  EXPECT_EQ(window->actions().vorigeDatum->toolTip(), "Ga naar Vorige Dataset (F7)");
  EXPECT_FALSE(window->actions().diagnostics->menuAction()->isVisible());
  // The window is 1,1 at least and fits its contents; the user cannot resize it.
  EXPECT_GE(window->x(), 1);
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

TEST_F(MainWindowTest, ShowsTheOpenedPortfolioAsAPersonSeesIt) {
  open();
  EXPECT_EQ(window->fundList()->tickers(), QStringList({"[Nieuw]", "ALPHA", "beta"}));
  EXPECT_EQ(node(), "Dataset 3");
  EXPECT_EQ(panel().datumPanel->text(), "2023-03-01");
  EXPECT_TRUE(window->windowTitle().startsWith("Pelmar versie 1.32a ["));
  EXPECT_TRUE(window->windowTitle().endsWith("Test.xml]"));
  EXPECT_EQ(colour(panel().fondsPanel), kGreen);
  EXPECT_EQ(window->fundList()->colour(), kGreen);

  selectFund("ALPHA");
  EXPECT_EQ(cell(GridRow::Ticker), "ALPHA");
  EXPECT_EQ(cell(GridRow::Koers), "1.234,5000");
  EXPECT_TRUE(window->tabs()->Text1().contains("Waarde;12.345,00;;"));
  EXPECT_TRUE(window->tabs()->Text2().contains("Som Invest.;12.345,00;;"));
  EXPECT_EQ(panel().fCumDatumPanel->text(), "2023-01-02");
  EXPECT_EQ(panel().label1->text(), "Portefeuille in Euro");

  // An unchanged price calls for no trade; the next buy stands ready.
  EXPECT_TRUE(panel().adviesLabel->text().isEmpty());
  EXPECT_TRUE(panel().koopLabel->text().contains(" Kopen: "));

  // An older dataset is yellow and shows its own number; the fund stays.
  ASSERT_TRUE(window->actions().vorigeDatum->isEnabled());
  window->actions().vorigeDatum->trigger();
  EXPECT_EQ(node(), "Dataset 2");
  EXPECT_EQ(colour(panel().fondsPanel), kYellow);
  EXPECT_EQ(colour(window->statusPanel()), kYellow);
  EXPECT_EQ(window->grid()->item(0, 0)->background().color(), kYellow);
  EXPECT_EQ(cell(GridRow::Ticker), "ALPHA");
  window->actions().laatsteDatum->trigger();
  EXPECT_EQ(colour(panel().fondsPanel), kGreen);

  // Shift+Alt+M in the grid shows the diagnostics with the currency marks.
  emit window->grid()->diagnosticsToggled();
  EXPECT_TRUE(window->actions().diagnostics->menuAction()->isVisible());
  EXPECT_TRUE(window->actions().portInEuro->isChecked());
  EXPECT_FALSE(window->actions().portInDollar->isChecked());
  prompter.verify();
}

TEST_F(MainWindowTest, NavigationButtonsFollowTheDataset) {
  open();
  const auto states = [&] {
    QString out;
    const MainActions& a = window->actions();
    for (const QAction* command : {a.eersteDatum, a.vorigeDatum, a.volgendeDatum, a.laatsteDatum})
      out += command->isEnabled() ? '1' : '0';
    return out;
  };
  // Last dataset: only back.
  EXPECT_EQ(node(), "Dataset 3");
  EXPECT_EQ(states(), "1100");
  // First dataset: only forward.
  window->actions().eersteDatum->trigger();
  EXPECT_EQ(node(), "Dataset 1");
  EXPECT_EQ(states(), "0011");
  // A middle dataset: both ways.
  window->actions().volgendeDatum->trigger();
  EXPECT_EQ(node(), "Dataset 2");
  EXPECT_EQ(states(), "1111");
  window->actions().volgendeDatum->trigger();
  EXPECT_EQ(node(), "Dataset 3");
  EXPECT_EQ(states(), "1100");
  prompter.verify();
}

TEST_F(MainWindowTest, SwitchingTheLanguageRedrawsEveryText) {
  open();
  selectFund("ALPHA");
  session.setLanguage(Language::Code::English);
  window->HandleLanguage();
  EXPECT_EQ(window->actions().openFile->text(), "Open File");
  EXPECT_EQ(window->actions().bestand->menuAction()->text(), "File");
  EXPECT_EQ(window->actions().saveFile->toolTip(), "Save current Portfolio");
  EXPECT_EQ(window->grid()->item(GridRow::Koers, 0)->text().trimmed(), "Unit Price");
  EXPECT_EQ(cell(GridRow::Koers), "1,234.5000");
  EXPECT_TRUE(window->tabs()->Text1().contains("Value;12,345.00;;"));
  EXPECT_EQ(panel().datumLabel->text(), "Date");
  EXPECT_EQ(panel().labelTurbo->text(), "DivirOzev = Off");
  EXPECT_EQ(panel().label2->text().left(8), "1.0 € = ");

  prompter.expectTimedMessage("Properties of current Portfolio:");
  window->actions().eigenschappen->trigger();
  prompter.verify();

  window->actions().divirOzev->trigger();
  EXPECT_EQ(panel().labelTurbo->text(), "DivirOzev = On");
  EXPECT_TRUE(window->actions().divirOzev->isChecked());
}

TEST_F(MainWindowTest, EditingAPriceRecalculatesTheTotals) {
  open();
  selectFund("ALPHA");
  FundGridWidget* grid = window->grid();
  grid->setCurrentCell(GridRow::Koers, 1);
  grid->setCellText(GridRow::Koers, "2000");
  grid->ReadGrid();
  EXPECT_TRUE(window->tabs()->Text1().contains("Waarde;20.000,00;;"));
  // The rise calls for a sale, drawn in the advice colour.
  EXPECT_TRUE(panel().adviesLabel->text().contains(" Verkopen: "));
  EXPECT_EQ(panel().adviesLabel->styleSheet(), "color: blue");
  EXPECT_TRUE(session.portfolio().bPortChanged);
  EXPECT_TRUE(window->actions().saveFile->isEnabled());
}

TEST_F(MainWindowTest, AFundAddedThroughTheNewLineReachesTheLaterDatasets) {
  session.settings().editOldDates = true;
  open();
  window->actions().vorigeDatum->trigger();
  selectFund("[Nieuw]");
  FundGridWidget* grid = window->grid();
  grid->setCellText(GridRow::Ticker, "GAMMA");
  grid->setCellText(GridRow::Koers, "50");
  grid->setCellText(GridRow::Aantal, "4");
  grid->setCellText(GridRow::Inleg, "200");
  grid->setCurrentCell(GridRow::Ticker, 1);
  grid->UpdateFonds();
  EXPECT_EQ(window->fundList()->tickers(), QStringList({"[Nieuw]", "ALPHA", "beta", "GAMMA"}));
  EXPECT_EQ(cell(GridRow::Ticker), "GAMMA");
  EXPECT_EQ(cell(GridRow::Aantal), "4,0000");

  window->actions().volgendeDatum->trigger();
  EXPECT_EQ(node(), "Dataset 3");
  EXPECT_TRUE(window->fundList()->tickers().contains("GAMMA"));
  selectFund("GAMMA");
  EXPECT_EQ(cell(GridRow::Ticker), "GAMMA");
}

TEST_F(MainWindowTest, StartWithoutPriceFilesOrPortfolio) {
  QFile::remove(session.settings().pricePath + "230102A.csv");
  prompter.expectMessage("Er zijn geen koersenbestanden aanwezig.");
  window->FormPaint();
  prompter.verify();
  EXPECT_EQ(node(), "Dataset 3");

  // Nothing named and five cancelled dialogs: the window stays empty.
  Session empty(root() + "empty/");
  empty.settings().fileName.clear();
  empty.settings().portfolioPath = root() + "empty/Port/";
  test::ScriptedPrompter cancel;
  TMainForm bare(empty, cancel, dir.path() + "/program");
  for (int i = 0; i < 5; ++i)
    cancel.expectMessage("Pelmar has changed its file format.").expectOpenFile(std::nullopt);
  bare.FormPaint();
  cancel.verify();
  EXPECT_EQ(bare.actions().nodePanel->text(), "Nothing read");
  EXPECT_FALSE(bare.actions().saveAs->isEnabled());
}

TEST_F(MainWindowTest, ClosingRemembersWhereTheWindowStood) {
  MemorySettingsStore store;
  session.settings().mainLeft = 40;
  session.settings().mainTop = 0;
  TMainForm placed(session, prompter, dir.path() + "/program", &store);
  EXPECT_EQ(placed.pos(), QPoint(40, 1));
  placed.move(70, 80);
  EXPECT_TRUE(placed.close());
  EXPECT_EQ(session.settings().mainLeft, 70);
  EXPECT_EQ(Settings::load(store, root()).mainTop, 80);
}

TEST_F(MainWindowTest, HelpAndAbout) {
  EXPECT_EQ(window->helpUrl(31147).fragment(), "file");
  EXPECT_TRUE(window->helpUrl(1000).toLocalFile().endsWith("/program/help/pelmar.html"));
  prompter.expectMessage("Pelmar keeps a portfolio");
  session.setLanguage(Language::Code::English);
  window->actions().about->trigger();
  prompter.verify();

  test::ScriptedPrompter missing;
  missing.expectMessage("Help file not found\r\n");
  TMainForm noHelp(session, missing, root() + "nowhere");
  missing.verify();
}

TEST_F(MainWindowTest, RealTimeBoxDrawsTheQuoteHistory) {
  open();
  window->ShowDollarQuote(TMainForm::QuoteSender::Other, 0.92, "2023-03-01 12:00 (MET)");
  auto* image = panel().realTime->deltaImage;
  for (QuoteHistory::Mark mark : image->marks()) EXPECT_EQ(mark, QuoteHistory::Mark::Level);
  EXPECT_EQ(panel().realTime->tijdLabel->text(), "2023-03-01 12:00 (MET)");
  window->ShowDollarQuote(TMainForm::QuoteSender::TimerDollar, 0.95, "");
  EXPECT_EQ(image->marks().back(), QuoteHistory::Mark::Up);
  EXPECT_EQ(panel().realTime->tijdLabel->text(), "Geen Datum");

  window->ShowAEXQuote(700, "-1,5", "-0,21%", "17:30");
  EXPECT_EQ(panel().realTime->title(), " AEX ");
  EXPECT_EQ(panel().realTime->tijdLabel->styleSheet(), "color: red");
  EXPECT_FALSE(image->grab().isNull());
}

}  // namespace
}  // namespace pelmar
