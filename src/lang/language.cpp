#include "lang/language.h"

namespace pelmar {

Language::Language(Code code, const QLocale& system)
    : code_(code),
      systemGroupSeparator_(system.groupSeparator().isEmpty() ? QChar(' ')
                                                              : system.groupSeparator().at(0)) {}

Language Language::fromSetting(const QString& taal, const QLocale& system) {
  if (taal == kSettingDutch) return Language(Code::Dutch, system);
  if (taal == kSettingEnglish) return Language(Code::English, system);
  return Language(system.language() == QLocale::Dutch ? Code::Dutch : Code::English, system);
}

QChar Language::thousandsSeparator() const {
  const QChar decimal = decimalSeparator();
  if (systemGroupSeparator_ != decimal) return systemGroupSeparator_;
  return decimal == QChar('.') ? QChar(',') : QChar('.');
}

}  // namespace pelmar
