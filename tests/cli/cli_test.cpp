#include "cli/cli.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "cli_run.h"
#include "lang/language.h"
#include "prices/settings.h"
#include "prices/settings_store.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

using test::CliRun;

CliRun run(const QStringList& args) {
  return test::runCliWith(args);
}

TEST(Cli, VersionInEitherLanguageAndHelp) {
  EXPECT_EQ(run({"--version", "--lang", "en"}).out, "Pelmar, version 1.32a\n");
  EXPECT_EQ(run({"--lang", "nl", "--version"}).out, "Pelmar, versie 1.32a\n");
  const CliRun r = run({"--help"});
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(r.out.contains("--today YYYY-MM-DD"));
}

TEST(Cli, WrongUsageEndsWithCode2AndAReason) {
  const struct {
    QStringList args;
    const char* reason;
  } rows[] = {
      {{"--today", "2024-02-30", "--version"}, "Not a date: \"2024-02-30\""},
      {{"--lang", "fr"}, "Unknown language \"fr\""},
      {{"dance"}, "Unknown command \"dance\""},
      {{"--frobnicate"}, ""},
      {{"open"}, ""},
      {{"check", "a.xml", "b.xml"}, ""},
      {{"check", "a.xml", "--json"}, ""},
      {{"open", "a.xml", "--without-new"}, ""},
      {{"open", "a.xml", "--save"}, ""},
      {{"run", "a.xml"}, "--script and --strict belong to the command run"},
      {{"open", "a.xml", "--strict"}, "--script and --strict belong to the command run"},
      {{"run", "a.xml", "--script", "/no/such/steps"}, "cannot be read"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args.join(' ').toStdString());
    const CliRun r = run(row.args);
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_TRUE(r.err.contains(row.reason)) << r.err.toStdString();
  }
}

// The example data shipped with the program, opened from a copy.
const QString kExamples = QStringLiteral(PELMAR_SOURCE_DIR "/data");
const QString kPrices = kExamples + QStringLiteral("/Prices");
const QString kToday = QStringLiteral("2026-01-05");

class CliOnExamples : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (const QString name : {"Test-1.xml", "Test-2.xml"})
      ASSERT_TRUE(QFile::copy(kExamples + "/Port/" + name, dir.filePath(name)));
  }
  QString path(const QString& name) const { return dir.filePath(name); }
  CliRun open(const QString& name, QStringList extra = {}) const {
    return run(QStringList{"open", path(name), "--prices", kPrices, "--today", kToday} + extra);
  }
  QJsonObject openJson(const QString& name, QStringList extra = {}) const {
    const CliRun r = open(name, QStringList{"--json"} + extra);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out.toUtf8()).object();
  }
  static int dataSetsIn(const QString& file) {
    return static_cast<int>(test::readFile(file).count("</AlgemeenRec>"));
  }

  QTemporaryDir dir;
};

TEST_F(CliOnExamples, OpenShowsTheDataSetOfTodayOfBothPortfolios) {
  const struct {
    const char* file;
    QStringList tickers;
    const char* lang;
  } cases[] = {{"Test-1.xml", {"DBG", "KMG", "NZT", "PWE", "RMH", "TVB"}, "nl"},
               {"Test-2.xml", {"BYUT", "CNMN", "HRBF", "PRRL", "RDGS", "SMPH"}, "en"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const CliRun r = open(c.file, {"--lang", c.lang});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Dataset 28: 2026-01-05")) << r.out.toStdString();
    for (const QString& ticker : c.tickers) EXPECT_TRUE(r.out.contains("\n" + ticker + " "));
    // The placeholder row is no fund of the listing.
    EXPECT_FALSE(r.out.contains("[New]") || r.out.contains("[Nieuw]"));
  }
  // Numbers follow the language: grouped with "." and a decimal comma in Dutch.
  EXPECT_TRUE(open("Test-1.xml", {"--lang", "nl"})
                  .out.contains(QRegularExpression("Totaal: +\\d+\\.\\d{3},\\d\\d\n")));
  EXPECT_TRUE(open("Test-1.xml", {"--lang", "en"})
                  .out.contains(QRegularExpression("Total: +\\d+,\\d{3}\\.\\d\\d\n")));
}

TEST_F(CliOnExamples, SaveWritesEveryDataSetOrAllButTheNewOne) {
  const QByteArray before = test::readFile(path("Test-2.xml"));
  CliRun r = open("Test-2.xml", {"--save", path("with.xml")});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("28 Datasets written."));
  r = open("Test-2.xml", {"--save", path("without.xml"), "--without-new"});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(dataSetsIn(path("with.xml")), 28);
  EXPECT_EQ(dataSetsIn(path("without.xml")), 27);
  // Opening never changes the file opened.
  EXPECT_EQ(test::readFile(path("Test-2.xml")), before);

  // Saved without "Nieuw", the portfolio reopens to the same dataset of today;
  // saved with it, it reopens on the dataset of today it saved: one day has
  // one dataset of today.
  QJsonObject first = openJson("Test-2.xml");
  QJsonObject again = openJson("without.xml");
  first.remove("file");
  again.remove("file");
  EXPECT_EQ(first, again);
  EXPECT_EQ(openJson("with.xml")["dataSet"].toInt(), 28);
}

TEST_F(CliOnExamples, JsonHoldsTheTrueReturnsOfThePortfolioAndEachFund) {
  const QJsonObject root = openJson("Test-1.xml");
  const auto periodsOf = [](const QJsonObject& holding) {
    const QJsonObject returns = holding["trueReturns"].toObject();
    return std::vector<QJsonObject>{returns["sinceStart"].toObject(),
                                    returns["thisYear"].toObject(),
                                    returns["last12Months"].toObject()};
  };
  const std::vector<QJsonObject> whole = periodsOf(root);
  // Since the first dataset, two years back: per year; this year began
  // with the last dataset of 2025.
  EXPECT_EQ(whole[0]["to"].toString(), kToday);
  EXPECT_GT(whole[0]["days"].toInt(), 365);
  EXPECT_TRUE(whole[0]["perYear"].toBool());
  EXPECT_TRUE(whole[0]["twr"].isDouble());
  EXPECT_TRUE(whole[0]["irr"].isDouble());
  EXPECT_LT(whole[1]["from"].toString(), QStringLiteral("2026-01-01"));
  EXPECT_FALSE(whole[1]["perYear"].toBool());
  const QJsonArray funds = root["funds"].toArray();
  ASSERT_FALSE(funds.isEmpty());
  for (const QJsonValue fund : funds) {
    for (const QJsonObject& period : periodsOf(fund.toObject())) {
      EXPECT_EQ(period["to"].toString(), kToday);
      // A rate, or null where it has no meaning; never missing.
      EXPECT_TRUE(period["twr"].isDouble() || period["twr"].isNull());
      EXPECT_TRUE(period["irr"].isDouble() || period["irr"].isNull());
    }
  }
}

TEST_F(CliOnExamples, CheckListsTheFirstRecords) {
  const CliRun r = run({"check", path("Test-1.xml"), "--prices", kPrices, "--lang", "en"});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.startsWith("IdentRec:\n"));
  EXPECT_TRUE(r.out.contains("AlgemeenRec, DataSet 1:\n"));
}

TEST_F(CliOnExamples, AMissingPriceFolderOpensWithTheStoredPricesAndAWarning) {
  const QString missing = dir.filePath("no-prices");
  // The later --prices wins over the helper's.
  const CliRun r = open("Test-1.xml", {"--prices", missing, "--lang", "en", "--json"});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("The price folder")) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("opened without daily prices"));
  const QJsonArray funds = QJsonDocument::fromJson(r.out.toUtf8())["funds"].toArray();
  ASSERT_EQ(funds.size(), 6);
  for (const QJsonValue& fund : funds) EXPECT_GT(fund["price"].toDouble(), 0.0);
  EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(CliOnExamples, WithoutOptionsTheProgramsSettingsChooseLanguageAndPriceFolder) {
  Settings settings = Settings::defaults(dataDirectory());
  settings.language = Language::kSettingDutch;
  settings.dateFormat = QStringLiteral("dd-MM-yyyy");
  settings.pricePath = kPrices + u'/';
  QSettingsStore store;
  settings.save(store);
  ASSERT_TRUE(store.sync());

  const QByteArray before = test::readFile(store.location());
  const CliRun r = run({"open", path("Test-1.xml"), "--today", kToday});
  // The settings are read, never written back.
  EXPECT_EQ(test::readFile(store.location()), before);
  QFile::remove(store.location());
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("Dataset 28: 05-01-2026\nTotaal:")) << r.out.toStdString();
}

TEST_F(CliOnExamples, FilesThatCannotBeReadEndWithCode3AndTheProgramsMessage) {
  CliRun r = run({"open", path("absent.xml"), "--lang", "en"});
  EXPECT_EQ(r.code, 3);
  EXPECT_TRUE(r.err.contains("This portfolio doesn't contain any information."))
      << r.err.toStdString();
  EXPECT_TRUE(r.out.isEmpty());

  test::writeFile(path("bad.xml"), "<?xml version=\"1.0\" ?>\r\n<Pelmar_Data>\r\n<Unbalanced<\r\n");
  r = run({"check", path("bad.xml"), "--lang", "en"});
  EXPECT_EQ(r.code, 3);

  // An example cut off in the middle of a dataset is refused, not half opened.
  const QByteArray whole = test::readFile(path("Test-1.xml"));
  test::writeFile(path("bad.xml"), whole.left(whole.size() / 2));
  r = run({"open", path("bad.xml"), "--json", "--save", path("out.xml")});
  EXPECT_EQ(r.code, 3);
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(path("out.xml")));
}

// A damaged value is refused with its line, in the language asked for.
TEST_F(CliOnExamples, ADamagedValueEndsWithCode3AndTheLineThatHoldsIt) {
  QByteArray text = test::readFile(path("Test-1.xml"));
  const qsizetype at = text.indexOf("<Koers>", text.indexOf("<KoersRec>"));
  text.insert(text.indexOf('<', at + 7), "x");
  test::writeFile(path("bad.xml"), text);
  const int line = static_cast<int>(text.left(at).count('\n')) + 1;
  CliRun r = run({"open", path("bad.xml"), "--lang", "nl"});
  EXPECT_EQ(r.code, 3);
  EXPECT_TRUE(r.err.contains(QStringLiteral("regel %1: Koers is geen getal").arg(line)))
      << r.err.toStdString();
  r = run({"open", path("bad.xml"), "--lang", "en"});
  EXPECT_TRUE(r.err.contains(QStringLiteral("line %1: Koers is no number").arg(line)))
      << r.err.toStdString();
}

// Both examples are written back byte for byte once they have been saved.
TEST_F(CliOnExamples, TheExamplesRoundTripByteForByteAfterTheFirstSave) {
  for (const QString name : {"Test-1", "Test-2"}) {
    for (const QString lang : {"nl", "en"}) {
      const QString first = name + lang + "-1.xml";
      const QString second = name + lang + "-2.xml";
      for (const auto& [from, to] : {std::pair{name + ".xml", first}, std::pair{first, second}})
        ASSERT_EQ(open(from, {"--lang", lang, "--save", path(to), "--without-new"}).code, 0);
      EXPECT_EQ(test::readFile(path(second)), test::readFile(path(first))) << first.toStdString();
    }
  }
}

TEST_F(CliOnExamples, ASaveThatFailsIsNoSuccess) {
  const QString target = dir.filePath("missing-folder/out.xml");
  const CliRun r = open("Test-1.xml", {"--lang", "en", "--save", target});
  EXPECT_EQ(r.code, 4);
  EXPECT_TRUE(r.err.contains("has not been saved")) << r.err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(target));
}

// Every verb takes the global options before or after it, as the program
// itself (which picks the chart's drawing platform by the verb) runs it:
// the same output and exit code either way.
TEST_F(CliOnExamples, GlobalOptionsStandBeforeOrAfterTheVerb) {
  const QString file = path("Test-1.xml");
  test::writeFile(path("steps.txt"), "select NZT\nbuy 39 costs 5\n");
  const QStringList outputs = {path("new.xml"), path("r.txt"), path("c.png")};
  const QStringList verbs[] = {
      {"open", file},
      {"check", file},
      {"run", file, "--script", path("steps.txt")},
      {"report", "portfolio", file, "--out", outputs[1]},
      {"new", outputs[0]},
      {"settings", "list"},
      {"chart", "price", "DBG", "--portfolio", file, "--days", "200", "--png", outputs[2]},
  };
  const QStringList globals[] = {
      {"--lang", "nl"}, {"--today", kToday}, {"--prices", kPrices}, {"--version"}};
  const auto tool = [&](const QStringList& args) {
    for (const QString& output : outputs) QFile::remove(output);
    QProcess p;
    p.start(QStringLiteral(PELMAR_CLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return CliRun{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                  QString::fromUtf8(p.readAllStandardError())};
  };
  for (const QStringList& verb : verbs) {
    for (const QStringList& global : globals) {
      SCOPED_TRACE((verb.first() + ' ' + global.first()).toStdString());
      QStringList others;
      for (const QStringList& other : globals)
        if (other != global && other.size() == 2) others += other;
      const CliRun before = tool(global + verb + others);
      const CliRun after = tool(verb + others + global);
      EXPECT_EQ(before.code, 0) << before.err.toStdString();
      EXPECT_EQ(before.code, after.code);
      EXPECT_EQ(before.out, after.out);
      EXPECT_EQ(before.err, after.err);
    }
  }
}

// The program's own main hands the exit code and the streams on.
TEST(Cli, TheInstalledProgramAnswers) {
  QProcess p;
  p.start(QStringLiteral(PELMAR_CLI_PATH), {"open", "/no/such/file.xml", "--lang", "en"});
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitCode(), 3);
  EXPECT_TRUE(
      QString::fromUtf8(p.readAllStandardError()).contains("doesn't contain any information"));
}

}  // namespace
}  // namespace pelmar
