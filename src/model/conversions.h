#pragma once

#include <QChar>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <string>
#include <string_view>

#include "lang/language.h"

namespace pelmar {

// Numbers as text. The decimal separator is the language's ("," in Dutch,
// "." in English), taken at every call; reading accepts either.

// Fixed-point text of the value with exactly `decimals` decimals, "-" for
// negatives, no exponent and no grouping, padded on the left with spaces to
// at least `width` characters.
QString RealToStr(double value, int width, int decimals, const Language& language);
// The number in a text, read tolerantly: spaces are ignored, the first ","
// counts as ".", and a text that holds anything but digits, signs and points,
// or that is still no number (two points, a sign in the middle, too large
// for a double), reads as 0. The empty text reads as 0.
double StrToReal(const QString& text);
// RealToStr's text without padding, appended as bytes with the given point.
void AppendFixedPoint(std::string& out, double value, int decimals, char point);
// A number as a file stores it, read strictly: spaces are ignored, then an
// optional sign, digits and at most one "." or "," with at least one digit
// in all. The empty text is 0; anything else ("abc", "8.453,93", a tab, an
// exponent) is no number.
std::optional<double> ReadStoredNumber(std::string_view text);
// Like RealToStr without padding and with the language's thousands separator
// between groups of three integer digits: 1.234.567,89.
QString FormatAmount(double value, int width, int decimals, const Language& language);

// The value rounded to four decimals, halves to even.
long double Round4(long double value);
// The base-10 logarithm; 0 for values below 0.00001 (and for no number).
long double Log10OrZero(long double value);
// sign × |base|^exponent, the sign negative for bases of at most 0.0000001;
// 999.999 when |base| is below 0.001 or the result is no finite number.
long double SignedPower(long double base, long double exponent);

// Decimal text left-padded with spaces to the width.
QString IntToStrPadded(qint64 value, int width);
// Decimal text with leading zeros to 2 or 3 digits ("-05" for -5).
QString TwoDigits(int value);
QString ThreeDigits(int value);

// String cutters: the part of s after or before the first or last c, or the
// first occurrence of t. When c or t is not found (an empty t never is) the
// result is empty.
QString AfterChar(QChar c, const QString& s);
QString BeforeChar(QChar c, const QString& s);
QString AfterLastChar(QChar c, const QString& s);
QString BeforeLastChar(QChar c, const QString& s);
QString AfterStr(const QString& t, const QString& s);
QString BeforeStr(const QString& t, const QString& s);

// Blanks here are the space character only.
QString RemoveBlanks(const QString& s);
// s without leading spaces; empty when s holds only spaces.
QString TrimLeftBlanks(const QString& s);
// s without trailing spaces; s unchanged when it holds only spaces.
QString TrimRightBlanks(const QString& s);
// Only the digits, "," and "." of s.
QString KeepNumberChars(const QString& s);
// s without its digits.
QString RemoveDigits(const QString& s);
// Only the spaces, digits and letters A-Z and a-z of s, at most 79 of them.
QString KeepAlnum(const QString& s);

// Set or clear the bits of a mask in a flag byte.
quint8 SetBits(quint8 flags, quint8 mask);
quint8 ClearBits(quint8 flags, quint8 mask);

}  // namespace pelmar
