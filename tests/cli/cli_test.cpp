#include "cli/cli.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace pelmar {
namespace {

struct CliRun {
  int code;
  QString out;
  QString err;
};

CliRun run(QStringList args) {
  QString out, err;
  QTextStream o(&out), e(&err);
  args.prepend(QStringLiteral("pelmar-cli"));
  const int code = runCli(args, o, e);
  o.flush();
  e.flush();
  return {code, out, err};
}

TEST(Cli, VersionInEitherLanguage) {
  EXPECT_EQ(run({"--version", "--lang", "en"}).out, "Pelmar, version 1.32a\n");
  EXPECT_EQ(run({"--lang", "nl", "--version"}).out, "Pelmar, versie 1.32a\n");
}

TEST(Cli, HelpListsTheOptions) {
  const CliRun r = run({"--help"});
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(r.out.contains("--today YYYY-MM-DD"));
}

TEST(Cli, BadArgumentsAreRefusedWithAReason) {
  CliRun r = run({"--today", "2024-02-30", "--version"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("Not a date: \"2024-02-30\""));
  r = run({"--lang", "fr"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("Unknown language \"fr\""));
  r = run({"--frobnicate"});
  EXPECT_EQ(r.code, 2);
  r = run({"dance"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("Unknown command \"dance\""));
}

TEST(Cli, TheInstalledProgramAnswers) {
  QProcess p;
  p.start(QStringLiteral(PELMAR_CLI_PATH), {"--version", "--lang", "en"});
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), "Pelmar, version 1.32a\n");
}

}  // namespace
}  // namespace pelmar
