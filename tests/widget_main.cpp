#include <gtest/gtest.h>

#include <QApplication>

#include "support/test_environment.h"

int main(int argc, char** argv) {
  pelmar::test::isolateHome();
  // Offscreen always; a run may give the offscreen screen its own size and
  // scaling ("offscreen:configfile=...").
  if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
