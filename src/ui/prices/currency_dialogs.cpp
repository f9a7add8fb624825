#include "ui/prices/currency_dialogs.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/session.h"
#include "lang/language.h"
#include "model/conversions.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

namespace {

QHBoxLayout* centredButtons(QPushButton* ok, QPushButton* cancel) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addSpacing(25);
  row->addWidget(cancel);
  row->addStretch();
  return row;
}

// Room beside a list's text for the item's own margins.
constexpr int kListTextMargin = 12;

}  // namespace

TKoersForm::TKoersForm(const Language& language, QWidget* parent)
    : QDialog(parent, kButtonsOnlyDialog),
      KoersenListBox(named(new QListWidget(this), "KoersenListBox")),
      OKBtn(new TColorButton(QStringLiteral("OKBtn"), this)),
      CancelBtn(new TColorButton(QStringLiteral("CancelBtn"), this)),
      language_(language) {
  setObjectName(QStringLiteral("KoersForm"));
  applyDialogLook(this);
  // The lines are in fixed columns, so they are shown in a fixed font.
  KoersenListBox->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  KoersenListBox->setSortingEnabled(true);
  auto* stack = new QVBoxLayout(this);
  stack->addWidget(KoersenListBox);
  stack->addLayout(centredButtons(OKBtn, CancelBtn));
  setMinimumSize(415, 300);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(KoersenListBox, &QListWidget::itemDoubleClicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<PickedStock> TKoersForm::Execute(const QStringList& lines) {
  picked_.reset();
  setWindowTitle(language_.text(TextId::ProductName) + language_.text(TextId::SelectStockTitle));
  OKBtn->setText(language_.text(TextId::ButtonOk));
  CancelBtn->setText(language_.text(TextId::ButtonCancel));
  KoersenListBox->clear();
  KoersenListBox->addItems(lines);
  if (KoersenListBox->count() > 0) KoersenListBox->setCurrentRow(0);
  // As wide as the longest line, so that every column (the date too) shows.
  const QFontMetrics metrics(KoersenListBox->font());
  int widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  KoersenListBox->setMinimumWidth(widest + 2 * KoersenListBox->frameWidth() +
                                  KoersenListBox->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                  kListTextMargin);
  adjustSize();
  exec();
  return picked_;
}

void TKoersForm::OKBtnClick() {
  const QListWidgetItem* item = KoersenListBox->currentItem();
  if (!item) return;  // nothing to take: the window stays open
  picked_ = PickedStockOf(item->text());
  accept();
}

CurrencyIndexBox::CurrencyIndexBox(const Language& language, QWidget* parent)
    : QWidget(parent),
      IndexGroupBox(named(new QGroupBox(this), "IndexGroupBox")),
      NaamKoersEdit(named(new QLineEdit(this), "NaamKoersEdit")),
      KoersEdit(named(new QLineEdit(this), "KoersEdit")),
      FactorEdit(named(new QLineEdit(this), "FactorEdit")),
      LijstBtn(new TColorButton(QStringLiteral("LijstBtn"), this)),
      ValutaKoersGroupBox(named(new QGroupBox(this), "ValutaKoersGroupBox")),
      InDollarsRadio(named(new QRadioButton(this), "InDollarsRadio")),
      InEurosRadio(named(new QRadioButton(this), "InEurosRadio")),
      language_(language) {
  KoersEdit->setReadOnly(true);
  auto* fields = new QFormLayout(IndexGroupBox);
  fields->addRow(new QLabel(IndexGroupBox), NaamKoersEdit);
  fields->addRow(new QLabel(IndexGroupBox), KoersEdit);
  fields->addRow(new QLabel(IndexGroupBox), FactorEdit);
  fields->addRow(LijstBtn);
  auto* radios = new QVBoxLayout(ValutaKoersGroupBox);
  radios->addWidget(InDollarsRadio);
  radios->addWidget(InEurosRadio);
  auto* stack = new QVBoxLayout(this);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->addWidget(IndexGroupBox);
  stack->addWidget(ValutaKoersGroupBox);
  connect(FactorEdit, &QLineEdit::textChanged, this, [this] { FactorEditChange(); });
  connect(KoersEdit, &QLineEdit::textChanged, this, [this] { FactorEditChange(); });
}

void CurrencyIndexBox::HandleLanguage() {
  IndexGroupBox->setTitle(language_.text(TextId::CurrencyIndexGroup));
  auto* fields = static_cast<QFormLayout*>(IndexGroupBox->layout());
  const TextId labels[] = {TextId::CurrencyIndexName, TextId::CurrencyIndexRate,
                           TextId::CurrencyIndexFactor};
  for (int row = 0; row < 3; ++row) {
    auto* label = fields->itemAt(row, QFormLayout::LabelRole)->widget();
    static_cast<QLabel*>(label)->setText(language_.text(labels[row]));
  }
  LijstBtn->setText(language_.text(TextId::CurrencyShowList));
  ValutaKoersGroupBox->setTitle(language_.text(TextId::CurrencyRatioGroup));
}

void CurrencyIndexBox::FactorEditChange() {
  const RatioCaptions captions =
      CurrencyRatioCaptions(language_, KoersEdit->text(), FactorEdit->text());
  if (captions.keep) return;
  ValutaKoersGroupBox->setVisible(captions.show);
  if (!captions.show) return;
  InDollarsRadio->setText(captions.inDollars);
  InEurosRadio->setText(captions.inEuros);
}

TDlgValutaFonds::TDlgValutaFonds(const Language& language, QWidget* parent)
    : QDialog(parent, kButtonsOnlyDialog),
      PortefeuilleValuta(named(new QRadioButton(this), "PortefeuilleValuta")),
      CustomValuta(named(new QRadioButton(this), "CustomValuta")),
      ValutaEdit(named(new QLineEdit(this), "ValutaEdit")),
      Index(named(new CurrencyIndexBox(language, this), "Index")),
      OKBtn(new TColorButton(QStringLiteral("OKBtn"), this)),
      CancelBtn(new TColorButton(QStringLiteral("CancelBtn"), this)),
      Picker(new TKoersForm(language, this)),
      language_(language) {
  setObjectName(QStringLiteral("DlgValutaFonds"));
  applyDialogLook(this);
  // The code is kept in upper case, as the fund's Valuta is.
  connect(ValutaEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (text != text.toUpper()) ValutaEdit->setText(text.toUpper());
  });
  auto* currency = new QFormLayout;
  currency->addRow(named(new QLabel(this), "ValutaLabel"), ValutaEdit);
  auto* stack = new QVBoxLayout(this);
  stack->addWidget(PortefeuilleValuta);
  stack->addWidget(CustomValuta);
  stack->addLayout(currency);
  stack->addWidget(Index);
  stack->addLayout(centredButtons(OKBtn, CancelBtn));
  connect(PortefeuilleValuta, &QRadioButton::toggled, this, [this] { PortefeuilleValutaClick(); });
  connect(Index->LijstBtn, &QPushButton::clicked, this, [this] { LijstBtnClick(); });
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TDlgValutaFonds::HandleLanguage() {
  setWindowTitle(language_.text(TextId::ProductName) + language_.text(TextId::FundCurrencyTitle));
  PortefeuilleValuta->setText(
      language_.text(TextId::FundCurrencyIsPortfolio).arg(proposal_.portfolioCurrency));
  CustomValuta->setText(language_.text(TextId::FundCurrencyIsCustom).arg(proposal_.otherCurrency));
  findChild<QLabel*>(QStringLiteral("ValutaLabel"))->setText(language_.text(TextId::CurrencyLabel));
  Index->HandleLanguage();
  OKBtn->setText(language_.text(TextId::ButtonOk));
  CancelBtn->setText(language_.text(TextId::ButtonCancel));
}

FundCurrencyChoice TDlgValutaFonds::Execute(const FundCurrencyProposal& proposal) {
  proposal_ = proposal;
  pickedIndex_.reset();
  HandleLanguage();
  const bool own = proposal.fundCurrency == proposal.portfolioCurrency;
  (own ? PortefeuilleValuta : CustomValuta)->setChecked(true);
  PortefeuilleValutaClick();
  FundCurrencyChoice choice;
  choice.accepted = exec() == QDialog::Accepted;
  choice.currency = ValutaEdit->text();
  choice.factor = Index->FactorEdit->text();
  choice.inDollars = Index->InDollarsRadio->isChecked();
  choice.pickedIndex = pickedIndex_;
  return choice;
}

void TDlgValutaFonds::PortefeuilleValutaClick() {
  const bool own = PortefeuilleValuta->isChecked();
  Index->IndexGroupBox->setVisible(!own);
  Index->ValutaKoersGroupBox->setVisible(!own);
  ValutaEdit->setText(own ? proposal_.portfolioCurrency : proposal_.otherCurrency);
  Index->NaamKoersEdit->setText(pickedIndex_.value_or(proposal_.indexName));
  Index->KoersEdit->setText(own ? QStringLiteral("1.0") : proposal_.dollarText);
  Index->FactorEdit->setText(own ? QStringLiteral("1") : proposal_.factor);
  Index->FactorEditChange();
  Index->InDollarsRadio->setChecked(proposal_.inDollars);
  Index->InEurosRadio->setChecked(!proposal_.inDollars);
}

void TDlgValutaFonds::LijstBtnClick() {
  const std::optional<PickedStock> picked = Picker->Execute(proposal_.stockLines);
  if (!picked) return;
  // An index that cannot give the rate is refused with its reason; the
  // fields keep what they showed.
  if (const QString refusal =
          proposal_.indexRefusal ? proposal_.indexRefusal(picked->ticker) : QString();
      !refusal.isEmpty()) {
    QMessageBox::information(this, language_.text(TextId::ProductName), refusal);
    return;
  }
  pickedIndex_ = picked->ticker;
  Index->NaamKoersEdit->setText(picked->ticker);
  const double price = proposal_.indexPrice ? proposal_.indexPrice(picked->ticker) : 0.0;
  Index->KoersEdit->setText(RealToStr(price, 0, 5, language_).trimmed());
}

TDollarDlg::TDollarDlg(Session& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent, kButtonsOnlyDialog),
      ExplanationLabel(named(new QLabel(this), "ExplanationLabel")),
      RemarkLabel(named(new QLabel(this), "RemarkLabel")),
      Index(named(new CurrencyIndexBox(session.language(), this), "Index")),
      ValutaOKBtn(new TColorButton(QStringLiteral("ValutaOKBtn"), this)),
      ValutaCancelBtn(new TColorButton(QStringLiteral("ValutaCancelBtn"), this)),
      Picker(new TKoersForm(session.language(), this)),
      session_(session),
      prompter_(prompter) {
  setObjectName(QStringLiteral("DollarDlg"));
  applyDialogLook(this);
  ExplanationLabel->setWordWrap(true);
  ExplanationLabel->setMinimumWidth(420);
  auto* stack = new QVBoxLayout(this);
  stack->addWidget(ExplanationLabel);
  stack->addWidget(Index);
  stack->addWidget(RemarkLabel);
  stack->addLayout(centredButtons(ValutaOKBtn, ValutaCancelBtn));
  connect(Index->LijstBtn, &QPushButton::clicked, this, [this] { LijstBtnClick(); });
  connect(ValutaOKBtn, &QPushButton::clicked, this, [this] { ValutaOKBtnClick(); });
  connect(ValutaCancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TDollarDlg::HandleLanguage() {
  const Language& language = session_.language();
  setWindowTitle(language.text(TextId::ProductName) + language.text(TextId::DollarDlgTitle));
  ExplanationLabel->setText(language.text(TextId::DollarDlgExplanation));
  RemarkLabel->setText(language.text(TextId::CurrencyListRemark));
  Index->HandleLanguage();
  ValutaOKBtn->setText(language.text(TextId::ButtonOk));
  ValutaCancelBtn->setText(language.text(TextId::ButtonCancel));
}

void TDollarDlg::showFields(const DollarIndexFields& fields) {
  Index->NaamKoersEdit->setText(fields.indexName);
  Index->KoersEdit->setText(fields.priceText);
  Index->FactorEdit->setText(fields.factor);
  Index->FactorEditChange();
  Index->InDollarsRadio->setChecked(fields.inDollars);
  Index->InEurosRadio->setChecked(!fields.inDollars);
}

DollarIndexFields TDollarDlg::fieldsShown() const {
  DollarIndexFields fields;
  fields.indexName = Index->NaamKoersEdit->text();
  fields.priceText = Index->KoersEdit->text();
  fields.factor = Index->FactorEdit->text();
  fields.inDollars = Index->InDollarsRadio->isChecked();
  return fields;
}

bool TDollarDlg::Execute() {
  HandleLanguage();
  showFields(DollarIndexDialogFields(session_));
  return exec() == QDialog::Accepted;
}

void TDollarDlg::LijstBtnClick() {
  const std::optional<PickedStock> picked = Picker->Execute(StockPickerLines(session_));
  DollarIndexFields fields = fieldsShown();
  std::optional<QString> ticker;
  if (picked) ticker = picked->ticker;
  DollarIndexPicked(session_, prompter_, fields, ticker);
  showFields(fields);
}

void TDollarDlg::ValutaOKBtnClick() {
  // A refused factor keeps the dialog open for correction.
  if (pelmar::ValutaOKBtnClick(session_, prompter_, fieldsShown()).ok()) accept();
}

Report KiesDollarIndexClick(Session& session, Prompter& prompter, QWidget* window) {
  TDollarDlg dialog(session, prompter, window);
  const bool accepted = dialog.Execute();
  // A pick from the index list sets the dataset's rate even when the
  // dialog is then cancelled.
  return Report(accepted ? Outcome::done() : Outcome::stopped(), Change::Figures);
}

}  // namespace pelmar
