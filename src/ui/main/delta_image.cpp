#include "ui/main/delta_image.h"

#include <QPainter>

namespace pelmar {

namespace {

// Mark i stands at x = (w + 2) * i + x0, its level at y; arrows reach 6 px
// above and below it.
constexpr int kMarkWidth = 10;
constexpr int kFirstX = -8;
constexpr int kLevelY = 16;
constexpr int kArrowReach = 6;

}  // namespace

DeltaImage::DeltaImage(QWidget* parent) : QWidget(parent) {
  setFixedSize(208, 24);
}

void DeltaImage::setMarks(const Marks& marks) {
  marks_ = marks;
  drawn_ = true;
  update();
}

void DeltaImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  if (!drawn_) return;
  for (int i = 1; i <= static_cast<int>(marks_.size()); ++i) {
    const int x = (kMarkWidth + 2) * i + kFirstX;
    const int middle = x + kMarkWidth / 2;
    switch (marks_[i - 1]) {
      case QuoteHistory::Mark::Level:
        painter.setPen(QColor(QRgb(MainColour::MarkLevel)));
        painter.drawLine(x, kLevelY, x + kMarkWidth, kLevelY);
        break;
      case QuoteHistory::Mark::Up:
      case QuoteHistory::Mark::Down: {
        const bool up = marks_[i - 1] == QuoteHistory::Mark::Up;
        painter.setPen(QColor(QRgb(up ? MainColour::MarkUp : MainColour::MarkDown)));
        const QPoint tip(middle, up ? kLevelY - kArrowReach : kLevelY + kArrowReach);
        painter.drawLine(middle, kLevelY - kArrowReach, middle, kLevelY + kArrowReach);
        painter.drawLine(tip, QPoint(x, kLevelY));
        painter.drawLine(tip, QPoint(x + kMarkWidth, kLevelY));
        break;
      }
    }
  }
}

}  // namespace pelmar
