#include "commands/help.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

TEST(Help, ContextsFindTheirSectionAndOthersTheMainPage) {
  EXPECT_EQ(HelpAnchor(31147), "file");
  EXPECT_EQ(HelpAnchor(34305), "grid");
  EXPECT_EQ(HelpAnchor(1000), "main");
  EXPECT_EQ(HelpAnchor(50000), "about");
}

}  // namespace
}  // namespace pelmar
