#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "commands/file_commands.h"
#include "commands/report_commands.h"
#include "commands/session.h"
#include "reports/rtf_writer.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

// Both overviews of both example portfolios in both languages, as text and
// as rich text, byte for byte against tests/golden/reports. Set
// PELMAR_UPDATE_GOLDEN to rewrite them after a deliberate change.
struct GoldenCase {
  const char* portfolio;
  Language::Code language;
  ReportKind kind;
};

std::string caseName(const testing::TestParamInfo<GoldenCase>& info) {
  return std::string(info.param.kind == ReportKind::Portfolio ? "Portfolio" : "Actions") +
         QString::fromLatin1(info.param.portfolio).remove(u'-').toStdString() +
         (info.param.language == Language::Code::Dutch ? "Dutch" : "English");
}

class ReportGolden : public testing::TestWithParam<GoldenCase> {
 protected:
  void compare(const QByteArray& actual, const QString& name) {
    const QString golden = QStringLiteral(PELMAR_SOURCE_DIR "/tests/golden/reports/") + name;
    if (qEnvironmentVariableIsSet("PELMAR_UPDATE_GOLDEN")) {
      QFile out(golden);
      ASSERT_TRUE(out.open(QIODevice::WriteOnly));
      out.write(actual);
      return;
    }
    QFile file(golden);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "missing " << golden.toStdString();
    EXPECT_EQ(actual, file.readAll()) << name.toStdString();
  }
};

TEST_P(ReportGolden, MatchesTheGoldenTextAndRichText) {
  const GoldenCase& c = GetParam();
  QTemporaryDir dir;
  Session session(dir.path() + u'/');
  session.setLanguage(c.language);
  session.clock().fix(QDate(2026, 2, 2));
  session.settings().pricePath = QStringLiteral(PELMAR_SOURCE_DIR "/data/Prices/");
  session.applyPricePath();
  test::ScriptedPrompter prompter;
  // The examples start in an earlier year: the year-closing question is declined.
  prompter.expectCheckedQuestion(QString(), {Answer::No, false});
  // A copy under the same name: opening a file takes its lock, and the test
  // programs run side by side on the shared examples.
  const QString name = QLatin1String(c.portfolio) + QStringLiteral(".xml");
  const QString file = dir.filePath(name);
  ASSERT_TRUE(QFile::copy(QStringLiteral(PELMAR_SOURCE_DIR "/data/Port/") + name, file));
  ASSERT_TRUE(LoadPortfolio(session, prompter, file).ok());

  const ReportDocument report = c.kind == ReportKind::Portfolio
                                    ? OverzichtPortefeuilleClick(session)
                                    : OverzichtActiesClick(session);
  const QString stem =
      (c.kind == ReportKind::Portfolio ? QStringLiteral("portfolio_")
                                       : QStringLiteral("actions_")) +
      QLatin1String(c.portfolio) +
      (c.language == Language::Code::Dutch ? QStringLiteral("_nl") : QStringLiteral("_en"));
  compare(report.plainText().toUtf8(), stem + QStringLiteral(".txt"));
  compare(WriteRtf(report), stem + QStringLiteral(".rtf"));
}

constexpr auto kDutch = Language::Code::Dutch;
constexpr auto kEnglish = Language::Code::English;

INSTANTIATE_TEST_SUITE_P(Examples, ReportGolden,
                         testing::Values(GoldenCase{"Test-1", kDutch, ReportKind::Portfolio},
                                         GoldenCase{"Test-1", kEnglish, ReportKind::Portfolio},
                                         GoldenCase{"Test-2", kDutch, ReportKind::Portfolio},
                                         GoldenCase{"Test-2", kEnglish, ReportKind::Portfolio},
                                         GoldenCase{"Test-1", kDutch, ReportKind::Actions},
                                         GoldenCase{"Test-1", kEnglish, ReportKind::Actions},
                                         GoldenCase{"Test-2", kDutch, ReportKind::Actions},
                                         GoldenCase{"Test-2", kEnglish, ReportKind::Actions}),
                         caseName);

}  // namespace
}  // namespace pelmar
