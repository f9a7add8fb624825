#include "ui/prices/fondsen_form_nl.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

#include "commands/session.h"
#include "ui/dialogs/dialog_look.h"
#include "ui/prices/stock_grid.h"

namespace pelmar {

namespace {

constexpr std::array<int, 3> kColumnWidths = {200, 150, 120};

}  // namespace

TFondsenForm_nl::TFondsenForm_nl(Session& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      session_(session),
      prompter_(prompter),
      TopPanel(new QLabel(this)),
      Grid(new QTableWidget(0, 3, this)),
      SpeedAdd(new QToolButton(this)),
      SpeedDel(new QToolButton(this)),
      OKBtn(new TColorButton(QStringLiteral("OKBtn"), this)),
      CancelBtn(new TColorButton(QStringLiteral("CancelBtn"), this)),
      list_(Grid, Market::Dutch) {
  setObjectName(QStringLiteral("FondsenForm_nl"));
  applyDialogLook(this);
  Grid->setObjectName(QStringLiteral("Grid"));
  SpeedAdd->setObjectName(QStringLiteral("SpeedAdd"));
  SpeedDel->setObjectName(QStringLiteral("SpeedDel"));
  SpeedAdd->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
  SpeedDel->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  const int width = SetUpStockGrid(Grid, kColumnWidths);

  auto* top = new QHBoxLayout;
  top->addWidget(TopPanel, 1);
  top->addWidget(SpeedAdd);
  top->addWidget(SpeedDel);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  auto* stack = new QVBoxLayout(this);
  stack->addLayout(top);
  stack->addWidget(Grid, 1);
  stack->addLayout(buttons);
  resize(width, 400);

  connect(SpeedAdd, &QToolButton::clicked, this, [this] { SpeedAddClick(); });
  connect(SpeedDel, &QToolButton::clicked, this, [this] { SpeedDelClick(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { reject(); });
  connect(Grid, &QTableWidget::cellDoubleClicked, this, [this] { OKBtnClick(); });
  HandleLanguage();
}

void TFondsenForm_nl::HandleLanguage() {
  setWindowTitle(session_.text(TextId::StocksNlTitle));
  TopPanel->setText(session_.text(TextId::StocksHeading));
  Grid->setHorizontalHeaderLabels({session_.text(TextId::StocksColumnName),
                                   session_.text(TextId::StocksColumnTicker),
                                   session_.text(TextId::StocksColumnDate)});
  SetSourceHeadings(Grid, session_);
  SpeedAdd->setToolTip(session_.text(TextId::StocksAddHint));
  SpeedDel->setToolTip(session_.text(TextId::StocksDelHint));
  OKBtn->setText(session_.text(TextId::ButtonOk));
  CancelBtn->setText(session_.text(TextId::ButtonCancel));
}

bool TFondsenForm_nl::load() {
  return list_.load(session_, prompter_);
}

void TFondsenForm_nl::nl1Click() {
  HandleLanguage();
  if (!load()) return;
  ok_ = false;
  exec();
}

void TFondsenForm_nl::SpeedAddClick() {
  list_.appendRow({}, {});
  Grid->setFocus();
}

void TFondsenForm_nl::SpeedDelClick() {
  (void)list_.removeCurrentRow(session_, prompter_);
  Grid->setFocus();
}

void TFondsenForm_nl::OKBtnClick() {
  offered_ = list_.currentLine();
  // A list that cannot be saved keeps the window open with its edits.
  if (!list_.save(session_, prompter_)) return;
  ok_ = true;
  accept();
}

void TFondsenForm_nl::reject() {
  list_.discardEdits();
  QDialog::reject();
}

// Selection mode: the list offers a stock to the new-fund dialog.
std::optional<StockLine> TFondsenForm_nl::selectStock() {
  if (!load()) return std::nullopt;
  selecting_ = true;
  setWindowTitle(session_.text(TextId::StocksSelectTitle));
  SpeedAdd->hide();
  SpeedDel->hide();
  list_.setSelecting(true);
  ok_ = false;
  exec();
  // Back to managing the list, whatever the outcome.
  selecting_ = false;
  SpeedAdd->show();
  SpeedDel->show();
  list_.setSelecting(false);
  HandleLanguage();
  if (!ok_ || offered_.ticker.isEmpty()) return std::nullopt;
  return offered_;
}

}  // namespace pelmar
