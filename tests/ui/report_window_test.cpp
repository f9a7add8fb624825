#include "ui/reports/report_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include "rendering/report_rendering.h"
#include "support/fake_programs.h"
#include "support/pdf_text.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

class ReportWindowTest : public test::PortfolioFixture {
 protected:
  ReportWindowTest() {
    session.clock().fix(QDate(2024, 3, 1));
    session.settings().fileName = QStringLiteral("Mine.xml");
    session.settings().portfolioPath = dir.path() + QStringLiteral("/Port/");
    start(QDate(2024, 1, 2));
    addFund(QStringLiteral("ABC"), 1000, 10, 100);
  }
};

// Remarks typed into the editor go out with Save, with the PDF and with the
// file handed to a word processor.
TEST_F(ReportWindowTest, RemarksTypedIntoTheEditorAreSavedAndPrinted) {
  test::ScriptedPrompter prompter;
  ReportWindow window(session, prompter, ReportKind::Portfolio);
  (void)window.openReport();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Pelmar - Review Portfolio"));
  EXPECT_TRUE(window.editor()->toPlainText().contains(QStringLiteral("\tABC\t")));

  QTextCursor cursor = window.editor()->textCursor();
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(QStringLiteral("Sell ABC in May, {maybe} \u20ac 5"));
  window.editor()->setTextCursor(cursor);

  prompter.expectTimedMessage(QStringLiteral("The review has been saved as:"));
  window.BtnSaveClick();
  const QByteArray saved = test::readFile(
      QDir(dir.path()).filePath(QStringLiteral("Reports/Mine_2024-03-01_R_001.rtf")));
  EXPECT_TRUE(saved.contains("Sell ABC in May, \\{maybe\\} \\u8364? 5"))
      << saved.right(300).toStdString();
  EXPECT_TRUE(saved.contains("\\tab ABC\\tab ")) << "the report's own lines are kept";

  const QString pdf = QDir(dir.path()).filePath(QStringLiteral("out/Mine.pdf"));
  prompter.expectSaveFile(pdf);
  window.BtnPdfClick();
  const QByteArray pdfBytes = test::readFile(pdf);
  EXPECT_TRUE(pdfBytes.startsWith("%PDF")) << pdfBytes.left(20).toStdString();
  EXPECT_GT(pdfBytes.size(), 2000);

  // What is printed is the editor's document, remarks included, on A4
  // landscape pages.
  const ReportDocument back = ReportFromTextDocument(*window.editor()->document());
  EXPECT_TRUE(back.plainText().contains(QStringLiteral("Sell ABC in May")));
  EXPECT_EQ(ReportPageLayout().orientation(), QPageLayout::Landscape);
  prompter.verify();
}

// The PDF a person hands to an accountant: every section on the page of its
// heading, the pages numbered, thousands grouped, one date in the heading,
// and what the user types right after opening under "Remarks:" in body text.
TEST_F(ReportWindowTest, ThePdfKeepsEachHeadingWithItsTableAndNumbersThePages) {
  if (!test::HavePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  test::ScriptedPrompter prompter;
  ReportWindow window(session, prompter, ReportKind::Portfolio);
  (void)window.openReport();
  EXPECT_EQ(window.editor()->verticalScrollBar()->value(), 0) << "the view starts at the top";
  QTest::keyClicks(window.editor(), QStringLiteral("Checked against the bank"));
  const ReportDocument typed = ReportFromTextDocument(*window.editor()->document());
  EXPECT_EQ(typed.paragraphs.back().text(), QStringLiteral(" Checked against the bank"));
  EXPECT_EQ(typed.paragraphs.back().format, (CharFormat{kVerdana, 12, false}));

  const QString pdf = path(QStringLiteral("out/Mine.pdf"));
  prompter.expectSaveFile(pdf);
  window.BtnPdfClick();
  const QStringList pages = test::PdfPages(pdf);
  ASSERT_EQ(pages.size(), 4) << pages.join(QStringLiteral("\n----\n")).toStdString();
  for (int i = 0; i < pages.size(); ++i)
    EXPECT_TRUE(
        pages[i].trimmed().endsWith(QStringLiteral("Made on 2024-03-01 - page %1 of 4").arg(i + 1)))
        << pages[i].toStdString();
  const auto pageOf = [&](const char* text) {
    for (const QString& page : pages)
      if (page.contains(QLatin1String(text))) return page;
    return QString();
  };
  const struct {
    const char* heading;
    const char* end;
  } sections[] = {{"ROTAC Review", "Total VAT (Stocks) paid"},
                  {"ROTAI Review", "Total VAT (Stocks) paid"},
                  {"Review of Accounts", "Total VAT (Accounts) paid"},
                  {"Time- and money-weighted returns", "IRR 12 mo."},
                  {"Remarks:", "Checked against the bank"}};
  for (const auto& section : sections) {
    EXPECT_TRUE(pageOf(section.heading).contains(QLatin1String(section.end))) << section.heading;
    EXPECT_EQ(pages.filter(QLatin1String(section.heading)).size(), 1) << section.heading;
  }
  EXPECT_TRUE(pageOf("ROTAI Review").contains(QStringLiteral("Wtd. Cash")));
  EXPECT_TRUE(pages[0].contains(QStringLiteral("1,000.00"))) << "thousands are grouped";
  EXPECT_FALSE(pages[0].contains(QStringLiteral("date"))) << "one date: the dataset's";
  EXPECT_TRUE(pages[0].contains(QStringLiteral("at 2024-01-02.")));
  prompter.verify();
}

// An open report follows a language switch of the settings: its caption,
// buttons and report; once remarks are typed, the report stays as it is.
TEST_F(ReportWindowTest, AnOpenReportFollowsTheLanguage) {
  session.setLanguage(Language::Code::Dutch);
  test::ScriptedPrompter prompter;
  ReportWindow window(session, prompter, ReportKind::Portfolio);
  (void)window.openReport();
  const auto switchTo = [&](Language::Code code) {
    session.setLanguage(code);
    (void)session.report(Report(Outcome::done(), Change::Settings));
  };
  const auto reportText = [&] { return window.editor()->toPlainText(); };
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Pelmar - Overzicht Portefeuille"));
  EXPECT_EQ(window.saveButton()->text(), QStringLiteral("Sla Op"));
  EXPECT_TRUE(reportText().contains(QStringLiteral("ROTAC-Overzicht Fondsen")));

  switchTo(Language::Code::English);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Pelmar - Review Portfolio"));
  EXPECT_EQ(window.saveButton()->text(), QStringLiteral("Save"));
  EXPECT_EQ(window.pdfButton()->text(), QStringLiteral("Save as PDF"));
  EXPECT_TRUE(reportText().contains(QStringLiteral("ROTAC Review of Stocks")));
  EXPECT_FALSE(reportText().contains(QStringLiteral("Overzicht")));

  QTest::keyClicks(window.editor(), QStringLiteral("Checked"));
  switchTo(Language::Code::Dutch);
  EXPECT_EQ(window.saveButton()->text(), QStringLiteral("Sla Op"));
  EXPECT_TRUE(reportText().contains(QStringLiteral("ROTAC Review of Stocks")));
  EXPECT_TRUE(reportText().contains(QStringLiteral("Checked")));
  prompter.verify();
}

TEST_F(ReportWindowTest, TheDocumentKeepsItsFormatsAndTabStops) {
  ReportWriter writer(CharFormat{kCourierNew, 11, false}, {1, 91});
  writer.setFormat(kVerdana, 16, true);
  writer.setFooter(QStringLiteral("page %1 of %2"));
  writer.keepTogether();
  writer.line(QStringLiteral("\tHeading"));
  writer.setFormat(kCourierNew, 12);
  writer.setTabStops({1, 81, 176});
  writer.line();
  writer.endKeep();
  writer.line(QStringLiteral("\ta\tb"));
  const ReportDocument written = writer.take();
  QTextDocument document;
  RenderReport(written, document);
  const ReportDocument back = ReportFromTextDocument(document);
  ASSERT_EQ(back.paragraphs.size(), 3u);
  EXPECT_EQ(back.plainText(), written.plainText());
  EXPECT_EQ(back.paragraphs[0].runs.at(0).format, (CharFormat{kVerdana, 16, true}));
  EXPECT_EQ(*back.paragraphs[0].tabStops, (TabStops{1, 91}));
  EXPECT_TRUE(back.paragraphs[0].keepWithNext);
  EXPECT_FALSE(back.paragraphs[1].keepWithNext);
  EXPECT_EQ(back.footer, written.footer);
  EXPECT_EQ(back.paragraphs[1].format.pointSize, 12);
  EXPECT_EQ(*back.paragraphs[2].tabStops, (TabStops{1, 81, 176}));
}

// A word-processor button is enabled only when its program can open the
// report, and its hint says why not; while the program starts the window
// says so, and a start that fails is reported.
TEST_F(ReportWindowTest, WordProcessorButtonsWorkOrSayWhyNot) {
  test::FakePrograms system;
  system.add(QStringLiteral("lowriter"),
             "echo 'Error: source file could not be loaded' >&2\nexit 1");
  test::ScriptedPrompter prompter;
  ReportWindow window(session, prompter, ReportKind::Portfolio);
  (void)window.openReport();
  const QPushButton* word = window.wordProcessorButton(WordProcessor::Word);
  EXPECT_FALSE(word->isEnabled());
  EXPECT_EQ(word->toolTip(),
            QStringLiteral("No program is set up to open rich-text (.rtf) files."));
  EXPECT_FALSE(window.wordProcessorButton(WordProcessor::WordPad)->isEnabled());
  QPushButton* writer = window.wordProcessorButton(WordProcessor::Writer);
  ASSERT_TRUE(writer->isEnabled());
  EXPECT_EQ(writer->toolTip(), QString());

  prompter.expectMessage(QStringLiteral(
      "LibreOffice Writer could not open the review (exit code 1). Error: source file"));
  writer->click();
  EXPECT_EQ(window.statusLabel()->text(),
            QStringLiteral("Opening the review in LibreOffice Writer ..."));
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.statusLabel()->text().isEmpty(); }, 15000));
  prompter.verify();
}

}  // namespace
}  // namespace pelmar
