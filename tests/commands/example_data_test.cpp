#include "commands/example_data.h"

#include <gtest/gtest.h>

#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

// The first start's examples end on the last working day before today, by
// the program's calendar of holidays, and keep today's year only.
TEST(ExampleDataPlan, EndsOnTheWorkingDayBeforeToday) {
  const struct {
    QDate today;
    QDate lastDay;
  } cases[] = {
      {QDate(2026, 12, 8), QDate(2026, 12, 7)},    // Tuesday: Monday
      {QDate(2026, 12, 7), QDate(2026, 12, 4)},    // Monday: Friday
      {QDate(2025, 4, 22), QDate(2025, 4, 17)},    // after Easter Monday and Good Friday
      {QDate(2024, 12, 27), QDate(2024, 12, 24)},  // after Christmas
      {QDate(2027, 1, 1), QDate(2026, 12, 31)},    // New Year's Day: the old year
  };
  for (const auto& c : cases) {
    const ExampleDataPlan plan = FirstStartExampleData(c.today);
    EXPECT_EQ(plan.lastDay, c.lastDay) << c.today.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(plan.openingYear, c.today.year());
  }
}

TEST(ExampleDataPlan, AFolderThatCannotBeMadeIsNamed) {
  QTemporaryDir dir;
  test::writeFile(dir.filePath("File"), "a file where a folder should be");
  test::ScriptedPrompter prompter;
  const Outcome made = WriteExampleData(prompter, FixedExampleData(), dir.filePath("Port"),
                                        dir.filePath("File/Prices"));
  ASSERT_TRUE(made.isFailure());
  EXPECT_EQ(made.reason()->id, TextId::FolderNotMade);
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("Port/Test-1.xml")));
}

}  // namespace
}  // namespace pelmar
