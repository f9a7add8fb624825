#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace pelmar {

// The stored window position moved onto the available screen area.
QPoint ClampWindowPosition(QPoint stored, QSize frame, const QRect& screen);

// Where a dialog opens: the frame of the window that asks, the size of that
// window's decorations (title bar and borders, taken for the dialog's until
// it has been shown with its own) and the screen area it must stay on.
struct DialogArea {
  QRect frame;
  QMargins decoration;
  QRect screen;
};

// The area of the owner's window on its screen; without an owner, the
// primary screen's available area, on which the dialog is then centred.
DialogArea DialogAreaOf(const QWidget* owner);

// The top left corner of a dialog's frame: centred on the area's frame and
// moved onto its screen.
QPoint DialogPosition(QSize frame, const DialogArea& area);

// Moves the window (at its present size) to its place over the area; a
// frameless window has no decorations.
void PlaceDialog(QWidget* window, const DialogArea& area);

// Places the window over the area once it is shown next, at the size it
// has then (a dialog that lays itself out while it opens).
void PlaceWhenShown(QWidget* window, const DialogArea& area);

// Shrinks a top-level window that is too large for the available area of
// its screen and moves one placed by the program into that area.
void FitOnScreen(QWidget* window);

}  // namespace pelmar
