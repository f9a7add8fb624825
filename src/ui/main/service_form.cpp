#include "ui/main/service_form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "commands/session.h"
#include "ui/main/check_form.h"
#include "ui/platform/memory_status.h"
#include "ui/platform/window_position.h"

namespace pelmar {

namespace {

// The button names of the flag lines: Speed<name>Set, Speed<name>Clear.
constexpr std::array<const char*, 5> kButtonNames = {"Splits", "Cum", "Reserve", "Ref", "Jaar"};
constexpr std::array<const char*, 5> kCheckNames = {"CheckCumFonds", "CheckServicePanel",
                                                    "CheckDebug", "CheckLog", "CheckEditOldDates"};

}  // namespace

TServiceForm::TServiceForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("ServiceForm"));
  auto* column = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(flagsPanel());
  top->addWidget(checkPanel());
  column->addLayout(top);
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("Memo"));
  memo_->setReadOnly(true);
  column->addWidget(memo_);
  auto* buttons = new QHBoxLayout;
  btnCheck_ = new QPushButton(this);
  btnCheck_->setObjectName(QStringLiteral("BtnCheck"));
  auto* ok = new QPushButton(this);
  ok->setObjectName(QStringLiteral("BtnOK"));
  auto* cancel = new QPushButton(this);
  cancel->setObjectName(QStringLiteral("BtnCancel"));
  for (QPushButton* button : {btnCheck_, ok, cancel}) buttons->addWidget(button);
  column->addLayout(buttons);
  checkForm_ = new TCheckForm(session_, this);
  connect(btnCheck_, &QPushButton::clicked, checkForm_, &TCheckForm::showListing);
  connect(ok, &QPushButton::clicked, this, &QDialog::close);
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);
  ok->setText(session_.text(TextId::ButtonOk));
  cancel->setText(session_.text(TextId::ServiceCancel));
  btnCheck_->setText(session_.text(TextId::ServiceCheckFile));
  const Settings& s = session_.settings();
  move(s.serviceLeft, s.serviceTop);
  resize(s.serviceClientWidth, s.serviceClientHeight);
  FitOnScreen(this);
}

QWidget* TServiceForm::flagsPanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("FlagsPanel"));
  auto* grid = new QGridLayout(panel);
  const TextId headings[] = {TextId::ServiceFlagHeading, TextId::ServiceStateHeading,
                             TextId::ServiceSetHeading, TextId::ServiceClearHeading};
  for (int c = 0; c < 4; ++c) grid->addWidget(new QLabel(session_.text(headings[c]), panel), 0, c);
  for (MaintenanceFlag flag : kMaintenanceFlags) {
    const auto i = static_cast<size_t>(flag);
    const int row = static_cast<int>(i) + 1;
    const QString name = QString::fromLatin1(kButtonNames[i]);
    grid->addWidget(new QLabel(FlagCaption(flag), panel), row, 0);
    states_[i] = new QLabel(panel);
    sets_[i] = new QPushButton(session_.text(TextId::ServiceSetHeading), panel);
    sets_[i]->setObjectName(QStringLiteral("Speed%1Set").arg(name));
    clears_[i] = new QPushButton(session_.text(TextId::ServiceClearHeading), panel);
    clears_[i]->setObjectName(QStringLiteral("Speed%1Clear").arg(name));
    grid->addWidget(states_[i], row, 1);
    grid->addWidget(sets_[i], row, 2);
    grid->addWidget(clears_[i], row, 3);
    for (const bool on : {true, false}) {
      connect(on ? sets_[i] : clears_[i], &QPushButton::clicked, this, [this, flag, on] {
        if (SetMaintenanceFlag(session_, flag, on)) emit changed();
        refresh();
      });
    }
  }
  return panel;
}

QWidget* TServiceForm::checkPanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("CheckPanel"));
  auto* column = new QVBoxLayout(panel);
  for (MaintenanceSwitch which : kMaintenanceSwitches) {
    const auto i = static_cast<size_t>(which);
    checks_[i] = new QCheckBox(session_.text(SwitchCaption(which)), panel);
    checks_[i]->setObjectName(QString::fromLatin1(kCheckNames[i]));
    column->addWidget(checks_[i]);
    connect(checks_[i], &QCheckBox::toggled, this, [this, which](bool on) {
      if (SwitchState(session_.settings(), which) == on) return;
      SetMaintenanceSwitch(session_, which, on,
                           QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
      emit changed();
    });
  }
  return panel;
}

void TServiceForm::showService() {
  setWindowTitle(session_.text(TextId::ServiceTitle));
  refresh();
  show();
  raise();
}

void TServiceForm::refresh() {
  for (MaintenanceFlag flag : kMaintenanceFlags)
    stateLabel(flag)->setText(
        session_.text(FlagState(session_, flag) ? TextId::ServiceTrue : TextId::ServiceFalse));
  for (MaintenanceSwitch which : kMaintenanceSwitches) {
    QCheckBox* box = checkBox(which);
    const QSignalBlocker quiet(box);
    box->setChecked(SwitchState(session_.settings(), which));
  }
  memo_->setPlainText(ServiceMemo(session_, PlatformMemoryStatus()).join(u'\n'));
}

void TServiceForm::storePlace() {
  Settings& s = session_.settings();
  s.serviceLeft = x();
  s.serviceTop = y();
  s.serviceClientWidth = width();
  s.serviceClientHeight = height();
}

void TServiceForm::closeEvent(QCloseEvent* event) {
  // Closing stores the switches and the window's place.
  storePlace();
  (void)session_.storeSettings();
  QDialog::closeEvent(event);
}

}  // namespace pelmar
