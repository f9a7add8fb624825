#include "lang/language.h"

#include <gtest/gtest.h>

#include <tuple>

#include "lang/outcome.h"

namespace pelmar {
namespace {

const QLocale kDutchLocale(QLocale::Dutch, QLocale::Netherlands);
const QLocale kUsLocale(QLocale::English, QLocale::UnitedStates);
const QLocale kGermanLocale(QLocale::German, QLocale::Germany);
const QLocale kSwissLocale(QLocale::German, QLocale::Switzerland);

TEST(Language, TheSettingAndTheSystemLocaleGiveTheLanguage) {
  const auto dutch = Language::Code::Dutch;
  const auto english = Language::Code::English;
  const std::tuple<const char*, QLocale, Language::Code> rows[] = {
      {"Nederlands", kUsLocale, dutch},
      {"Engels", kDutchLocale, english},
      {"SysteemTaal", kDutchLocale, dutch},
      {"SysteemTaal", kUsLocale, english},
      {"SysteemTaal", kGermanLocale, english},  // any language but Dutch gives English
      // A damaged setting behaves as the system language.
      {"Klingon", kDutchLocale, dutch},
      {"", kUsLocale, english}};
  for (const auto& [taal, system, expected] : rows)
    EXPECT_EQ(Language::fromSetting(QString::fromLatin1(taal), system).code(), expected) << taal;
}

TEST(Language, SeparatorsNeverClash) {
  // The decimal separator follows the language, never the locale.
  EXPECT_EQ(Language(Language::Code::Dutch, kUsLocale).decimalSeparator(), QChar(','));
  EXPECT_EQ(Language(Language::Code::English, kDutchLocale).decimalSeparator(), QChar('.'));
  // The thousands separator is the locale's unless it is the decimal one.
  const QChar swiss = kSwissLocale.groupSeparator().at(0);
  EXPECT_EQ(Language(Language::Code::Dutch, kSwissLocale).thousandsSeparator(), swiss);
  // A Dutch locale groups with "." which English uses for decimals, and
  // a US locale with "," which Dutch uses for decimals.
  EXPECT_EQ(Language(Language::Code::English, kDutchLocale).thousandsSeparator(), QChar(','));
  EXPECT_EQ(Language(Language::Code::Dutch, kUsLocale).thousandsSeparator(), QChar('.'));
}

TEST(Language, AReasonReadsInEitherLanguageWithItsArgumentsInPlace) {
  // Arguments go in once, in order, even when one holds a marker itself.
  const Reason reason{TextId::InvalidExtension, {".b%2k", "/tmp/%1 x.b%2k"}};
  EXPECT_EQ(reason.text(Language(Language::Code::Dutch, kUsLocale)),
            "De extensie .b%2k van het bestand /tmp/%1 x.b%2k is ongeldig.");
  EXPECT_EQ(reason.text(Language(Language::Code::English, kUsLocale)),
            "The extension .b%2k of the file /tmp/%1 x.b%2k is not valid.");
}

}  // namespace
}  // namespace pelmar
