#include <gtest/gtest.h>

#include <QLabel>
#include <QRegularExpression>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/main/fund_list_box.h"
#include "ui/main/fund_panel.h"
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"

namespace pelmar {
namespace {

// A newcomer's first start on Monday 7 December 2026, with empty portfolio
// and price folders, as a person sees it. The scripted prompter fails on
// any question: none may be asked.
class FirstStartTest : public test::PortfolioFixture {
 protected:
  FirstStartTest() : PortfolioFixture(Language::Code::Dutch) {
    session.clock().fix(QDate(2026, 12, 7));
    test::writeManuals(path("program"));
  }
  test::ScriptedPrompter prompter;
};

TEST_F(FirstStartTest, ShowsTodaysDataSetOfALivingPortfolioWithoutAQuestion) {
  TMainForm window(session, prompter, path("program"));
  window.FormPaint();
  prompter.verify();

  EXPECT_TRUE(window.windowTitle().endsWith("Test-1.xml]"));
  const FundPanel& panel = window.fundPanel();
  EXPECT_EQ(panel.datumPanel->text(), "2026-12-07") << "the dataset of today";
  EXPECT_EQ(window.actions().nodePanel->text(),
            "Dataset " + QString::number(portfolio().alg().NrOfSet));
  EXPECT_TRUE(portfolio().atLastSet());
  EXPECT_EQ(window.fundList()->currentItem()->text(), "DBG") << "a real fund, not [Nieuw]";
  EXPECT_EQ(window.fundList()->tickers().last(), "[Nieuw]");
  EXPECT_TRUE(panel.adviesLabel->text().contains(QRegularExpression(R"((Kopen|Verkopen): \d)")))
      << "its advice: " << panel.adviesLabel->text().toStdString();
  EXPECT_GT(fund(0).Aantal * fund(0).Koers, 100.0) << "a holding worth a look";
  // The latest prices are those of Friday, the working day before.
  EXPECT_TRUE(
      window.statusLabel()->text().contains("Laatste koersen: NL: 2026-12-04, US: 2026-12-04"))
      << window.statusLabel()->text().toStdString();
  EXPECT_FALSE(window.actions().saveFile->isEnabled()) << "nothing changed yet";
}

}  // namespace
}  // namespace pelmar
