#include "cli/headless_prompter.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

// The tool never waits for a person and never agrees to anything: every
// dialog ends the cautious way, and what it said is on the error stream.
TEST(HeadlessPrompter, EveryDialogEndsTheCautiousWay) {
  QString log;
  QTextStream err(&log);
  HeadlessPrompter prompter(err);

  Question yearClosing;
  yearClosing.message = QStringLiteral("Close the previous year?");
  yearClosing.showCancel = true;
  EXPECT_EQ(prompter.question(yearClosing), Answer::Cancel);
  Question remove;
  remove.message = QStringLiteral("Remove the fund?");
  EXPECT_EQ(prompter.question(remove), Answer::No);

  EXPECT_FALSE(prompter.input({}, QStringLiteral("Name"), QStringLiteral("old")).accepted);
  EXPECT_FALSE(prompter.pickDate(QStringLiteral("Pick"), QDateTime::currentDateTime()));
  EXPECT_FALSE(prompter.openFileName({}, {}, {}));
  EXPECT_FALSE(prompter.saveFileName({}, {}, {}));
  EXPECT_EQ(prompter.savePrompt(QStringLiteral("Save?"), SaveChoice::SaveChanges),
            SaveChoice::Cancel);

  prompter.timedMessage(QStringLiteral("Line one."), QStringLiteral("Line two."), 5000);
  prompter.message(QStringLiteral("First\r\nsecond"));
  err.flush();
  EXPECT_EQ(log,
            "Close the previous year?\nRemove the fund?\nName\nPick\nSave?\n"
            "Line one.\nLine two.\nFirst\nsecond\n");
}

}  // namespace
}  // namespace pelmar
