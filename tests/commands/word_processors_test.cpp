#include "commands/word_processors.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include "support/fake_programs.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

const Language kEnglish(Language::Code::English);

QString missingText(WordProcessor which) {
  const WordProcessorProgram program = FindWordProcessor(which);
  EXPECT_FALSE(program.launch);
  return program.missing ? program.missing->text(kEnglish) : QString();
}

// What StartWordProcessor reports for the program, waiting for it.
std::optional<Outcome> started(const ProgramLaunch& launch, const QString& document,
                               int watchMs = 5000) {
  std::optional<Outcome> result;
  QEventLoop loop;
  QObject context;
  StartWordProcessor(launch, document, watchMs, &context, [&](const Outcome& outcome) {
    result = outcome;
    loop.quit();
  });
  QTimer::singleShot(20000, &loop, &QEventLoop::quit);
  loop.exec();
  return result;
}

TEST(WordProcessors, TheProgramOfARegistryCommandLine) {
  EXPECT_EQ(ProgramFromCommandLine(
                QStringLiteral("\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\" \"%1\"")),
            QStringLiteral("c:\\Program Files\\Windows NT\\Accessories\\WORDPAD.EXE"));
  EXPECT_EQ(ProgramFromCommandLine(QStringLiteral("\"C:\\Office\\WINWORD.EXE\" /n \"%1\"")),
            QStringLiteral("C:\\Office\\WINWORD.EXE"));
  EXPECT_EQ(ProgramFromCommandLine(QStringLiteral("notepad.exe %1")), QString());
}

#ifndef Q_OS_WIN
// A button works only when its program does: xdg-open alone is not enough,
// the desktop must name an installed program for rich text.
TEST(WordProcessors, FoundOnlyWhenTheyCanOpenTheReport) {
  test::FakePrograms system;
  EXPECT_EQ(missingText(WordProcessor::Word),
            QStringLiteral("No program is set up to open rich-text (.rtf) files."));
  EXPECT_EQ(missingText(WordProcessor::WordPad), QStringLiteral("AbiWord is not installed."));
  EXPECT_EQ(missingText(WordProcessor::Writer),
            QStringLiteral("LibreOffice Writer is not installed."));

  const QString xdgOpen = system.add(QStringLiteral("xdg-open"), "exit 0");
  system.add(QStringLiteral("xdg-mime"), "echo");
  EXPECT_FALSE(FindWordProcessor(WordProcessor::Word).launch) << "no program for rich text";
  system.add(QStringLiteral("xdg-mime"), "echo fake-writer.desktop");
  EXPECT_FALSE(FindWordProcessor(WordProcessor::Word).launch) << "no desktop entry";
  system.addDesktopEntry(QStringLiteral("fake-writer.desktop"), QStringLiteral("Fake Writer"),
                         QStringLiteral("fakewriter --edit %U"));
  EXPECT_FALSE(FindWordProcessor(WordProcessor::Word).launch) << "its program is not installed";
  system.add(QStringLiteral("fakewriter"), "exit 0");
  const WordProcessorProgram word = FindWordProcessor(WordProcessor::Word);
  ASSERT_TRUE(word.launch);
  EXPECT_EQ(word.launch->name, QStringLiteral("Fake Writer"));
  EXPECT_EQ(word.launch->program, xdgOpen);

  system.add(QStringLiteral("soffice"), "exit 0");
  const WordProcessorProgram office = FindWordProcessor(WordProcessor::Writer);
  ASSERT_TRUE(office.launch);
  EXPECT_EQ(office.launch->arguments, QStringList{QStringLiteral("--writer")});
  const QString lowriter = system.add(QStringLiteral("lowriter"), "exit 0");
  EXPECT_EQ(FindWordProcessor(WordProcessor::Writer).launch->program, lowriter);
}

// Starting tells how it went: a program that ends with an error within the
// watch is reported with its last line, one still running has started.
TEST(WordProcessors, AStartThatFailsIsReportedWithItsError) {
  test::FakePrograms system;
  const QString document = system.path(QStringLiteral("Temp/Tmp.rtf"));
  test::writeFile(document, "{\\rtf1}");
  const QString failing =
      system.add(QStringLiteral("failing"),
                 "echo 'starting' >&2\necho 'Error: source file could not be loaded' >&2\nexit 1");
  const std::optional<Outcome> failed =
      started(ProgramLaunch{QStringLiteral("LibreOffice Writer"), failing, {}}, document);
  ASSERT_TRUE(failed && failed->isFailure());
  EXPECT_EQ(failed->reason()->text(kEnglish),
            QStringLiteral("LibreOffice Writer could not open the review (exit code 1). Error: "
                           "source file could not be loaded"));

  const QString handing = system.add(QStringLiteral("handing"), "echo \"$@\" > \"$0.args\"");
  const std::optional<Outcome> handed = started(
      ProgramLaunch{QStringLiteral("Writer"), handing, {QStringLiteral("--writer")}}, document);
  ASSERT_TRUE(handed && handed->ok());
  EXPECT_EQ(test::readFile(handing + QStringLiteral(".args")),
            "--writer " + document.toUtf8() + '\n');

  const QString running = system.add(QStringLiteral("running"), "exec /bin/sleep 3");
  const std::optional<Outcome> runs =
      started(ProgramLaunch{QStringLiteral("Writer"), running, {}}, document, 200);
  ASSERT_TRUE(runs);
  EXPECT_TRUE(runs->ok());

  const std::optional<Outcome> absent = started(
      ProgramLaunch{QStringLiteral("Ghost"), system.path(QStringLiteral("ghost")), {}}, document);
  ASSERT_TRUE(absent && absent->isFailure());
  EXPECT_EQ(absent->reason()->text(kEnglish), QStringLiteral("Ghost could not be started."));
}
#endif

}  // namespace
}  // namespace pelmar
