#include "ui/platform/window_position.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

TEST(WindowPosition, TheStoredPositionIsMovedOntoTheScreen) {
  const QRect screen(0, 0, 1280, 1000);  // the task bar already left out
  const QSize frame(786, 607);
  const struct {
    QPoint stored;
    QSize frame;
    QRect screen;
    QPoint expected;
  } rows[] = {
      {{0, 0}, frame, screen, {1, 1}},             // never at 0: 1,1 at least
      {{-50, 200}, frame, screen, {1, 200}},       // off the left edge
      {{1000, 100}, frame, screen, {494, 100}},    // past the right edge
      {{100, 900}, frame, screen, {100, 393}},     // past the bottom
      {{100, 100}, {2000, 1500}, screen, {0, 0}},  // larger than the screen: title bar visible
      {{1300, 50}, frame, {1280, 0, 1024, 768}, {1300, 50}},  // on a second screen
  };
  for (const auto& row : rows)
    EXPECT_EQ(ClampWindowPosition(row.stored, row.frame, row.screen), row.expected)
        << row.stored.x() << "," << row.stored.y();
}

}  // namespace
}  // namespace pelmar
