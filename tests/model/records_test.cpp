#include "model/records.h"

#include <gtest/gtest.h>

#include "commands/session.h"

namespace pelmar {
namespace {

TEST(Records, TextFieldsAreCutToTheirLengthOnAssignment) {
  FixedText<4> text = QStringLiteral("abcdef");
  EXPECT_EQ(text.str(), "abcd");
  text = QStringLiteral("ab");
  EXPECT_EQ(text.str(), "ab");
  // A character beyond 16 bits counts once and is never split.
  text = QStringLiteral("abc") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("x");
  EXPECT_EQ(text.str().size(), 5);
  text = QStringLiteral("abcd") + QString::fromUcs4(U"\U0001F600");
  EXPECT_EQ(text.str(), "abcd");

  KoersRec fund;
  const QString longText = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  fund.Ticker = longText;
  fund.Ticker2 = longText;
  fund.Country = longText;
  fund.Valuta = longText;
  EXPECT_EQ(fund.Ticker.str(), "ABCDEFGHIJKL");
  EXPECT_EQ(fund.Ticker2.str(), "ABCD");
  EXPECT_EQ(fund.Country.str(), "AB");
  EXPECT_EQ(fund.Valuta.str(), "ABC");

  IdentRec ident;
  ident.Name = longText + longText;
  ident.VersionI = longText + longText;
  ident.CopyrightI = longText + longText;
  ident.Author = longText + longText;
  EXPECT_EQ(ident.Name.str().size(), 8);
  EXPECT_EQ(ident.VersionI.str().size(), 14);
  EXPECT_EQ(ident.CopyrightI.str().size(), 22);
  EXPECT_EQ(ident.Author.str().size(), 38);

  RekeningRec account;
  account.RekNaam = longText;
  account.RekNummer = longText;
  EXPECT_EQ(account.RekNaam.str().size(), 10);
  EXPECT_EQ(account.RekNummer.str().size(), 10);
}

TEST(Records, KindLettersAndThePlaceholderRow) {
  EXPECT_EQ(recordId(IdentRec{}), 'i');
  EXPECT_EQ(recordId(AlgemeenRec{}), 'a');
  EXPECT_EQ(recordId(RekeningRec{}), 'r');
  EXPECT_EQ(recordId(KoersRec{}), 'k');

  KoersRec fund;
  for (const char* ticker : {"[Nieuw]", "[New]", "[New]   ", " [ New ]"}) {
    fund.Ticker = QString::fromLatin1(ticker);
    EXPECT_TRUE(fund.isPlaceholder()) << ticker;
  }
  for (const char* ticker : {"", "New", "[new]", "ASML"}) {
    fund.Ticker = QString::fromLatin1(ticker);
    EXPECT_FALSE(fund.isPlaceholder()) << ticker;
  }
}

TEST(Records, InitialRecordsFollowTheLanguage) {
  Session session(QStringLiteral("/data/"), QLocale(QLocale::English));
  session.setLanguage(Language::Code::Dutch);
  const InitialRecords& dutch = session.portfolio().initialRecords();
  EXPECT_EQ(dutch.DefaultRekeningRec.RekNaam.str(), "      Naam");
  EXPECT_EQ(dutch.DefaultRekeningRec.RekNummer.str(), "Nummer");
  EXPECT_EQ(dutch.DefaultKoersRec.Country.str(), "nl");
  EXPECT_EQ(dutch.placeholderTicker, "[Nieuw]");

  session.setLanguage(Language::Code::English);
  const InitialRecords& english = session.portfolio().initialRecords();
  EXPECT_EQ(english.DefaultRekeningRec.RekNaam.str(), "      Name");
  EXPECT_EQ(english.DefaultRekeningRec.RekNummer.str(), "Number");
  EXPECT_EQ(english.DefaultKoersRec.Country.str(), "us");
  EXPECT_EQ(english.placeholderTicker, "[New]");

  // The language-neutral values.
  EXPECT_EQ(english.DefaultAlgemeenRec.Dollar, 1.0);
  EXPECT_EQ(english.DefaultAlgemeenRec.NrOfSet, 0);
  EXPECT_EQ(english.DefaultRekeningRec.Valuta.str(), "   ");
  EXPECT_EQ(english.DefaultRekeningRec.CredRente, 3.0);
  EXPECT_EQ(english.DefaultRekeningRec.DebRente, 6.0);
  EXPECT_FALSE(english.DefaultRekeningRec.EndOfSetB);
  const KoersRec& fund = english.DefaultKoersRec;
  EXPECT_TRUE(fund.EndOfSetB);
  EXPECT_EQ(fund.Valuta.str(), "EUR");
  EXPECT_EQ(fund.RekNr, 1);
  EXPECT_EQ(fund.UpDr, 10.0);
  EXPECT_EQ(fund.DownDr, 10.0);
  EXPECT_EQ(fund.Flag1, 0);
  EXPECT_TRUE(fund.Ticker.isEmpty());
}

}  // namespace
}  // namespace pelmar
