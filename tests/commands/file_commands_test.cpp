#include "commands/file_commands.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "commands/fund_grid.h"
#include "commands/navigation.h"
#include "model/dates.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class FileCommandsTest : public test::PortfolioFixture {
 protected:
  FileCommandsTest() {
    session.clock().fix(QDate(2024, 6, 12));  // a Wednesday
    session.setSettingsStore(&store);
  }

  QString port(const QString& name) const { return session.settings().portfolioPath + name; }
  int dataSets() const {
    return session.portfolio().algAt(session.portfolio().lastRekIndex() - 1).NrOfSet;
  }
  int dataSetsIn(const QString& file) { return test::readFile(file).count("<AlgemeenRec>"); }

  // A new euro portfolio started on 2024-06-03 holding "BBB" and "aaa".
  void newPortfolio() {
    prompter.expectQuestion("The standard currency is the Dollar", Answer::No)
        .expectDate(QDateTime(QDate(2024, 6, 3), QTime(12, 0)), "Select the right starting date");
    ASSERT_TRUE(SpeedNewClick(session, prompter));
    addFund("BBB", 200, 10, 20);
    addFund("aaa", 40, 5, 8);
    prompter.verify();
  }

  // Saves the new portfolio as "2024 Portfolio A.xml" and opens it again.
  QString saveAndOpen() {
    const QString path = port(QStringLiteral("2024 Portfolio A.xml"));
    prompter.expectSaveFile(path).expectTimedMessage("Datasets written");
    EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
    EXPECT_TRUE(LoadPortfolio(session, prompter, path));
    return path;
  }

  test::ScriptedPrompter prompter;
  MemorySettingsStore store;
};

TEST_F(FileCommandsTest, NewPortfolioIsSavedUnderTheFirstFreeLetterAndReopensWithNieuw) {
  newPortfolio();
  EXPECT_TRUE(portfolio().bPortNew());
  EXPECT_EQ(session.files().caption, QStringLiteral("Pelmar, version 1.32a  [New File]"));
  test::writeFile(port("2024 Portfolio A.xml"), "taken");
  test::writeFile(port("2024 Portfolio B.xml"), "taken");

  EXPECT_EQ(ProposedPortfolioName(session, port("")), "2024 Portfolio C");
  const QString path = port(QStringLiteral("2024 Portfolio C.xml"));
  prompter.expectSaveFile(path).expectTimedMessage("1 Datasets written");
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
  EXPECT_FALSE(portfolio().bPortChanged());
  EXPECT_EQ(CurrentFileName(session), path);
  EXPECT_EQ(session.files().caption, QStringLiteral("Pelmar version 1.32a [2024 Portfolio C]"));
  EXPECT_EQ(store.value("Defaults", "FileName").toString(), "2024 Portfolio C.xml");

  ASSERT_TRUE(LoadPortfolio(session, prompter, path));
  const Portfolio& p = portfolio();
  EXPECT_EQ(dataSets(), 2) << "the dataset of today is appended";
  EXPECT_EQ(serialToDate(p.alg().Datum), QDate(2024, 6, 12));
  EXPECT_EQ(session.files().caption, QStringLiteral("Pelmar version 1.32a [2024 Portfolio C.xml]"));
}

// Each answer of the save prompt, with the file on disk and the flags after it.
TEST_F(FileCommandsTest, TheSavePromptDoesWhatItsAnswerSays) {
  newPortfolio();
  const QString path = saveAndOpen();
  ASSERT_EQ(dataSets(), 2);

  portfolio().markChanged();
  prompter.expectSavePrompt("With or without DataSet", SaveChoice::SaveChanges)
      .expectTimedMessage("1 Datasets written");
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
  EXPECT_EQ(dataSetsIn(path), 1) << "without the dataset \"New\"";
  EXPECT_EQ(dataSets(), 2) << "memory keeps it";
  EXPECT_FALSE(portfolio().bPortChanged());

  portfolio().markChanged();
  prompter.expectSavePrompt("", SaveChoice::SaveWithNew).expectTimedMessage("2 Datasets written");
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Saved);
  EXPECT_EQ(dataSetsIn(path), 2);

  const QByteArray onDisk = test::readFile(path);
  portfolio().markChanged();
  prompter.expectSavePrompt("", SaveChoice::Cancel);
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::Cancelled);
  EXPECT_TRUE(portfolio().bPortChanged());
  // Exit and the closing that follows both ask; a cancel keeps the program open.
  prompter.expectSavePrompt("", SaveChoice::Cancel).expectSavePrompt("", SaveChoice::Cancel);
  SpeedEindeClick(session, prompter);
  EXPECT_FALSE(FormClose(session, prompter));

  prompter.expectSavePrompt("", SaveChoice::CloseWithoutSaving);
  EXPECT_EQ(SpeedSaveClick(session, prompter), SaveOutcome::CloseWindow);
  EXPECT_TRUE(portfolio().bPortChanged());
  EXPECT_TRUE(FormClose(session, prompter)) << "not asked a second time";
  EXPECT_EQ(test::readFile(path), onDisk);
}

TEST_F(FileCommandsTest, OpenRefusesWhatItCannotReadAndOffersToSaveFirst) {
  newPortfolio();
  const QString path = saveAndOpen();
  const RecordList before = portfolio().records();

  test::writeFile(port("caps.XML"), test::readFile(path));
  prompter.expectOpenFile(port("caps.XML")).expectMessage("The extension .XML of the file");
  EXPECT_FALSE(SpeedOpenClick(session, prompter));
  test::writeFile(port("tiny.xml"), "<a/>");
  prompter.expectOpenFile(port("tiny.xml")).expectTimedMessage("doesn't contain any information.");
  EXPECT_FALSE(SpeedOpenClick(session, prompter));
  test::writeFile(port("garbage.xml"), "<x>no portfolio at all</x>");
  prompter.expectMessage("garbage.xml has not been read.");
  EXPECT_FALSE(LoadPortfolio(session, prompter, port("garbage.xml")));
  EXPECT_EQ(portfolio().records().size(), before.size());
  EXPECT_EQ(CurrentFileName(session), path) << "a failed open records nothing";

  // A cancelled save prompt keeps the changed portfolio instead of opening.
  portfolio().markChanged();
  prompter.expectOpenFile(path).expectSavePrompt("", SaveChoice::Cancel);
  EXPECT_FALSE(SpeedOpenClick(session, prompter));
  EXPECT_TRUE(portfolio().bPortChanged());
  prompter.expectOpenFile(path).expectSavePrompt("", SaveChoice::CloseWithoutSaving);
  EXPECT_TRUE(SpeedOpenClick(session, prompter));
  EXPECT_FALSE(portfolio().bPortChanged());
}

// Prices from the day files that differ from the saved ones are taken on
// opening; looking around after that changes nothing, a changed cost does.
TEST_F(FileCommandsTest, OnlyARealChangeIsOfferedForSaving) {
  newPortfolio();
  for (const QDate day : {QDate(2024, 6, 3), QDate(2024, 6, 12)})
    test::writeFile(session.settings().pricePath + PriceStore::dayFileName(day),
                    "B fund,BBB,x,21.37\r\nA fund,aaa,x,8.3\r\n");
  session.prices().refresh();
  saveAndOpen();
  EXPECT_DOUBLE_EQ(fund(0).Koers, Real48(21.37));
  EXPECT_FALSE(portfolio().bPortChanged());

  const auto lookAround = [&] {
    for (const QString& entry : FillFondsenBox(portfolio()))
      ASSERT_TRUE(FondsenBoxClick(session, entry));
  };
  lookAround();
  ASSERT_TRUE(FirstDateBtnClick(session));
  lookAround();
  ASSERT_TRUE(LastDateBtnClick(session));
  lookAround();
  EXPECT_TRUE(FormClose(session, prompter)) << "closed without a question";

  ASSERT_TRUE(FondsenBoxClick(session, "BBB"));
  QStringList cells = FillGrid(session);
  cells[GridRow::Kosten] = "2.50";
  UpdateFonds(session, prompter, cells, GridRow::Kosten);
  EXPECT_TRUE(portfolio().bPortChanged());
  prompter.expectSavePrompt("", SaveChoice::Cancel);
  EXPECT_FALSE(FormClose(session, prompter));
}

TEST_F(FileCommandsTest, ClosingANewPortfolioSavesItAndAFailedSaveKeepsTheProgramOpen) {
  EXPECT_TRUE(FormClose(session, prompter)) << "nothing to save";
  newPortfolio();
  portfolio().markChanged();
  // Cancelling the name dialog keeps the program open, also after an
  // earlier save has allowed closing.
  session.files().bMayClose = true;
  prompter.expectSaveFile(std::nullopt);
  EXPECT_FALSE(FormClose(session, prompter));
  EXPECT_TRUE(portfolio().bPortChanged());
  // A folder in the way of the file: it cannot be written.
  QDir().mkpath(port("blocked.xml"));
  prompter.expectSaveFile(port("blocked.xml")).expectMessage("has not been saved");
  EXPECT_FALSE(FormClose(session, prompter));
  EXPECT_TRUE(test::readFile(path("Error.log")).contains("Pad: " + port("blocked.xml").toUtf8()));
  EXPECT_TRUE(portfolio().bPortNew());
  EXPECT_TRUE(portfolio().bPortChanged());

  prompter.expectSaveFile(port("n.xml")).expectTimedMessage("Datasets written");
  EXPECT_TRUE(FormClose(session, prompter));
  EXPECT_TRUE(QFileInfo::exists(port("n.xml")));
}

TEST_F(FileCommandsTest, SaveAsWritesTheXmlFileAndRefusesStrangeExtensions) {
  newPortfolio();
  saveAndOpen();
  prompter.expectSavePrompt("Do you want to save DataSet \"New\" too?", SaveChoice::SaveChanges)
      .expectSaveFile(port("copy.txt"))
      .expectMessage("The extension .txt of the file");
  EXPECT_FALSE(SaveAsClick(session, prompter));

  portfolio().markChanged();
  prompter.expectSavePrompt("", SaveChoice::SaveWithNew)
      .expectSaveFile(port("old.pelmar"))
      .expectTimedMessage("2 Datasets written");
  EXPECT_TRUE(SaveAsClick(session, prompter));
  EXPECT_TRUE(QFileInfo::exists(port("old.xml")));
  EXPECT_FALSE(QFileInfo::exists(port("old.pelmar")));
  EXPECT_FALSE(portfolio().bPortChanged());
  EXPECT_EQ(CurrentFileName(session), port("old.xml"));
}

}  // namespace
}  // namespace pelmar
