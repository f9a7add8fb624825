#include "ui/dialogs/aantal_kopen_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "commands/dialog_logic.h"
#include "commands/session.h"
#include "commands/trading.h"
#include "model/conversions.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

namespace {

constexpr int kPriceMissingMs = 5000;

QLabel* panel(QWidget* parent, const char* name) {
  auto* label = named(new QLabel(parent), name);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setMinimumWidth(120);
  return label;
}

QLineEdit* numberEdit(QWidget* parent, const char* name) {
  auto* edit = named(new QLineEdit(parent), name);
  edit->setAlignment(Qt::AlignRight);
  edit->setMinimumWidth(120);
  return edit;
}

}  // namespace

TAantalKopenForm::TAantalKopenForm(const Session& session, QWidget* parent)
    : QDialog(parent, kButtonsOnlyDialog), session_(session) {
  setObjectName(QStringLiteral("AantalKopenForm"));
  applyDialogLook(this);
  auto* column = new QVBoxLayout(this);

  Kopen_volgens = named(new QGroupBox(this), "Kopen_volgens");
  auto* radios = new QHBoxLayout(Kopen_volgens);
  MarktRadio = named(new QRadioButton(Kopen_volgens), "MarktRadio");
  PremiRadio = named(new QRadioButton(Kopen_volgens), "PremiRadio");
  MarktRadio->setChecked(true);
  PremiRadio->setEnabled(false);
  radios->addWidget(MarktRadio);
  radios->addWidget(PremiRadio);
  column->addWidget(Kopen_volgens);

  Corrigeer_Aantal = named(new QGroupBox(this), "Corrigeer_Aantal");
  auto* fields = new QGridLayout(Corrigeer_Aantal);
  AantalLabel = named(new QLabel(Corrigeer_Aantal), "AantalLabel");
  AantalEdit = numberEdit(Corrigeer_Aantal, "AantalEdit");
  KoersLabel = named(new QLabel(Corrigeer_Aantal), "KoersLabel");
  KoersEdit = numberEdit(Corrigeer_Aantal, "KoersEdit");
  WaardeLabel = named(new QLabel(Corrigeer_Aantal), "WaardeLabel");
  WaardePanel = panel(Corrigeer_Aantal, "WaardePanel");
  KostenLabel = named(new QLabel(Corrigeer_Aantal), "KostenLabel");
  KostenEdit = numberEdit(Corrigeer_Aantal, "KostenEdit");
  LabelKostenTotaal = named(new QLabel(Corrigeer_Aantal), "LabelKostenTotaal");
  PanelKostenTotaal = panel(Corrigeer_Aantal, "PanelKostenTotaal");
  const std::pair<QWidget*, QWidget*> rows[] = {{AantalLabel, AantalEdit},
                                                {KoersLabel, KoersEdit},
                                                {WaardeLabel, WaardePanel},
                                                {KostenLabel, KostenEdit},
                                                {LabelKostenTotaal, PanelKostenTotaal}};
  int row = 0;
  for (const auto& [label, value] : rows) {
    fields->addWidget(label, row, 0);
    fields->addWidget(value, row++, 1);
  }
  column->addWidget(Corrigeer_Aantal);

  auto* buttons = new QHBoxLayout;
  BtnOK = new TColorButton(QStringLiteral("BtnOK"), this);
  BtnCancel = new TColorButton(QStringLiteral("BtnCancel"), this);
  buttons->addStretch();
  buttons->addWidget(BtnOK);
  buttons->addWidget(BtnCancel);
  column->addLayout(buttons);

  for (QLineEdit* edit : {AantalEdit, KoersEdit, KostenEdit}) {
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this] { edited_ = true; });
  }
  connect(MarktRadio, &QRadioButton::clicked, this, [this] { PremiRadioClick(); });
  connect(PremiRadio, &QRadioButton::clicked, this, [this] { PremiRadioClick(); });
  connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
}

QString TAantalKopenForm::number(double value) const {
  return RealToStr(value, 0, 4, session_.language());
}

void TAantalKopenForm::prepare(const DialogArea& area, const TradeProposal& proposal) {
  const auto text = [this](TextId id) { return session_.text(id); };
  setWindowTitle(text(TextId::TradeCaption));
  Kopen_volgens->setTitle(text(TextId::TradeBuyAccording));
  MarktRadio->setText(text(TextId::TradeMethodRadio));
  PremiRadio->setText(text(TextId::TradePremiRadio));
  Corrigeer_Aantal->setTitle(text(TextId::TradeCorrect));
  AantalLabel->setText(text(TextId::TradeQuantityLabel));
  KoersLabel->setText(text(TextId::TradePriceLabel));
  WaardeLabel->setText(text(TextId::TradeValueLabel));
  KostenLabel->setText(text(TextId::TradeCostsLabel));
  LabelKostenTotaal->setText(text(TextId::TradeTotalCostsLabel));
  BtnOK->setText(text(TextId::ButtonOk));
  BtnCancel->setText(text(TextId::TradeCancel));
  BtnOK->setFixedSize(buttonSize({BtnOK, BtnCancel}));
  BtnCancel->setFixedSize(buttonSize({BtnOK, BtnCancel}));

  proposal_ = proposal;
  entry_ = TradeEntry{};
  price_ = proposal.price;
  costs_ = 0;
  MarktRadio->setChecked(true);
  AantalEdit->setText(proposal.presetQuantity.trimmed());
  KoersEdit->setText(number(price_));
  KostenEdit->setText(number(costs_));
  refresh();
  adjustSize();
  PlaceDialog(this, area);
}

TradeEntry TAantalKopenForm::Execute(const DialogArea& area, const TradeProposal& proposal) {
  prepare(area, proposal);
  exec();
  return entry_;
}

void TAantalKopenForm::refresh() {
  const double quantity = StrToReal(AantalEdit->text());
  price_ = StrToReal(KoersEdit->text());
  costs_ = StrToReal(KostenEdit->text());
  const TradeFigures figures = TradeFiguresOf(proposal_, quantity, price_, costs_);
  AantalEdit->setText(number(quantity));
  // An empty price stays empty, so that OK can refuse it.
  if (!KoersEdit->text().trimmed().isEmpty()) KoersEdit->setText(number(price_));
  KostenEdit->setText(number(costs_));
  WaardePanel->setText(number(figures.value) + QLatin1Char(' '));
  PanelKostenTotaal->setText(number(figures.totalCosts) + QLatin1Char(' '));
  edited_ = false;
}

void TAantalKopenForm::PremiRadioClick() {
  const double quantity =
      MarktRadio->isChecked() ? MethodQuantity(proposal_) : proposal_.affordable;
  AantalEdit->setText(number(quantity));
  refresh();
}

void TAantalKopenForm::BtnOKClick() {
  if (KoersEdit->text().trimmed().isEmpty()) {
    if (timedMessage_) timedMessage_(session_.text(TextId::TradePriceMissing), {}, kPriceMissingMs);
    return;
  }
  refresh();
  entry_.accepted = true;
  entry_.quantity = StrToReal(AantalEdit->text());
  entry_.price = price_;
  entry_.costs = costs_;
  accept();
}

void TAantalKopenForm::BtnCancelClick() {
  AantalEdit->setText(QStringLiteral("0.00"));
  KoersEdit->setText(number(0));
  KostenEdit->setText(number(0));
  refresh();
  entry_ = TradeEntry{};
  QDialog::reject();
}

void TAantalKopenForm::reject() {
  BtnCancel->click();
}

bool TAantalKopenForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // The first Enter after typing shows what the entry comes to; Enter
      // on figures already shown is OK, as in any dialog.
      if (edited_)
        refresh();
      else
        BtnOKClick();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TAantalKopenForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  AantalEdit->setFocus();
  AantalEdit->selectAll();
}

}  // namespace pelmar
