#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "cli/cli_run.h"
#include "support/pdf_text.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

const QString kExample = QStringLiteral(PELMAR_SOURCE_DIR "/data/Port/Test-1.xml");
const QString kPrices = QStringLiteral(PELMAR_SOURCE_DIR "/data/Prices");

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
// to PDF, every fund's line and the totals are in its text, each heading is
// on the page of its table and the pages are numbered.
TEST(ReportCli, LibreOfficeReadsEveryLineOfTheSavedRichText) {
  const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
  if (soffice.isEmpty() || !test::HavePdfToText())
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
  const QStringList pages = test::PdfPages(dir.filePath(QStringLiteral("Test-1.pdf")));
  const QString shown = pages.join(QChar('\f'));
  for (const char* line : {"DBG", "KMG", "NZT", "PWE", "RMH", "TVB", "Sums", "32,271.22",
                           "47,520.12", "Total VAT (Accounts) paid", "Remarks:"})
    EXPECT_TRUE(shown.contains(QLatin1String(line))) << line;
  for (int i = 0; i < pages.size(); ++i) {
    EXPECT_TRUE(pages[i].contains(QStringLiteral("page %1 of %2").arg(i + 1).arg(pages.size())))
        << pages[i].toStdString();
    if (pages[i].contains(QStringLiteral("ROTAI Review"))) {
      EXPECT_TRUE(pages[i].contains(QStringLiteral("Wtd. Cash"))) << pages[i].toStdString();
    }
  }
}

}  // namespace
}  // namespace pelmar
