#include "ui/platform/window_position.h"

#include <algorithm>

namespace pelmar {

QPoint ClampWindowPosition(QPoint stored, QSize frame, const QRect& screen) {
  QPoint at(std::max(stored.x(), 1), std::max(stored.y(), 1));
  if (at.x() + frame.width() > screen.right() + 1) at.rx() = screen.right() + 1 - frame.width();
  if (at.y() + frame.height() > screen.bottom() + 1) at.ry() = screen.bottom() + 1 - frame.height();
  // A window larger than the screen keeps its title bar reachable.
  at.rx() = std::max(at.x(), screen.left());
  at.ry() = std::max(at.y(), screen.top());
  return at;
}

}  // namespace pelmar
