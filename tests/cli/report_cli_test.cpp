#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "cli/cli_run.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

const QString kExample = QStringLiteral(PELMAR_SOURCE_DIR "/data/Port/Test-1.xml");
const QString kPrices = QStringLiteral(PELMAR_SOURCE_DIR "/data/Prices");

TEST(ReportCli, WrongArgumentsAreUsageErrors) {
  for (const QStringList& args : {QStringList{"report", "summary", kExample, "--out", "x.rtf"},
                                  QStringList{"report", "portfolio", kExample},
                                  QStringList{"report", "actions", kExample, "--out", "x.doc"},
                                  QStringList{"open", kExample, "--out", "x.rtf"}}) {
    const test::CliRun run = test::runCliWith(args);
    EXPECT_EQ(run.code, 2) << args.join(' ').toStdString();
    EXPECT_FALSE(run.err.isEmpty());
  }
}

TEST(ReportCli, WritesRichTextAndRefusesAFolderItCannotWrite) {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("a/Test-1.rtf"));
  test::CliRun run = test::runCliWith({"report", "actions", kExample, "--out", out, "--prices",
                                       kPrices, "--today", "2026-02-02", "--lang", "nl"});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_TRUE(test::readFile(out).startsWith("{\\rtf1"));

  test::writeFile(dir.filePath(QStringLiteral("file")), "x");
  run = test::runCliWith({"report", "actions", kExample, "--out",
                          dir.filePath(QStringLiteral("file/x.rtf")), "--prices", kPrices, "--lang",
                          "en"});
  EXPECT_EQ(run.code, 4);
  EXPECT_TRUE(run.err.contains(QStringLiteral("could not be saved"))) << run.err.toStdString();
}

// The tool lays a PDF out itself, without a display.
TEST(ReportCli, WritesAPdf) {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("Test-1.pdf"));
  QProcess cli;
  cli.start(QStringLiteral(PELMAR_CLI_PATH), {"report", "portfolio", kExample, "--out", out,
                                              "--prices", kPrices, "--today", "2026-02-02"});
  ASSERT_TRUE(cli.waitForFinished(60000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  EXPECT_TRUE(test::readFile(out).startsWith("%PDF"));
}

// The saved rich text as a word processor reads it: LibreOffice converts it
// to PDF and every fund's line and the totals are in its text.
TEST(ReportCli, LibreOfficeReadsEveryLineOfTheSavedRichText) {
  const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (soffice.isEmpty() || pdftotext.isEmpty())
    GTEST_SKIP() << "soffice (libreoffice-writer-nogui) or pdftotext (poppler-utils) is not "
                    "installed; scripts/install-deps.sh installs them";
  QTemporaryDir dir;
  const QString rtf = dir.filePath(QStringLiteral("Test-1.rtf"));
  ASSERT_EQ(test::runCliWith({"report", "portfolio", kExample, "--out", rtf, "--prices", kPrices,
                              "--today", "2026-02-02", "--lang", "en"})
                .code,
            0);
  QProcess convert;
  convert.start(soffice, {"--headless", "--convert-to", "pdf", "--outdir", dir.path(), rtf});
  ASSERT_TRUE(convert.waitForFinished(180000));
  QProcess text;
  text.start(pdftotext, {"-layout", dir.filePath(QStringLiteral("Test-1.pdf")), "-"});
  ASSERT_TRUE(text.waitForFinished(60000));
  const QString shown = QString::fromUtf8(text.readAllStandardOutput());
  for (const char* line : {"DBG", "KMG", "NZT", "PWE", "RMH", "TVB", "Sums", "32271.22", "47520.12",
                           "Total VAT (Accounts) paid", "Remarks:"})
    EXPECT_TRUE(shown.contains(QLatin1String(line))) << line;
}

}  // namespace
}  // namespace pelmar
