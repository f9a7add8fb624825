#include "model/conversions.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <limits>
#include <random>

namespace pelmar {
namespace {

// Dutch texts with "." between thousands; English texts with ",".
const Language& dutch() {
  static const Language language(Language::Code::Dutch, QLocale(QLocale::Dutch));
  return language;
}

const Language& english() {
  static const Language language(Language::Code::English, QLocale(QLocale::English));
  return language;
}

struct Formatted {
  double value;
  int width;
  int decimals;
  const char* dutchText;
  const char* englishText;
};

TEST(RealToStr, FixedPointTexts) {
  const double inf = std::numeric_limits<double>::infinity();
  const Formatted rows[] = {
      {12.5, 0, 4, "12,5000", "12.5000"},
      {-12.5, 10, 2, "    -12,50", "    -12.50"},
      {123456.78, 5, 2, "123456,78", "123456.78"},  // never cut to the width
      // Amounts round as they were typed, halves away from zero.
      {1.005, 0, 2, "1,01", "1.01"},
      {-0.125, 0, 2, "-0,13", "-0.13"},
      {9.999, 0, 2, "10,00", "10.00"},
      {0.5, 3, 0, "  1", "  1"},
      // Whole numbers on both sides of 10^15, the last with 15 digits.
      {-42706.0, 0, 4, "-42706,0000", "-42706.0000"},
      {999999999999999.0, 0, 1, "999999999999999,0", "999999999999999.0"},
      {1e15 + 2, 0, 1, "1000000000000000,0", "1000000000000000.0"},
      // A negative amount that rounds to zero shows no sign.
      {-0.001, 0, 2, "0,00", "0.00"},
      {-0.0, 0, 1, "0,0", "0.0"},
      {12.5, 0, -1, "13", "13"},
      // No binary noise, and no absurd lengths.
      {0.1, 0, 1000, "0,100000000000000000", "0.100000000000000000"},
      {std::numeric_limits<double>::quiet_NaN(), 0, 2, "0,00", "0.00"},
  };
  for (const Formatted& row : rows) {
    EXPECT_EQ(RealToStr(row.value, row.width, row.decimals, dutch()), row.dutchText) << row.value;
    EXPECT_EQ(RealToStr(row.value, row.width, row.decimals, english()), row.englishText)
        << row.value;
  }
  // An infinity shows as the largest amount a record can hold.
  const QString largest = RealToStr(-inf, 0, 0, english());
  EXPECT_TRUE(largest.startsWith("-170141183460")) << largest.toStdString();
  EXPECT_EQ(largest.size(), 40);
}

TEST(FormatAmount, GroupsThousands) {
  const Formatted rows[] = {
      {1234567.891, 0, 2, "1.234.567,89", "1,234,567.89"},
      {-1234.5, 0, 2, "-1.234,50", "-1,234.50"},
      {0, 12, 4, "0,0000", "0.0000"},  // no padding
      {-100000, 15, 2, "-100.000,00", "-100,000.00"},
      {999999.999, 0, 2, "1.000.000,00", "1,000,000.00"},
      // Beyond twelve digits the groups go on in threes.
      {-1234567890123.0, 0, 2, "-1.234.567.890.123,00", "-1,234,567,890,123.00"},
      // Without decimals there is no separator at the end.
      {1234567, 0, 0, "1.234.567", "1,234,567"},
      {-0.001, 0, 2, "0,00", "0.00"},
  };
  for (const Formatted& row : rows) {
    EXPECT_EQ(FormatAmount(row.value, row.width, row.decimals, dutch()), row.dutchText)
        << row.value;
    EXPECT_EQ(FormatAmount(row.value, row.width, row.decimals, english()), row.englishText)
        << row.value;
  }
}

TEST(StrToReal, ReadsEitherSeparatorAndTreatsEverythingElseAsZero) {
  const std::pair<const char*, double> numbers[] = {
      {"12,5", 12.5}, {"12.5", 12.5}, {" 1 2 , 5 ", 12.5}, {",5", 0.5},          {"-3,", -3},
      {"+7", 7},      {"-.5", -0.5},  {"0012", 12},        {"38718.0000", 38718}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(StrToReal(text), value) << text;
  // Empty texts, thousands separators, letters, exponents, other blanks,
  // digits of another script, signs in the middle and doubled signs.
  for (const char* text :
       {"", "    ", ".", "-", "1.234,56", "1,234.56", "1,2,3", "1E5", "1e400", "12a", "EUR 12",
        "12\t5", "1\u00a0234", "\u0661\u0662", "1-2", "+-1", "--1", "12-"}) {
    EXPECT_EQ(StrToReal(QString::fromUtf8(text)), 0.0) << text;
  }
  // Too large for a double: no infinity.
  EXPECT_EQ(StrToReal(QString(400, QLatin1Char('9'))), 0.0);
  EXPECT_EQ(StrToReal("0." + QString(400, QLatin1Char('0')) + "1"), 0.0);
  EXPECT_FALSE(std::signbit(StrToReal("-0")));
}

TEST(StrToReal, ReadsBackWhatRealToStrWrites) {
  for (const double value : {0.0, 12.34, -12.5, 38718.0, 99999.99, -0.0001, 123456789.1234}) {
    for (const Language* language : {&dutch(), &english()}) {
      EXPECT_EQ(StrToReal(RealToStr(value, 12, 4, *language)), value) << value;
    }
  }
  // A rate rounded to five decimals through the text.
  EXPECT_EQ(StrToReal(RealToStr(1.2345678, 5, 5, dutch())), 1.23457);
}

TEST(Numbers, Round4GoesToTheEvenNeighbourOnHalves) {
  const std::pair<long double, double> rows[] = {
      {0.12344L, 0.1234}, {0.12346L, 0.1235}, {-0.12346L, -0.1235}, {1234567.89999L, 1234567.9},
      {0.00025L, 0.0002}, {0.00035L, 0.0004}, {-0.00025L, -0.0002}};
  for (const auto& [value, rounded] : rows)
    EXPECT_DOUBLE_EQ(static_cast<double>(Round4(value)), rounded) << static_cast<double>(value);
}

TEST(Numbers, Log10OrZero) {
  EXPECT_EQ(Log10OrZero(0), 0);
  EXPECT_EQ(Log10OrZero(-5), 0);
  EXPECT_EQ(Log10OrZero(0.0000099L), 0);
  EXPECT_EQ(Log10OrZero(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_NEAR(static_cast<double>(Log10OrZero(0.00001L)), -5, 1e-15);
  EXPECT_NEAR(static_cast<double>(Log10OrZero(100)), 2, 1e-15);
  EXPECT_NEAR(static_cast<double>(Log10OrZero(99999.99L)), 4.99999995657, 1e-10);
}

TEST(Numbers, SignedPower) {
  EXPECT_EQ(SignedPower(1.05L, 0), 1);
  EXPECT_NEAR(static_cast<double>(SignedPower(4, 0.5L)), 2, 1e-15);
  EXPECT_NEAR(static_cast<double>(SignedPower(-8, 1.0L / 3)), -2, 1e-15);
  EXPECT_NEAR(static_cast<double>(SignedPower(-2, 2)), -4, 1e-15);  // the sign is kept
  // A year of daily interest factors gives the yearly rate back.
  const long double daily = SignedPower(1.03L, 1 / 365.25);
  EXPECT_NEAR(static_cast<double>(SignedPower(daily, 365.25L)), 1.03, 1e-15);
  // Bases too close to zero, overflow and no number give 999.999.
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const long double inf = std::numeric_limits<long double>::infinity();
  const std::pair<long double, long double> unusable[] = {
      {0, 2}, {0.0009L, 2}, {-0.0005L, 2}, {10, 1e6L}, {-10, 1e6L}, {nan, 1}, {2, inf}};
  for (const auto& [base, exponent] : unusable)
    EXPECT_EQ(SignedPower(base, exponent), 999.999L) << static_cast<double>(base);
}

TEST(Strings, PaddingCuttingAndFiltering) {
  const QString s = "a,b,c";
  const QString xml = "<a>x</a>";
  const std::pair<QString, QString> rows[] = {
      {IntToStrPadded(-42, 5), "  -42"},
      {IntToStrPadded(123456, 3), "123456"},
      {TwoDigits(5), "05"},
      {TwoDigits(-5), "-05"},  // the sign before the zeros
      {ThreeDigits(1000), "1000"},
      {ThreeDigits(std::numeric_limits<int>::min()), "-2147483648"},
      {AfterChar(',', s), "b,c"},
      {BeforeChar(',', s), "a"},
      {BeforeLastChar(',', s), "a,b"},
      {AfterStr("</", xml), "a>"},
      {BeforeStr("</", xml), "<a>x"},
      {RemoveBlanks(" a b\tc "), "ab\tc"},  // only the space goes
      {TrimLeftBlanks("  a b "), "a b "},
      {TrimRightBlanks(" a b  "), " a b"},
      {TrimRightBlanks("   "), "   "},
      {KeepNumberChars("EUR -1.234,56 (x2)"), "1.234,562"},
      {RemoveDigits("AB12C3 4"), "ABC "},
      {KeepAlnum(QString::fromUtf8("Royal Dutch/Shell (RDS) 2é_x")), "Royal DutchShell RDS 2x"},
      {KeepAlnum(QString(100, QLatin1Char('a')) + "!"), QString(79, QLatin1Char('a'))}};
  for (const auto& [actual, expected] : rows) EXPECT_EQ(actual, expected);
  // Nothing found, or found at the very start or end, gives an empty text.
  for (const QString& empty :
       {AfterChar(';', s), BeforeChar(';', s), AfterLastChar(';', s), BeforeLastChar(';', s),
        AfterStr("x", s), BeforeStr("x", s), AfterStr("", s), BeforeStr("", s), AfterChar(',', ""),
        AfterChar(',', "abc,"), BeforeChar(',', ",abc"), BeforeStr("<a>", xml),
        AfterStr("x</a>", xml), TrimLeftBlanks("   "), TrimRightBlanks("")}) {
    EXPECT_TRUE(empty.isEmpty()) << empty.toStdString();
  }
}

}  // namespace
// Stored amounts take a quick path; it must read exactly what the general
// path (the C locale's conversion) reads.
TEST(StrToReal, PlainNumbersReadExactlyAsTheGeneralConversion) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int> digits(1, 18);
  std::uniform_int_distribution<int> decimals(0, 12);
  std::uniform_int_distribution<int> digit(0, 9);
  for (int n = 0; n < 20000; ++n) {
    QString text = n % 3 == 0 ? QStringLiteral("-") : QString();
    for (int i = digits(random); i > 0; --i) text += QChar('0' + digit(random));
    const int d = decimals(random);
    QString dotted = text;
    if (d > 0) {
      dotted += QLatin1Char('.');
      for (int i = 0; i < d; ++i) dotted += QChar('0' + digit(random));
    }
    bool ok = false;
    const double expected = QLocale::c().toDouble(dotted, &ok) + 0.0;
    ASSERT_TRUE(ok) << dotted.toStdString();
    ASSERT_EQ(StrToReal(dotted), expected) << dotted.toStdString();
    QString comma = dotted;
    comma.replace(QLatin1Char('.'), QLatin1Char(','));
    ASSERT_EQ(StrToReal(comma), expected) << comma.toStdString();
  }
}

}  // namespace pelmar
