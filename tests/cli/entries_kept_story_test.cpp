// Stories of the headless tool in which what the user entered is kept: the
// dataset of today left out by --without-new, the fund a run ends on, and
// the account of a refused new-fund step.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "cli_run.h"
#include "commands/portfolio_io.h"
#include "commands/session.h"
#include "engine/fund_names.h"
#include "model/portfolio_file.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

using test::CliRun;

const QDate kStart(2024, 3, 1);

// A saved portfolio "Mine.xml" of two datasets, 1 March and 2 April 2024,
// holding "1ST" and "ZZZ" on account 1, and stock lists with INGA (no price
// in the files) and FOO.
class EntriesKeptStory : public test::PortfolioFixture {
 protected:
  EntriesKeptStory() {
    start(kStart);
    addFund("1ST", 1000, 10, 100);
    addFund("ZZZ", 1000, 10, 100);
    calc();
    next(QDate(2024, 4, 2));
    // A stored advice the engine leaves alone (no trade in April).
    fund(0).AdviesR = 7.77;
    test::ScriptedPrompter quiet;
    EXPECT_TRUE(SavePortfolio(session, quiet, file(), WriteLimitAll(portfolio()), false));
    test::writeFile(path("Prices/Stocks_nl.txt"), "ING Groep,INGA,2024-04-02\r\n");
    test::writeFile(path("Prices/Stocks_us.txt"), "Foo Corp,FOO,2024-04-02\r\n");
  }
  QString file() const { return path("Mine.xml"); }
  CliRun run(const QString& steps, const QString& lang, QStringList extra = {}) {
    test::writeFile(path("steps.txt"), steps.toUtf8());
    return test::runCliWith(QStringList{"run", file(), "--script", path("steps.txt"), "--prices",
                                        path("Prices"), "--today", "2024-04-15", "--lang", lang} +
                            extra);
  }
  // The portfolio of a saved file.
  Portfolio saved(const QString& name) {
    QFile in(path(name));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    Portfolio p;
    EXPECT_TRUE(portfolio_file::read(in, p, {}).ok());
    return p;
  }
  // The fund of that ticker in dataset `number` of a portfolio.
  static const KoersRec& fundIn(const Portfolio& p, int number, const QString& ticker) {
    int rek = Portfolio::kFirstRekIndex;
    int koers = Portfolio::kFirstKoersIndex;
    for (int i = 1; i < number; ++i) p.NextDataSet(rek, koers);
    return p.koersAt(koers + FundNameIndex(p, koers).offsetOf(FundNameIndex::key(ticker)));
  }
};

TEST_F(EntriesKeptStory, LeavingTodaysDataSetOutNamesWhatIsDropped) {
  const QString steps = "select 1ST\nset Kosten 5\nset Dividend 2\n";
  const CliRun english = run(steps, "en", {"--save", path("Out.xml"), "--without-new"});
  ASSERT_EQ(english.code, 0) << english.err.toStdString();
  EXPECT_TRUE(
      english.err.contains("Warning: the DataSet \"New\" has not been saved, and with it "
                           "your entries of today: 1ST (Costs, Dividend)."))
      << english.err.toStdString();
  const CliRun dutch = run(steps, "nl", {"--save", path("Out.xml"), "--without-new"});
  EXPECT_TRUE(
      dutch.err.contains("Let op: de Dataset \"Nieuw\" is niet bewaard, en daarmee uw "
                         "invoer van vandaag: 1ST (Kosten, Dividend)."))
      << dutch.err.toStdString();
  // Saved with it, nothing is dropped and nothing said.
  const CliRun kept = run(steps, "en", {"--save", path("Out.xml")});
  EXPECT_FALSE(kept.err.contains("Warning")) << kept.err.toStdString();
  EXPECT_DOUBLE_EQ(fundIn(saved("Out.xml"), 3, "1ST").Kosten, 5);
}

// The run prints the fund its steps left selected: moving to another
// dataset shows the remembered fund only, and the first entry of the fund
// list keeps the advice stored for it.
TEST_F(EntriesKeptStory, MovingToAnotherDataSetShowsTheRememberedFundOnly) {
  const CliRun r =
      run("select ZZZ\ndataset previous\n", "en", {"--json", "--save", path("Out.xml")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(QJsonDocument::fromJson(r.out.toUtf8()).object()["selectedFund"].toString(), "ZZZ");
  EXPECT_NEAR(fundIn(saved("Out.xml"), 2, "1ST").AdviesR, 7.77, 1e-9);
}

// A new-fund step refused before its account chooser leaves its account to
// no later step.
TEST_F(EntriesKeptStory, ANewFundStepsAccountBelongsToThatStep) {
  const CliRun r = run("newfund INGA - 9 2\nnewfund FOO 10 5\n", "en", {"--save", path("Out.xml")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("needs a price above 0.01")) << r.err.toStdString();
  const Portfolio p = saved("Out.xml");
  EXPECT_EQ(fundIn(p, 3, "FOO").RekNr, 1) << "not the refused step's account 2";
}

}  // namespace
}  // namespace pelmar
