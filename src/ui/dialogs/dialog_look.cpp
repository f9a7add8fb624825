#include "ui/dialogs/dialog_look.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

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

int wrappedLineCount(const QFont& font, const QStringList& lines, int width) {
  // Wrapped as the memo wraps its text, a pixel narrower so that a line
  // that just fits is never counted one short.
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  int count = 0;
  for (const QString& line : lines) {
    QTextLayout layout(line, font);
    layout.setTextOption(option);
    layout.beginLayout();
    int wrapped = 0;
    for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
      l.setLineWidth(std::max(width - 1, 1));
      ++wrapped;
    }
    layout.endLayout();
    count += std::max(wrapped, 1);
  }
  return count;
}

int memoLineHeight(const QFont& font) {
  return static_cast<int>(std::ceil(QFontMetricsF(font).lineSpacing()));
}

}  // namespace pelmar
