#include "commands/chart_export.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "commands/charts.h"
#include "commands/file_commands.h"
#include "prices/stock_list.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class ChartExportTest : public test::PortfolioFixture {
 protected:
  ChartExportTest() {
    session.clock().fix(QDate(2026, 12, 6));
    series = {{qint64(dateToSerial(QDate(2026, 12, 4))), 10.5},
              {qint64(dateToSerial(QDate(2026, 12, 5))), 1234.25}};
  }
  ChartSeries series;
  test::ScriptedPrompter prompter;
};

TEST_F(ChartExportTest, TwoExportsOnOneDayCountOn) {
  prompter.expectTimedMessage("The prices of AT/T are exported to")
      .expectTimedMessage("the file \"Prices AT_T_2026-12-06_002.csv\" in the folder " +
                          QDir::toNativeSeparators(dir.path()));
  for (int i = 0; i < 2; ++i)
    EXPECT_TRUE(ExportBtnClick(session, prompter, ChartKind::FundPrice, "AT/T", series, dir.path(),
                               ExportLineFormat::Modern));
  EXPECT_EQ(test::readFile(path("Prices AT_T_2026-12-06_001.csv")),
            "2026-12-04, 10.5000\r\n2026-12-05, 1234.2500\r\n");
  EXPECT_TRUE(QFileInfo::exists(path("Prices AT_T_2026-12-06_002.csv")));
}

// Save as PNG proposes the chart's name in the folder, adds the extension
// the name chosen lacks, and writes what `render` draws; a picture that
// could not be encoded, or no chart at all, is told, never written.
TEST_F(ChartExportTest, SaveAsPngNamesTheFileAndTellsWhatCouldNotBeWritten) {
  ChartState state;
  state.request.kind = ChartKind::FundPrice;
  state.request.ticker = QStringLiteral("ASML");
  prompter.expectMessage("There is no chart to export.");
  EXPECT_TRUE(
      SavePngClick(session, prompter, state, dir.path(), [] { return QByteArray(); }).isFailure());

  state.series = series;
  prompter.expectSaveFile(path("chart"));
  EXPECT_TRUE(SavePngClick(session, prompter, state, dir.path(), [] { return QByteArray("png"); }));
  EXPECT_EQ(test::readFile(path("chart.png")), "png");

  prompter.expectSaveFile(path("empty.PNG"))
      .expectMessage("\"" + QDir::toNativeSeparators(path("empty.PNG")) +
                     "\" could not be written");
  EXPECT_TRUE(
      SavePngClick(session, prompter, state, dir.path(), [] { return QByteArray(); }).isFailure());
  EXPECT_FALSE(QFileInfo::exists(path("empty.PNG")));
  prompter.verify();
}

// The message names the desktop only when the file is there; without a
// desktop folder the export goes to the home folder, which it names.
TEST_F(ChartExportTest, TheMessageSaysWhereTheFileIs) {
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  QDir(desktop).removeRecursively();
  EXPECT_EQ(DesktopFolder(), QDir::homePath() + u'/');
  session.setLanguage(Language::Code::Dutch);
  EXPECT_EQ(ChartExportFileText(session, DesktopFolder() + "a.csv"),
            "het bestand \"a.csv\" in de map " + QDir::toNativeSeparators(QDir::homePath()));
  ASSERT_TRUE(QDir().mkpath(desktop));
  EXPECT_EQ(ChartExportFileText(session, DesktopFolder() + "a.csv"),
            "het bestand \"a.csv\" op het bureaublad");
  QDir(desktop).removeRecursively();
}

TEST_F(ChartExportTest, LinesFollowTheLanguageAndTheSpreadsheetFormat) {
  session.setLanguage(Language::Code::Dutch);
  session.settings().dateFormat = QStringLiteral("dd-MM-yyyy");
  EXPECT_EQ(ChartCsv(series, session, ExportLineFormat::Modern),
            "04-12-2026; 10,5000\r\n05-12-2026; 1234,2500\r\n");
  EXPECT_EQ(ChartCsv(series, session, ExportLineFormat::Quoted),
            "04-12-2026,\" 10,5000\"\r\n05-12-2026,\" 1234,2500\"\r\n");
  // The installed spreadsheet's version chooses the format; none named: modern.
  EXPECT_EQ(ExportLineFormatFor(QStringLiteral("Excel.Application.16")), ExportLineFormat::Modern);
  EXPECT_EQ(ExportLineFormatFor(QStringLiteral("Excel.Application.9")), ExportLineFormat::Quoted);
  EXPECT_EQ(ExportLineFormatFor(QString()), ExportLineFormat::Quoted);
  EXPECT_EQ(ExportLineFormatFor(std::nullopt), ExportLineFormat::Modern);
  EXPECT_EQ(ChartExportBase(session, ChartKind::PortfolioYield, "Test-1"),
            "Rendementen Test-1_06-12-2026");
}

TEST_F(ChartExportTest, RefusesWhatCannotBeWritten) {
  prompter.expectMessage("could not be written");
  const Outcome missingFolder = ExportBtnClick(session, prompter, ChartKind::FundValue, "X", series,
                                               path("no/such/folder"), ExportLineFormat::Modern);
  EXPECT_FALSE(missingFolder.ok());
  prompter.expectMessage("no chart to export");
  EXPECT_FALSE(ExportBtnClick(session, prompter, ChartKind::FundValue, "X", {}, dir.path(),
                              ExportLineFormat::Modern));
}

// The menu commands chart the fund selected in the main window; the same
// chart asked again is not built again, the placeholder row charts nothing.
TEST_F(ChartExportTest, MenuCommandsFollowTheSelectedFund) {
  start(QDate(2026, 11, 2));
  addFund(QStringLiteral("ABC"), 1000, 10, 100);
  next(QDate(2026, 12, 4));
  portfolio().markOpened();
  select(0);
  ChartState state;
  ASSERT_TRUE(KoersFondsClick(session, state));
  EXPECT_EQ(state.request.ticker, "ABC");
  EXPECT_EQ(state.series.size(), 302u);
  state.series.pop_back();  // a rebuild would bring it back
  EXPECT_TRUE(KoersFondsClick(session, state));
  EXPECT_EQ(state.series.size(), 301u);
  session.settings().chartDays = 5;
  EXPECT_TRUE(RebuildChart(session, state));
  EXPECT_EQ(state.series.size(), 22u);
  EXPECT_EQ(ChartReadOut(session, state, 21), "2026-12-04\nEUR 0.0002");
  EXPECT_EQ(ChartReadOut(session, state, 22), "");

  select(1);  // the placeholder row
  EXPECT_FALSE(WaardeFondsClick(session, state));
  EXPECT_EQ(state.request.kind, ChartKind::FundPrice);
  EXPECT_TRUE(WaardePortClick(session, state));
  EXPECT_EQ(ChartExportName(session, state),
            QFileInfo(CurrentFileName(session)).completeBaseName());

  // A return is read out as a percentage, without currency.
  select(0);
  ASSERT_TRUE(RendementFondsClick(session, state));
  const QString yield = ChartReadOut(session, state, int(state.series.size()) - 1);
  EXPECT_TRUE(yield.startsWith("2026-12-04\n") && yield.endsWith(" %") && !yield.contains("EUR"))
      << yield.toStdString();
}

// The stock list holds both download lists, Dutch first, without lines that
// have no ticker. A pick keeps the held fund kind for a fund of the
// portfolio and charts the price of any other stock or after a portfolio chart.
TEST_F(ChartExportTest, StockListPicksChartTheKindThatFits) {
  start(QDate(2026, 11, 2));
  addFund(QStringLiteral("ABC"), 1000, 10, 100);
  next(QDate(2026, 12, 4));
  portfolio().markOpened();
  const QString folder = session.prices().folder();
  test::writeFile(stockListPath(folder, Market::Dutch), "Abc Fund,ABC,\r\nNo ticker, ,\r\n");
  test::writeFile(stockListPath(folder, Market::Us), "Xyz Corp,XYZ,04-12-2026\r\n");
  QStringList unreadable;
  const std::vector<ChartStock> stocks = ChartStockList(session, unreadable);
  ASSERT_EQ(stocks.size(), 2u);
  EXPECT_EQ(stocks[0].ticker, "ABC");
  EXPECT_EQ(stocks[1].name, "Xyz Corp");
  EXPECT_TRUE(unreadable.isEmpty());
  // A list that cannot be read is named, never shown as an empty list.
  QFile::remove(stockListPath(folder, Market::Us));
  QDir().mkpath(stockListPath(folder, Market::Us));
  EXPECT_EQ(ChartStockList(session, unreadable).size(), 1u);
  EXPECT_EQ(unreadable, QStringList{stockListPath(folder, Market::Us)});

  ChartState state;
  ASSERT_TRUE(WaardePortClick(session, state));
  EXPECT_TRUE(FondsListBoxDblClick(session, state, "abc"));
  EXPECT_EQ(state.request.kind, ChartKind::FundPrice);
  ASSERT_TRUE(ShowChart(session, state, ChartKind::FundYield, "ABC"));
  EXPECT_TRUE(FondsListBoxDblClick(session, state, "abc"));
  EXPECT_EQ(state.request.kind, ChartKind::FundYield);
  EXPECT_TRUE(FondsListBoxDblClick(session, state, "XYZ"));
  EXPECT_EQ(state.request.kind, ChartKind::FundPrice);
  EXPECT_EQ(state.request.ticker, "XYZ");
  EXPECT_FALSE(FondsListBoxDblClick(session, state, " "));
}

}  // namespace
}  // namespace pelmar
