#include "ui/platform/window_position.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "commands/dialog_logic.h"

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

DialogArea DialogAreaOf(const QWidget* owner) {
  DialogArea area;
  const QScreen* screen = owner ? owner->window()->screen() : QGuiApplication::primaryScreen();
  if (screen) area.screen = screen->availableGeometry();
  if (!owner) {
    area.frame = area.screen;
    return area;
  }
  const QWidget* window = owner->window();
  area.frame = window->frameGeometry();
  const QRect inside = window->geometry();
  area.decoration =
      QMargins(inside.left() - area.frame.left(), inside.top() - area.frame.top(),
               area.frame.right() - inside.right(), area.frame.bottom() - inside.bottom());
  return area;
}

QPoint DialogPosition(QSize frame, const DialogArea& area) {
  return ClampWindowPosition(centredOn(area.frame, frame), frame, area.screen);
}

void PlaceDialog(QWidget* window, const DialogArea& area) {
  QMargins decoration = area.decoration;
  if (window->windowFlags() & Qt::FramelessWindowHint) {
    decoration = {};
  } else if (const QWindow* handle = window->windowHandle()) {
    // Once shown, the dialog knows its own decorations.
    if (const QMargins own = handle->frameMargins(); !own.isNull()) decoration = own;
  }
  // A top-level window's position is that of its frame.
  window->move(DialogPosition(window->size().grownBy(decoration), area));
}

}  // namespace pelmar
