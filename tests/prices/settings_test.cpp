#include "prices/settings.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace pelmar {
namespace {

const QString kData = QStringLiteral("/data/");

// Every setting changed away from its default.
Settings changedSettings() {
  Settings s = Settings::defaults(kData);
  s.mainTop = 40;
  s.mainLeft = 50;
  s.mainWidth = 800;
  s.mainHeight = 600;
  s.optionsTop = 7;
  s.optionsLeft = 8;
  s.portfolioPath = QStringLiteral("/elsewhere/Port/");
  s.fileName = QStringLiteral("2024 Portefeuille C.xml");
  s.extension = QStringLiteral(".bak");
  s.copyPorts = false;
  s.language = QStringLiteral("Nederlands");
  s.dateFormat = QStringLiteral("dd-MM-yyyy");
  s.showRotai = false;
  s.hideYearClosingWarning = true;
  s.reportTitle = QStringLiteral("Familie & Co — ëé");
  s.pricePath = QStringLiteral("/elsewhere/Prices/");
  s.copyPrices = false;
  s.downloadAtStart = true;
  s.downloadDollarQuote = true;
  s.downloadAexQuote = true;
  s.downloadDutchList = false;
  s.downloadUsList = false;
  s.downloadDays = 0;
  s.downloadFromLastDate = true;
  s.downloadTop = 2;
  s.downloadLeft = 3;
  s.downloadWidth = 300;
  s.downloadHeight = 400;
  s.automaticUpdate = false;
  s.dollarIndexName = QStringLiteral("EUR/USD");
  s.euro = 1.0825;
  s.dollarFactor = QStringLiteral("100");
  s.currencyMulDiv = true;
  s.chartDays = 120;
  s.chartNormal = false;
  s.chartTop = 11;
  s.chartLeft = 12;
  s.chartWidth = 13;
  s.chartHeight = 14;
  s.actionsTop = 21;
  s.actionsLeft = 22;
  s.actionsHeight = 23;
  s.actionsWidth = 24;
  s.portReportTop = 31;
  s.portReportLeft = 32;
  s.portReportHeight = 33;
  s.portReportWidth = 34;
  s.accountsTop = 41;
  s.accountsLeft = 42;
  s.accountsWidth = 43;
  s.accountsHeight = 44;
  s.aboutTop = 51;
  s.aboutLeft = 52;
  s.checkTop = 61;
  s.checkLeft = 62;
  s.serviceTop = 71;
  s.serviceLeft = 72;
  s.serviceClientWidth = 73;
  s.serviceClientHeight = 74;
  s.cumFonds = true;
  s.servicePanel = true;
  s.debug = true;
  s.logFile = true;
  s.editOldDates = true;
  s.cfg = QStringLiteral("x");
  return s;
}

TEST(Settings, DefaultsAreThoseOfTheRegistryTables) {
  const Settings s = Settings::load(MemorySettingsStore(), kData);
  EXPECT_EQ(s, Settings::defaults(kData));
  EXPECT_EQ(s.mainTop, 1);
  EXPECT_EQ(s.mainWidth, 720);
  EXPECT_EQ(s.mainHeight, 540);
  EXPECT_EQ(s.portfolioPath, "/data/Port/");
  EXPECT_EQ(s.pricePath, "/data/Prices/");
  EXPECT_EQ(s.fileName, "Test-1.xml");
  EXPECT_EQ(s.language, "SysteemTaal");
  EXPECT_EQ(s.dateFormat, "yyyy-MM-dd");
  EXPECT_TRUE(s.showRotai);
  EXPECT_TRUE(s.copyPorts);
  EXPECT_TRUE(s.downloadDutchList);
  EXPECT_FALSE(s.downloadAtStart);
  EXPECT_EQ(s.downloadDays, 100);
  EXPECT_EQ(s.downloadWidth, 266);
  EXPECT_EQ(s.downloadHeight, 314);
  EXPECT_EQ(s.dollarIndexName, "Dollar/Euro");
  EXPECT_DOUBLE_EQ(s.euro, 0.95);
  EXPECT_EQ(s.dollarFactor, "1");
  EXPECT_EQ(s.chartDays, 301);
  EXPECT_EQ(s.serviceClientWidth, 427);
  EXPECT_EQ(s.serviceClientHeight, 357);
  EXPECT_FALSE(s.logFile);
  EXPECT_FALSE(s.chartTop.has_value());
}

TEST(Settings, EveryValueSurvivesTheMemoryStore) {
  MemorySettingsStore store;
  const Settings written = changedSettings();
  written.save(store);
  EXPECT_EQ(Settings::load(store, kData), written);
}

TEST(Settings, YesNoValuesAreStoredAsOneOrZeroAndAbsentPositionsNotAtAll) {
  MemorySettingsStore store;
  Settings::defaults(kData).save(store);
  EXPECT_EQ(store.value("Defaults", "ROTAI").toString(), "1");
  EXPECT_EQ(store.value("Download", "Koersen Downloaden").toString(), "0");
  EXPECT_FALSE(store.value("Grafiek", "GraphTop").isValid());
}

TEST(Settings, UnreadableValuesKeepTheirDefaultsAndEmptyFoldersTakeTheirs) {
  MemorySettingsStore store;
  store.setValue("Download", "Dagen", "veel");
  store.setValue("Defaults", "ROTAI", "misschien");
  store.setValue("Defaults", "Euro", "");
  store.setValue("Download", "Pad voor Koersen", "");
  store.setValue("Defaults", "Path", "");
  store.setValue("Grafiek", "Normaal", "false");
  store.setValue("Defaults", "Euro", "1,25");
  const Settings s = Settings::load(store, kData);
  EXPECT_EQ(s.downloadDays, 100);
  EXPECT_TRUE(s.showRotai);
  EXPECT_EQ(s.pricePath, "/data/Prices/");
  EXPECT_EQ(s.portfolioPath, "/data/Port/");
  EXPECT_FALSE(s.chartNormal);
  EXPECT_DOUBLE_EQ(s.euro, 1.25);
}

TEST(Settings, SectionAndValueNamesIgnoreCaseInBothStores) {
  QTemporaryDir dir;
  MemorySettingsStore memory;
  QSettingsStore ini(dir.filePath("Pelmar.conf"));
  for (SettingsStore* store : std::initializer_list<SettingsStore*>{&memory, &ini}) {
    store->setValue("options", "Left", 333);
    store->setValue("OPTIONS", "taal", "Engels");
    EXPECT_EQ(store->value("Options", "Left").toInt(), 333);
    EXPECT_EQ(store->value("Options", "Taal").toString(), "Engels");
    const Settings s = Settings::load(*store, kData);
    EXPECT_EQ(s.optionsLeft, 333);
    EXPECT_EQ(s.language, "Engels");
  }
  // The INI file keeps one section, under its first spelling.
  ASSERT_TRUE(ini.sync());
  QSettings raw(dir.filePath("Pelmar.conf"), QSettings::IniFormat);
  EXPECT_EQ(raw.childGroups(), QStringList{"options"});
}

TEST(Settings, EveryValueSurvivesTheIniFileAcrossRuns) {
  QTemporaryDir dir;
  const QString file = dir.filePath("Pelmar.conf");
  const Settings written = changedSettings();
  {
    QSettingsStore store(file);
    written.save(store);
    ASSERT_TRUE(store.sync());
  }
  QSettingsStore again(file);
  EXPECT_EQ(Settings::load(again, kData), written);
}

TEST(Settings, TheRealStoreLivesInTheUserConfigurationFolder) {
  QSettingsStore store;
  const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  ASSERT_FALSE(config.isEmpty());
  EXPECT_EQ(store.location(), config + "/Pelmar/Pelmar.conf");
}

TEST(Settings, TheDataDirectoryIsPerUserAndIsCreated) {
  const QString dir = dataDirectory();
  EXPECT_TRUE(dir.startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
  EXPECT_TRUE(dir.endsWith("/Pelmar/"));
  EXPECT_TRUE(QFileInfo(dir).isDir());
}

}  // namespace
}  // namespace pelmar
