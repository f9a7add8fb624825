#include "lang/language.h"

#include <gtest/gtest.h>

#include "lang/outcome.h"

namespace pelmar {
namespace {

const QLocale kDutchLocale(QLocale::Dutch, QLocale::Netherlands);
const QLocale kUsLocale(QLocale::English, QLocale::UnitedStates);
const QLocale kGermanLocale(QLocale::German, QLocale::Germany);
const QLocale kSwissLocale(QLocale::German, QLocale::Switzerland);

struct Resolution {
  const char* taal;
  QLocale system;
  Language::Code expected;
};

class LanguageResolution : public ::testing::TestWithParam<Resolution> {};

TEST_P(LanguageResolution, SettingAndSystemLocaleGiveTheLanguage) {
  const Resolution& r = GetParam();
  const Language lang = Language::fromSetting(QString::fromLatin1(r.taal), r.system);
  EXPECT_EQ(lang.code(), r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Taal, LanguageResolution,
    ::testing::Values(Resolution{"Nederlands", kUsLocale, Language::Code::Dutch},
                      Resolution{"Engels", kDutchLocale, Language::Code::English},
                      Resolution{"SysteemTaal", kDutchLocale, Language::Code::Dutch},
                      Resolution{"SysteemTaal", kUsLocale, Language::Code::English},
                      // Any language but Dutch gives English.
                      Resolution{"SysteemTaal", kGermanLocale, Language::Code::English},
                      // A damaged setting behaves as the system language.
                      Resolution{"Klingon", kDutchLocale, Language::Code::Dutch},
                      Resolution{"", kUsLocale, Language::Code::English}),
    [](const ::testing::TestParamInfo<Resolution>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(Language, CodeTextsAndVersionFollowTheLanguageAsAWhole) {
  Language lang(Language::Code::Dutch, kUsLocale);
  EXPECT_EQ(lang.codeText(), "NLD");
  EXPECT_EQ(lang.text(TextId::VersionText), "versie 1.32a");
  EXPECT_EQ(lang.text(TextId::NothingRead), "Niets gelezen");
  lang.setCode(Language::Code::English);
  EXPECT_EQ(lang.codeText(), "ENU");
  EXPECT_EQ(lang.text(TextId::VersionText), "version 1.32a");
  EXPECT_EQ(lang.text(TextId::NothingRead), "Nothing read");
}

TEST(Language, DecimalSeparatorIgnoresTheLocale) {
  EXPECT_EQ(Language(Language::Code::Dutch, kUsLocale).decimalSeparator(), QChar(','));
  EXPECT_EQ(Language(Language::Code::English, kDutchLocale).decimalSeparator(), QChar('.'));
}

TEST(Language, ThousandsSeparatorComesFromTheLocale) {
  EXPECT_EQ(Language(Language::Code::Dutch, kDutchLocale).thousandsSeparator(), QChar('.'));
  EXPECT_EQ(Language(Language::Code::English, kUsLocale).thousandsSeparator(), QChar(','));
  const QChar swiss = kSwissLocale.groupSeparator().at(0);
  EXPECT_EQ(Language(Language::Code::Dutch, kSwissLocale).thousandsSeparator(), swiss);
}

TEST(Language, ThousandsSeparatorNeverEqualsTheDecimalSeparator) {
  // A Dutch locale groups with "." which English uses for decimals.
  EXPECT_EQ(Language(Language::Code::English, kDutchLocale).thousandsSeparator(), QChar(','));
  // A US locale groups with "," which Dutch uses for decimals.
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
