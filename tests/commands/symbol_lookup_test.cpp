#include "commands/symbol_lookup.h"

#include <gtest/gtest.h>

#include "support/one_reply.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

using test::OneReply;
using test::page;

const QByteArray kOne = "<html>" + QByteArray(60, ' ') +
                        "Stocks<br>(1)<table><tr><td><a href=\"/q?s=IBM\">I BM</a></td>"
                        "<td> International Business Machines </td></tr>";

class SymbolLookupTest : public test::PortfolioFixture {};

TEST_F(SymbolLookupTest, OneStockFillsBothFieldsAndAnythingElseFallsBackToTheBrowser) {
  session.settings().symbolLookupService = "https://look.example/";
  OneReply one(page(kOne));
  const SymbolLookup found = LookUpSymbol(session, one, "", "ibm");
  EXPECT_TRUE(found.found);
  EXPECT_EQ(found.ticker, "IBM");
  EXPECT_EQ(found.company, "International Business Machines");
  EXPECT_EQ(one.urls, QStringList{"https://look.example/l?s=ibm&t=S&m=US"});
  // The company name is the query when given.
  EXPECT_EQ(LookUpSymbol(session, one, "Big Blue", "IBM").url,
            "https://look.example/l?s=Big%20Blue&t=S&m=US");

  const struct {
    const char* name;
    HttpReply reply;
  } misses[] = {
      {"two stocks", page(QByteArray(kOne).replace("(1)", "(2)"))},
      {"truncated page", page(kOne.left(kOne.indexOf("<td> Intern")))},
      {"no marks", page(QByteArray(200, 'x'))},
      {"10 MB of noise", page(QByteArray(10 << 20, '('))},
      {"a comma in the name", page(QByteArray(kOne).replace("International", "Int,"))},
      {"a name past 100 characters",
       page(QByteArray(kOne).replace("International", QByteArray(120, 'n')))},
      {"NUL before the marks", page(QByteArray(1, '\0') + kOne)},
      {"no connection", {HttpReply::Status::Failed, 0, {}, "refused"}},
      {"too large", {HttpReply::Status::TooLarge, 0, {}, {}}},
  };
  for (const auto& miss : misses) {
    OneReply http(miss.reply);
    const SymbolLookup result = LookUpSymbol(session, http, "", "IBM");
    EXPECT_FALSE(result.found) << miss.name;
    EXPECT_FALSE(result.url.isEmpty()) << miss.name << ": the browser still gets the page";
  }
  OneReply none(page(kOne));
  EXPECT_FALSE(LookUpSymbol(session, none, " ", " ").found);
  EXPECT_TRUE(none.urls.isEmpty()) << "nothing to look up, nothing fetched";
}

}  // namespace
}  // namespace pelmar
