#include "ui/main/fund_grid_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/main/panel_tabs.h"

namespace pelmar {
namespace {

const QDate kStart(2023, 1, 2);

void press(QWidget& widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent down(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(&widget, &down);
  QKeyEvent up(QEvent::KeyRelease, key, modifiers);
  QApplication::sendEvent(&widget, &up);
}

class FundGridWidgetTest : public test::PortfolioFixture {
 protected:
  FundGridWidgetTest() : PortfolioFixture(Language::Code::Dutch) {}

  // Two datasets holding ALPHA and BETA; the last one is current.
  void twoDataSets() {
    start(kStart);
    addFund("ALPHA", 1000, 10, 100).Kosten = 5;
    addFund("BETA", 500, 5, 100);
    calc();
    next(kStart.addMonths(1));
    fund(0).Kosten = 5;
    calc();
    select(0);
    grid.FillGrid();
  }

  QString cell(int row) { return grid.item(row, 1)->text(); }

  test::ScriptedPrompter prompter;
  FundGridWidget grid{session, prompter};
};

TEST_F(FundGridWidgetTest, ValuesStandRightAndDeleteLeavesZeroWhichReadsBackAsZero) {
  twoDataSets();
  EXPECT_EQ(cell(GridRow::Koers).trimmed(), "100,0000");
  // Padded with blanks to the column's width, so the values stand right.
  EXPECT_GE(grid.fontMetrics().horizontalAdvance(cell(GridRow::Koers)), grid.columnWidth(1) - 10);

  grid.setCurrentCell(GridRow::Kosten, 1);
  ASSERT_EQ(cell(GridRow::Kosten).trimmed(), "5,00");
  press(grid, Qt::Key_Delete);
  EXPECT_EQ(cell(GridRow::Kosten).trimmed(), "0,00");
  press(grid, Qt::Key_Down);
  EXPECT_DOUBLE_EQ(fund(0).Kosten, 0);
  EXPECT_TRUE(portfolio().bPortChanged());
}

TEST_F(FundGridWidgetTest, OlderDataSetRefusesEditsOutsideTheCostRows) {
  twoDataSets();
  goToDataSet(1);
  grid.FillGrid();
  grid.setCurrentCell(GridRow::Aantal, 1);
  prompter.expectMessage("oude Datasets");
  press(grid, Qt::Key_Delete);
  EXPECT_EQ(cell(GridRow::Aantal).trimmed(), "10,0000");
}

TEST_F(FundGridWidgetTest, PageDownCommitsTheFundAndAsksForTheNextOne) {
  twoDataSets();
  int step = 0;
  Changes reported;
  QObject::connect(&grid, &FundGridWidget::stepFund, [&](int s) { step = s; });
  const int listener = session.addChangeListener([&](Changes c) { reported = c; });
  grid.setCurrentCell(GridRow::Dividend, 1);
  grid.setCellText(GridRow::Dividend, "40,00");
  press(grid, Qt::Key_PageDown);
  EXPECT_EQ(step, 1);
  session.removeChangeListener(listener);
  EXPECT_EQ(reported, Changes(Change::Figures));
  EXPECT_DOUBLE_EQ(fund(0).Dividend, 40);
  EXPECT_EQ(cell(GridRow::Dividend).trimmed(), "40,00");
}

// A value typed into the cell editor is kept by every key that commits
// the cell, whether the editor or the grid handles the key.
TEST_F(FundGridWidgetTest, EveryCommittingKeyKeepsWhatWasTyped) {
  twoDataSets();
  grid.show();
  int typed = 10;
  for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab, Qt::Key_Up, Qt::Key_Down,
                        Qt::Key_PageUp, Qt::Key_PageDown}) {
    const QString text = QString::number(++typed) + QStringLiteral(",00");
    grid.setCurrentCell(GridRow::Dividend, 1);
    grid.editItem(grid.item(GridRow::Dividend, 1));
    QLineEdit* editor = nullptr;
    for (auto* open : grid.viewport()->findChildren<QLineEdit*>())
      if (open->isVisible()) editor = open;
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(editor, &down);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(fund(0).Dividend, typed) << QKeySequence(key).toString().toStdString();
    EXPECT_EQ(cell(GridRow::Dividend).trimmed(), text);
  }
}

// A figure too wide for its column shows as asterisks and leaves the label
// column before it untouched.
TEST(PanelTabs, AFigureTooWideForItsColumnStaysInside) {
  TPanelTabs tabs;
  tabs.resize(376, 231);
  const QColor background(0xE0, 0xFF, 0xE0);
  tabs.PutColorChanged(background);
  tabs.PutText1(QStringLiteral(";123.456.789.012.345.678.901.234,00;;1,00;"));
  const QImage image = tabs.grab().toImage();
  const int labelRight = TPanelTabs::columnsFor(tabs.width()).labelRight;
  for (int y = 22; y < image.height(); ++y)
    for (int x = 0; x < labelRight; ++x)
      ASSERT_EQ(image.pixelColor(x, y), background) << x << "," << y;
}

TEST_F(FundGridWidgetTest, TickerRowRestoresItsCellAndShiftAltMTogglesDiagnostics) {
  twoDataSets();
  int shown = 0;
  int toggled = 0;
  QObject::connect(&grid, &FundGridWidget::showDataSetWanted, [&] { ++shown; });
  QObject::connect(&grid, &FundGridWidget::diagnosticsToggled, [&] { ++toggled; });
  grid.setCurrentCell(GridRow::Ticker, 1);
  grid.item(GridRow::Ticker, 1)->setText("XYZ");
  press(grid, Qt::Key_X);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(cell(GridRow::Ticker).trimmed(), "ALPHA");

  grid.setCurrentCell(GridRow::Kosten, 1);
  press(grid, Qt::Key_M, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_EQ(toggled, 1);
}

TEST(PanelTabs, TabClicksChooseTheReturnFamilyAndKeepTheChoice) {
  Settings settings;
  settings.showRotai = true;
  TPanelTabs tabs;
  tabs.bindSettings(&settings);
  EXPECT_EQ(tabs.currentTab(), ReturnTab::Rotai);

  const QPointF at = tabs.tabRect(ReturnTab::Rotac).center();
  QMouseEvent click(QEvent::MouseButtonPress, at, tabs.mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&tabs, &click);
  EXPECT_FALSE(settings.showRotai);
  EXPECT_EQ(tabs.currentTab(), ReturnTab::Rotac);

  tabs.ImageTab2Click();
  EXPECT_TRUE(settings.showRotai);

  // The true returns belong to neither family: their tab keeps the choice
  // and shows its hint.
  tabs.PutHint(QStringLiteral("TWR: time-weighted"));
  EXPECT_TRUE(tabs.toolTip().isEmpty());
  const QPointF third = tabs.tabRect(ReturnTab::TrueReturns).center();
  QMouseEvent thirdClick(QEvent::MouseButtonPress, third, tabs.mapToGlobal(third), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&tabs, &thirdClick);
  EXPECT_EQ(tabs.currentTab(), ReturnTab::TrueReturns);
  EXPECT_TRUE(settings.showRotai);
  EXPECT_EQ(tabs.toolTip(), "TWR: time-weighted");
}

}  // namespace
}  // namespace pelmar
