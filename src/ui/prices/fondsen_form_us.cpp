#include "ui/prices/fondsen_form_us.h"

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
#include "commands/stock_lists.h"
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
      CancelBtn(new TColorButton(QStringLiteral("CancelBtn"), this)) {
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

  auto* group = new QHBoxLayout(AddGroup);
  group->addWidget(TickerBox, 1);
  group->addWidget(CompanyBox, 2);
  group->addWidget(AddBtn);
  group->addWidget(DelBtn);
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
  connect(Grid, &QTableWidget::itemChanged, this, [this] {
    if (!filling_) modified_ = true;
  });
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
  if (loaded_) return true;
  const std::optional<QList<StockLine>> rows = LoadStockRows(session_, prompter_, Market::Us);
  if (!rows) return false;
  filling_ = true;
  FillStockGrid(Grid, *rows);
  filling_ = false;
  loaded_ = true;
  modified_ = false;
  updateAddBtn();
  return true;
}

void TFondsenForm_us::markNotLoaded() {
  loaded_ = false;
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
  if (!company.isEmpty() && !ticker.isEmpty()) {
    filling_ = true;
    const int row = Grid->rowCount();
    Grid->insertRow(row);
    Grid->setItem(row, 0, new QTableWidgetItem(company));
    Grid->setItem(row, 1, new QTableWidgetItem(ticker));
    Grid->setItem(row, 2, new QTableWidgetItem);
    filling_ = false;
    Grid->setCurrentCell(row, 0);
    modified_ = true;
  }
  TickerEdit->clear();
  CompanyEdit->clear();
  updateAddBtn();
  Grid->setFocus();
}

void TFondsenForm_us::DelBtnClick() {
  const int row = Grid->currentRow();
  if (row < 0 || row >= Grid->rowCount()) return;
  Question question;
  question.caption = session_.text(TextId::StocksUsDownloadCaption);
  question.message = session_.text(TextId::StocksUsDelQuestion);
  if (prompter_.question(question) != Answer::Yes) return;
  Grid->removeRow(row);
  modified_ = true;
  Grid->setFocus();
}

void TFondsenForm_us::OKBtnClick() {
  const QList<StockLine> all = StockGridRows(Grid);
  const int selected = Grid->currentRow();
  offered_ = selected >= 0 && selected < all.size() ? all[selected] : StockLine{};
  // Choosing a stock saves nothing; a list that cannot be saved keeps the
  // window open with its edits.
  if (!selecting_ && modified_ && !SaveStockRows(session_, prompter_, Market::Us, all).ok()) return;
  if (!selecting_) loaded_ = false;  // read again, sorted as the file holds it
  ok_ = true;
  accept();
}

void TFondsenForm_us::CompanyBtnClick() {
  CompanyEdit->clear();
  updateAddBtn();
  if (TickerEdit->text().isEmpty()) return;
  const SymbolLookup found = LookUpSymbol(session_, http_, {}, TickerEdit->text());
  if (!found.found) return showLookupPage(found.url, TextId::LookupManyCompanies);
  CompanyEdit->setText(found.company);
  TickerEdit->setText(found.ticker.toUpper());
  updateAddBtn();
}

void TFondsenForm_us::TickerBtnClick() {
  TickerEdit->clear();
  updateAddBtn();
  if (CompanyEdit->text().isEmpty()) return;
  const SymbolLookup found = LookUpSymbol(session_, http_, CompanyEdit->text(), {});
  if (!found.found) return showLookupPage(found.url, TextId::LookupManyTickers);
  CompanyEdit->setText(found.company);
  TickerEdit->setText(found.ticker.toUpper());
  updateAddBtn();
}

// The look-up did not settle on one stock: the user picks on the page.
void TFondsenForm_us::showLookupPage(const QString& url, TextId message) {
  prompter_.message(session_.text(message));
  if (!openUrl_(QUrl(url)))
    prompter_.timedMessage(session_.text(TextId::BrowserNotOpened), {}, 3000);
}

// Selection mode: the list offers a stock to the new-fund dialog.
std::optional<StockLine> TFondsenForm_us::selectStock() {
  if (!load()) return std::nullopt;
  selecting_ = true;
  setWindowTitle(session_.text(TextId::StocksSelectTitle));
  TopPanel->setText(session_.text(TextId::StocksSelectHeading));
  AddGroup->hide();
  const QAbstractItemView::EditTriggers triggers = Grid->editTriggers();
  Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ok_ = false;
  exec();
  // Back to managing the list, whatever the outcome.
  selecting_ = false;
  setModal(false);
  AddGroup->show();
  Grid->setEditTriggers(triggers);
  HandleLanguage();
  if (!ok_ || offered_.ticker.isEmpty()) return std::nullopt;
  return offered_;
}

}  // namespace pelmar
