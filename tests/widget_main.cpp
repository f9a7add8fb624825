#include <gtest/gtest.h>

#include <QApplication>

#include "support/test_environment.h"

int main(int argc, char** argv) {
  pelmar::test::isolateHome();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
