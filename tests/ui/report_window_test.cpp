#include "ui/reports/report_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPushButton>
#include <QTextEdit>

#include "rendering/report_rendering.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"
#include "ui/platform/word_processors.h"

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
  window.openReport();
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

TEST_F(ReportWindowTest, TheDocumentKeepsItsFormatsAndTabStops) {
  ReportWriter writer(CharFormat{kCourierNew, 11, false}, {1, 91});
  writer.setFormat(kVerdana, 16, true);
  writer.line(QStringLiteral("\tHeading"));
  writer.setFormat(kCourierNew, 12);
  writer.setTabStops({1, 81, 176});
  writer.line();
  writer.line(QStringLiteral("\ta\tb"));
  const ReportDocument written = writer.take();
  QTextDocument document;
  RenderReport(written, document);
  const ReportDocument back = ReportFromTextDocument(document);
  ASSERT_EQ(back.paragraphs.size(), 3u);
  EXPECT_EQ(back.plainText(), written.plainText());
  EXPECT_EQ(back.paragraphs[0].runs.at(0).format, (CharFormat{kVerdana, 16, true}));
  EXPECT_EQ(*back.paragraphs[0].tabStops, (TabStops{1, 91}));
  EXPECT_EQ(back.paragraphs[1].format.pointSize, 12);
  EXPECT_EQ(*back.paragraphs[2].tabStops, (TabStops{1, 81, 176}));
}

TEST(WordProcessors, TheProgramOfARegistryCommandLine) {
  EXPECT_EQ(ProgramFromCommandLine(
                QStringLiteral("\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\" \"%1\"")),
            QStringLiteral("c:\\Program Files\\Windows NT\\Accessories\\WORDPAD.EXE"));
  EXPECT_EQ(ProgramFromCommandLine(QStringLiteral("\"C:\\Office\\WINWORD.EXE\" /n \"%1\"")),
            QStringLiteral("C:\\Office\\WINWORD.EXE"));
  EXPECT_EQ(ProgramFromCommandLine(QStringLiteral("notepad.exe %1")), QString());
}

}  // namespace
}  // namespace pelmar
