#include "commands/dialog_logic.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace pelmar {

int quarterOfMonth(int month) {
  return (month + 2) / 3;
}

CalendarChoice::CalendarChoice(QDate calendarDay) {
  setCalendarDay(calendarDay);
}

void CalendarChoice::setDateTime(DateTime value) {
  const QDateTime moment = serialToDateTime(value);
  if (!moment.isValid()) return;
  setCalendarDay(moment.date());
  chosenTime_ = moment.time();
  hour_ = chosenTime_.hour();
  minute_ = chosenTime_.minute();
  second_ = chosenTime_.second();
}

DateTime CalendarChoice::date() const {
  return dateToSerial(calendarDay_);
}

DateTime CalendarChoice::dateTime(const Clock& clock) {
  if (today_) {
    const QDateTime now = clock.now();
    chosenDay_ = now.date();
    chosenTime_ = now.time();
  }
  // UTC so that a time in a daylight-saving gap is kept as it was chosen.
  return dateTimeToSerial(QDateTime(chosenDay_, chosenTime_, Qt::UTC));
}

void CalendarChoice::setCalendarDay(QDate day) {
  if (!day.isValid()) return;
  calendarDay_ = day;
  chosenDay_ = day;
  takeTimeFromSpinners();
}

void CalendarChoice::takeTimeFromSpinners() {
  chosenTime_ = QTime(hour_, minute_, second_);
}

void CalendarChoice::setHour(int hour) {
  hour_ = std::clamp(hour, 0, 23);
  takeTimeFromSpinners();
}

void CalendarChoice::setMinute(int minute) {
  minute_ = std::clamp(minute, 0, 59);
  takeTimeFromSpinners();
}

void CalendarChoice::setSecond(int second) {
  second_ = std::clamp(second, 0, 59);
  takeTimeFromSpinners();
}

void CalendarChoice::pressOk() {
  accepted_ = true;
  today_ = false;
}

void CalendarChoice::pressCancel() {
  accepted_ = false;
  today_ = false;
}

void CalendarChoice::pressToday(const Clock& clock) {
  const QDateTime now = clock.now();
  setCalendarDay(now.date());
  chosenTime_ = now.time();
  accepted_ = true;
  today_ = true;
}

QStringList memoLines(const QString& message) {
  static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
  QStringList lines = message.split(lineBreak);
  // A break at the very end closes the last line; it opens no new one.
  if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

QPoint centredOn(const QRect& area, QSize window) {
  return {area.left() + (area.width() - window.width()) / 2,
          area.top() + (area.height() - window.height()) / 2};
}

namespace {

// The question window's design: the panel 16 px from the left and top edge,
// the memo 8 px inside it, the buttons Yes, Cancel and No in one row with
// 12 px between them. The panel is never narrower than that row, so that it
// reaches the right edge of No.
constexpr int kQuestionMargin = 16;
constexpr int kMemoInset = 8;
constexpr int kButtonGap = 12;
constexpr int kPanelBelowMemo = 15;
constexpr int kButtonsBelowPanel = 27;
constexpr int kBottomMargin = 15;

// The input window's design: the label and the edit 16 px from the left and
// top edge; OK under the edit's left end, Cancel under its right end.
constexpr int kAskMargin = 16;
constexpr int kAskWidth = kAskLabelWidth;
constexpr int kAskGap = 10;

// The timed message window's design.
constexpr int kTimedMemoLeft = 20;
constexpr int kTimedMemoTop = 20;
constexpr int kTimedMaxTextWidth = 400;
constexpr int kTimedMemoExtraWidth = 20;
constexpr int kTimedWindowExtraWidth = 30;
constexpr int kTimedWindowExtraHeight = 50;

// What a question or timed message leaves free of the screen's width and
// height; a memo that would need more scrolls.
constexpr int kScreenReserve = 200;

}  // namespace

QuestionLayout layoutQuestion(int messageTextWidth, const LinesAtWidth& memoLineCount,
                              int fontPointSize, int lineSpacing, QSize button, QSize screen,
                              int leastWidth) {
  QuestionLayout l;
  const int rowWidth = 3 * button.width() + 2 * kButtonGap;
  // The rule's width, never narrower than the button row or the title nor
  // wider than the screen leaves room for.
  const int screenRoom = screen.width() - kScreenReserve - 2 * kQuestionMargin;
  const int panelWidth = std::max(
      {std::min(static_cast<int>(std::lround(std::sqrt(std::max(messageTextWidth, 0)) * 10)),
                screenRoom),
       std::min(leastWidth - 2 * kQuestionMargin, screenRoom), rowWidth});
  const int memoWidth = panelWidth - 2 * kMemoInset;
  // The rule's line height is that of the design font on a 96 dpi screen;
  // a font whose lines are higher gets its own line height, so the memo
  // holds every line with one to spare.
  const int lineHeight = std::max(static_cast<int>(std::lround(fontPointSize * 1.6)), lineSpacing);
  const int memoHeight = std::min((memoLineCount(memoWidth) + 1) * lineHeight,
                                  std::max(screen.height() - kScreenReserve, lineHeight));

  l.panel = QRect(kQuestionMargin, kQuestionMargin, panelWidth, memoHeight + kPanelBelowMemo);
  l.memo = QRect(kMemoInset, kMemoInset, memoWidth, memoHeight);
  const int buttonTop = l.panel.bottom() + 1 + kButtonsBelowPanel;
  l.buttons = QRect(l.panel.left(), buttonTop, panelWidth, button.height());
  l.client = QSize(panelWidth + 2 * kQuestionMargin, l.buttons.bottom() + 1 + kBottomMargin);
  return l;
}

AskLayout layoutAsk(int promptTextWidth, int wrappedPromptHeight, int editHeight, QSize button,
                    int leastWidth) {
  AskLayout l;
  const int width = std::max(kAskWidth, leastWidth - 2 * kAskMargin);
  // The label's rule of thumb gives 30 px per label width of text; it never
  // gets less than the wrapped prompt needs, so no part of the prompt is cut.
  const int labelHeight =
      std::max(std::max(promptTextWidth, 0) * 30 / kAskWidth, wrappedPromptHeight);
  l.label = QRect(kAskMargin, kAskMargin, width, labelHeight);
  l.edit = QRect(kAskMargin, l.label.bottom() + 1 + kAskGap, width, editHeight);
  const int buttonTop = l.edit.bottom() + 1 + kAskGap;
  l.ok = QRect(QPoint(kAskMargin, buttonTop), button);
  l.cancel = QRect(QPoint(kAskMargin + width - button.width(), buttonTop), button);
  l.client = QSize(width + 2 * kAskMargin, l.ok.bottom() + 1 + kAskGap);
  return l;
}

QString longerLine(const QString& line1, const QString& line2) {
  return line2.size() > line1.size() ? line2 : line1;
}

QStringList timedMessageLines(const QString& line1, const QString& line2) {
  QStringList lines;
  if (!line1.isEmpty()) lines += memoLines(line1);
  if (!line2.isEmpty()) lines += memoLines(line2);
  return lines;
}

TimedMessageLayout layoutTimedMessage(int textWidth, const LinesAtWidth& memoLineCount,
                                      int fontPointSize, int lineSpacing, int screenHeight) {
  const int memoWidth = std::clamp(textWidth, 0, kTimedMaxTextWidth) + kTimedMemoExtraWidth;
  const int lines = memoLineCount(memoWidth);
  // The rule gives each line the font's point size and two lines to spare;
  // lines that wrap or many lines would not fit in that, so the memo takes at
  // least the height its lines need and one to spare (the memo scrolls when
  // its last line only just fits). The screen still caps it; the memo then
  // scrolls.
  const int memoHeight = std::min(std::max((lines + 2) * fontPointSize, (lines + 1) * lineSpacing),
                                  screenHeight - kScreenReserve);
  TimedMessageLayout l;
  l.memo = QRect(kTimedMemoLeft, kTimedMemoTop, memoWidth, memoHeight);
  l.window = QSize(memoWidth + kTimedWindowExtraWidth, memoHeight + kTimedWindowExtraHeight);
  return l;
}

}  // namespace pelmar
