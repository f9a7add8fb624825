#include "model/real48.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace pelmar {
namespace {

TEST(Real48, KeepsFortyBitsOfSignificand) {
  // 1 + 2^-39 is the next 6-byte real after 1; 1 + 2^-40 is not one.
  EXPECT_EQ(Real48(1.0 + 0x1p-39).value(), 1.0 + 0x1p-39);
  // A tie rounds to the even significand: down from 1 + 2^-40 ...
  EXPECT_EQ(Real48(1.0 + 0x1p-40).value(), 1.0);
  // ... and up from 1 + 3 * 2^-40.
  EXPECT_EQ(Real48(1.0 + 3 * 0x1p-40).value(), 1.0 + 0x1p-38);
  // Just above a tie rounds up.
  EXPECT_EQ(Real48(1.0 + 0x1p-40 + 0x1p-50).value(), 1.0 + 0x1p-39);
  // Carrying out of the significand raises the exponent.
  EXPECT_EQ(Real48(2.0 - 0x1p-41).value(), 2.0);
  EXPECT_EQ(Real48(-(1.0 + 3 * 0x1p-40)).value(), -(1.0 + 0x1p-38));
  // Short binary fractions are exact; storing a stored value changes nothing.
  EXPECT_EQ(Real48(65535.25).value(), 65535.25);
  const double stored = Real48(123456.7891);
  EXPECT_NEAR(stored, 123456.7891, 123456.7891 * 0x1p-40);
  EXPECT_EQ(Real48(stored).value(), stored);
}

TEST(Real48, RoundsLongDoubleOnceNotTwice) {
  // 1 + 2^-40 + 2^-60 is just above a tie: rounding it to double first
  // would drop the 2^-60 and then round down to even.
  const long double x = 1.0L + 0x1p-40L + 0x1p-60L;
  EXPECT_EQ(Real48(x).value(), 1.0 + 0x1p-39);
}

TEST(Real48, OutOfRangeValuesAreNeverStored) {
  const double inf = std::numeric_limits<double>::infinity();
  const double max = Real48::kMax;
  const std::pair<double, double> rows[] = {{1e-39, 0},   {-1e-300, 0},     {0x1p-128, 0x1p-128},
                                            {1e39, max},  {-1e300, -max},   {inf, max},
                                            {-inf, -max}, {std::nan(""), 0}};
  for (const auto& [value, stored] : rows) EXPECT_EQ(Real48(value).value(), stored) << value;
}

TEST(Real48, CompoundAssignmentRoundsTheResult) {
  Real48 r = 1.0;
  r += 0x1p-41;
  EXPECT_EQ(r.value(), 1.0);
  r /= 3;
  EXPECT_EQ(r.value(), Real48::round(1.0L / 3));
  r = 0.0;
  r /= 0;  // 0/0
  EXPECT_EQ(r.value(), 0.0);
}

TEST(Real48, FastRoundingAgreesWithTheReferenceEverywhere) {
  std::mt19937_64 random(48);
  std::uniform_real_distribution<double> mantissa(0.5, 1.0);
  std::uniform_int_distribution<int> exponent(-140, 140);
  for (int i = 0; i < 200000; ++i) {
    const long double x =
        std::ldexp(static_cast<long double>(mantissa(random)), exponent(random)) * (i % 2 ? -1 : 1);
    // Values with extra bits beyond a double, and exact ties at 40 bits.
    const long double extended = x + std::ldexp(x, -45) * (i % 7);
    const long double tie =
        std::ldexp(std::floor(std::ldexp(x, 41 - std::ilogb(x) - 1)) + 0.5L, std::ilogb(x) - 40);
    for (const long double v : {x, extended, tie}) {
      ASSERT_EQ(Real48::round(v), Real48::roundPortable(v)) << static_cast<double>(v);
      ASSERT_EQ(Real48::round(static_cast<double>(v)),
                Real48::roundPortable(static_cast<double>(v)))
          << static_cast<double>(v);
    }
  }
}

}  // namespace
}  // namespace pelmar
