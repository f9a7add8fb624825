#include "ui/prices/csv_import_dialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "commands/dataset_view.h"
#include "commands/session.h"
#include "model/dates.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

CsvImportDialog::CsvImportDialog(const Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("CsvImportDialog"));
  applyDialogLook(this);
  labelPreview_ = new QLabel(this);
  Preview = new QTableWidget(this);
  Preview->setObjectName(QStringLiteral("Preview"));
  Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Preview->verticalHeader()->hide();
  labelDate_ = new QLabel(this);
  labelClose_ = new QLabel(this);
  labelOrder_ = new QLabel(this);
  ComboDate = new QComboBox(this);
  ComboClose = new QComboBox(this);
  ComboOrder = new QComboBox(this);
  for (const TextId id : {TextId::OptDateYMD, TextId::OptDateDMY, TextId::OptDateMDY})
    ComboOrder->addItem(session_.text(id));
  LabelResult = new QLabel(this);
  LabelResult->setObjectName(QStringLiteral("LabelResult"));
  LabelResult->setWordWrap(true);
  BtnOK = new TColorButton(QStringLiteral("BtnOK"), this);
  BtnCancel = new TColorButton(QStringLiteral("BtnCancel"), this);

  auto* choicesGrid = new QGridLayout;
  choicesGrid->addWidget(labelDate_, 0, 0);
  choicesGrid->addWidget(ComboDate, 0, 1);
  choicesGrid->addWidget(labelClose_, 1, 0);
  choicesGrid->addWidget(ComboClose, 1, 1);
  choicesGrid->addWidget(labelOrder_, 2, 0);
  choicesGrid->addWidget(ComboOrder, 2, 1);
  choicesGrid->setColumnStretch(2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnOK);
  buttons->addWidget(BtnCancel);
  auto* stack = new QVBoxLayout(this);
  stack->addWidget(labelPreview_);
  stack->addWidget(Preview, 1);
  stack->addLayout(choicesGrid);
  stack->addWidget(LabelResult);
  stack->addLayout(buttons);
  resize(640, 420);

  for (QComboBox* combo : {ComboDate, ComboClose, ComboOrder})
    connect(combo, &QComboBox::currentIndexChanged, this, [this] { reread(); });
  connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<TableChoices> CsvImportDialog::Execute(const QByteArray& bytes,
                                                     const QString& fileName,
                                                     const PriceTable& found) {
  load(bytes, fileName, found);
  if (exec() != QDialog::Accepted) return std::nullopt;
  return choices();
}

void CsvImportDialog::load(const QByteArray& bytes, const QString& fileName,
                           const PriceTable& found) {
  bytes_ = bytes;
  fileName_ = fileName;
  setWindowTitle(session_.text(TextId::ImportCaption) + QStringLiteral(" - ") +
                 QFileInfo(fileName).fileName());
  labelPreview_->setText(session_.text(TextId::ImportPreview));
  labelDate_->setText(session_.text(TextId::ImportDateColumn));
  labelClose_->setText(session_.text(TextId::ImportCloseColumn));
  labelOrder_->setText(session_.text(TextId::ImportDateOrder));
  BtnOK->setText(session_.text(TextId::ButtonOk));
  BtnCancel->setText(session_.text(TextId::ButtonCancel));

  int columns = 0;
  for (const QStringList& row : found.preview) columns = std::max(columns, int(row.size()));
  Preview->clear();
  Preview->setColumnCount(columns);
  Preview->setRowCount(int(found.preview.size()));
  for (int r = 0; r < found.preview.size(); ++r)
    for (int c = 0; c < found.preview[r].size(); ++c)
      Preview->setItem(r, c, new QTableWidgetItem(found.preview[r][c]));
  {
    const QSignalBlocker blockDate(ComboDate);
    const QSignalBlocker blockClose(ComboClose);
    const QSignalBlocker blockOrder(ComboOrder);
    ComboDate->clear();
    ComboClose->clear();
    for (int c = 0; c < columns; ++c) {
      const QString name = found.columns.value(c);
      const QString item = QString::number(c + 1) + (name.isEmpty() ? QString() : u' ' + name);
      ComboDate->addItem(item);
      ComboClose->addItem(item);
    }
    ComboDate->setCurrentIndex(std::max(found.dateColumn, 0));
    ComboClose->setCurrentIndex(std::max(found.closeColumn, std::min(1, columns - 1)));
    ComboOrder->setCurrentIndex(
        static_cast<int>(found.dateOrder.value_or(DateOrder::DayMonthYear)));
  }
  reread();
}

TableChoices CsvImportDialog::choices() const {
  TableChoices chosen;
  chosen.dateColumn = ComboDate->currentIndex();
  chosen.closeColumn = ComboClose->currentIndex();
  chosen.dateOrder = static_cast<DateOrder>(ComboOrder->currentIndex());
  return chosen;
}

void CsvImportDialog::reread() {
  const PriceTable table = ReadPriceTable(bytes_, fileName_, session_.clock().today(), choices());
  ComboOrder->setEnabled(!table.dateOrderFromFile);
  BtnOK->setEnabled(!table.refused);
  if (table.refused) {
    LabelResult->setText(table.refused->text(session_.language()));
    return;
  }
  LabelResult->setText(session_.text(TextId::ImportFound)
                           .arg(table.downloadLines.size())
                           .arg(ShortDate(session_, dateToSerial(table.oldest)),
                                ShortDate(session_, dateToSerial(table.newest))));
}

}  // namespace pelmar
