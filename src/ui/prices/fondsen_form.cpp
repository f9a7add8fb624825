#include "ui/prices/fondsen_form.h"

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

#include "commands/desktop_rules.h"
#include "commands/fetch_worker.h"
#include "commands/prompter.h"
#include "commands/session.h"
#include "commands/stock_lists.h"
#include "commands/symbol_lookup.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

namespace {

constexpr StockListLook kDutchLook{Market::Dutch,
                                   "FondsenForm_nl",
                                   TextId::StocksNlTitle,
                                   TextId::StocksColumnName,
                                   {200, 150, 120},
                                   400,
                                   true,
                                   false};
constexpr StockListLook kUsLook{Market::Us,
                                "FondsenForm_us",
                                TextId::StocksUsTitle,
                                TextId::StocksUsColumnCompany,
                                {280, 110, 120},
                                460,
                                false,
                                true};

QGroupBox* boxAround(QWidget* parent, QLineEdit* edit, QPushButton* button) {
  auto* box = new QGroupBox(parent);
  auto* row = new QHBoxLayout(box);
  row->addWidget(edit, 1);
  row->addWidget(button);
  return box;
}

}  // namespace

const StockListLook& TFondsenForm::lookOf(Market market) {
  return market == Market::Dutch ? kDutchLook : kUsLook;
}

TFondsenForm::TFondsenForm(Session& session, Prompter& prompter, Market market, HttpGet* http,
                           QWidget* parent, OpenUrl openUrl)
    : QDialog(parent),
      AddBtn(named(new QPushButton(this), "AddBtn")),
      DelBtn(named(new QPushButton(this), "DelBtn")),
      OKBtn(new TColorButton(QStringLiteral("OKBtn"), this)),
      CancelBtn(new TColorButton(QStringLiteral("CancelBtn"), this)),
      session_(session),
      prompter_(prompter),
      look_(lookOf(market)),
      lookUps_(http ? std::make_unique<FetchWorker>(*http) : nullptr),
      openUrl_(openUrl ? std::move(openUrl) : OpenUrl(&QDesktopServices::openUrl)),
      TopPanel(new QLabel(this)),
      Grid(named(new QTableWidget(0, 3, this), "Grid")),
      list_(Grid, market) {
  setObjectName(QLatin1String(look_.objectName));
  setModal(look_.modal);
  applyDialogLook(this);
  const int width = SetUpStockGrid(Grid, look_.columnWidths);

  auto* stack = new QVBoxLayout(this);
  if (look_.lookUps) {
    stack->addWidget(TopPanel);
    stack->addWidget(Grid, 1);
    buildAddGroup(stack);
  } else {
    auto* top = new QHBoxLayout;
    top->addWidget(TopPanel, 1);
    top->addWidget(AddBtn);
    top->addWidget(DelBtn);
    stack->addLayout(top);
    stack->addWidget(Grid, 1);
  }
  auto* buttons = new QHBoxLayout;
  if (look_.lookUps) {
    LookupStatus = named(new QLabel(this), "LookupStatus");
    buttons->addWidget(LookupStatus, 1);
  } else {
    buttons->addStretch();
  }
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  stack->addLayout(buttons);
  resize(width, look_.height);

  connect(AddBtn, &QPushButton::clicked, this, [this] { AddBtnClick(); });
  connect(DelBtn, &QPushButton::clicked, this, [this] { DelBtnClick(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { reject(); });
  connect(Grid, &QTableWidget::cellDoubleClicked, this, [this] { OKBtnClick(); });
  updateAddBtn();
  HandleLanguage();
}

TFondsenForm::~TFondsenForm() = default;

// The two look-up boxes side by side, the add and delete buttons under them.
void TFondsenForm::buildAddGroup(QLayout* stack) {
  TickerEdit = named(new QLineEdit(this), "TickerEdit");
  CompanyEdit = named(new QLineEdit(this), "CompanyEdit");
  CompanyBtn = named(new QPushButton(this), "CompanyBtn");
  TickerBtn = named(new QPushButton(this), "TickerBtn");
  AddGroup = named(new QGroupBox(this), "AddGroup");
  TickerBox = boxAround(this, TickerEdit, CompanyBtn);
  CompanyBox = boxAround(this, CompanyEdit, TickerBtn);
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
  stack->addWidget(AddGroup);

  connect(TickerEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
    // The cursor stays where the user typed.
    const int at = TickerEdit->cursorPosition();
    TickerEdit->setText(TypedTicker(text));
    TickerEdit->setCursorPosition(at);
    updateAddBtn();
  });
  connect(CompanyEdit, &QLineEdit::textEdited, this, [this] { updateAddBtn(); });
  connect(CompanyBtn, &QPushButton::clicked, this, [this] { CompanyBtnClick(); });
  connect(TickerBtn, &QPushButton::clicked, this, [this] { TickerBtnClick(); });
}

void TFondsenForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange && !selecting_) HandleLanguage();
  QDialog::changeEvent(event);
}

void TFondsenForm::HandleLanguage() {
  setWindowTitle(session_.text(look_.title));
  TopPanel->setText(session_.text(TextId::StocksHeading));
  Grid->setHorizontalHeaderLabels({session_.text(look_.nameColumn),
                                   session_.text(TextId::StocksColumnTicker),
                                   session_.text(TextId::StocksColumnDate)});
  SetSourceHeadings(Grid, session_);
  DelBtn->setToolTip(session_.text(TextId::StocksDelHint));
  // Every button of the window answers to Alt and a letter of its own.
  QList<QPushButton*> buttons{AddBtn, DelBtn, OKBtn, CancelBtn};
  QStringList captions{session_.text(TextId::StocksAddHint), session_.text(TextId::StocksUsRemove),
                       session_.text(TextId::ButtonOk), session_.text(TextId::ButtonCancel)};
  if (AddGroup) {
    AddGroup->setTitle(session_.text(TextId::StocksUsAddGroup));
    TickerBox->setTitle(session_.text(TextId::StocksUsTickerBox));
    CompanyBox->setTitle(session_.text(TextId::StocksUsStockBox));
    buttons << CompanyBtn << TickerBtn;
    captions << session_.text(TextId::StocksUsSearchStock)
             << session_.text(TextId::StocksUsSearchTicker);
  }
  const QStringList marked = AssignMnemonics(captions);
  for (qsizetype i = 0; i < buttons.size(); ++i) buttons[i]->setText(marked[i]);
}

void TFondsenForm::updateAddBtn() {
  if (look_.lookUps)
    AddBtn->setEnabled(!TickerEdit->text().isEmpty() && !CompanyEdit->text().isEmpty());
}

bool TFondsenForm::load() {
  if (!list_.load(session_, prompter_)) return false;
  updateAddBtn();
  return true;
}

void TFondsenForm::markNotLoaded() {
  list_.markNotLoaded();
  if (isVisible()) (void)load();
}

void TFondsenForm::manage() {
  HandleLanguage();
  if (!load()) return;
  ok_ = false;
  if (look_.modal) {
    exec();
    return;
  }
  show();
  raise();
  activateWindow();
}

void TFondsenForm::AddBtnClick() {
  if (!look_.lookUps) {
    list_.appendRow({}, {});
  } else {
    if (const std::optional<StockLine> row = NewStockRow(CompanyEdit->text(), TickerEdit->text()))
      list_.appendRow(row->name, row->ticker);
    TickerEdit->clear();
    CompanyEdit->clear();
    updateAddBtn();
  }
  Grid->setFocus();
}

void TFondsenForm::DelBtnClick() {
  (void)list_.removeCurrentRow(session_, prompter_);
  Grid->setFocus();
}

void TFondsenForm::reject() {
  list_.discardEdits();
  QDialog::reject();
}

void TFondsenForm::done(int result) {
  endLookUp();
  QDialog::done(result);
}

void TFondsenForm::endLookUp() {
  if (!lookingUp()) return;
  lookUps_->drop();
  setLookingUp({});
}

void TFondsenForm::OKBtnClick() {
  offered_ = list_.currentLine();
  // Choosing a stock saves nothing; a list that cannot be saved keeps the
  // window open with its edits.
  if (!selecting_ && !list_.save(session_, prompter_)) return;
  ok_ = true;
  accept();
}

void TFondsenForm::CompanyBtnClick() {
  lookUp(CompanyEdit, TickerEdit, {}, TickerEdit->text(), TextId::LookupManyCompanies);
}

void TFondsenForm::TickerBtnClick() {
  lookUp(TickerEdit, CompanyEdit, CompanyEdit->text(), {}, TextId::LookupManyTickers);
}

bool TFondsenForm::lookingUp() const {
  return lookUps_ && lookUps_->running();
}

// Empties the edit to be found and looks the other one's text up. The add
// group waits meanwhile, so a second click cannot start a second fetch.
void TFondsenForm::lookUp(QLineEdit* wanted, const QLineEdit* known, const QString& company,
                          const QString& ticker, TextId manyFound) {
  wanted->clear();
  updateAddBtn();
  if (known->text().isEmpty() || !lookUps_) return;
  setLookingUp(known->text());
  lookUps_->fetch(SymbolLookupFetch(session_, company, ticker),
                  [this, manyFound](const SymbolLookup& found) {
                    setLookingUp({});
                    showLookUp(found, manyFound);
                    emit lookUpFinished();
                  });
}

// The add group waits while `query` is looked up; an empty query ends the wait.
void TFondsenForm::setLookingUp(const QString& query) {
  AddGroup->setEnabled(query.isEmpty());
  LookupStatus->setText(query.isEmpty() ? QString()
                                        : session_.text(TextId::DownloadFetching).arg(query));
}

void TFondsenForm::showLookUp(const SymbolLookup& found, TextId manyFound) {
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
  TickerEdit->setText(TypedTicker(found.ticker));
  updateAddBtn();
}

void TFondsenForm::setRowButtonsVisible(bool visible) {
  if (AddGroup) {
    AddGroup->setVisible(visible);
    return;
  }
  AddBtn->setVisible(visible);
  DelBtn->setVisible(visible);
}

// Selection mode: the list offers a stock to the new-fund dialog.
std::optional<StockLine> TFondsenForm::selectStock() {
  if (!load()) return std::nullopt;
  selecting_ = true;
  setWindowTitle(session_.text(TextId::StocksSelectTitle));
  TopPanel->setText(session_.text(TextId::StocksSelectHeading));
  setRowButtonsVisible(false);
  list_.setSelecting(true);
  ok_ = false;
  // The keys pick as the mouse does: a stock is current and the list has
  // the focus, so arrows move and Enter takes it.
  if (Grid->rowCount() > 0 && Grid->currentRow() < 0) Grid->setCurrentCell(0, 0);
  Grid->setFocus();
  OKBtn->setDefault(true);
  exec();
  OKBtn->setDefault(false);
  // Back to managing the list, whatever the outcome.
  selecting_ = false;
  setModal(look_.modal);
  setRowButtonsVisible(true);
  list_.setSelecting(false);
  HandleLanguage();
  if (!ok_ || offered_.ticker.isEmpty()) return std::nullopt;
  return offered_;
}

}  // namespace pelmar
