#include "commands/settings_edit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <vector>

#include "model/safe_write.h"
#include "prices/settings_store.h"
#include "support/full_disk.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class SettingsEditTest : public test::PortfolioFixture {
 protected:
  SettingsEditTest() {
    session.setSettingsStore(&store);
    oldPrices = session.settings().pricePath;
  }
  // The window's OK on an edit.
  Outcome ok(const SettingsEdit& edit) { return OptionsOk(session, prompter, edit, effects); }
  QString prices(const QString& name) const { return oldPrices + name; }

  MemorySettingsStore store;
  test::ScriptedPrompter prompter;
  SettingsEffects effects;
  QString oldPrices;
};

TEST_F(SettingsEditTest, FromLastDownloadDateStoresZeroDaysAndShowsZeroAfterARestart) {
  SettingsEdit edit = VarToScreen(session);
  edit.settings.downloadFromLastDate = true;
  edit.daysText = QStringLiteral("100");
  ASSERT_TRUE(ok(edit));
  EXPECT_EQ(store.value("Download", "Dagen").toInt(), 0);
  EXPECT_EQ(store.value("Download", "Laatste datum").toInt(), 1);

  Session restarted(dir.path() + "/");
  restarted.loadSettings(store);
  const SettingsEdit shown = VarToScreen(restarted);
  EXPECT_EQ(shown.daysText, "0");
  EXPECT_TRUE(shown.settings.downloadFromLastDate);
}

TEST_F(SettingsEditTest, QuoteSwitchesSayWhatTheQuotesMustDo) {
  Settings dollar = session.settings();
  dollar.downloadDollarQuote = true;
  Settings aex = session.settings();
  aex.downloadAexQuote = true;
  const Settings none = session.settings();

  // Dollar to index: the dollar box emptied, its button and timer off.
  QuoteSwitches q = QuoteEffect(dollar, aex);
  EXPECT_FALSE(q.dollar || q.buttons.dollar);
  EXPECT_TRUE(q.buttons.aex);
  EXPECT_TRUE(q.clearDollar);
  EXPECT_TRUE(q.aex);
  EXPECT_FALSE(q.clearAex);
  EXPECT_TRUE(q.connect);
  EXPECT_EQ(q.label, " * AEX ");
  EXPECT_TRUE(q.changed);

  q = QuoteEffect(none, dollar);
  EXPECT_EQ(q.label, " * US$ ");
  EXPECT_FALSE(q.clearDollar || q.clearAex);

  q = QuoteEffect(aex, none);
  EXPECT_TRUE(q.clearAex);
  EXPECT_FALSE(q.connect || q.dollar || q.aex);
  EXPECT_TRUE(q.label.isEmpty());
  EXPECT_FALSE(QuoteEffect(none, none).changed);
}

TEST_F(SettingsEditTest, ANewPriceFolderGetsThePricesListsAndLastPrices) {
  const QStringList files = {"090313A.csv", "Stocks_nl.txt", "Stocks_us.txt", "Last Prices.txt",
                             "090312A.bak"};
  for (const QString& name : files) test::writeFile(prices(name), name.toLatin1());
  test::writeFile(prices("notes.doc"), "not a price file");
  const QString moved = path("Moved/Prices");
  // A newer file already there is kept.
  test::writeFile(moved + "/Stocks_us.txt", "newer");
  QFile older(prices("Stocks_us.txt"));
  ASSERT_TRUE(older.open(QIODevice::ReadWrite));
  ASSERT_TRUE(older.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0)),
                                QFileDevice::FileModificationTime));
  older.close();

  SettingsEdit edit = VarToScreen(session);
  edit.settings.pricePath = QDir::toNativeSeparators(moved);  // typed without "/"
  ASSERT_TRUE(ok(edit));
  EXPECT_EQ(session.settings().pricePath, moved + "/");
  EXPECT_EQ(session.prices().folder(), moved + "/");
  EXPECT_TRUE(effects.priceFolder);
  EXPECT_FALSE(effects.keptPriceFolder);
  for (const QString& name : files) {
    if (name != "Stocks_us.txt") {
      EXPECT_EQ(test::readFile(moved + "/" + name), name.toLatin1());
    }
  }
  EXPECT_EQ(test::readFile(moved + "/Stocks_us.txt"), "newer");
  EXPECT_FALSE(QFileInfo::exists(moved + "/notes.doc"));
  EXPECT_EQ(store.value("Download", "Pad voor Koersen").toString(), moved + "/");
}

TEST_F(SettingsEditTest, ACopyFailingHalfWayKeepsTheOldFolderAndSaysSo) {
  test::writeFile(prices("090313A.csv"), "a");
  test::writeFile(prices("090314A.csv"), "b");
  const QString moved = path("Moved");
  QDir().mkpath(moved + "/090314A.csv");  // a folder where the second file goes

  SettingsEdit edit = VarToScreen(session);
  edit.settings.pricePath = moved;
  edit.settings.reportTitle = QStringLiteral("Kept anyway");
  prompter.expectMessage("failed at \"090314A.csv\"");
  ASSERT_TRUE(ok(edit));
  EXPECT_EQ(session.settings().pricePath, oldPrices);
  EXPECT_EQ(session.prices().folder(), oldPrices);
  EXPECT_TRUE(effects.keptPriceFolder);
  EXPECT_FALSE(effects.priceFolder);
  // The other settings of the edit still take effect.
  EXPECT_EQ(session.settings().reportTitle, "Kept anyway");
}

TEST_F(SettingsEditTest, AFolderThatCannotBeMadeIsRefusedAndNothingChanges) {
  test::writeFile(path("plain-file"), "x");
  const Settings before = session.settings();
  SettingsEdit edit = VarToScreen(session);
  edit.settings.portfolioPath = path("plain-file/Port");
  edit.settings.reportTitle = QStringLiteral("Not taken");
  prompter.expectMessage("cannot be made or written");
  EXPECT_TRUE(ok(edit).isFailure());
  EXPECT_TRUE(effects.keptPortfolioFolder);
  EXPECT_EQ(session.settings(), before);
  EXPECT_FALSE(store.value("Defaults", "Title").isValid());
}

TEST_F(SettingsEditTest, BadTypedValuesAreRefusedWithNothingChanged) {
  const Settings before = session.settings();
  struct Case {
    const char* name;
    std::function<void(SettingsEdit&)> spoil;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"letters in days", [](SettingsEdit& e) { e.daysText = "12a"; }, "not a whole number"},
      {"negative days", [](SettingsEdit& e) { e.daysText = "-1"; }, "not a whole number"},
      {"no web address", [](SettingsEdit& e) { e.settings.usPriceService = "ftp://x/"; },
       "not a web address"},
      {"no host", [](SettingsEdit& e) { e.settings.dutchPriceService = "https://"; },
       "not a web address"},
      {"unknown language", [](SettingsEdit& e) { e.settings.language = "Frans"; }, "Frans"},
      {"unknown date format", [](SettingsEdit& e) { e.settings.dateFormat = "yy-M-d"; },
       "choose from"},
      {"factor zero", [](SettingsEdit& e) { e.settings.dollarFactor = "0"; }, "FactorDollar"},
      {"unknown source", [](SettingsEdit& e) { e.settings.usSource = "pigeon"; },
       "\"pigeon\" is not a valid value for Download/USSource; choose from: none, chart, csv"},
      {"unknown rate source", [](SettingsEdit& e) { e.settings.rateSource = "bank"; },
       "Download/RateSource"},
      {"template without symbol",
       [](SettingsEdit& e) { e.settings.csvSourceUrl = "https://q.test/d?s=ASML"; },
       "holds no {symbol}"},
      {"template no address", [](SettingsEdit& e) { e.settings.csvSourceUrl = "q.test/{symbol}"; },
       "not a web address"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsEdit edit = VarToScreen(session);
    c.spoil(edit);
    prompter.expectMessage(c.message);
    EXPECT_TRUE(ok(edit).isFailure());
    prompter.verify();
    EXPECT_EQ(session.settings(), before);
  }
  // Days do not matter while downloading from the last date.
  SettingsEdit edit = VarToScreen(session);
  edit.settings.downloadFromLastDate = true;
  edit.daysText = "junk";
  // A source is taken in any case, as its known spelling.
  edit.settings.dutchSource = " Chart ";
  EXPECT_TRUE(ok(edit));
  EXPECT_EQ(session.settings().dutchSource, "chart");
}

TEST_F(SettingsEditTest, ANewDateFormatRewritesBothStockLists) {
  test::writeFile(prices("Stocks_nl.txt"), "Aegon,agn,2009-03-13\r\nShell,rdsa,\r\n");
  test::writeFile(prices("Stocks_us.txt"), "Apple,AAPL,2009-03-13\r\n");
  SettingsEdit edit = VarToScreen(session);
  edit.settings.dateFormat = QStringLiteral("dd-MM-yyyy");
  ASSERT_TRUE(ok(edit));
  EXPECT_TRUE(effects.dateFormat);
  EXPECT_EQ(test::readFile(prices("Stocks_nl.txt")), "Aegon,agn,13-03-2009\r\nShell,rdsa,\r\n");
  EXPECT_EQ(test::readFile(prices("Stocks_us.txt")), "Apple,AAPL,13-03-2009\r\n");
  EXPECT_EQ(store.value("Options", "Datum").toString(), "dd-MM-yyyy");

  // A list that cannot be written: neither list changes, the format stays.
  QFile::remove(prices("Stocks_us.txt"));
  QDir().mkpath(prices("Stocks_us.txt"));
  edit = VarToScreen(session);
  edit.settings.dateFormat = QStringLiteral("MM-dd-yyyy");
  prompter.expectMessage("could not be converted");
  ASSERT_TRUE(ok(edit));
  EXPECT_FALSE(effects.dateFormat);
  EXPECT_EQ(session.settings().dateFormat, "dd-MM-yyyy");
  EXPECT_EQ(test::readFile(prices("Stocks_nl.txt")), "Aegon,agn,13-03-2009\r\nShell,rdsa,\r\n");
}

TEST_F(SettingsEditTest, AFormatStoredInCapitalsIsTheSameFormatAndConvertsNothing) {
  const QByteArray list = "Shell,rdsa,13-03-2009\r\nAegon,agn,13-03-2009\r\n";
  test::writeFile(prices("Stocks_nl.txt"), list);
  session.settings().dateFormat = QStringLiteral("DD-MM-YYYY");
  SettingsEdit edit = VarToScreen(session);
  edit.settings.dateFormat = QStringLiteral("dd-MM-yyyy");
  ASSERT_TRUE(ok(edit));
  EXPECT_FALSE(effects.dateFormat);
  EXPECT_EQ(test::readFile(prices("Stocks_nl.txt")), list);
  EXPECT_EQ(store.value("Options", "Datum").toString(), "dd-MM-yyyy");
}

TEST_F(SettingsEditTest, AListThatCannotBePutBackIsNamedAndTheOthersGetTheirBytesBack) {
  // Unsorted on disk: putting back restores the bytes, not a sorted copy.
  const QByteArray dutch = "Shell,rdsa,2009-03-13\r\nAegon,agn,2009-03-13\r\n";
  test::writeFile(prices("Stocks_nl.txt"), dutch);
  test::writeFile(prices("Stocks_us.txt"), "Apple,AAPL,2009-03-13\r\n");
  // Writes in order: the Dutch list, the US list, the Dutch list put back.
  int writes = 0;
  std::vector<int> failing{2};
  const auto write = [&](const QString& path, const QByteArray& bytes) {
    return std::count(failing.begin(), failing.end(), ++writes)
               ? Outcome::failed(TextId::SettingDatesNotConverted, {path})
               : safe_write::WriteFile(path, bytes);
  };
  StockListConversion result =
      ConvertStockListDates(prices(""), DateFormat::YearMonthDay, DateFormat::DayMonthYear, write);
  EXPECT_EQ(result.failed, prices("Stocks_us.txt"));
  EXPECT_TRUE(result.notRestored.isEmpty());
  EXPECT_EQ(test::readFile(prices("Stocks_nl.txt")), dutch);

  // The putting back fails too: the Dutch list is named, as it holds the new format.
  writes = 0;
  failing = {2, 3};
  result =
      ConvertStockListDates(prices(""), DateFormat::YearMonthDay, DateFormat::DayMonthYear, write);
  EXPECT_EQ(result.failed, prices("Stocks_us.txt"));
  EXPECT_EQ(result.notRestored, QStringList{prices("Stocks_nl.txt")});
  EXPECT_EQ(test::readFile(prices("Stocks_nl.txt")),
            "Aegon,agn,13-03-2009\r\nShell,rdsa,13-03-2009\r\n");
}

TEST_F(SettingsEditTest, LanguageAndCurrenciesTakeEffectAtOnce) {
  start(QDate(2009, 3, 13));
  SettingsEdit edit = VarToScreen(session);
  edit.settings.language = Language::kSettingDutch;
  edit.rapInDollar = true;
  prompter.expectMessage("De taal is gewijzigd");
  ASSERT_TRUE(ok(edit));
  EXPECT_TRUE(effects.language);
  EXPECT_TRUE(session.language().isDutch());
  EXPECT_TRUE(effects.currencies);
  EXPECT_TRUE(portfolio().bRapInDollar());
  EXPECT_FALSE(portfolio().bPortInDollar());
  EXPECT_TRUE(portfolio().bPortChanged());

  // The same edit again changes nothing and says nothing.
  edit = VarToScreen(session);
  ASSERT_TRUE(ok(edit));
  EXPECT_FALSE(effects.language || effects.currencies || effects.quotes.changed);
}

TEST_F(SettingsEditTest, OneSettingByNameGoesThroughTheSameChecks) {
  ASSERT_TRUE(SetSetting(session, prompter, "download/aexkoers downloaden", "1", effects));
  ASSERT_TRUE(SetSetting(session, prompter, "Download/Dollarkoers Downloaden", "yes", effects));
  // One live quote at a time.
  EXPECT_TRUE(session.settings().downloadDollarQuote);
  EXPECT_FALSE(session.settings().downloadAexQuote);
  EXPECT_TRUE(effects.quotes.clearAex);
  ASSERT_TRUE(SetSetting(session, prompter, "Download/Dagen", "30", effects));
  EXPECT_EQ(store.value("Download", "Dagen").toInt(), 30);

  prompter.expectMessage("no setting \"Download/Nothing\"");
  EXPECT_FALSE(SetSetting(session, prompter, "Download/Nothing", "1", effects));
  prompter.expectMessage("\"lots\" is not a valid value for Download/Dagen");
  EXPECT_FALSE(SetSetting(session, prompter, "download/dagen", "lots", effects));
  prompter.expectMessage("cannot be made or written");
  test::writeFile(path("plain-file"), "x");
  EXPECT_FALSE(SetSetting(session, prompter, "Defaults/Path", path("plain-file/x"), effects));
  EXPECT_EQ(session.settings().downloadDays, 30);
}

// Settings the store cannot keep (a full disk) are told, stay in effect and
// reach the file at the next store; the file keeps what it held.
TEST_F(SettingsEditTest, SettingsTheStoreCannotKeepAreToldAndStoredLater) {
  test::FullDisk disk;
  PELMAR_SKIP_WITHOUT_FULL_DISK(disk);
  const QString conf = disk.path("Pelmar.conf");
  test::writeFile(conf, "[Options]\nLeft=7\n");
  QSettingsStore full(conf);
  session.setSettingsStore(&full);
  ASSERT_TRUE(disk.fill());
  const auto before = disk.files();
  prompter.expectMessage("The settings could not be saved. The disk is full.");
  const Outcome outcome = SetSetting(session, prompter, "Download/Dagen", "30", effects);
  ASSERT_TRUE(outcome.isFailure());
  EXPECT_EQ(outcome.reason()->id, TextId::SettingsNotSaved);
  EXPECT_EQ(session.settings().downloadDays, 30);
  EXPECT_EQ(disk.files(), before);

  disk.release();
  ASSERT_TRUE(session.storeSettings());
  QSettingsStore reread(conf);
  EXPECT_EQ(reread.value("Download", "Dagen").toInt(), 30);
  EXPECT_EQ(reread.value("Options", "Left").toInt(), 7);
}

TEST(NormalizeFilePathName, FoldersEndInASeparatorAndPortfoliosInXml) {
  EXPECT_EQ(NormalizeFilePathName(" /a/Port ", PathKind::Folder), "/a/Port/");
  EXPECT_EQ(NormalizeFilePathName("/a/Port/", PathKind::Folder), "/a/Port/");
  EXPECT_EQ(NormalizeFilePathName("", PathKind::Folder), "");
  EXPECT_EQ(NormalizeFilePathName("Test-1", PathKind::PortfolioFile), "Test-1.xml");
  EXPECT_EQ(NormalizeFilePathName("Test-1.XML", PathKind::PortfolioFile), "Test-1.XML");
}

}  // namespace
}  // namespace pelmar
