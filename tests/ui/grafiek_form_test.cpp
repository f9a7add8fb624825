#include "ui/charts/grafiek_form.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "prices/price_store.h"
#include "prices/stock_list.h"
#include "rendering/chart_painter.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class GrafiekFormTest : public test::PortfolioFixture {
 protected:
  GrafiekFormTest() {
    start(QDate(2026, 10, 1));
    addFund(QStringLiteral("ABC"), 1000, 10, 100);
    next(QDate(2026, 12, 4));
    portfolio().markOpened();
    select(0);
    // A price on every weekday of the last 100 days, so every chart has prices.
    for (QDate d(2026, 8, 26); d <= QDate(2026, 12, 4); d = d.addDays(1)) {
      if (d.dayOfWeek() > 5) continue;
      test::writeFile(session.settings().pricePath + PriceStore::dayFileName(d),
                      "Abc Fund,ABC," + d.toString("yy/MM/dd").toLatin1() + ",12.5\r\n");
    }
    session.settings().chartDays = 30;
  }
  test::ScriptedPrompter prompter;
};

// The window opens on the selected fund with its price list; changes of the
// days only restart the 2-second timer, and the chart is rebuilt once, for
// the last value, when the timer fires.
TEST_F(GrafiekFormTest, DaysAreAppliedOnceWhenTheTimerFires) {
  TGrafiekForm form(session, prompter);
  form.showKind(ChartKind::FundPrice);
  ASSERT_TRUE(form.isVisible());
  EXPECT_TRUE(form.windowTitle().startsWith(QStringLiteral("ABC (")))
      << form.windowTitle().toStdString();
  EXPECT_EQ(form.state().series.size(), 31u);
  EXPECT_DOUBLE_EQ(form.state().series.back().value, 12.5);
  auto* list = form.findChild<QListWidget*>(QStringLiteral("KoersListBox"));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), 31);

  auto* days = form.findChild<QSpinBox*>();
  ASSERT_NE(days, nullptr);
  QTimer* timer = form.timerDagen();
  EXPECT_EQ(timer->interval(), 2000);
  EXPECT_TRUE(timer->isSingleShot());
  for (int value : {40, 50, 60}) {
    days->setValue(value);
    EXPECT_TRUE(timer->isActive()) << value;
    EXPECT_EQ(form.state().series.size(), 31u) << "rebuilt before the timer fired";
    EXPECT_EQ(list->count(), 31);
    EXPECT_EQ(session.settings().chartDays, 30);
  }

  ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(session.settings().chartDays, 60);
  EXPECT_EQ(form.state().series.size(), 61u);
  EXPECT_EQ(list->count(), 61);
}

// The window follows the main window: another fund selected there is
// charted by follow() in the same kind, and the return tab redraws a yield chart.
TEST_F(GrafiekFormTest, FollowsTheFundOfTheMainWindow) {
  addFund(QStringLiteral("XYZ"), 500, 5, 100);
  TGrafiekForm form(session, prompter);
  form.showKind(ChartKind::FundValue);
  EXPECT_EQ(form.state().request.ticker, QStringLiteral("ABC"));
  select(1);
  form.follow();
  EXPECT_EQ(form.state().request.ticker, QStringLiteral("XYZ"));
  EXPECT_EQ(form.state().request.kind, ChartKind::FundValue);

  // A yield chart follows the ROTAC/ROTAI choice; a value chart has none.
  session.settings().showRotai = !form.state().request.rotai;
  form.followReturnTab();
  EXPECT_NE(form.state().request.rotai, session.settings().showRotai);
  // Two datasets have no yield yet: each drawing says so.
  prompter.expectTimedMessage(QStringLiteral("cannot be plotted"))
      .expectTimedMessage(QStringLiteral("cannot be plotted"));
  form.showKind(ChartKind::PortfolioYield);
  session.settings().showRotai = !session.settings().showRotai;
  form.followReturnTab();
  EXPECT_EQ(form.state().request.rotai, session.settings().showRotai);
}

// The stock list offers the download lists' stocks; a double click charts
// one (here a stock without prices, which the window says).
TEST_F(GrafiekFormTest, DoubleClickInTheStockListChartsThatStock) {
  test::writeFile(stockListPath(session.prices().folder(), Market::Us), "Xyz Corp,XYZ,\r\n");
  TGrafiekForm form(session, prompter);
  form.showKind(ChartKind::FundPrice);
  auto* stocks = form.findChild<QListWidget*>(QStringLiteral("FondsListBox"));
  ASSERT_NE(stocks, nullptr);
  ASSERT_EQ(stocks->count(), 1);
  prompter.expectTimedMessage(QStringLiteral("no prices have been downloaded"));
  emit stocks->itemDoubleClicked(stocks->item(0));
  EXPECT_EQ(form.state().request.ticker, QStringLiteral("XYZ"));
  EXPECT_TRUE(form.windowTitle().startsWith(QStringLiteral("XYZ (Xyz Corp)")))
      << form.windowTitle().toStdString();
}

// An open chart window follows a language switch: its buttons, its price
// list's decimal separator and the picture are drawn again in Dutch.
TEST_F(GrafiekFormTest, AnOpenChartSwitchesLanguage) {
  TGrafiekForm form(session, prompter);
  form.showKind(ChartKind::FundPrice);
  auto* list = form.findChild<QListWidget*>(QStringLiteral("KoersListBox"));
  ASSERT_NE(list, nullptr);
  const auto buttonTexts = [&] {
    QStringList texts;
    for (const QPushButton* b : form.findChildren<QPushButton*>()) texts << b->text();
    return texts;
  };
  EXPECT_TRUE(buttonTexts().contains("Close"));
  EXPECT_TRUE(list->item(0)->text().contains("12.5")) << list->item(0)->text().toStdString();

  session.setLanguage(Language::Code::Dutch);
  form.HandleLanguage();
  EXPECT_TRUE(buttonTexts().contains("Sluiten"));
  EXPECT_FALSE(buttonTexts().contains("Close"));
  EXPECT_TRUE(list->item(0)->text().contains("12,5")) << list->item(0)->text().toStdString();
  EXPECT_EQ(form.findChild<QRadioButton*>()->text(), "Normaal");
}

// "Save as PNG" writes the window's chart, drawn by the shared painter at
// the plot's size.
TEST_F(GrafiekFormTest, SavesTheChartAsDrawnAsPng) {
  TGrafiekForm form(session, prompter);
  form.showKind(ChartKind::FundPrice);
  const QString file = path(QStringLiteral("chart.png"));
  prompter.expectSaveFile(file);
  form.SavePngClick();
  QImage saved;
  ASSERT_TRUE(saved.load(file));
  const QWidget* view = form.findChild<QWidget*>(QStringLiteral("ChartView"));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
            RenderChart(ChartPictureOf(session, form.state()), view->size()));
}

}  // namespace
}  // namespace pelmar
