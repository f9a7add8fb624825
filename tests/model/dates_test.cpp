#include "model/dates.h"

#include <gtest/gtest.h>

#include <limits>

namespace pelmar {
namespace {

DateTime serial(int year, int month, int day) {
  return dateToSerial(QDate(year, month, day));
}

TEST(DateSerial, KnownDaysAndTimes) {
  EXPECT_EQ(serial(1899, 12, 30), 0.0);
  EXPECT_EQ(serial(2024, 12, 31), 45657.0);
  EXPECT_EQ(dateTimeToSerial(QDateTime(QDate(2024, 12, 31), QTime(18, 0))), 45657.75);
  // Before the base day the fraction still counts forward from midnight.
  EXPECT_EQ(dateTimeToSerial(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
  EXPECT_EQ(serialToDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
  EXPECT_EQ(serialToDate(45657.99), QDate(2024, 12, 31));
  EXPECT_EQ(wholeDay(45657.99), 45657.0);
  EXPECT_EQ(IsoDayOfWeek(0.0), 6);   // Saturday 1899-12-30
  EXPECT_EQ(IsoDayOfWeek(-1.5), 5);  // Friday 1899-12-29
  EXPECT_EQ(IsoDayOfWeek(serial(2024, 12, 29) + 0.9), 7);
}

TEST(DateSerial, RoundTrips) {
  for (const QDate& day : {QDate(1, 1, 1), QDate(1899, 12, 29), QDate(1900, 2, 28),
                           QDate(2000, 2, 29), QDate(2024, 12, 31), QDate(9999, 12, 31)}) {
    EXPECT_EQ(serialToDate(dateToSerial(day)), day) << day.toString(Qt::ISODate).toStdString();
    for (const QTime& time : {QTime(0, 0), QTime(12, 34, 56, 789), QTime(23, 59, 59, 999)}) {
      const QDateTime moment(day, time);
      EXPECT_EQ(serialToDateTime(dateTimeToSerial(moment)), moment)
          << moment.toString(Qt::ISODateWithMs).toStdString();
    }
  }
  // A fraction a hair below the next midnight becomes that midnight, not 24:00.
  EXPECT_EQ(serialToDateTime(1.0 - 1e-12), QDateTime(QDate(1899, 12, 31), QTime(0, 0)));
}

TEST(DateSerial, OutOfRangeAndInvalidValues) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const double bad : {nan, inf, -inf, 1e300, 2958466.0, -693594.0}) {
    EXPECT_FALSE(serialToDate(bad).isValid()) << bad;
    EXPECT_FALSE(serialToDateTime(bad).isValid()) << bad;
    EXPECT_EQ(WeekNumber(bad), 0) << bad;
  }
  EXPECT_EQ(dateToSerial(QDate()), 0.0);
  EXPECT_EQ(dateTimeToSerial(QDateTime()), 0.0);
  EXPECT_EQ(IsoDayOfWeek(nan), 0);
  // Never loops, whatever the input.
  EXPECT_TRUE(std::isnan(NextWorkDay(nan)));
  EXPECT_EQ(NextWorkDay(1e300), 1e300);
}

TEST(Dates, NonWorkingDays) {
  // Good Friday and Easter Monday (of a late Easter too), New Year, 1 May,
  // Christmas and Boxing Day on weekdays, and a Sunday (King's Day is no
  // holiday here).
  for (const QDate& day :
       {QDate(2024, 3, 29), QDate(2024, 4, 1), QDate(2038, 4, 26), QDate(2025, 1, 1),
        QDate(2025, 5, 1), QDate(2025, 12, 25), QDate(2025, 12, 26), QDate(2025, 4, 27)})
    EXPECT_TRUE(IsNonWorkingDay(dateToSerial(day) + 0.5)) << day.toString().toStdString();
  // The Tuesday after Easter, Ascension Day, Easter Monday's date in
  // another year, Christmas Eve and an ordinary Monday.
  for (const QDate& day : {QDate(2024, 4, 2), QDate(2024, 5, 9), QDate(2038, 3, 29),
                           QDate(2025, 12, 24), QDate(2025, 4, 28)})
    EXPECT_FALSE(IsNonWorkingDay(dateToSerial(day) + 0.5)) << day.toString().toStdString();
}

TEST(Dates, NextWorkDaySkipsWeekendsAndHolidays) {
  const std::pair<QDate, QDate> rows[] = {
      {{2024, 12, 20}, {2024, 12, 23}},  // Friday to Monday
      {{2024, 12, 24}, {2024, 12, 27}},  // over Christmas
      {{2025, 12, 24}, {2025, 12, 29}},  // over Christmas and a weekend
      {{2024, 3, 28}, {2024, 4, 2}},     // over Easter
      {{2024, 12, 31}, {2025, 1, 2}},    // over New Year
  };
  // The time of day is dropped first.
  for (const auto& [from, next] : rows)
    EXPECT_EQ(NextWorkDay(dateToSerial(from) + 0.75), dateToSerial(next))
        << from.toString().toStdString();
}

TEST(Dates, WeekNumbers) {
  const std::pair<QDate, int> rows[] = {
      {{2021, 1, 1}, 53},    // Friday: last week of 2020
      {{2021, 1, 4}, 1},     // Monday: week 1
      {{2024, 12, 29}, 52},  // Sunday
      {{2024, 12, 31}, 53},  // ISO week 1 of 2025, but the count goes on
      {{2025, 1, 1}, 1},     // Wednesday: week 1
      {{2027, 1, 1}, 53},    // Friday: 2026 has 53 weeks
  };
  for (const auto& [day, week] : rows)
    EXPECT_EQ(WeekNumber(dateToSerial(day) + 0.5), week) << day.toString().toStdString();
}

TEST(DateFormats, SettingsAndTexts) {
  EXPECT_EQ(dateFormatFromSetting("dd-mm-yyyy"), DateFormat::DayMonthYear);
  EXPECT_EQ(dateFormatFromSetting("d/M/yy"), DateFormat::YearMonthDay) << "unknown";
  const QDate day(2009, 3, 13);
  for (const auto& [format, text] : {std::pair(DateFormat::YearMonthDay, "2009-03-13"),
                                     std::pair(DateFormat::DayMonthYear, "13-03-2009"),
                                     std::pair(DateFormat::MonthDayYear, "03-13-2009")}) {
    EXPECT_EQ(formatDate(day, format), text);
    EXPECT_EQ(parseDate(text, format), day);
    EXPECT_EQ(dateFormatFromSetting(dateFormatSetting(format)), format);
  }
}

TEST(DateFormats, ParsingIsStrictAboutFieldsButNotAboutPadding) {
  EXPECT_EQ(parseDate(" 2009-3-1 ", DateFormat::YearMonthDay), QDate(2009, 3, 1));
  EXPECT_EQ(parseDate("1-3-2009", DateFormat::DayMonthYear), QDate(2009, 3, 1));
  EXPECT_EQ(parseDate("2024-02-29", DateFormat::YearMonthDay), QDate(2024, 2, 29));
  for (const char* bad :
       {"", "   ", "2009-03", "2009-03-13-01", "2009/03/13", "09-03-13", "2009-13-01", "2023-02-29",
        "2009-00-10", "2009-03-32", "0000-01-01", "2009-003-13", "2009-03-1x", "+2009-03-13",
        "2009-03-13 12:00", "\u0662\u0660\u0660\u0669-03-13"}) {
    EXPECT_FALSE(parseDate(QString::fromUtf8(bad), DateFormat::YearMonthDay)) << bad;
  }
  // The same text in the wrong format is not read as another date.
  EXPECT_FALSE(parseDate("2009-03-13", DateFormat::DayMonthYear));
  EXPECT_FALSE(parseDate("13-03-2009", DateFormat::MonthDayYear));
}

}  // namespace
}  // namespace pelmar
