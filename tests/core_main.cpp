#include <gtest/gtest.h>

#include <QCoreApplication>

#include "support/test_environment.h"

int main(int argc, char** argv) {
  pelmar::test::isolateHome();
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
