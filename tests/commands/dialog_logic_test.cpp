#include "commands/dialog_logic.h"

#include <gtest/gtest.h>

#include <limits>

namespace pelmar {
namespace {

TEST(CalendarChoice, QuarterAndWeekOfTheChosenDay) {
  // Tuesday 31 December 2024 still belongs to week 53.
  CalendarChoice choice(QDate(2024, 12, 31));
  EXPECT_EQ(choice.week(), 53);
  EXPECT_EQ(choice.quarter(), 4);
  choice.setCalendarDay(QDate(2021, 1, 4));
  EXPECT_EQ(choice.week(), 1);
  EXPECT_EQ(choice.year(), 2021);
}

TEST(CalendarChoice, YearAndMonthStepsKeepTheDayWithinTheMonth) {
  struct Step {
    QDate from;
    int years;
    int months;
    QDate to;
  } steps[] = {{QDate(2024, 2, 29), 4, 0, QDate(2028, 2, 29)},
               {QDate(2024, 1, 31), 0, 1, QDate(2024, 2, 29)},
               {QDate(2024, 3, 31), 0, -1, QDate(2024, 2, 29)},
               {QDate(2024, 12, 15), 0, 1, QDate(2025, 1, 15)}};
  for (const Step& s : steps) {
    CalendarChoice choice(s.from);
    if (s.years) choice.stepYear(s.years);
    if (s.months) choice.stepMonth(s.months);
    EXPECT_EQ(choice.chosenDay(), s.to) << s.from.toString(Qt::ISODate).toStdString();
  }
}

TEST(CalendarChoice, SpinnersClampIntoTheDay) {
  CalendarChoice choice(QDate(2024, 6, 1));
  EXPECT_EQ(choice.chosenTime(), QTime(12, 0));

  choice.setHour(24);
  choice.setMinute(60);
  choice.setSecond(75);
  EXPECT_EQ(choice.chosenTime(), QTime(23, 59, 59));

  choice.setHour(-3);
  EXPECT_EQ(choice.chosenTime(), QTime(0, 59, 59));
}

TEST(CalendarChoice, SetDateTimeSplitsTheDayAndTheTime) {
  CalendarChoice choice(QDate(2000, 1, 1));
  Clock clock;
  const DateTime evening = dateTimeToSerial(QDateTime(QDate(2021, 1, 1), QTime(18, 30, 15)));
  choice.setDateTime(evening);
  EXPECT_EQ(choice.calendarDay(), QDate(2021, 1, 1));
  EXPECT_EQ(choice.chosenTime(), QTime(18, 30, 15));
  EXPECT_NEAR(choice.dateTime(clock), evening, 1e-9);

  // Before the base day the fraction still counts forward from midnight.
  choice.setDateTime(-1.25);
  EXPECT_EQ(choice.calendarDay(), QDate(1899, 12, 29));
  EXPECT_EQ(choice.hour(), 6);
  EXPECT_NEAR(choice.dateTime(clock), -1.25, 1e-9);

  // A value that names no moment leaves everything as it was.
  choice.setDateTime(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(choice.calendarDay(), QDate(1899, 12, 29));
  EXPECT_EQ(choice.hour(), 6);
}

TEST(CalendarChoice, TodayGivesTheMomentOfAskingNotOfPressing) {
  Clock clock;
  clock.fix(QDateTime(QDate(2024, 5, 6), QTime(10, 0)));
  CalendarChoice choice(QDate(2020, 1, 1));
  choice.setDateTime(dateToSerial(QDate(2020, 1, 1)));
  choice.startExecute();
  choice.pressToday(clock);
  EXPECT_TRUE(choice.accepted());
  EXPECT_TRUE(choice.today());
  EXPECT_EQ(choice.calendarDay(), QDate(2024, 5, 6));

  const QDateTime later(QDate(2024, 5, 7), QTime(0, 0, 5));
  clock.fix(later);
  EXPECT_NEAR(choice.dateTime(clock), dateTimeToSerial(later), 1e-9);

  // The next showing forgets Today and the acceptance: OK gives the moment
  // kept last time.
  choice.startExecute();
  EXPECT_FALSE(choice.accepted());
  clock.fix(QDateTime(QDate(2030, 1, 1), QTime(8, 0)));
  choice.pressOk();
  EXPECT_NEAR(choice.dateTime(clock), dateTimeToSerial(later), 1e-9);
}

TEST(DialogText, MessagesBreakAtEveryLineBreak) {
  EXPECT_EQ(memoLines(QStringLiteral("a\rb\rc\rd")).size(), 4);
  EXPECT_EQ(memoLines(QStringLiteral("a\r\n\r\nb")), QStringList({"a", "", "b"}));
  EXPECT_EQ(memoLines(QString()).size(), 1);
  EXPECT_EQ(timedMessageLines(QString(), "only"), QStringList({"only"}));
  EXPECT_EQ(timedMessageLines("a\r\nb", "c"), QStringList({"a", "b", "c"}));
  EXPECT_EQ(longerLine("same", "SAME"), "same");
}

}  // namespace
}  // namespace pelmar
