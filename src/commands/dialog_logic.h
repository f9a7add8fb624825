#pragma once

#include <QDate>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QTime>
#include <functional>

#include "commands/clock.h"
#include "model/dates.h"

namespace pelmar {

// The quarter of a month: 1 for January to March up to 4.
int quarterOfMonth(int month);

// What the date picker decides: the calendar's day, the chosen date and
// time, and how the dialog ended. The dialog draws this state and feeds the
// user's actions into it.
class CalendarChoice {
 public:
  // The calendar starts on the given day and the time spinners at noon.
  explicit CalendarChoice(QDate calendarDay);

  // The calendar goes to the whole day of the value, which becomes the
  // chosen date; the time of day goes into the chosen time and the spinners.
  // A value that names no moment changes nothing.
  void setDateTime(DateTime value);
  // The calendar's day as a serial of whole days.
  DateTime date() const;
  // With Today pressed: the clock's moment of this call, also kept as the
  // chosen moment. Otherwise the chosen date at the chosen time.
  DateTime dateTime(const Clock& clock);

  // Called when the dialog is shown: forgets an earlier Today, and an earlier
  // OK so that only a button of this showing can accept.
  void startExecute() {
    today_ = false;
    accepted_ = false;
  }

  // The calendar moved to another day: it becomes the chosen date and the
  // chosen time is taken from the spinners again.
  void setCalendarDay(QDate day);
  // A year step keeps the day and month (29 February becomes 28 February in
  // a common year); a month step keeps the day, cut to the month's last day.
  void stepYear(int years) { setCalendarDay(calendarDay_.addYears(years)); }
  void stepMonth(int months) { setCalendarDay(calendarDay_.addMonths(months)); }

  // The spinners clamp their value into the day (hours 0 to 23, minutes and
  // seconds 0 to 59) before it becomes the chosen time.
  void setHour(int hour);
  void setMinute(int minute);
  void setSecond(int second);

  void pressOk();
  void pressCancel();
  // The calendar moves to the clock's today, which becomes the chosen date
  // at the clock's time of day.
  void pressToday(const Clock& clock);

  QDate calendarDay() const { return calendarDay_; }
  QDate chosenDay() const { return chosenDay_; }
  QTime chosenTime() const { return chosenTime_; }
  int hour() const { return hour_; }
  int minute() const { return minute_; }
  int second() const { return second_; }
  bool accepted() const { return accepted_; }
  bool today() const { return today_; }

  int year() const { return calendarDay_.year(); }
  int quarter() const { return quarterOfMonth(calendarDay_.month()); }
  int week() const { return WeekNumber(dateToSerial(chosenDay_)); }

 private:
  void takeTimeFromSpinners();

  QDate calendarDay_;
  QDate chosenDay_;
  QTime chosenTime_;
  int hour_ = 12;
  int minute_ = 0;
  int second_ = 0;
  bool today_ = false;
  bool accepted_ = false;
};

// Counts the lines a text takes when drawn at the given width; the widgets
// measure with the window font, tests count by hand.
using LinesAtWidth = std::function<int(int width)>;

// A message cut into memo lines at every line break (CR LF, CR or LF each
// count as one break); a break at the end adds no empty line.
QStringList memoLines(const QString& message);

// The top left corner that centres a window of the given size on the area
// of the calling window (halves rounded towards zero).
QPoint centredOn(const QRect& area, QSize window);

// The question window: positions in the client area; the memo lies inside
// the panel, the buttons stand in a row under it as wide as the panel, in
// the platform's order.
struct QuestionLayout {
  QRect panel;
  QRect memo;
  QRect buttons;
  QSize client;
};

// Lays out the question from the message's text width in the window font,
// the font's point size and line height, the size of one button and the
// size of the screen's free area. A message too long for the screen
// scrolls in its memo. The window is at least `leastWidth` wide (its
// title's room) where the screen allows.
QuestionLayout layoutQuestion(int messageTextWidth, const LinesAtWidth& memoLineCount,
                              int fontPointSize, int lineSpacing, QSize button, QSize screen,
                              int leastWidth = 0);

// The input window: positions in the client area.
struct AskLayout {
  QRect label;
  QRect edit;
  QRect ok;
  QRect cancel;
  QSize client;
};

// The width of the input window's label and edit; the label wraps the
// prompt at it.
inline constexpr int kAskLabelWidth = 329;

// Lays out the input window from the prompt's text width in the window font,
// the height the label needs to show the prompt wrapped, the edit's height
// and the size of one button. The window is at least `leastWidth` wide (its
// title's room).
AskLayout layoutAsk(int promptTextWidth, int wrappedPromptHeight, int editHeight, QSize button,
                    int leastWidth = 0);

// The timed message window: the memo's place and the window's size.
struct TimedMessageLayout {
  QRect memo;
  QSize window;
};

// The line whose width sets the timed message's width: the one with more
// characters, the first on a tie.
QString longerLine(const QString& line1, const QString& line2);
// The memo lines of a timed message: each non-empty line, cut at its line
// breaks.
QStringList timedMessageLines(const QString& line1, const QString& line2);
// Lays out the timed message from the measured width of the longer line,
// the memo's line count at a width, the font's point size and line spacing
// and the height of the screen.
TimedMessageLayout layoutTimedMessage(int textWidth, const LinesAtWidth& memoLineCount,
                                      int fontPointSize, int lineSpacing, int screenHeight);

}  // namespace pelmar
