#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

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
  Real48(int value) : value_(round(static_cast<double>(value))) {}

  operator double() const { return value_; }
  double value() const { return value_; }

  Real48& operator+=(long double x) { return *this = value_ + x; }
  Real48& operator-=(long double x) { return *this = value_ - x; }
  Real48& operator*=(long double x) { return *this = value_ * x; }
  Real48& operator/=(long double x) { return *this = value_ / x; }

  // The value the 6-byte real nearest to x holds. The engine stores every
  // value through here, so it works on the bits: the significand is cut to
  // 40 bits with round-half-to-even on the bits dropped.
  static double round(double x) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    const std::uint64_t sign = bits & (std::uint64_t{1} << 63);
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    if (exponent == 0x7FF) return (bits << 12) != 0 ? 0.0 : (sign ? -kMax : kMax);
    // 52 fraction bits, of which the low 12 are dropped.
    constexpr int kDropped = 52 - (kSignificandBits - 1);
    constexpr std::uint64_t kHalf = std::uint64_t{1} << (kDropped - 1);
    constexpr std::uint64_t kMask = (std::uint64_t{1} << kDropped) - 1;
    const std::uint64_t rest = bits & kMask;
    bits &= ~kMask;
    if (rest > kHalf || (rest == kHalf && (bits & (kMask + 1))))
      bits += kMask + 1;  // a carry into the exponent is the right result
    return checkRange(std::bit_cast<double>(bits), sign);
  }

  static double round(long double x) {
    if constexpr (std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::radix == 2) {
      return roundExtended(x);
    } else {
      return roundPortable(x);
    }
  }

  // The same rounding by frexp and rint, for platforms whose long double is
  // not x87 extended precision.
  static double roundPortable(long double x) {
    if (std::isnan(x)) return 0.0;
    if (std::isinf(x)) return x > 0 ? kMax : -kMax;
    if (x == 0) return 0.0;
    int exponent = 0;
    const long double fraction = std::frexp(x, &exponent);  // in [0.5, 1)
    const long double significand = std::rint(std::ldexp(fraction, kSignificandBits));
    const double rounded =
        static_cast<double>(std::ldexp(significand, exponent - kSignificandBits));
    return checkRange(rounded, std::signbit(rounded) ? std::uint64_t{1} << 63 : 0);
  }

 private:
  static double checkRange(double rounded, std::uint64_t sign) {
    const double magnitude = std::fabs(rounded);
    if (magnitude < kMin) return 0.0;
    if (magnitude > kMax) return sign ? -kMax : kMax;
    return rounded;
  }

  // x87 extended precision: an explicit 64-bit significand and a 15-bit
  // exponent. Rounding straight from it avoids rounding twice.
  static double roundExtended(long double x) {
    std::uint64_t significand;
    std::uint16_t signExponent;
    std::memcpy(&significand, &x, sizeof significand);
    std::memcpy(&signExponent, reinterpret_cast<const char*>(&x) + 8, sizeof signExponent);
    const std::uint64_t sign = signExponent & 0x8000 ? std::uint64_t{1} << 63 : 0;
    int exponent = signExponent & 0x7FFF;
    if (exponent == 0x7FFF) return (significand << 1) != 0 ? 0.0 : (sign ? -kMax : kMax);
    if (exponent == 0 || significand == 0) return 0.0;  // zero or far below the range
    constexpr int kDropped = 64 - kSignificandBits;
    constexpr std::uint64_t kHalf = std::uint64_t{1} << (kDropped - 1);
    constexpr std::uint64_t kMask = (std::uint64_t{1} << kDropped) - 1;
    std::uint64_t kept = significand >> kDropped;
    const std::uint64_t rest = significand & kMask;
    if (rest > kHalf || (rest == kHalf && (kept & 1))) ++kept;
    if (kept >> kSignificandBits) {  // carried out of the significand
      kept >>= 1;
      ++exponent;
    }
    const int unbiased = exponent - 16383;
    if (unbiased < -128) return 0.0;
    if (unbiased > 126) return sign ? -kMax : kMax;
    const std::uint64_t fraction = (kept & ((std::uint64_t{1} << (kSignificandBits - 1)) - 1))
                                   << (52 - (kSignificandBits - 1));
    const std::uint64_t bits =
        sign | (static_cast<std::uint64_t>(unbiased + 1023) << 52) | fraction;
    return checkRange(std::bit_cast<double>(bits), sign);
  }

  double value_ = 0.0;
};

}  // namespace pelmar
