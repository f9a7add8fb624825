#include "ui/dialogs/kies_rek_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "commands/desktop_rules.h"
#include "commands/dialog_logic.h"
#include "commands/session.h"
#include "model/conversions.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

namespace {

constexpr int kColumns = 4;
constexpr int kSaldoColumn = 3;

QTableWidgetItem* cell(const QString& text, bool editable) {
  auto* item = new QTableWidgetItem(text);
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (editable) flags |= Qt::ItemIsEditable;
  item->setFlags(flags);
  return item;
}

}  // namespace

TKiesRekDlg::TKiesRekDlg(const Session& session, QWidget* parent)
    : QDialog(parent, kButtonsOnlyDialog),
      session_(session),
      RekGrid(new QTableWidget(1 + 5, kColumns, this)),
      RekOKBtn(new TColorButton(QStringLiteral("RekOKBtn"), this)),
      RekCancelBtn(new TColorButton(QStringLiteral("RekCancelBtn"), this)) {
  setObjectName(QStringLiteral("KiesRekDlg"));
  applyDialogLook(this);
  RekGrid->setObjectName(QStringLiteral("RekGrid"));
  RekGrid->horizontalHeader()->hide();
  RekGrid->verticalHeader()->hide();
  RekGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  RekGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  RekGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                           QAbstractItemView::EditKeyPressed);
  auto* column = new QVBoxLayout(this);
  column->addWidget(RekGrid);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(RekOKBtn);
  buttons->addWidget(RekCancelBtn);
  column->addLayout(buttons);
  RekOKBtn->setDefault(true);

  connect(RekOKBtn, &QPushButton::clicked, this, [this] {
    accepted_ = true;
    accept();
  });
  connect(RekCancelBtn, &QPushButton::clicked, this, [this] {
    accepted_ = false;
    QDialog::reject();
  });
}

void TKiesRekDlg::prepare(const DialogArea& area, const AccountChoice& proposal) {
  const auto text = [this](TextId id) { return session_.text(id); };
  setWindowTitle(text(TextId::ChooseAccountCaption));
  RekOKBtn->setText(text(TextId::ButtonOk));
  RekCancelBtn->setText(text(TextId::ButtonCancel));
  const QString header[kColumns] = {
      text(TextId::ChooseAccountName), text(TextId::ChooseAccountNumber),
      text(TextId::ChooseAccountCurrency), text(TextId::ChooseAccountSaldo)};
  for (int c = 0; c < kColumns; ++c) RekGrid->setItem(0, c, cell(header[c], false));
  for (int n = 0; n < static_cast<int>(proposal.rows.size()); ++n) {
    const AccountChoiceRow& row = proposal.rows[n];
    RekGrid->setItem(n + 1, 0, cell(row.name, true));
    RekGrid->setItem(n + 1, 1, cell(row.number, true));
    RekGrid->setItem(n + 1, 2, cell(row.currency, true));
    auto* saldo = cell(RealToStr(row.saldo, 0, 2, session_.language()), false);
    saldo->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    RekGrid->setItem(n + 1, kSaldoColumn, saldo);
  }
  RekGrid->resizeColumnsToContents();
  RekGrid->resizeRowsToContents();
  RekGrid->selectRow(qBound(1, proposal.selected, 5));
  accepted_ = false;

  int width = 2 * RekGrid->frameWidth();
  for (int c = 0; c < kColumns; ++c) width += RekGrid->columnWidth(c);
  int height = 2 * RekGrid->frameWidth();
  for (int r = 0; r < RekGrid->rowCount(); ++r) height += RekGrid->rowHeight(r);
  RekGrid->setFixedSize(width, height);
  // The title ("Select the right account") is never cut.
  setMinimumWidth(WidthForTitle(fontMetrics().horizontalAdvance(windowTitle())));
  adjustSize();
  PlaceDialog(this, area);
}

AccountChoice TKiesRekDlg::choice() const {
  AccountChoice result;
  result.accepted = accepted_;
  result.selected = qMax(1, RekGrid->currentRow());
  for (int n = 0; n < static_cast<int>(result.rows.size()); ++n) {
    AccountChoiceRow& row = result.rows[n];
    row.name = RekGrid->item(n + 1, 0)->text();
    row.number = RekGrid->item(n + 1, 1)->text();
    row.currency = RekGrid->item(n + 1, 2)->text();
    row.saldo = StrToReal(RekGrid->item(n + 1, kSaldoColumn)->text());
  }
  return result;
}

AccountChoice TKiesRekDlg::Execute(const DialogArea& area, const AccountChoice& proposal) {
  prepare(area, proposal);
  exec();
  return choice();
}

void TKiesRekDlg::reject() {
  RekCancelBtn->click();
}

}  // namespace pelmar
