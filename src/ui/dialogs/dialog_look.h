#pragma once

#include <QColor>
#include <QPushButton>
#include <QRect>
#include <QStringList>
#include <initializer_list>

class QFont;

namespace pelmar {

// Colours are kept as Windows colour values, $BBGGRR.
constexpr quint32 kDialogColor = 0xE3FFFF;  // pale yellow
constexpr quint32 kHoverColor = 0xFFFF00;   // aqua
constexpr quint32 kFrameBlue = 0xFF0000;

// The QColor of a Windows colour value $BBGGRR.
QColor windowsColor(quint32 bgr);

// The dialogs' look: background $E3FFFF and Verdana 9 pt (or the platform's
// fallback when Verdana is missing).
void applyDialogLook(QWidget* window);

// The flags of a dialog that ends only through its buttons: a title, but no
// close box and no system menu.
constexpr Qt::WindowFlags kButtonsOnlyDialog =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

// A push button with back colour $E3FFFF that turns $FFFF00 under the mouse.
class TColorButton : public QPushButton {
 public:
  TColorButton(const QString& objectName, QWidget* parent);
};

// The widget with its object name, so a dialog's typed members can be made
// in its initialiser list.
template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// One size for a row of buttons: 75 by 25 px, wider when a text needs it.
QSize buttonSize(std::initializer_list<const QPushButton*> buttons);

// The number of lines the memo lines take when a memo in the font wraps
// them at the width.
int wrappedLineCount(const QFont& font, const QStringList& lines, int width);
// The height of one memo line in the font, leading included, rounded up.
int memoLineHeight(const QFont& font);

}  // namespace pelmar
