#include "model/conversions.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "model/real48.h"

namespace pelmar {

namespace {

bool isAsciiDigit(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isAsciiLetter(QChar c) {
  return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
         (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

// s with only the characters `keep` accepts.
template <typename Predicate>
QString filtered(const QString& s, Predicate keep) {
  QString result;
  result.reserve(s.size());
  for (const QChar c : s) {
    if (keep(c)) result.append(c);
  }
  return result;
}

// Decimal text of the value with leading zeros to the number of digits; the
// sign stands before the zeros.
QString zeroPadded(int value, int digits) {
  const QString number = QString::number(std::abs(static_cast<qint64>(value)));
  return (value < 0 ? QStringLiteral("-") : QString()) +
         number.rightJustified(digits, QLatin1Char('0'));
}

// Significant digits the fixed-point text is built from: the most a double
// carries faithfully. Rounding to them first makes an amount typed as 1.005
// (stored a hair below) show as 1.01 with two decimals, as the user wrote it.
constexpr int kSignificantDigits = 15;

// Fixed-point text of the value with "." as the point: the value taken to 15
// significant digits, then rounded to `decimals` decimals, halves away from
// zero. A zero result carries no sign.
QString fixedPoint(double value, int decimals) {
  std::string text;
  AppendFixedPoint(text, value, decimals, '.');
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void AppendFixedPoint(std::string& out, double value, int decimals, char point) {
  // An infinity or NaN is shown as the amount a record would store for it.
  if (!std::isfinite(value)) value = Real48::round(value);
  // Past 18 decimals a double has nothing left to show.
  decimals = std::clamp(decimals, 0, 18);

  // A whole number below 10^15 (zero, counts, dates) has all its digits
  // among the 15 significant ones: nothing to round, only zeros to add.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    char whole[24];
    const auto end =
        std::to_chars(whole, whole + sizeof whole, static_cast<long long>(std::fabs(value))).ptr;
    if (value < 0) out += '-';
    out.append(whole, end);
    if (decimals > 0) {
      out += point;
      out.append(static_cast<std::size_t>(decimals), '0');
    }
    return;
  }

  // d.dddddddddddddde±xx: the correctly rounded 15 significant digits.
  char scientific[40];
  const auto written = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                                     std::chars_format::scientific, kSignificantDigits - 1);
  const char* e = std::find(scientific, written.ptr, 'e');
  // The digits, with room for a carry in front and zeros behind.
  char digits[kSignificantDigits + 64];
  int count = 0;
  digits[count++] = scientific[0];
  for (const char* c = scientific + 2; c < e; ++c) digits[count++] = *c;
  int exponent = 0;
  std::from_chars(e + (e[1] == '+' ? 2 : 1), written.ptr, exponent);
  int integerDigits = exponent + 1;

  const int keep = integerDigits + decimals;
  if (keep < 0) {
    count = 0;
  } else if (keep < count) {
    const bool roundUp = digits[keep] >= '5';
    count = keep;
    if (roundUp) {
      int i = keep - 1;
      for (; i >= 0 && digits[i] == '9'; --i) digits[i] = '0';
      if (i >= 0) {
        ++digits[i];
      } else {
        std::memmove(digits + 1, digits, static_cast<std::size_t>(count));
        digits[0] = '1';
        ++count;
        ++integerDigits;
      }
    }
  }
  int leadingZeros = 0;
  if (integerDigits < 1) {
    leadingZeros = 1 - integerDigits;
    integerDigits = 1;
  }
  // The text: sign, leading zeros, digits, trailing zeros up to the decimals.
  const int total = integerDigits + decimals;
  char text[400];
  int size = 0;
  for (int i = 0; i < total; ++i) {
    const int d = i - leadingZeros;
    if (i == integerDigits) text[size++] = point;
    text[size++] = d >= 0 && d < count ? digits[d] : '0';
  }
  bool zero = true;
  for (int i = 0; i < count && zero; ++i) zero = digits[i] == '0';
  if (value < 0 && !zero) out += '-';
  out.append(text, static_cast<std::size_t>(size));
}

QString RealToStr(double value, int width, int decimals, const Language& language) {
  QString text = fixedPoint(value, decimals);
  const qsizetype point = text.indexOf(QLatin1Char('.'));
  if (point >= 0) text[point] = language.decimalSeparator();
  return text.rightJustified(width, QLatin1Char(' '));
}

namespace {

// The common shape of a stored amount: an optional "-", digits, and at most
// one "." or "," with digits after it. Read straight from a small buffer;
// it gives the same correctly rounded double as the general path below.
std::optional<double> readPlainNumber(const QString& text) {
  constexpr qsizetype kMaxPlain = 40;
  const qsizetype size = text.size();
  if (size == 0 || size > kMaxPlain) return std::nullopt;
  char buffer[kMaxPlain];
  qsizetype i = 0;
  bool point = false;
  int digits = 0;
  if (text.at(0) == QLatin1Char('-')) buffer[i++] = '-';
  for (; i < size; ++i) {
    const QChar c = text.at(i);
    if (isAsciiDigit(c)) {
      buffer[i] = static_cast<char>(c.unicode());
      ++digits;
    } else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !point) {
      buffer[i] = '.';
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0 || buffer[size - 1] == '.' || buffer[buffer[0] == '-' ? 1 : 0] == '.')
    return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(buffer, buffer + size, value);
  if (error != std::errc() || end != buffer + size || !std::isfinite(value)) return std::nullopt;
  return value + 0.0;  // no negative zero from "-0"
}

}  // namespace

double StrToReal(const QString& text) {
  if (const auto plain = readPlainNumber(text)) return *plain;
  QString t = RemoveBlanks(text);
  const qsizetype comma = t.indexOf(QLatin1Char(','));
  if (comma >= 0) t[comma] = QLatin1Char('.');
  if (t.isEmpty()) t = QStringLiteral("0.0");
  for (const QChar c : t) {
    if (!isAsciiDigit(c) && c != QLatin1Char('+') && c != QLatin1Char('-') &&
        c != QLatin1Char('.')) {
      return 0.0;
    }
  }
  qsizetype point = t.indexOf(QLatin1Char('.'));
  if (point < 0) {
    point = t.size();
    t += QLatin1Char('.');
  }
  if (point == 0) {
    t.prepend(QLatin1Char('0'));
    ++point;
  }
  if (point == t.size() - 1) t += QLatin1Char('0');

  // Texts that pass the character test but are still no number ("1.2.3",
  // "1-2", "+-1") and values beyond a double read as 0, like any other
  // text that is no number.
  bool ok = false;
  const double value = QLocale::c().toDouble(t, &ok);
  if (!ok || !std::isfinite(value)) return 0.0;
  return value + 0.0;  // no negative zero from "-0"
}

std::optional<double> ReadStoredNumber(std::string_view text) {
  constexpr std::size_t kMaxDigits = 64;
  char buffer[kMaxDigits];
  std::size_t size = 0;
  bool point = false;
  int digits = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ') continue;
    if (size == kMaxDigits) return std::nullopt;
    if (c >= '0' && c <= '9') {
      buffer[size++] = c;
      ++digits;
    } else if ((c == '.' || c == ',') && !point) {
      buffer[size++] = '.';
      point = true;
    } else if ((c == '-' || c == '+') && size == 0) {
      buffer[size++] = c;
    } else {
      return std::nullopt;
    }
  }
  if (size == 0) return 0.0;
  if (digits == 0) return std::nullopt;
  // from_chars takes no "+"; "5." and ".5" read as 5 and 0.5.
  const char* first = buffer[0] == '+' ? buffer + 1 : buffer;
  double value = 0;
  const auto [end, error] = std::from_chars(first, buffer + size, value, std::chars_format::fixed);
  if (error != std::errc() || end != buffer + size || !std::isfinite(value)) return std::nullopt;
  return value + 0.0;  // no negative zero from "-0"
}

QString FormatAmount(double value, int width, int decimals, const Language& language) {
  const QString t = RealToStr(value, width, decimals, language);
  const QChar decimalSeparator = language.decimalSeparator();
  // Without decimals the text has no separator and is all integer part.
  const qsizetype point = t.indexOf(decimalSeparator);
  QString integerPart = RemoveBlanks(point < 0 ? t : t.left(point));
  QString sign;
  if (t.contains(QLatin1Char('-'))) {
    sign = QStringLiteral("-");
    integerPart.remove(0, 1);
  }
  // Every group of three, however long the number.
  const QChar thousandsSeparator = language.thousandsSeparator();
  for (qsizetype at = integerPart.size() - 3; at > 0; at -= 3) {
    integerPart.insert(at, thousandsSeparator);
  }
  if (point < 0) return sign + integerPart;
  return sign + integerPart + decimalSeparator + t.mid(point + 1);
}

long double Round4(long double value) {
  return std::nearbyint(value * 10000.0L) * 0.0001L;
}

long double Log10OrZero(long double value) {
  if (!(value >= 0.00001L)) return 0.0L;
  return std::log(value) / std::log(10.0L);
}

long double SignedPower(long double base, long double exponent) {
  constexpr long double kFailed = 999.999L;
  if (!(std::fabs(base) >= 0.001L)) return kFailed;
  const long double sign = base <= 0.0000001L ? -1.0L : 1.0L;
  const long double result = sign * std::exp(exponent * std::log(std::fabs(base)));
  return std::isfinite(result) ? result : kFailed;
}

QString IntToStrPadded(qint64 value, int width) {
  return QString::number(value).rightJustified(width, QLatin1Char(' '));
}

QString TwoDigits(int value) {
  return zeroPadded(value, 2);
}

QString ThreeDigits(int value) {
  return zeroPadded(value, 3);
}

QString AfterChar(QChar c, const QString& s) {
  const qsizetype at = s.indexOf(c);
  return at < 0 ? QString() : s.mid(at + 1);
}

QString BeforeChar(QChar c, const QString& s) {
  const qsizetype at = s.indexOf(c);
  return at < 0 ? QString() : s.left(at);
}

QString AfterLastChar(QChar c, const QString& s) {
  const qsizetype at = s.lastIndexOf(c);
  return at < 0 ? QString() : s.mid(at + 1);
}

QString BeforeLastChar(QChar c, const QString& s) {
  const qsizetype at = s.lastIndexOf(c);
  return at < 0 ? QString() : s.left(at);
}

QString AfterStr(const QString& t, const QString& s) {
  const qsizetype at = t.isEmpty() ? -1 : s.indexOf(t);
  return at < 0 ? QString() : s.mid(at + t.size());
}

QString BeforeStr(const QString& t, const QString& s) {
  const qsizetype at = t.isEmpty() ? -1 : s.indexOf(t);
  return at < 0 ? QString() : s.left(at);
}

QString RemoveBlanks(const QString& s) {
  // Most texts hold no blank: share them instead of copying.
  if (!s.contains(QLatin1Char(' '))) return s;
  return filtered(s, [](QChar c) { return c != QLatin1Char(' '); });
}

QString TrimLeftBlanks(const QString& s) {
  qsizetype first = 0;
  while (first < s.size() && s[first] == QLatin1Char(' ')) ++first;
  return s.mid(first);
}

QString TrimRightBlanks(const QString& s) {
  qsizetype end = s.size();
  while (end > 0 && s[end - 1] == QLatin1Char(' ')) --end;
  // Unlike TrimLeftBlanks, a text of spaces only comes back unchanged;
  // kept so for the callers that depend on it.
  return end == 0 ? s : s.left(end);
}

QString KeepNumberChars(const QString& s) {
  return filtered(
      s, [](QChar c) { return isAsciiDigit(c) || c == QLatin1Char(',') || c == QLatin1Char('.'); });
}

QString RemoveDigits(const QString& s) {
  return filtered(s, [](QChar c) { return !isAsciiDigit(c); });
}

QString KeepAlnum(const QString& s) {
  constexpr qsizetype kMaxLength = 79;
  return filtered(
             s,
             [](QChar c) { return c == QLatin1Char(' ') || isAsciiDigit(c) || isAsciiLetter(c); })
      .left(kMaxLength);
}

quint8 SetBits(quint8 flags, quint8 mask) {
  return static_cast<quint8>(flags | mask);
}

quint8 ClearBits(quint8 flags, quint8 mask) {
  return static_cast<quint8>(flags & ~mask);
}

}  // namespace pelmar
