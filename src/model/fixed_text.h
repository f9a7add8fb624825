#pragma once

#include <QString>

namespace pelmar {

// A record text field of at most N characters. The file stores one 8-bit
// character per character, so a longer value is cut to N characters
// whenever it is assigned; a character outside the 16-bit range (a
// surrogate pair in QString) still counts as one and is never split.
template <int N>
class FixedText {
 public:
  static constexpr int kMaxLength = N;

  FixedText() = default;
  FixedText(const QString& text) : text_(cut(text)) {}
  FixedText(const char* text) : text_(cut(QString::fromLatin1(text))) {}

  FixedText& operator=(const QString& text) {
    text_ = cut(text);
    return *this;
  }

  const QString& str() const { return text_; }
  operator const QString&() const { return text_; }
  bool isEmpty() const { return text_.isEmpty(); }

  friend bool operator==(const FixedText& a, const FixedText& b) { return a.text_ == b.text_; }
  friend bool operator==(const FixedText& a, const QString& b) { return a.text_ == b; }

 private:
  static QString cut(const QString& text) {
    int characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (characters == N) return text.left(i);
      if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        ++i;
      ++characters;
    }
    return text;
  }

  QString text_;
};

}  // namespace pelmar
