#include "commands/properties.h"

#include <gtest/gtest.h>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

TEST(Properties, ShortByteCounts) {
  const std::pair<qint64, const char*> cases[] = {
      {0, "0 "},         {999, "999 "},
      {1000, "1,000 k"}, {123456789012LL, "123,456 G"},
      {-5, "0 "},        {1234567890123456LL, "1234,567 T"}};
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(ShortByteCount(bytes, ','), expected);
  EXPECT_EQ(ShortByteCount(12345, '.'), "12.345 k");
}

class PropertiesTest : public test::PortfolioFixture {
 protected:
  PropertiesTest() : PortfolioFixture(Language::Code::Dutch) {}
};

TEST_F(PropertiesTest, ListTheFileAndThePortfolio) {
  start(QDate(2023, 1, 2));
  next(QDate(2023, 2, 2));
  IdentRec& ident = portfolio().identAt(0);
  ident.Name = QStringLiteral("Pelmar");
  ident.VersionI = QStringLiteral("1.32a");
  ident.CopyrightI = QStringLiteral("(c) Pelmar");
  ident.Author = QStringLiteral("Piet");
  ident.Flag1 = IdentFlag::JaarAfsl;
  portfolio().setCurrencies(false, true);
  EXPECT_EQ(PropertiesText(session, "/data/Port/Test-1.xml", 999),
            "   Bestandsnaam: Test-1.xml.\r\n"
            "   Bestandsgrootte: 999 bytes.\r\n"
            "   Aantal DataSets: 2.\r\n"
            "   Gewijzigd met: Pelmar 1.32a.\r\n"
            "   Het jaar is afgesloten.\r\n\r\n"
            "   Pelmar (c) Pelmar.\r\n"
            "   Auteurs: Piet.\r\n\r\n"
            "   Valuta van Portefeuille: Euro.\r\n"
            "   Valuta van Rapporten: Dollar.");
  session.setLanguage(Language::Code::English);
  ident.Flag1 = 0;
  const QString english = PropertiesText(session, "a.xml", 12345);
  EXPECT_TRUE(english.contains("   File size: 12.345 kbytes.\r\n"));

  Session empty(QStringLiteral("/nowhere/"));
  EXPECT_TRUE(PropertiesText(empty, "a.xml", 1).isEmpty());
}

}  // namespace
}  // namespace pelmar
