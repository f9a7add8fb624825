#include "ui/prices/fondsen_form_us.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <array>

#include "commands/prompter.h"
#include "commands/session.h"
#include "commands/symbol_lookup.h"
#include "ui/dialogs/dialog_look.h"
#include "ui/prices/stock_grid.h"

namespace pelmar {

namespace {

constexpr std::array<int, 3> kColumnWidths = {280, 110, 120};

QGroupBox* boxAround(QWidget* parent, QLineEdit* edit, QPushButton* button) {
  auto* box = new QGroupBox(parent);
  auto* row = new QHBoxLayout(box);
  row->addWidget(edit, 1);
  row->addWidget(button);
  return box;
}

}  // namespace

TFondsenForm_us::TFondsenForm_us(Session& session, Prompter& prompter, HttpGet& http,
                                 QWidget* parent, OpenUrl openUrl)
    : QDialog(parent),
      TickerEdit(new QLineEdit(this)),
      CompanyEdit(new QLineEdit(this)),
      CompanyBtn(new QPushButton(this)),
      TickerBtn(new QPushButton(this)),
      AddBtn(new QPushButton(this)),
      DelBtn(new QPushButton(this)),
      session_(session),
      prompter_(prompter),
      http_(http),
      openUrl_(openUrl ? std::move(openUrl) : OpenUrl(&QDesktopServices::openUrl)),
      TopPanel(new QLabel(this)),
      Grid(new QTableWidget(0, 3, this)),
      AddGroup(new QGroupBox(this)),
      TickerBox(boxAround(this, TickerEdit, CompanyBtn)),
      CompanyBox(boxAround(this, CompanyEdit, TickerBtn)),
      OKBtn(new TColorButton(QStringLiteral("OKBtn"), this)),
      CancelBtn(new TColorButton(QStringLiteral("CancelBtn"), this)),
      list_(Grid, Market::Us) {
  setObjectName(QStringLiteral("FondsenForm_us"));
  setModal(false);
  applyDialogLook(this);
  Grid->setObjectName(QStringLiteral("Grid"));
  TickerEdit->setObjectName(QStringLiteral("TickerEdit"));
  CompanyEdit->setObjectName(QStringLiteral("CompanyEdit"));
  CompanyBtn->setObjectName(QStringLiteral("CompanyBtn"));
  TickerBtn->setObjectName(QStringLiteral("TickerBtn"));
  AddBtn->setObjectName(QStringLiteral("AddBtn"));
  DelBtn->setObjectName(QStringLiteral("DelBtn"));
  AddGroup->setObjectName(QStringLiteral("AddGroup"));
  const int width = SetUpStockGrid(Grid, kColumnWidths);

  // The two look-up boxes side by side, the add and delete buttons under them.
  TickerEdit->setMinimumWidth(80);
  CompanyEdit->setMinimumWidth(160);
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(TickerBox, 1);
  boxes->addWidget(CompanyBox, 2);
  auto* rowButtons = new QHBoxLayout;
  rowButtons->addStretch();
  rowButtons->addWidget(AddBtn);
  rowButtons->addWidget(DelBtn);
  auto* group = new QVBoxLayout(AddGroup);
  group->addLayout(boxes);
  group->addLayout(rowButtons);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  auto* stack = new QVBoxLayout(this);
  stack->addWidget(TopPanel);
  stack->addWidget(Grid, 1);
  stack->addWidget(AddGroup);
  stack->addLayout(buttons);
  resize(width, 460);

  connect(TickerEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
    // Tickers are upper case; the cursor stays where the user typed.
    const int at = TickerEdit->cursorPosition();
    TickerEdit->setText(text.toUpper());
    TickerEdit->setCursorPosition(at);
    updateAddBtn();
  });
  connect(CompanyEdit, &QLineEdit::textEdited, this, [this] { updateAddBtn(); });
  connect(AddBtn, &QPushButton::clicked, this, [this] { AddBtnClick(); });
  connect(DelBtn, &QPushButton::clicked, this, [this] { DelBtnClick(); });
  connect(CompanyBtn, &QPushButton::clicked, this, [this] { CompanyBtnClick(); });
  connect(TickerBtn, &QPushButton::clicked, this, [this] { TickerBtnClick(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { reject(); });
  connect(Grid, &QTableWidget::cellDoubleClicked, this, [this] { OKBtnClick(); });
  updateAddBtn();
  HandleLanguage();
}

void TFondsenForm_us::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange && !selecting_) HandleLanguage();
  QDialog::changeEvent(event);
}

void TFondsenForm_us::HandleLanguage() {
  setWindowTitle(session_.text(TextId::StocksUsTitle));
  TopPanel->setText(session_.text(TextId::StocksHeading));
  Grid->setHorizontalHeaderLabels({session_.text(TextId::StocksUsColumnCompany),
                                   session_.text(TextId::StocksColumnTicker),
                                   session_.text(TextId::StocksColumnDate)});
  SetSourceHeadings(Grid, session_);
  AddGroup->setTitle(session_.text(TextId::StocksUsAddGroup));
  TickerBox->setTitle(session_.text(TextId::StocksUsTickerBox));
  CompanyBox->setTitle(session_.text(TextId::StocksUsStockBox));
  CompanyBtn->setText(session_.text(TextId::StocksUsSearchStock));
  TickerBtn->setText(session_.text(TextId::StocksUsSearchTicker));
  AddBtn->setText(session_.text(TextId::StocksAddHint));
  DelBtn->setText(session_.text(TextId::StocksUsRemove));
  OKBtn->setText(session_.text(TextId::ButtonOk));
  CancelBtn->setText(session_.text(TextId::ButtonCancel));
}

void TFondsenForm_us::updateAddBtn() {
  AddBtn->setEnabled(!TickerEdit->text().isEmpty() && !CompanyEdit->text().isEmpty());
}

bool TFondsenForm_us::load() {
  if (!list_.load(session_, prompter_)) return false;
  updateAddBtn();
  return true;
}

void TFondsenForm_us::markNotLoaded() {
  list_.markNotLoaded();
  if (isVisible()) (void)load();
}

void TFondsenForm_us::us1Click() {
  HandleLanguage();
  if (!load()) return;
  ok_ = false;
  show();
  raise();
  activateWindow();
}

void TFondsenForm_us::AddBtnClick() {
  const QString company = CompanyEdit->text().trimmed();
  QString ticker = TickerEdit->text();
  ticker.remove(u' ');
  if (!company.isEmpty() && !ticker.isEmpty()) list_.appendRow(company, ticker);
  TickerEdit->clear();
  CompanyEdit->clear();
  updateAddBtn();
  Grid->setFocus();
}

void TFondsenForm_us::DelBtnClick() {
  (void)list_.removeCurrentRow(session_, prompter_);
  Grid->setFocus();
}

void TFondsenForm_us::reject() {
  list_.discardEdits();
  QDialog::reject();
}

void TFondsenForm_us::OKBtnClick() {
  offered_ = list_.currentLine();
  // Choosing a stock saves nothing; a list that cannot be saved keeps the
  // window open with its edits.
  if (!selecting_ && !list_.save(session_, prompter_)) return;
  ok_ = true;
  accept();
}

void TFondsenForm_us::CompanyBtnClick() {
  lookUp(CompanyEdit, TickerEdit, {}, TickerEdit->text(), TextId::LookupManyCompanies);
}

void TFondsenForm_us::TickerBtnClick() {
  lookUp(TickerEdit, CompanyEdit, CompanyEdit->text(), {}, TextId::LookupManyTickers);
}

// Empties the edit to be found and looks the other one's text up. The add
// group waits meanwhile, so a second click cannot start a second fetch.
void TFondsenForm_us::lookUp(QLineEdit* wanted, const QLineEdit* known, const QString& company,
                             const QString& ticker, TextId manyFound) {
  wanted->clear();
  updateAddBtn();
  if (known->text().isEmpty()) return;
  AddGroup->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const SymbolLookup found = LookUpSymbol(session_, http_, company, ticker);
  QApplication::restoreOverrideCursor();
  AddGroup->setEnabled(true);
  if (!found.unreachable.isEmpty()) {
    prompter_.message(session_.text(TextId::LookupUnreachable).arg(found.unreachable));
    return;
  }
  if (!found.found) {
    // The user picks on the page itself.
    prompter_.message(session_.text(manyFound));
    if (!openUrl_(QUrl(found.url)))
      prompter_.timedMessage(session_.text(TextId::BrowserNotOpened), {}, 3000);
    return;
  }
  CompanyEdit->setText(found.company);
  TickerEdit->setText(found.ticker.toUpper());
  updateAddBtn();
}

// Selection mode: the list offers a stock to the new-fund dialog.
std::optional<StockLine> TFondsenForm_us::selectStock() {
  if (!load()) return std::nullopt;
  selecting_ = true;
  setWindowTitle(session_.text(TextId::StocksSelectTitle));
  TopPanel->setText(session_.text(TextId::StocksSelectHeading));
  AddGroup->hide();
  list_.setSelecting(true);
  ok_ = false;
  exec();
  // Back to managing the list, whatever the outcome.
  selecting_ = false;
  setModal(false);
  AddGroup->show();
  list_.setSelecting(false);
  HandleLanguage();
  if (!ok_ || offered_.ticker.isEmpty()) return std::nullopt;
  return offered_;
}

}  // namespace pelmar
