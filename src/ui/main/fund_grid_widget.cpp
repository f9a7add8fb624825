#include "ui/main/fund_grid_widget.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "commands/dataset_view.h"
#include "model/conversions.h"

namespace pelmar {

namespace {

constexpr int kLabelColumn = 0;
constexpr int kValueColumn = 1;
// Mouse positions this close to the grid's edge, or left of kLabelZone,
// show the latest prices.
constexpr int kEdgeZone = 10;
constexpr int kLabelZone = 100;
// The price of an older day is drawn in this colour.
const QColor kOldPriceColour(0xB0, 0x30, 0x00);

bool isNavigationKey(int key) {
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
      return true;
    default:
      return false;
  }
}

bool isEditKey(int key) {
  return key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_F2;
}

}  // namespace

FundGridWidget::FundGridWidget(Session& session, Prompter& prompter, QWidget* parent)
    : QTableWidget(GridRow::Count, 2, parent), session_(session), prompter_(prompter) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Never smaller than its cells; a larger window widens the value column
  // and heightens the rows, and the cells are padded to the new width.
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
    for (int row = 0; row < GridRow::Count; ++row) putCell(row, column, item(row, column)->text());
  });
  setSelectionMode(QAbstractItemView::SingleSelection);
  // Typing or F2 opens the editor; a double click is a command (buying,
  // selling, choosing a currency or an account), not an edit.
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
  setMouseTracking(true);
  for (int row = 0; row < GridRow::Count; ++row) {
    for (int column = kLabelColumn; column <= kValueColumn; ++column) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      setItem(row, column, item);
    }
  }
  connect(this, &QTableWidget::currentCellChanged, this, [this](int row) {
    emit promptChanged(GridPrompt(session_.language(), session_.portfolio().koers(), row));
  });
  connect(this, &QTableWidget::cellDoubleClicked, this,
          [this](int row) { emit rowDoubleClicked(row); });
  HandleLanguage();
}

QString FundGridWidget::PadCell(const QString& text, int columnWidth, const QFontMetrics& metrics) {
  QString padded = TrimLeftBlanks(text);
  // A font without a measurable blank could never fill the column.
  if (metrics.horizontalAdvance(QLatin1Char(' ')) <= 0) return padded;
  while (metrics.horizontalAdvance(padded) < columnWidth - 10) padded.prepend(QLatin1Char(' '));
  return padded;
}

QString FundGridWidget::padded(int column, const QString& text) const {
  return PadCell(text, columnWidth(column), fontMetrics());
}

void FundGridWidget::putCell(int row, int column, const QString& text) {
  item(row, column)->setText(padded(column, text));
}

void FundGridWidget::HandleLanguage() {
  const QFontMetrics metrics = fontMetrics();
  const int rowHeight = metrics.height() + 2;
  const int labelWidth = metrics.horizontalAdvance(QStringLiteral("1234567890XX")) + 10;
  valueWidth_ = metrics.horizontalAdvance(QStringLiteral("ÄaMmGgQqXXXX")) + 10;
  setColumnWidth(kLabelColumn, labelWidth);
  fitValueColumn();
  // At least as large as the cells, and exactly so unless the window is larger.
  setMinimumSize(labelWidth + valueWidth_ + 2 * frameWidth(),
                 rowHeight * GridRow::Count + 2 * frameWidth());
  updateGeometry();
  for (int row = 0; row < GridRow::Count; ++row)
    putCell(row, kLabelColumn, GridLabel(session_.language(), row));
}

void FundGridWidget::FillGrid() {
  const QStringList cells = pelmar::FillGrid(session_);
  for (int row = 0; row < GridRow::Count; ++row) {
    // A hidden price shows as an empty cell, which reads back as the
    // stored price, so no other fund's price is left standing in it.
    putCell(row, kValueColumn, cells[row]);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (GridRowEditable(session_, row)) flags |= Qt::ItemIsEditable;
    item(row, kValueColumn)->setFlags(flags);
  }
  // A price of an older day is marked, with its day in the tooltip.
  const QString note = StalePriceNote(session_, session_.portfolio().pKoersRec());
  QTableWidgetItem* price = item(GridRow::Koers, kValueColumn);
  price->setToolTip(note);
  price->setForeground(note.isEmpty() ? palette().text() : QBrush(kOldPriceColour));
  QFont priceFont = font();
  priceFont.setItalic(!note.isEmpty());
  price->setFont(priceFont);
}

QStringList FundGridWidget::cellTexts() const {
  QStringList texts;
  for (int row = 0; row < GridRow::Count; ++row) texts << item(row, kValueColumn)->text();
  return texts;
}

void FundGridWidget::setCellText(int row, const QString& text) {
  putCell(row, kValueColumn, text);
}

void FundGridWidget::ReadGrid() {
  const Report read = pelmar::ReadGrid(session_, prompter_, cellTexts());
  FillGrid();
  (void)session_.report(read);
  emit edited();
}

QSize FundGridWidget::sizeHint() const {
  return minimumSize();
}

void FundGridWidget::fitValueColumn() {
  setColumnWidth(kValueColumn,
                 std::max(valueWidth_, viewport()->width() - columnWidth(kLabelColumn)));
}

void FundGridWidget::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  fitValueColumn();
}

UpdateFondsResult FundGridWidget::UpdateFonds() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const UpdateFondsResult result =
      pelmar::UpdateFonds(session_, prompter_, cellTexts(), currentRow());
  QApplication::restoreOverrideCursor();
  FillGrid();
  (void)session_.report(result.report());
  return result;
}

bool FundGridWidget::commitOpenEditor() {
  if (state() != QAbstractItemView::EditingState) return false;
  // The delegate's editor is a direct child of the viewport.
  for (QWidget* editor : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!editor->isVisible()) continue;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
  }
  return false;
}

void FundGridWidget::commitData(QWidget* editor) {
  QTableWidget::commitData(editor);
  ReadGrid();
}

void FundGridWidget::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const int row = currentRow();
  // The ticker is changed through the new-fund dialogs only; moving away
  // from its row still works.
  if (row == GridRow::Ticker && !isNavigationKey(key)) {
    FillGrid();
    emit showDataSetWanted();
    return;
  }
  // The placeholder row keeps what is typed until it becomes a fund.
  if (session_.portfolio().koers().isPlaceholder()) {
    QTableWidget::keyPressEvent(event);
    return;
  }
  if (isEditKey(key) && !EditGridRow(session_, prompter_, row)) {
    FillGrid();
    return;
  }
  if ((key == Qt::Key_Backspace || key == Qt::Key_Delete) && row > GridRow::Ticker) {
    item(row, kValueColumn)->setText(QString());
    return;
  }
  if (isNavigationKey(key)) {
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // The delegate commits an open editor on Enter by itself (and so reads
    // the grid); reading the cells now would refill them and put the
    // stored value back into the editor.
    if (enter && state() == QAbstractItemView::EditingState) return;
    // Any other key commits an open editor first, for the same reason.
    if (!commitOpenEditor()) ReadGrid();
    if (enter) return;
    if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
      UpdateFonds();
      emit stepFund(key == Qt::Key_PageUp ? -1 : 1);
      return;
    }
  }
  QTableWidget::keyPressEvent(event);
}

void FundGridWidget::keyReleaseEvent(QKeyEvent* event) {
  const int key = event->key();
  const int row = currentRow();
  // An emptied number cell shows zero, which reads back as 0.
  if ((key == Qt::Key_Backspace || key == Qt::Key_Delete) && row >= GridRow::Koers &&
      item(row, kValueColumn)->text().trimmed().isEmpty()) {
    putCell(row, kValueColumn, FormatAmount(0, 12, 2, session_.language()));
  }
  if (key == Qt::Key_M && event->modifiers() == (Qt::ShiftModifier | Qt::AltModifier))
    emit diagnosticsToggled();
  emit edited();
  QTableWidget::keyReleaseEvent(event);
}

void FundGridWidget::mousePressEvent(QMouseEvent* event) {
  ReadGrid();
  QTableWidget::mousePressEvent(event);
}

void FundGridWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QRect inner = rect().adjusted(kEdgeZone, kEdgeZone, -kEdgeZone, -kEdgeZone);
  if (!inner.contains(at) || at.x() < kLabelZone) emit latestPricesWanted();
  QTableWidget::mouseMoveEvent(event);
}

}  // namespace pelmar
