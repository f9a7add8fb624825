#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace pelmar {

// A moment as the records hold it: days since 1899-12-30, the time of day
// as the fraction. Before the base day the whole part counts back and the
// fraction still counts forward from midnight (-1.25 is 1899-12-29 06:00).
using DateTime = double;

// Conversions between the serial and Qt's types, in local time. A serial
// that is no number or lies outside the years 1 to 9999 gives an invalid
// QDate / QDateTime; an invalid QDate / QDateTime gives 0.
DateTime dateToSerial(QDate date);
DateTime dateTimeToSerial(const QDateTime& moment);
QDate serialToDate(DateTime serial);
QDateTime serialToDateTime(DateTime serial);

// The whole day of a serial: the time of day dropped.
DateTime wholeDay(DateTime serial);

// Easter Sunday of a year of the Gregorian calendar.
QDate easterSunday(int year);

// Saturdays, Sundays, 1 January, Good Friday, Easter Monday, 1 May and 25
// and 26 December.
bool IsNonWorkingDay(DateTime date);
// The first working day after the whole day of the date.
DateTime NextWorkDay(DateTime date);
// 1 for Monday up to 7 for Sunday; 0 for a serial that is no number.
int IsoDayOfWeek(DateTime date);
// The week number of the calendar: weeks start on Monday and week 1 holds
// the year's first Thursday, but the last days of December keep counting on
// (53) instead of becoming week 1 of the next year.
int WeekNumber(DateTime date);

// The three date formats the user can choose; always with "-" between the
// fields.
enum class DateFormat { YearMonthDay, DayMonthYear, MonthDayYear };

// The format a stored setting names ("yyyy-MM-dd", "dd-MM-yyyy",
// "MM-dd-yyyy", read without regard to case); anything else is the default
// "yyyy-MM-dd".
DateFormat dateFormatFromSetting(const QString& setting);
// The stored setting of a format, e.g. "dd-MM-yyyy".
QString dateFormatSetting(DateFormat format);
// The stored settings of every format, the default first.
QStringList dateFormatSettings();

// The date as text in the format, e.g. "2009-03-13" or "13-03-2009".
QString formatDate(QDate date, DateFormat format);
// The date a text in the format names. Blanks around the text are ignored;
// day and month may have one or two digits, the year needs four. Nothing
// when the text is no valid date in that format.
std::optional<QDate> parseDate(const QString& text, DateFormat format);

}  // namespace pelmar
