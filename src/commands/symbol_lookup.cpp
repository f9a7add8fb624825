#include "commands/symbol_lookup.h"

#include "model/conversions.h"
#include "prices/price_replies.h"

namespace pelmar {

namespace {

// A name or ticker longer than this is no stock list entry but a page gone
// wrong.
constexpr qsizetype kLongestField = 100;

bool fitsTheList(const QString& text) {
  return !text.isEmpty() && text.size() <= kLongestField && !text.contains(u',') &&
         !text.contains(u'\n') && !text.contains(u'\r');
}

}  // namespace

SymbolLookup LookUpSymbol(const Session& session, HttpGet& http, const QString& company,
                          const QString& ticker) {
  return SymbolLookupFetch(session, company, ticker)(http);
}

std::function<SymbolLookup(HttpGet&)> SymbolLookupFetch(const Session& session,
                                                        const QString& company,
                                                        const QString& ticker) {
  const QString query = company.trimmed().isEmpty() ? ticker.trimmed() : company.trimmed();
  return [query, url = LookupUrl(session.settings().symbolLookupService, query),
          language = session.language()](HttpGet& http) {
    SymbolLookup result;
    result.url = url;
    if (query.isEmpty()) return result;
    const HttpReply reply = http.get(result.url);
    if (!reply.ok()) result.unreachable = reply.failure(language);
    if (!reply.page()) return result;
    // The page as the parsers read it: Latin-1, up to the first NUL.
    const qsizetype nul = reply.body.indexOf('\0');
    const LookupResult page =
        ParseLookupPage(QString::fromLatin1(nul < 0 ? reply.body : reply.body.left(nul)));
    const QString foundCompany = page.company.trimmed();
    const QString foundTicker = RemoveBlanks(page.ticker);
    if (page.count != 1 || !fitsTheList(foundCompany) || !fitsTheList(foundTicker)) return result;
    result.found = true;
    result.company = foundCompany;
    result.ticker = foundTicker;
    return result;
  };
}

}  // namespace pelmar
