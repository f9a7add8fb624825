#include "ui/main/fund_list_box.h"

#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "commands/dataset_view.h"

namespace pelmar {

namespace {

constexpr int kTextInset = 2;

class FundLineDelegate : public QStyledItemDelegate {
 public:
  FundLineDelegate(FundListBox* list, QObject* parent) : QStyledItemDelegate(parent), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect,
                      selected ? QColor(QRgb(MainColour::SelectedFund)) : list_->colour());
    painter->setPen(selected ? option.palette.color(QPalette::Button) : QColor(Qt::black));
    painter->setFont(option.font);
    const QRect text = option.rect.adjusted(kTextInset, kTextInset, 0, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop, index.data().toString());
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(option.fontMetrics.boundingRect(QStringLiteral("ÄQq")).height() + 2);
    return size;
  }

 private:
  FundListBox* list_;
};

}  // namespace

FundListBox::FundListBox(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new FundLineDelegate(this, this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  setColour(QColor(QRgb(0xE0FFE0)));
}

void FundListBox::setTickers(const QStringList& tickers) {
  const QSignalBlocker block(this);
  clear();
  addItems(tickers);
}

void FundListBox::selectTicker(const QString& ticker) {
  const QSignalBlocker block(this);
  for (int row = 0; row < count(); ++row) {
    if (item(row)->text() == ticker) {
      setCurrentRow(row);
      return;
    }
  }
}

QStringList FundListBox::tickers() const {
  QStringList lines;
  for (int row = 0; row < count(); ++row) lines << item(row)->text();
  return lines;
}

void FundListBox::setColour(const QColor& colour) {
  colour_ = colour;
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, colour);
  setPalette(palette);
  viewport()->update();
}

void FundListBox::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) doItemsLayout();
  QListWidget::changeEvent(event);
}

}  // namespace pelmar
