#include "ui/main/help_key.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

#include "commands/help.h"
#include "ui/main/fund_grid_widget.h"
#include "ui/main/help_context.h"

namespace pelmar {

QString FocusHelpAnchor(const QWidget* focus) {
  if (const auto* menu = qobject_cast<const QMenu*>(QApplication::activePopupWidget())) {
    if (const QAction* item = menu->activeAction()) {
      const QVariant context = item->property(kHelpContextProperty);
      if (context.isValid()) return HelpAnchor(context.toInt());
    }
  }
  for (const QWidget* widget = focus; widget; widget = widget->parentWidget()) {
    if (const auto* grid = qobject_cast<const FundGridWidget*>(widget))
      return HelpAnchor(grid->helpContext());
    const QVariant context = widget->property(kHelpContextProperty);
    if (context.isValid()) return HelpAnchor(context.toInt());
    if (widget->isWindow()) {
      const QString anchor = WindowHelpAnchor(widget->objectName());
      if (!anchor.isEmpty()) return anchor;
    }
  }
  return HelpAnchor(0);
}

HelpKeyFilter::HelpKeyFilter(Open open, QObject* parent)
    : QObject(parent), open_(std::move(open)) {}

bool HelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  const bool press = event->type() == QEvent::KeyPress;
  if ((!press && event->type() != QEvent::ShortcutOverride) ||
      !static_cast<QKeyEvent*>(event)->matches(QKeySequence::HelpContents))
    return QObject::eventFilter(watched, event);
  // The key is taken before any shortcut (an open menu's item would take it).
  event->accept();
  if (press) {
    // A key press goes to the focused widget; the filter may see it first on
    // its way there, at the window.
    const QString anchor = FocusHelpAnchor(watched->isWidgetType() ? static_cast<QWidget*>(watched)
                                                                   : QApplication::focusWidget());
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    open_(anchor);
  }
  return true;
}

}  // namespace pelmar
