#include "ui/dialogs/dialog_look.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace pelmar {

QColor windowsColor(quint32 bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void applyDialogLook(QWidget* window) {
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, windowsColor(kDialogColor));
  window->setPalette(palette);
  window->setAutoFillBackground(true);
  window->setFont(QFont(QStringLiteral("Verdana"), 9));
}

TColorButton::TColorButton(const QString& objectName, QWidget* parent) : QPushButton(parent) {
  setObjectName(objectName);
  setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #808080;"
                               " padding: 3px 8px; }"
                               "QPushButton:hover { background-color: %2; }"
                               "QPushButton:focus { border: 2px solid #000000; }")
                    .arg(windowsColor(kDialogColor).name(), windowsColor(kHoverColor).name()));
}

QSize buttonSize(std::initializer_list<const QPushButton*> buttons) {
  int width = 75;
  for (const QPushButton* b : buttons)
    width = std::max(width, b->fontMetrics().horizontalAdvance(b->text()) + 20);
  return {width, 25};
}

int wrappedLineCount(const QFontMetrics& metrics, const QStringList& lines, int width) {
  int count = 0;
  for (const QString& line : lines) {
    const QRect needed =
        metrics.boundingRect(QRect(0, 0, std::max(width, 1), 1 << 20), Qt::TextWordWrap,
                             line.isEmpty() ? QStringLiteral(" ") : line);
    count += std::max(1, needed.height() / std::max(metrics.lineSpacing(), 1));
  }
  return count;
}

QRect ownerArea(const QWidget* owner) {
  if (owner) return owner->window()->frameGeometry();
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

}  // namespace pelmar
