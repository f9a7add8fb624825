#include "commands/file_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "commands/fund_grid.h"
#include "commands/navigation.h"
#include "model/dates.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

QDateTime noon(int y, int m, int d) {
  return QDateTime(QDate(y, m, d), QTime(12, 0));
}

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

// Keeps the names the save dialog proposed.
class SavePrompter : public test::ScriptedPrompter {
 public:
  std::optional<QString> saveFileName(const QString& caption, const QString& proposal,
                                      const QString& filter) override {
    proposals.push_back(QFileInfo(proposal).fileName());
    return ScriptedPrompter::saveFileName(caption, proposal, filter);
  }
  QStringList proposals;
};

class FileCommandsTest : public ::testing::Test {
 protected:
  FileCommandsTest() : session(dir.path() + QLatin1Char('/'), QLocale::c()) {
    session.setLanguage(Language::Code::English);
    session.clock().fix(QDate(2024, 6, 12));  // a Wednesday
    session.settings().portfolioPath = port(QString());
    session.settings().pricePath = dir.filePath(QStringLiteral("Prices/"));
    session.applyPricePath();
    QDir(dir.path()).mkpath(QStringLiteral("Port"));
    QDir(dir.path()).mkpath(QStringLiteral("Prices"));
  }

  Portfolio& portfolio() { return session.portfolio(); }
  QString port(const QString& name) const { return dir.filePath(QStringLiteral("Port/")) + name; }

  int dataSets() const {
    int count = 0;
    for (int i = 0; i < session.portfolio().size(); ++i)
      if (session.portfolio().idAt(i) == AlgemeenRec::Id) ++count;
    return count;
  }

  // Adds a fund through the placeholder row of the current dataset, as the
  // user does in the grid.
  void addFund(const QString& ticker, const QString& aantal, const QString& koers) {
    Portfolio& p = portfolio();
    p.SelFonds = FundCount(p);
    p.pKoersRec = p.FirstKoersIndex + p.SelFonds;
    QStringList cells = FillGrid(session);
    cells[GridRow::Ticker] = ticker;
    cells[GridRow::Aantal] = aantal;
    cells[GridRow::Koers] = koers;
    UpdateFonds(session, session.engine(), prompter, cells, GridRow::Ticker);
  }

  // A new euro portfolio started on 2024-06-03 holding "BBB" and "aaa".
  void newPortfolio() {
    prompter.expectQuestion("The standard currency is the Dollar", Answer::No)
        .expectDate(noon(2024, 6, 3), "Select the right starting date");
    ASSERT_TRUE(files.SpeedNewClick());
    addFund("BBB", "10", "20");
    addFund("aaa", "5", "8");
    prompter.verify();
  }

  // Saves the new portfolio as "2024 Portfolio A.xml".
  QString saveNew() {
    const QString path = port(QStringLiteral("2024 Portfolio A.xml"));
    prompter.expectSaveFile(path).expectTimedMessage("Datasets written");
    EXPECT_EQ(files.SpeedSaveClick(), SaveOutcome::Saved);
    return path;
  }

  QTemporaryDir dir;
  Session session;
  SavePrompter prompter;
  MemorySettingsStore store;
  FileCommands files{session, prompter, &store};
};

TEST_F(FileCommandsTest, NewPortfolioIsSavedUnderTheFirstFreeLetterAndReopensWithNieuw) {
  newPortfolio();
  EXPECT_TRUE(portfolio().bPortNew);
  EXPECT_FALSE(portfolio().bPortInDollar);
  EXPECT_EQ(files.caption(), QStringLiteral("Pelmar, version 1.32a  [New File]"));
  writeFile(port("2024 Portfolio A.xml"), "taken");
  writeFile(port("2024 Portfolio B.xml"), "taken");

  const QString path = port(QStringLiteral("2024 Portfolio C.xml"));
  prompter.expectSaveFile(path).expectTimedMessage("1 Datasets written");
  EXPECT_EQ(files.SpeedSaveClick(), SaveOutcome::Saved);
  EXPECT_EQ(prompter.proposals, QStringList{"2024 Portfolio C.xml"});
  EXPECT_FALSE(portfolio().bPortNew);
  EXPECT_TRUE(portfolio().bPortOpened);
  EXPECT_FALSE(portfolio().bPortChanged);
  EXPECT_EQ(files.currentFileName(), path);
  EXPECT_EQ(files.caption(), QStringLiteral("Pelmar version 1.32a [2024 Portfolio C]"));
  EXPECT_EQ(store.value("Defaults", "FileName").toString(), "2024 Portfolio C.xml");

  ASSERT_TRUE(files.LoadPortfolio(path));
  const Portfolio& p = portfolio();
  EXPECT_EQ(dataSets(), 2) << "the dataset of today is appended";
  EXPECT_TRUE(p.bAtLastSet);
  EXPECT_EQ(serialToDate(p.alg().Datum), QDate(2024, 6, 12));
  EXPECT_EQ(p.alg().NrOfSet, 2);
  EXPECT_EQ(SelectedFundEntry(p), "[New]") << "the first entry of the sorted list";
  EXPECT_EQ(p.pKoersRec, p.FirstKoersIndex + p.SelFonds);
  EXPECT_FALSE(p.bPortChanged);
  EXPECT_EQ(files.caption(), QStringLiteral("Pelmar version 1.32a [2024 Portfolio C.xml]"));
  EXPECT_EQ(SetNavBtns(p), EnableNav(true, false));
}

TEST_F(FileCommandsTest, SavingWithOrWithoutNieuwDecidesWhatTheReopenedFileHolds) {
  newPortfolio();
  const QString path = saveNew();
  ASSERT_TRUE(files.LoadPortfolio(path));
  ASSERT_EQ(dataSets(), 2);

  // Without "Nieuw": the file keeps one dataset, memory keeps both.
  portfolio().bPortChanged = true;
  prompter.expectSavePrompt("With or without DataSet", SaveChoice::SaveChanges)
      .expectTimedMessage("1 Datasets written");
  EXPECT_EQ(files.SpeedSaveClick(), SaveOutcome::Saved);
  EXPECT_EQ(dataSets(), 2);
  EXPECT_TRUE(files.bMayClose);
  ASSERT_TRUE(files.LoadPortfolio(path));
  EXPECT_EQ(dataSets(), 2);

  // With "Nieuw": the reopened file gets a further dataset of today.
  portfolio().bPortChanged = true;
  prompter.expectSavePrompt("", SaveChoice::SaveWithNew).expectTimedMessage("2 Datasets written");
  EXPECT_EQ(files.SpeedSaveClick(), SaveOutcome::Saved);
  ASSERT_TRUE(files.LoadPortfolio(path));
  EXPECT_EQ(dataSets(), 3);
}

TEST_F(FileCommandsTest, FilesThatCannotBeReadLeaveThePortfolioInPlace) {
  newPortfolio();
  const QString saved = saveNew();
  ASSERT_TRUE(files.LoadPortfolio(saved));
  const RecordList before = portfolio().records();

  writeFile(port("tiny.xml"), "<a/>");
  prompter.expectTimedMessage("This portfolio doesn't contain any information.");
  EXPECT_FALSE(files.LoadPortfolio(port("tiny.xml")));
  prompter.expectTimedMessage("This portfolio doesn't contain any information.");
  EXPECT_FALSE(files.LoadPortfolio(port("missing.xml")));

  writeFile(port("garbage.xml"), "<x>no portfolio at all</x>");
  prompter.expectMessage("garbage.xml has not been read.");
  EXPECT_FALSE(files.LoadPortfolio(port("garbage.xml")));

  writeFile(port("broken.xml"), "<x>unbalanced</x");
  prompter.expectTimedMessage("not a valid xml file")
      .expectMessage("broken.xml has not been read.");
  EXPECT_FALSE(files.LoadPortfolio(port("broken.xml")));

  EXPECT_EQ(portfolio().records().size(), before.size());
  EXPECT_EQ(files.currentFileName(), saved) << "a failed open records nothing";
}

TEST_F(FileCommandsTest, OpenRefusesOtherExtensionsAndOffersToSaveFirst) {
  newPortfolio();
  const QString path = saveNew();
  ASSERT_TRUE(files.LoadPortfolio(path));

  writeFile(port("caps.XML"), contents(path));
  prompter.expectOpenFile(port("caps.XML")).expectMessage("The extension .XML of the file");
  EXPECT_FALSE(files.SpeedOpenClick());

  // A cancelled save prompt keeps the changed portfolio instead of opening.
  portfolio().bPortChanged = true;
  prompter.expectOpenFile(path).expectSavePrompt("", SaveChoice::Cancel);
  EXPECT_FALSE(files.SpeedOpenClick());
  EXPECT_TRUE(portfolio().bPortChanged);

  prompter.expectOpenFile(path).expectSavePrompt("", SaveChoice::CloseWithoutSaving);
  EXPECT_TRUE(files.SpeedOpenClick());
  EXPECT_FALSE(portfolio().bPortChanged);
}

TEST_F(FileCommandsTest, ANewPortfolioDoesNotReplaceUnsavedChangesUnasked) {
  newPortfolio();
  const QString path = saveNew();
  ASSERT_TRUE(files.LoadPortfolio(path));
  portfolio().bPortChanged = true;
  prompter.expectSavePrompt("", SaveChoice::Cancel);
  EXPECT_FALSE(files.SpeedNewClick());
  EXPECT_TRUE(portfolio().bPortOpened);

  // A cancelled start date keeps the portfolio too.
  portfolio().bPortChanged = false;
  prompter.expectQuestion("Select Currency", Answer::Yes).expectDate(std::nullopt);
  EXPECT_FALSE(files.SpeedNewClick());
  EXPECT_TRUE(portfolio().bPortOpened);
  EXPECT_EQ(files.caption(), QStringLiteral("Pelmar version 1.32a [2024 Portfolio A.xml]"));
}

TEST_F(FileCommandsTest, AFolderWithoutXmlFilesGetsTheFormatNotice) {
  prompter.expectMessage("Pelmar has changed its file format.").expectOpenFile(std::nullopt);
  EXPECT_FALSE(files.SpeedOpenClick());
}

TEST_F(FileCommandsTest, ExitWithUnsavedChangesAndTwoCancelsKeepsTheProgramOpen) {
  newPortfolio();
  const QString path = saveNew();
  ASSERT_TRUE(files.LoadPortfolio(path));
  const QByteArray onDisk = contents(path);
  portfolio().bPortChanged = true;

  prompter.expectSavePrompt("", SaveChoice::Cancel);
  files.SpeedEindeClick();
  prompter.expectSavePrompt("", SaveChoice::Cancel);
  EXPECT_FALSE(files.FormClose());
  EXPECT_EQ(contents(path), onDisk);
  EXPECT_FALSE(QFileInfo::exists(port("2024 Portfolio A.bak")));

  // "Close Without Saving" is not asked a second time by the closing.
  prompter.expectSavePrompt("", SaveChoice::CloseWithoutSaving);
  files.SpeedEindeClick();
  EXPECT_TRUE(files.FormClose());
  EXPECT_EQ(contents(path), onDisk);
}

TEST_F(FileCommandsTest, ClosingWithoutChangesOrAfterSavingNeedsNoQuestion) {
  EXPECT_TRUE(files.FormClose());
  newPortfolio();
  portfolio().bPortChanged = true;
  prompter.expectSaveFile(port("n.xml")).expectTimedMessage("Datasets written");
  EXPECT_TRUE(files.FormClose());
  EXPECT_TRUE(QFileInfo::exists(port("n.xml")));
}

TEST_F(FileCommandsTest, AFailedSaveIsNotCountedAsSaved) {
  newPortfolio();
  portfolio().bPortChanged = true;
  // A folder in the way of the file: it cannot be written.
  QDir(dir.path()).mkpath(QStringLiteral("Port/blocked.xml"));
  prompter.expectSaveFile(port("blocked.xml")).expectMessage("The saved Pelmar file is too small");
  EXPECT_EQ(files.SpeedSaveClick(), SaveOutcome::NotSaved);
  EXPECT_TRUE(portfolio().bPortNew);
  EXPECT_TRUE(portfolio().bPortChanged);
  EXPECT_FALSE(files.bMayClose);
}

TEST_F(FileCommandsTest, SaveAsWritesTheXmlFileAndRefusesStrangeExtensions) {
  newPortfolio();
  const QString path = saveNew();
  ASSERT_TRUE(files.LoadPortfolio(path));

  prompter.expectSavePrompt("Do you want to save DataSet \"New\" too?", SaveChoice::SaveChanges)
      .expectSaveFile(port("copy.txt"))
      .expectMessage("The extension .txt of the file");
  EXPECT_FALSE(files.SaveAsClick());

  portfolio().bPortChanged = true;
  prompter.expectSavePrompt("", SaveChoice::SaveWithNew)
      .expectSaveFile(port("old.pelmar"))
      .expectTimedMessage("2 Datasets written");
  EXPECT_TRUE(files.SaveAsClick());
  EXPECT_TRUE(QFileInfo::exists(port("old.xml")));
  EXPECT_FALSE(portfolio().bPortChanged);
  EXPECT_FALSE(QFileInfo::exists(port("old.pelmar")));
  EXPECT_EQ(files.currentFileName(), port("old.xml"));

  prompter.expectSavePrompt("", SaveChoice::SaveChanges)
      .expectSaveFile(port("plain"))
      .expectTimedMessage("1 Datasets written");
  EXPECT_TRUE(files.SaveAsClick());
  EXPECT_TRUE(QFileInfo::exists(port("plain.xml")));

  prompter.expectSavePrompt("", SaveChoice::Cancel);
  EXPECT_FALSE(files.SaveAsClick());
}

TEST_F(FileCommandsTest, StartCopiesTheExamplesAndOpensTheRecordedPortfolio) {
  newPortfolio();
  const QString saved = saveNew();
  const QString examples = dir.filePath(QStringLiteral("Examples"));
  QDir(dir.path()).mkpath(QStringLiteral("Examples"));
  ASSERT_TRUE(QFile::rename(saved, examples + QStringLiteral("/Demo.xml")));
  session.settings().fileName = QStringLiteral("Demo.xml");

  ASSERT_TRUE(files.OpenAtStart(examples));
  EXPECT_TRUE(QFileInfo::exists(port("Demo.xml")));
  EXPECT_EQ(dataSets(), 2);

  // A recorded file that is gone falls back on ".pelmar", which holds nothing.
  session.settings().fileName = QStringLiteral("Gone.xml");
  prompter.expectTimedMessage("doesn't contain any information");
  EXPECT_FALSE(files.OpenAtStart(examples));

  // With none recorded the open dialog is offered up to five times.
  session.settings().fileName.clear();
  for (int i = 0; i < 5; ++i) prompter.expectOpenFile(std::nullopt);
  EXPECT_FALSE(files.OpenAtStart(examples));
}

}  // namespace
}  // namespace pelmar
