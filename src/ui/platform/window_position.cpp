#include "ui/platform/window_position.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "commands/desktop_rules.h"
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

namespace {

// Places its window at its first showing, then goes.
class PlaceOnShow : public QObject {
 public:
  PlaceOnShow(QWidget* window, const DialogArea& area) : QObject(window), area_(area) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    // The show event comes once the size is final and before the window
    // is mapped, so it opens in its place.
    if (event->type() == QEvent::Show) {
      PlaceDialog(static_cast<QWidget*>(watched), area_);
      watched->removeEventFilter(this);
      deleteLater();
    }
    return false;
  }

 private:
  DialogArea area_;
};

QMargins decorationOf(const QWidget* window) {
  if (const QWindow* handle = window->windowHandle())
    if (const QMargins own = handle->frameMargins(); !own.isNull()) return own;
  // Not shown yet: the decorations of the window it belongs to.
  const QWidget* owner = window->parentWidget();
  return owner ? DialogAreaOf(owner).decoration : QMargins();
}

}  // namespace

void PlaceWhenShown(QWidget* window, const DialogArea& area) {
  window->installEventFilter(new PlaceOnShow(window, area));
}

void FitOnScreen(QWidget* window) {
  const QScreen* screen = window->screen();
  if (!screen) return;
  // The size the window will show at: polished, its layout's least size.
  window->ensurePolished();
  if (QLayout* layout = window->layout()) layout->activate();
  const QMargins decoration = decorationOf(window);
  const QRect fitted = FitIntoArea(QRect(window->pos(), window->size().grownBy(decoration)),
                                   screen->availableGeometry());
  window->resize(fitted.size().shrunkBy(decoration));
  // A window without a place of its own is placed by Qt (a dialog over its
  // owner) or the window manager, at the size that now fits.
  if (window->testAttribute(Qt::WA_Moved)) window->move(fitted.topLeft());
}

}  // namespace pelmar
