#include "support/scripted_prompter.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace pelmar::test {
namespace {

Question ask(const QString& message) {
  return Question{QStringLiteral("Pelmar"), message, "Ja", "Nee", "Annuleren", true, true};
}

TEST(ScriptedPrompter, AnUnexpectedDialogFailsTheTestAndIsCancelled) {
  ScriptedPrompter p;
  Answer answer = Answer::Yes;
  EXPECT_NONFATAL_FAILURE(answer = p.question(ask("Verwijderen?")),
                          "Unexpected question: \"Pelmar\nVerwijderen?\"");
  EXPECT_EQ(answer, Answer::Cancel);

  p.expectQuestion("Opslaan?", Answer::Yes);
  EXPECT_NONFATAL_FAILURE(p.message("Bestand niet gevonden"),
                          "Expected question containing \"Opslaan?\" but got message");
  // The step stays expected.
  EXPECT_NONFATAL_FAILURE(p.question(ask("Verwijderen?")), "but got question");
  EXPECT_EQ(p.question(ask("Opslaan?")), Answer::Yes);
}

TEST(ScriptedPrompter, AStepNeverAskedFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedPrompter p;
        p.expectTimedMessage("Koersen gelezen");
      },
      "Expected timed message containing \"Koersen gelezen\" was never asked");
}

}  // namespace
}  // namespace pelmar::test
