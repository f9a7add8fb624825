#include "ui/prices/new_fund_forms.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "commands/new_fund.h"
#include "commands/session.h"
#include "model/conversions.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

namespace {

// How long typing must pause before the other figures are recomputed.
constexpr int kTypingPauseMs = 700;

QLineEdit* namedEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QLatin1String(name));
  return edit;
}

QTimer* pauseTimer(QObject* parent) {
  auto* timer = new QTimer(parent);
  timer->setSingleShot(true);
  timer->setInterval(kTypingPauseMs);
  return timer;
}

}  // namespace

TNieuwFondsForm::TNieuwFondsForm(const Session& session, QWidget* parent)
    : QDialog(parent),
      CompanyEdit(namedEdit("CompanyEdit", this)),
      TickerEdit(namedEdit("TickerEdit", this)),
      KoersEdit(namedEdit("KoersEdit", this)),
      InvestmentEdit(namedEdit("InvestmentEdit", this)),
      NumberEdit(namedEdit("NumberEdit", this)),
      ValueEdit(namedEdit("ValueEdit", this)),
      InvestmentTimer(pauseTimer(this)),
      NumberTimer(pauseTimer(this)),
      ValueTimer(pauseTimer(this)),
      BtnFondsen_nl(new TColorButton(QStringLiteral("BtnFondsen_nl"), this)),
      BtnFondsen_us(new TColorButton(QStringLiteral("BtnFondsen_us"), this)),
      BtnOK(new TColorButton(QStringLiteral("BtnOK"), this)),
      BtnCancel(new TColorButton(QStringLiteral("BtnCancel"), this)),
      session_(session) {
  setObjectName(QStringLiteral("NieuwFondsForm"));
  applyDialogLook(this);
  for (QLineEdit* edit : {CompanyEdit, TickerEdit, KoersEdit}) edit->setReadOnly(true);
  auto* fields = new QFormLayout;
  const auto row = [&](TextId label, QLineEdit* edit, bool currency) {
    auto* line = new QHBoxLayout;
    line->addWidget(edit, 1);
    if (currency) {
      auto* unit = new QLabel(this);
      currencyLabels_ << unit;
      line->addWidget(unit);
    }
    fields->addRow(session_.text(label), line);
  };
  row(TextId::NewFundCompany, CompanyEdit, false);
  row(TextId::NewFundTicker, TickerEdit, false);
  row(TextId::NewFundPrice, KoersEdit, true);
  row(TextId::NewFundInvestment, InvestmentEdit, true);
  row(TextId::NewFundNumber, NumberEdit, false);
  row(TextId::NewFundValue, ValueEdit, true);
  auto* lists = new QHBoxLayout;
  lists->addWidget(BtnFondsen_nl);
  lists->addWidget(BtnFondsen_us);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnOK);
  buttons->addWidget(BtnCancel);
  auto* stack = new QVBoxLayout(this);
  stack->addLayout(lists);
  stack->addLayout(fields);
  stack->addLayout(buttons);

  connect(BtnFondsen_nl, &QPushButton::clicked, this,
          [this] { BtnFondsen_us_nl_Click(Market::Dutch); });
  connect(BtnFondsen_us, &QPushButton::clicked, this,
          [this] { BtnFondsen_us_nl_Click(Market::Us); });
  // Each edit restarts its timer; the timer recomputes once typing pauses.
  const auto restartOn = [this](QLineEdit* edit, QTimer* timer) {
    connect(edit, &QLineEdit::textEdited, timer, [timer] { timer->start(); });
  };
  restartOn(InvestmentEdit, InvestmentTimer);
  restartOn(NumberEdit, NumberTimer);
  restartOn(ValueEdit, ValueTimer);
  connect(InvestmentTimer, &QTimer::timeout, this, [this] { InvestmentTimerTimer(); });
  connect(NumberTimer, &QTimer::timeout, this, [this] { NumberTimerTimer(); });
  connect(ValueTimer, &QTimer::timeout, this, [this] { ValueTimerTimer(); });
  connect(BtnOK, &QPushButton::clicked, this, [this] {
    if (pick_.ok) accept();
  });
  connect(BtnCancel, &QPushButton::clicked, this, [this] { reject(); });
  HandleLanguage();
}

void TNieuwFondsForm::HandleLanguage() {
  setWindowTitle(session_.text(TextId::NewFundTitle));
  BtnFondsen_nl->setText(session_.text(TextId::NewFundListNl));
  BtnFondsen_us->setText(session_.text(TextId::NewFundListUs));
  BtnOK->setText(session_.text(TextId::ButtonOk));
  BtnCancel->setText(session_.text(TextId::ButtonCancel));
  const QString unit =
      session_.text(form_.market == Market::Dutch ? TextId::NewFundEuro : TextId::NewFundDollar);
  for (QLabel* label : currencyLabels_) label->setText(unit);
}

void TNieuwFondsForm::clearFields() {
  for (QLineEdit* edit :
       {CompanyEdit, TickerEdit, KoersEdit, InvestmentEdit, NumberEdit, ValueEdit})
    edit->clear();
  pick_ = NewFundPick{};
}

NewFundEntry TNieuwFondsForm::Execute(const NewFundForm& form) {
  form_ = form;
  clearFields();
  HandleLanguage();
  // Until a stock is picked Enter opens the first list, at every opening of
  // the reused dialog; after the pick it is OK.
  BtnFondsen_nl->setDefault(true);
  BtnFondsen_nl->setFocus();
  NewFundEntry entry;
  if (exec() != QDialog::Accepted || !pick_.ok) return entry;
  // Figures typed just before OK are taken as if typing had paused.
  if (InvestmentTimer->isActive()) InvestmentTimerTimer();
  if (NumberTimer->isActive()) NumberTimerTimer();
  if (ValueTimer->isActive()) ValueTimerTimer();
  entry.accepted = true;
  entry.market = pick_.market;
  entry.company = pick_.company;
  entry.ticker = pick_.ticker;
  entry.price = pick_.price;
  entry.investment = StrToReal(InvestmentEdit->text());
  entry.quantity = StrToReal(NumberEdit->text());
  return entry;
}

void TNieuwFondsForm::BtnFondsen_us_nl_Click(Market market) {
  clearFields();
  if (!form_.pick) return;
  const NewFundPick pick = form_.pick(market);
  if (!pick.ok) return;
  pick_ = pick;
  form_.market = market;
  HandleLanguage();
  CompanyEdit->setText(pick.company);
  TickerEdit->setText(pick.ticker);
  KoersEdit->setText(RealToStr(pick.price, 1, 4, session_.language()).trimmed());
  BtnOK->setDefault(true);
  InvestmentEdit->setFocus();
}

void TNieuwFondsForm::setFigures(const NewFundFigures& figures) {
  InvestmentEdit->setText(figures.investment);
  NumberEdit->setText(figures.number);
  ValueEdit->setText(figures.value);
}

void TNieuwFondsForm::InvestmentTimerTimer() {
  InvestmentTimer->stop();
  setFigures(pelmar::InvestmentTimerTimer(
      {InvestmentEdit->text(), NumberEdit->text(), ValueEdit->text()}, session_.language()));
}

void TNieuwFondsForm::NumberTimerTimer() {
  NumberTimer->stop();
  setFigures(
      pelmar::NumberTimerTimer({InvestmentEdit->text(), NumberEdit->text(), ValueEdit->text()},
                               pick_.price, session_.language()));
}

void TNieuwFondsForm::ValueTimerTimer() {
  ValueTimer->stop();
  setFigures(
      pelmar::ValueTimerTimer({InvestmentEdit->text(), NumberEdit->text(), ValueEdit->text()},
                              pick_.price, session_.language()));
}

TNewFakeFundForm::TNewFakeFundForm(const Session& session, QWidget* parent)
    : QDialog(parent),
      EditNaam(namedEdit("EditNaam", this)),
      EditTicker(namedEdit("EditTicker", this)),
      EditKoers(namedEdit("EditKoers", this)),
      EditInleg(namedEdit("EditInleg", this)),
      EditAantal(namedEdit("EditAantal", this)),
      EditWaarde(namedEdit("EditWaarde", this)),
      BtnOK(new TColorButton(QStringLiteral("BtnOK"), this)),
      BtnCancel(new TColorButton(QStringLiteral("BtnCancel"), this)),
      session_(session) {
  setObjectName(QStringLiteral("NewFakeFundForm"));
  applyDialogLook(this);
  setWindowTitle(session_.text(TextId::NewFundTitle));
  EditWaarde->setReadOnly(true);
  auto* fields = new QFormLayout;
  fields->addRow(new QLabel(session_.text(TextId::FakeFundHeading), this));
  fields->addRow(session_.text(TextId::NewFundCompany), EditNaam);
  fields->addRow(session_.text(TextId::FakeFundTicker), EditTicker);
  fields->addRow(session_.text(TextId::NewFundPrice), EditKoers);
  fields->addRow(session_.text(TextId::NewFundInvestment), EditInleg);
  fields->addRow(session_.text(TextId::NewFundNumber), EditAantal);
  fields->addRow(session_.text(TextId::FakeFundValue), EditWaarde);
  BtnOK->setText(session_.text(TextId::ButtonOk));
  BtnCancel->setText(session_.text(TextId::ButtonCancel));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnOK);
  buttons->addWidget(BtnCancel);
  auto* stack = new QVBoxLayout(this);
  stack->addLayout(fields);
  stack->addLayout(buttons);

  connect(EditNaam, &QLineEdit::textEdited, this,
          [this](const QString& name) { EditTicker->setText(ManualFundTicker(name)); });
  const auto value = [this] {
    EditWaarde->setText(FakeFundValue(EditKoers->text(), EditAantal->text(), session_.language()));
  };
  connect(EditKoers, &QLineEdit::textChanged, this, value);
  connect(EditAantal, &QLineEdit::textChanged, this, value);
  connect(BtnOK, &QPushButton::clicked, this, [this] { accept(); });
  connect(BtnCancel, &QPushButton::clicked, this, [this] { reject(); });
}

NewFundEntry TNewFakeFundForm::Execute() {
  for (QLineEdit* edit : {EditNaam, EditTicker, EditKoers, EditInleg, EditAantal, EditWaarde})
    edit->clear();
  EditNaam->setFocus();
  NewFundEntry entry;
  if (exec() != QDialog::Accepted) return entry;
  entry.accepted = true;
  entry.company = EditNaam->text().trimmed();
  entry.ticker = EditTicker->text().trimmed();
  entry.price = StrToReal(EditKoers->text());
  entry.investment = StrToReal(EditInleg->text());
  entry.quantity = StrToReal(EditAantal->text());
  return entry;
}

}  // namespace pelmar
