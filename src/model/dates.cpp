#include "model/dates.h"

#include <QRegularExpression>
#include <QTime>
#include <array>
#include <cmath>
#include <utility>

namespace pelmar {

namespace {

constexpr qint64 kMsecsPerDay = 24 * 60 * 60 * 1000;

QDate serialBase() {
  return QDate(1899, 12, 30);
}

// Serials of 0001-01-01 and 9999-12-31: the range a serial may name.
constexpr double kFirstSerial = -693593;
constexpr double kLastSerial = 2958465;

bool inRange(DateTime serial) {
  return std::isfinite(serial) && std::trunc(serial) >= kFirstSerial &&
         std::trunc(serial) <= kLastSerial;
}

}  // namespace

DateTime dateToSerial(QDate date) {
  return date.isValid() ? static_cast<DateTime>(serialBase().daysTo(date)) : 0.0;
}

DateTime dateTimeToSerial(const QDateTime& moment) {
  if (!moment.isValid()) return 0.0;
  const DateTime day = dateToSerial(moment.date());
  const double fraction = static_cast<double>(moment.time().msecsSinceStartOfDay()) / kMsecsPerDay;
  return day >= 0 ? day + fraction : day - fraction;
}

QDate serialToDate(DateTime serial) {
  if (!inRange(serial)) return QDate();
  return serialBase().addDays(static_cast<qint64>(std::trunc(serial)));
}

QDateTime serialToDateTime(DateTime serial) {
  QDate date = serialToDate(serial);
  if (!date.isValid()) return QDateTime();
  qint64 msecs = std::llround(std::fabs(serial - std::trunc(serial)) * kMsecsPerDay);
  // A fraction a hair below 1 rounds to the next midnight.
  if (msecs >= kMsecsPerDay) {
    date = date.addDays(1);
    msecs = 0;
  }
  return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)));
}

DateTime wholeDay(DateTime serial) {
  return std::trunc(serial);
}

QDate easterSunday(int year) {
  // Anonymous Gregorian algorithm (Meeus/Jones/Butcher).
  const int a = year % 19;
  const int b = year / 100;
  const int c = year % 100;
  const int d = b / 4;
  const int e = b % 4;
  const int f = (b + 8) / 25;
  const int g = (b - f + 1) / 3;
  const int h = (19 * a + b - d - g + 15) % 30;
  const int i = c / 4;
  const int k = c % 4;
  const int l = (32 + 2 * e + 2 * i - h - k) % 7;
  const int m = (a + 11 * h + 22 * l) / 451;
  const int month = (h + l - 7 * m + 114) / 31;
  const int day = (h + l - 7 * m + 114) % 31 + 1;
  return QDate(year, month, day);
}

bool IsNonWorkingDay(DateTime date) {
  if (IsoDayOfWeek(date) >= 6) return true;
  const QDate day = serialToDate(date);
  // Outside the calendar's years only the weekend is known.
  if (!day.isValid()) return false;
  const auto is = [&day](QDate holiday) {
    return day.month() == holiday.month() && day.day() == holiday.day();
  };
  const int year = day.year();
  const QDate easter = easterSunday(year);
  return is(QDate(year, 1, 1)) || is(QDate(year, 5, 1)) || is(QDate(year, 12, 25)) ||
         is(QDate(year, 12, 26)) || is(easter.addDays(-2)) || is(easter.addDays(1));
}

DateTime NextWorkDay(DateTime date) {
  // Beyond the calendar's years there are no holidays to skip, and past 2^53
  // adding a day would change nothing and never end.
  if (!inRange(date)) return wholeDay(date) + 1;
  DateTime next = wholeDay(date) + 1;
  while (IsNonWorkingDay(next)) next += 1;
  return next;
}

int IsoDayOfWeek(DateTime date) {
  // The base day 1899-12-30 was a Saturday (6).
  if (!std::isfinite(date)) return 0;
  const double days = std::fmod(wholeDay(date) + 5, 7.0);
  return static_cast<int>(days < 0 ? days + 7 : days) + 1;
}

int WeekNumber(DateTime date) {
  const QDate day = serialToDate(date);
  if (!day.isValid()) return 0;
  const DateTime firstOfYear = dateToSerial(QDate(day.year(), 1, 1));
  const int w = IsoDayOfWeek(firstOfYear);
  const int n = static_cast<int>(wholeDay(date) - firstOfYear + w + 6) / 7 + (w < 5 ? 1 : 0) - 1;
  // Early January days before week 1 belong to the last week of the year before.
  if (n == 0) return WeekNumber(date - 7) + 1;
  return n;
}

namespace {

// The one place the formats are spelled: each with its stored setting (also
// the QDate format it writes), the default first.
constexpr std::array<std::pair<DateFormat, QLatin1String>, 3> kDateFormats = {{
    {DateFormat::YearMonthDay, QLatin1String("yyyy-MM-dd")},
    {DateFormat::DayMonthYear, QLatin1String("dd-MM-yyyy")},
    {DateFormat::MonthDayYear, QLatin1String("MM-dd-yyyy")},
}};

}  // namespace

DateFormat dateFormatFromSetting(const QString& setting) {
  for (const auto& [format, text] : kDateFormats) {
    if (setting.compare(text, Qt::CaseInsensitive) == 0) return format;
  }
  return kDateFormats.front().first;
}

QString dateFormatSetting(DateFormat format) {
  for (const auto& [known, text] : kDateFormats) {
    if (known == format) return text;
  }
  return kDateFormats.front().second;
}

QStringList dateFormatSettings() {
  QStringList settings;
  for (const auto& entry : kDateFormats) settings << entry.second;
  return settings;
}

QString formatDate(QDate date, DateFormat format) {
  return date.toString(dateFormatSetting(format));
}

std::optional<QDate> parseDate(const QString& text, DateFormat format) {
  static const QRegularExpression fields(
      QStringLiteral("^([0-9]{1,4})-([0-9]{1,4})-([0-9]{1,4})$"));
  const QRegularExpressionMatch match = fields.match(text.trimmed());
  if (!match.hasMatch()) return std::nullopt;
  QString year;
  QString month;
  QString day;
  switch (format) {
    case DateFormat::YearMonthDay:
      year = match.captured(1), month = match.captured(2), day = match.captured(3);
      break;
    case DateFormat::DayMonthYear:
      day = match.captured(1), month = match.captured(2), year = match.captured(3);
      break;
    case DateFormat::MonthDayYear:
      month = match.captured(1), day = match.captured(2), year = match.captured(3);
      break;
  }
  if (year.size() != 4 || month.size() > 2 || day.size() > 2) return std::nullopt;
  const QDate date(year.toInt(), month.toInt(), day.toInt());
  if (!date.isValid()) return std::nullopt;
  return date;
}

}  // namespace pelmar
