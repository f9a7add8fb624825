#include "model/records.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

TEST(Records, TextFieldsAreCutToTheirLengthOnAssignment) {
  FixedText<4> text = QStringLiteral("abcdef");
  EXPECT_EQ(text.str(), "abcd");
  // A character beyond 16 bits counts once and is never split.
  text = QStringLiteral("abc") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("x");
  EXPECT_EQ(text.str().size(), 5);
  text = QStringLiteral("abcd") + QString::fromUcs4(U"\U0001F600");
  EXPECT_EQ(text.str(), "abcd");
}

TEST(Records, ThePlaceholderRowIsKnownInEitherLanguage) {
  KoersRec fund;
  for (const char* ticker : {"[Nieuw]", "[New]", "[New]   ", " [ New ]"}) {
    fund.Ticker = QString::fromLatin1(ticker);
    EXPECT_TRUE(fund.isPlaceholder()) << ticker;
  }
  for (const char* ticker : {"", "New", "[new]", "ASML"}) {
    fund.Ticker = QString::fromLatin1(ticker);
    EXPECT_FALSE(fund.isPlaceholder()) << ticker;
  }
}

}  // namespace
}  // namespace pelmar
