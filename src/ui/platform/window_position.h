#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace pelmar {

// The stored window position moved onto the available screen area.
QPoint ClampWindowPosition(QPoint stored, QSize frame, const QRect& screen);

}  // namespace pelmar
