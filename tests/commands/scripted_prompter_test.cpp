#include "support/scripted_prompter.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace pelmar::test {
namespace {

Question ask(const QString& message) {
  return Question{QStringLiteral("Pelmar"), message, "Ja", "Nee", "Annuleren", true, true};
}

TEST(ScriptedPrompter, AnswersTheScriptInOrder) {
  ScriptedPrompter p;
  const QDateTime day(QDate(2024, 3, 1), QTime(12, 0));
  p.expectQuestion("Opslaan?", Answer::No)
      .expectInput("Naam", {true, "Fonds A"})
      .expectDate(day, "Kies de juiste datum")
      .expectMessage("klaar")
      .expectSaveFile(std::nullopt);
  EXPECT_EQ(p.question(ask("Wijzigingen Opslaan?")), Answer::No);
  const InputResult in = p.input("Nieuw fonds", "Naam van het fonds", "");
  EXPECT_TRUE(in.accepted);
  EXPECT_EQ(in.text, "Fonds A");
  EXPECT_EQ(p.pickDate("Pelmar - Kies de juiste datum", QDateTime(QDate(2024, 1, 1), QTime())),
            day);
  p.message("Het is klaar.");
  EXPECT_EQ(p.saveFileName("Opslaan als", "x.xml", "*.xml"), std::nullopt);
  EXPECT_TRUE(p.done());
}

TEST(ScriptedPrompter, AnUnexpectedQuestionFailsTheTestAndIsCancelled) {
  ScriptedPrompter p;
  Answer answer = Answer::Yes;
  EXPECT_NONFATAL_FAILURE(answer = p.question(ask("Verwijderen?")),
                          "Unexpected question: \"Pelmar\nVerwijderen?\"");
  EXPECT_EQ(answer, Answer::Cancel);
}

TEST(ScriptedPrompter, AQuestionOtherThanTheNextStepFailsTheTest) {
  ScriptedPrompter p;
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
