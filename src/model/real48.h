#pragma once

#include <cmath>

namespace pelmar {

// An amount as the portfolio records hold it: the 6-byte real with a 40-bit
// significand (39 stored bits and a hidden one) and an 8-bit exponent, kept
// in a double. Every value is rounded to that precision, ties to even,
// whenever it is stored, so sums and comparisons give the same results as
// the stored records would.
//
// Range: magnitudes below 2^-128 become 0 (the format has no subnormals).
// Magnitudes above the largest 6-byte real, and infinities, are clamped to
// it with their sign; NaN becomes 0. No stored field ever holds an infinity
// or a NaN.
class Real48 {
 public:
  static constexpr int kSignificandBits = 40;
  static constexpr double kMin = 0x1p-128;
  static constexpr double kMax = 0x1.fffffffffep126;  // (2 - 2^-39) * 2^126

  constexpr Real48() = default;
  Real48(double value) : value_(round(value)) {}
  Real48(long double value) : value_(round(value)) {}
  Real48(int value) : value_(round(static_cast<long double>(value))) {}

  operator double() const { return value_; }
  double value() const { return value_; }

  Real48& operator+=(long double x) { return *this = value_ + x; }
  Real48& operator-=(long double x) { return *this = value_ - x; }
  Real48& operator*=(long double x) { return *this = value_ * x; }
  Real48& operator/=(long double x) { return *this = value_ / x; }

  // The value the 6-byte real nearest to x holds.
  static double round(long double x) {
    if (std::isnan(x)) return 0.0;
    if (std::isinf(x)) return x > 0 ? kMax : -kMax;
    if (x == 0) return 0.0;
    int exponent = 0;
    const long double fraction = std::frexp(x, &exponent);  // in [0.5, 1)
    const long double significand = std::nearbyint(std::ldexp(fraction, kSignificandBits));
    const double rounded =
        static_cast<double>(std::ldexp(significand, exponent - kSignificandBits));
    if (std::fabs(rounded) < kMin) return 0.0;
    if (std::fabs(rounded) > kMax) return rounded > 0 ? kMax : -kMax;
    return rounded;
  }

 private:
  double value_ = 0.0;
};

}  // namespace pelmar
