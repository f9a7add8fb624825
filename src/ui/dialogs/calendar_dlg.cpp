#include "ui/dialogs/calendar_dlg.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/session.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

namespace {

QLabel* label(const QString& name, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  return l;
}

QLabel* panel(const QString& name, QWidget* parent) {
  QLabel* p = label(name, parent);
  p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  p->setAlignment(Qt::AlignCenter);
  p->setMinimumWidth(90);
  return p;
}

QSpinBox* spinner(const QString& name, int maximum, QWidget* parent) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(name);
  s->setRange(0, maximum);
  s->setAlignment(Qt::AlignRight);
  return s;
}

}  // namespace

TCalendarDlg::TCalendarDlg(const Session& session, QWidget* parent)
    : QDialog(parent),
      session_(session),
      choice_(session.clock().today()),
      Calendar1(new QCalendarWidget(this)),
      JaarLabel(label(QStringLiteral("JaarLabel"), this)),
      JaarPanel(panel(QStringLiteral("JaarPanel"), this)),
      MaandLabel(label(QStringLiteral("MaandLabel"), this)),
      MaandPanel(panel(QStringLiteral("MaandPanel"), this)),
      WeekLabel(label(QStringLiteral("WeekLabel"), this)),
      WeekPanel(panel(QStringLiteral("WeekPanel"), this)),
      KwartaalLabel(label(QStringLiteral("KwartaalLabel"), this)),
      KwartaalPanel(panel(QStringLiteral("KwartaalPanel"), this)),
      DatumPanel(panel(QStringLiteral("DatumPanel"), this)),
      LabelTime(label(QStringLiteral("LabelTime"), this)),
      SpinUur(spinner(QStringLiteral("SpinUur"), 23, this)),
      SpinMinuut(spinner(QStringLiteral("SpinMinuut"), 59, this)),
      SpinSeconde(spinner(QStringLiteral("SpinSeconde"), 59, this)),
      BtnOK(new TColorButton(QStringLiteral("BtnOK"), this)),
      BtnVandaag(new TColorButton(QStringLiteral("BtnVandaag"), this)),
      BtnCancel(new TColorButton(QStringLiteral("BtnCancel"), this)) {
  applyDialogLook(this);
  Calendar1->setObjectName(QStringLiteral("Calendar1"));
  Calendar1->setFirstDayOfWeek(Qt::Monday);
  // The calendar's own week column counts by ISO rules; the week panel shows
  // the program's week number instead, so the column is left out.
  Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  layOut();
  connectControls();
  HandleLanguage();
  showChoice();
}

void TCalendarDlg::layOut() {
  auto* fields = new QGridLayout;
  fields->addWidget(JaarLabel, 0, 0);
  fields->addWidget(JaarPanel, 0, 1);
  fields->addWidget(upDown(QStringLiteral("JaarSpin"), &CalendarChoice::stepYear), 0, 2);
  fields->addWidget(KwartaalLabel, 1, 0);
  fields->addWidget(KwartaalPanel, 1, 1);
  fields->addWidget(MaandLabel, 2, 0);
  fields->addWidget(MaandPanel, 2, 1);
  fields->addWidget(upDown(QStringLiteral("MaandSpin"), &CalendarChoice::stepMonth), 2, 2);
  fields->addWidget(WeekLabel, 3, 0);
  fields->addWidget(WeekPanel, 3, 1);
  fields->addWidget(DatumPanel, 4, 0, 1, 3);
  fields->setRowStretch(5, 1);

  auto* time = new QHBoxLayout;
  time->addWidget(LabelTime);
  time->addStretch();
  for (QSpinBox* s : {SpinUur, SpinMinuut, SpinSeconde}) time->addWidget(s);

  auto* right = new QVBoxLayout;
  right->addLayout(fields);
  right->addLayout(time);

  auto* top = new QHBoxLayout;
  top->addWidget(Calendar1);
  top->addLayout(right);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BtnOK);
  buttons->addStretch();
  buttons->addWidget(BtnVandaag);
  buttons->addStretch();
  buttons->addWidget(BtnCancel);

  auto* all = new QVBoxLayout(this);
  all->addLayout(top);
  all->addLayout(buttons);
  all->setSizeConstraint(QLayout::SetFixedSize);
}

void TCalendarDlg::connectControls() {
  connect(Calendar1, &QCalendarWidget::selectionChanged, this, [this] {
    choice_.setCalendarDay(Calendar1->selectedDate());
    showChoice();
  });
  // Paging the calendar to another month moves the chosen day with it (cut
  // to the month's last day), so the panels always describe the page shown.
  connect(Calendar1, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
    // A day chosen on another page brings its page along; its own
    // selection signal follows.
    const QDate selected = Calendar1->selectedDate();
    if (selected.year() == year && selected.month() == month) return;
    const QDate first(year, month, 1);
    choice_.setCalendarDay(
        first.addDays(std::min(choice_.calendarDay().day(), first.daysInMonth()) - 1));
    showChoice();
  });
  // A double click or Enter on a day chooses it, as OK does.
  connect(Calendar1, &QCalendarWidget::activated, BtnOK, &QPushButton::click);
  connect(SpinUur, &QSpinBox::valueChanged, this, [this](int v) {
    choice_.setHour(v);
    showChoice();
  });
  connect(SpinMinuut, &QSpinBox::valueChanged, this, [this](int v) {
    choice_.setMinute(v);
    showChoice();
  });
  connect(SpinSeconde, &QSpinBox::valueChanged, this, [this](int v) {
    choice_.setSecond(v);
    showChoice();
  });
  connect(BtnOK, &QPushButton::clicked, this, [this] {
    choice_.pressOk();
    accept();
  });
  connect(BtnCancel, &QPushButton::clicked, this, &TCalendarDlg::reject);
  connect(BtnVandaag, &QPushButton::clicked, this, [this] {
    choice_.pressToday(session_.clock());
    showChoice();
    accept();
  });
}

QWidget* TCalendarDlg::upDown(const QString& name, void (CalendarChoice::*step)(int)) {
  auto* box = new QWidget(this);
  box->setObjectName(name);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (const int delta : {1, -1}) {
    auto* arrow = new QToolButton(box);
    arrow->setObjectName(name + (delta > 0 ? QStringLiteral("Up") : QStringLiteral("Down")));
    arrow->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
    arrow->setAutoRepeat(true);
    arrow->setFixedSize(18, 12);
    connect(arrow, &QToolButton::clicked, this, [this, step, delta] {
      (choice_.*step)(delta);
      showChoice();
    });
    layout->addWidget(arrow);
  }
  return box;
}

void TCalendarDlg::HandleLanguage() {
  // Month and weekday names follow the program's language, not the system.
  locale_ = session_.language().code() == Language::Code::Dutch
                ? QLocale(QLocale::Dutch, QLocale::Netherlands)
                : QLocale(QLocale::English, QLocale::UnitedKingdom);
  Calendar1->setLocale(locale_);
  MaandPanel->setText(locale_.monthName(choice_.calendarDay().month(), QLocale::LongFormat));
  JaarLabel->setText(session_.text(TextId::CalendarYear));
  KwartaalLabel->setText(session_.text(TextId::CalendarQuarter));
  MaandLabel->setText(session_.text(TextId::CalendarMonth));
  WeekLabel->setText(session_.text(TextId::CalendarWeek));
  LabelTime->setText(session_.text(TextId::CalendarTime));
  BtnOK->setText(session_.text(TextId::ButtonOk));
  BtnVandaag->setText(session_.text(TextId::ButtonToday));
  BtnCancel->setText(session_.text(TextId::ButtonCancel));
  setWindowTitle(session_.text(TextId::ProductName) + session_.text(TextId::CalendarCaptionSuffix));
}

bool TCalendarDlg::Execute(bool focusOnOk) {
  hide();
  focusOnOk_ = focusOnOk;
  choice_.startExecute();
  exec();
  return choice_.accepted();
}

pelmar::DateTime TCalendarDlg::DateTime() {
  return choice_.dateTime(session_.clock());
}

void TCalendarDlg::SetDateTime(pelmar::DateTime value) {
  choice_.setDateTime(value);
  showChoice();
}

void TCalendarDlg::reject() {
  choice_.pressCancel();
  QDialog::reject();
}

void TCalendarDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  (focusOnOk_ ? BtnOK : BtnCancel)->setFocus();
}

void TCalendarDlg::showChoice() {
  const QSignalBlocker calendarBlocker(Calendar1);
  const QSignalBlocker hourBlocker(SpinUur);
  const QSignalBlocker minuteBlocker(SpinMinuut);
  const QSignalBlocker secondBlocker(SpinSeconde);
  Calendar1->setSelectedDate(choice_.calendarDay());
  JaarPanel->setText(QString::number(choice_.year()));
  KwartaalPanel->setText(QString::number(choice_.quarter()));
  MaandPanel->setText(locale_.monthName(choice_.calendarDay().month(), QLocale::LongFormat));
  WeekPanel->setText(QString::number(choice_.week()));
  DatumPanel->setText(
      formatDate(choice_.chosenDay(), dateFormatFromSetting(session_.settings().dateFormat)));
  SpinUur->setValue(choice_.hour());
  SpinMinuut->setValue(choice_.minute());
  SpinSeconde->setValue(choice_.second());
}

}  // namespace pelmar
