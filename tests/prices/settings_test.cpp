#include "prices/settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace pelmar {
namespace {

const QString kData = QStringLiteral("/data/");

// Every setting changed away from its default, each number to a value of
// its own, so that two settings stored under one name would show.
Settings changedSettings() {
  using S = Settings;
  Settings s = Settings::defaults(kData);
  int n = 1000;
  for (int S::*m :
       {&S::mainTop,        &S::mainLeft,    &S::mainWidth,          &S::mainHeight,
        &S::downloadDays,   &S::downloadTop, &S::downloadLeft,       &S::downloadWidth,
        &S::downloadHeight, &S::chartDays,   &S::accountsTop,        &S::accountsLeft,
        &S::aboutTop,       &S::aboutLeft,   &S::checkTop,           &S::checkLeft,
        &S::serviceTop,     &S::serviceLeft, &S::serviceClientWidth, &S::serviceClientHeight})
    s.*m = ++n;
  for (std::optional<int> S::*m :
       {&S::optionsTop, &S::optionsLeft, &S::chartTop, &S::chartLeft, &S::chartWidth,
        &S::chartHeight, &S::actionsTop, &S::actionsLeft, &S::actionsHeight, &S::actionsWidth,
        &S::portReportTop, &S::portReportLeft, &S::portReportHeight, &S::portReportWidth,
        &S::accountsWidth, &S::accountsHeight})
    s.*m = ++n;
  for (bool S::*m :
       {&S::copyPorts, &S::showRotai, &S::hideYearClosingWarning, &S::copyPrices,
        &S::downloadAtStart, &S::downloadDollarQuote, &S::downloadAexQuote, &S::downloadDutchList,
        &S::downloadUsList, &S::downloadFromLastDate, &S::automaticUpdate, &S::currencyMulDiv,
        &S::chartNormal, &S::cumFonds, &S::servicePanel, &S::debug, &S::logFile, &S::editOldDates})
    s.*m = !(s.*m);
  for (QString S::*m :
       {&S::portfolioPath, &S::fileName, &S::extension, &S::pricePath, &S::dollarIndexName,
        &S::dollarFactor, &S::cfg, &S::dutchSource, &S::usSource, &S::chartSourceUrl,
        &S::csvSourceUrl, &S::rateSource, &S::referenceRatesUrl})
    s.*m += QString::number(++n);
  // Choices only take their own texts.
  s.language = QStringLiteral("Engels");
  s.dateFormat = QStringLiteral("dd-MM-yyyy");
  s.reportTitle = QStringLiteral("Familie & Co — ëé");
  s.euro = 1.0825;
  return s;
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
  store.setValue("Download", "Pad voor Koersen", "");
  store.setValue("Defaults", "Path", "");
  store.setValue("Grafiek", "Normaal", "false");
  store.setValue("Defaults", "Euro", "1,25");
  EXPECT_EQ(Settings::load(MemorySettingsStore(), kData), Settings::defaults(kData));
  const Settings s = Settings::load(store, kData);
  EXPECT_EQ(s.downloadDays, 100);
  EXPECT_TRUE(s.showRotai);
  EXPECT_EQ(s.pricePath, "/data/Prices/");
  EXPECT_EQ(s.portfolioPath, "/data/Port/");
  EXPECT_FALSE(s.chartNormal);
  EXPECT_DOUBLE_EQ(s.euro, 1.25);
}

TEST(Settings, AServiceAddressNamedBeforeSourcesExistedKeepsItsList) {
  MemorySettingsStore store;
  store.setValue("Download", "DutchPriceService", "https://nl.test/");
  store.setValue("Download", "USPriceService", "https://us.test/");
  store.setValue("Download", "USSource", "chart");
  const Settings s = Settings::load(store, kData);
  EXPECT_EQ(s.dutchSource, "nl-service");
  EXPECT_EQ(s.usSource, "chart");
}

// A stored value that cannot be used takes its default and is named; what
// can be used is kept.
TEST(Settings, UnusableValuesAreResetAndNamed) {
  struct Case {
    const char* section;
    const char* name;
    const char* stored;
    bool reset;
  };
  const Case cases[] = {
      {"Download", "Dagen", "abc", true},
      {"Download", "Breedte", "1000000000", true},
      {"Download", "Hoogte", "1e9", true},
      {"Grafiek", "GraphWidth", "-999999999", true},
      {"Options", "Taal", "Klingon", true},
      {"Options", "Datum", "yy.MM.dd", true},
      {"Download", "USPriceService", "not an address", true},
      {"Download", "DollarQuotePage", "file:///etc/passwd", true},
      {"Valuta", "FactorDollar", "0", true},
      {"Defaults", "Euro", "inf", true},
      {"Defaults", "ROTAI", "misschien", true},
      {"Download", "Dagen", "9999", false},
      {"Options", "Taal", "Engels", false},
      {"Defaults", "Width", "1200", false},
      {"Download", "Dagen", "", false},  // empty: as if missing
  };
  const Settings defaults = Settings::defaults(kData);
  for (const Case& c : cases) {
    MemorySettingsStore store;
    store.setValue(c.section, c.name, c.stored);
    QStringList reset;
    const Settings s = Settings::load(store, kData, &reset);
    const QString name = QStringLiteral("%1/%2").arg(c.section, c.name);
    EXPECT_EQ(reset, c.reset ? QStringList{name} : QStringList{}) << c.stored;
    if (c.reset) {
      EXPECT_EQ(s, defaults) << c.stored;
    } else if (*c.stored) {
      EXPECT_EQ(*settingText(s, name), c.stored) << c.stored;
    }
  }
}

TEST(Settings, ARelativeFolderIsTakenInTheDataDirectory) {
  MemorySettingsStore store;
  store.setValue("Download", "Pad voor Koersen", "Koersen");
  store.setValue("Defaults", "Path", "../Elders/Port/");
  const Settings s = Settings::load(store, kData);
  EXPECT_EQ(s.pricePath, "/data/Koersen/");
  EXPECT_EQ(s.portfolioPath, "/Elders/Port/");
}

// A settings file full of noise, or no file at all, gives the defaults.
TEST(Settings, ANoisyOrSpecialSettingsFileGivesTheDefaults) {
  QTemporaryDir dir;
  const QString noise = dir.filePath("noise.conf");
  QByteArray bytes;
  for (int i = 0; i < 4096; ++i) bytes += char((i * 7919 + 13) % 256);
  QFile file(noise);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  file.close();
  EXPECT_EQ(Settings::load(QSettingsStore(noise), kData), Settings::defaults(kData));
  // A link to a device is not read (it would never end) and never written.
  const QString device = dir.filePath("device.conf");
  ASSERT_TRUE(QFile::link("/dev/zero", device));
  QSettingsStore store(device);
  EXPECT_EQ(Settings::load(store, kData), Settings::defaults(kData));
  store.setValue("Download", "Dagen", 5);
  EXPECT_FALSE(store.sync());
  EXPECT_TRUE(QFileInfo(device).isSymLink());
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

TEST(Settings, EveryValueSurvivesBothStores) {
  const Settings written = changedSettings();
  MemorySettingsStore memory;
  written.save(memory);
  EXPECT_EQ(Settings::load(memory, kData), written);

  // The INI file across runs.
  QTemporaryDir dir;
  {
    QSettingsStore store(dir.filePath("Pelmar.conf"));
    written.save(store);
    ASSERT_TRUE(store.sync());
  }
  EXPECT_EQ(Settings::load(QSettingsStore(dir.filePath("Pelmar.conf")), kData), written);
}

TEST(Settings, EveryValueSurvivesItsTextByName) {
  const Settings written = changedSettings();
  Settings read = Settings::defaults(kData);
  for (const QString& name : settingNames()) {
    // Any case, as the store's names.
    const std::optional<QString> text = settingText(written, name.toUpper());
    ASSERT_TRUE(text) << name.toStdString();
    EXPECT_EQ(setSettingText(read, name.toLower(), *text), SettingText::Done) << name.toStdString();
  }
  EXPECT_EQ(read, written);
  EXPECT_EQ(settingName("download/dagen"), "Download/Dagen");
}

// What the store would not read back as the value is refused, untouched.
TEST(Settings, ATextThatIsNoValueIsRefusedAndAnEmptyOneClearsAPosition) {
  Settings s = Settings::defaults(kData);
  EXPECT_EQ(setSettingText(s, "Nothing/Here", "1"), SettingText::UnknownName);
  EXPECT_EQ(setSettingText(s, "Download/Dagen", "12a"), SettingText::NotAValue);
  EXPECT_EQ(setSettingText(s, "Download/Dagen", ""), SettingText::NotAValue);
  EXPECT_EQ(setSettingText(s, "Grafiek/Normaal", "maybe"), SettingText::NotAValue);
  EXPECT_EQ(setSettingText(s, "Defaults/Euro", "0,9x"), SettingText::NotAValue);
  EXPECT_EQ(s, Settings::defaults(kData));
  EXPECT_EQ(setSettingText(s, "Grafiek/Normaal", "no"), SettingText::Done);
  EXPECT_FALSE(s.chartNormal);
  // A position without a default is cleared by an empty text.
  s.chartTop = 5;
  EXPECT_EQ(setSettingText(s, "Grafiek/GraphTop", " "), SettingText::Done);
  EXPECT_EQ(settingText(s, "Grafiek/GraphTop"), "");
}

TEST(Settings, TheRealStoreAndTheDataDirectoryArePerUser) {
  EXPECT_EQ(QSettingsStore().location(),
            qEnvironmentVariable("XDG_CONFIG_HOME") + "/Pelmar/Pelmar.conf");
  const QString dir = dataDirectory();
  EXPECT_TRUE(dir.startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
  EXPECT_TRUE(dir.endsWith("/Pelmar/"));
  EXPECT_TRUE(QFileInfo(dir).isDir()) << "made when missing";
}

}  // namespace
}  // namespace pelmar
