#pragma once

#include <QChar>
#include <QLocale>
#include <QString>

#include "lang/texts.h"

namespace pelmar {

// The program's language: its code, its texts and its number separators.
// Switching the language switches every text at once; callers ask for a
// text by id and never choose between Dutch and English themselves.
class Language {
 public:
  enum class Code { Dutch, English };

  // The stored setting "Taal" for each choice.
  static inline const QString kSettingDutch = QStringLiteral("Nederlands");
  static inline const QString kSettingEnglish = QStringLiteral("Engels");
  static inline const QString kSettingSystem = QStringLiteral("SysteemTaal");

  explicit Language(Code code = Code::English, const QLocale& system = QLocale::system());

  // The language a "Taal" setting names; "SysteemTaal" and anything unknown
  // take the system locale's language: Dutch when it is Dutch, else English.
  static Language fromSetting(const QString& taal, const QLocale& system = QLocale::system());

  Code code() const { return code_; }
  bool isDutch() const { return code_ == Code::Dutch; }
  void setCode(Code code) { code_ = code; }

  QString text(TextId id) const { return isDutch() ? dutchText(id) : englishText(id); }

  // "," in Dutch and "." in English, whatever the locale says.
  QChar decimalSeparator() const { return isDutch() ? QChar(',') : QChar('.'); }
  // The system locale's group separator. When it equals the decimal separator
  // (a Dutch locale with English texts, say) amounts would be ambiguous, so
  // the other of "." and "," is used instead.
  QChar thousandsSeparator() const;

 private:
  Code code_;
  QChar systemGroupSeparator_;
};

}  // namespace pelmar
