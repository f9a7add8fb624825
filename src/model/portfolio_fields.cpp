#include "model/portfolio_fields.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <utility>

#include "model/record_fields.h"

namespace pelmar::portfolio_file::detail {

void appendEscaped(std::string& out, const QString& text) {
  // "&" and "<" are escaped so that the file stays XML and the value cannot
  // end early on reading. Characters of the file's encoding (ISO-8859-1)
  // are written as they are; every other character, and a control
  // character (which would break the one-line-per-field layout), is written
  // as an XML character reference, which the reader turns back into it.
  // Nothing is replaced.
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t u = text.at(i).unicode();
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      u = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
      ++i;
    }
    if (u == '&') {
      out += "&amp;";
    } else if (u == '<') {
      out += "&lt;";
    } else if (u < 32 || u == 127 || u > 255) {
      out += "&#";
      out += std::to_string(static_cast<unsigned long>(u));
      out += ';';
    } else {
      out += static_cast<char>(u);
    }
  }
}

namespace {

// The character of a reference "&#233;", "&#xE9;" or a named entity at the
// start of `text`, with the reference's length; nothing when there is none.
std::optional<std::pair<char32_t, std::size_t>> reference(Bytes text) {
  static constexpr std::pair<Bytes, char32_t> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  for (const auto& [name, c] : kEntities)
    if (text.starts_with(name)) return std::pair{c, name.size()};
  if (!text.starts_with("&#")) return std::nullopt;
  std::size_t i = 2;
  const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
  if (hex) ++i;
  char32_t code = 0;
  const std::size_t first = i;
  for (; i < text.size() && i - first < 8; ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    if (digit < 0) break;
    code = code * (hex ? 16 : 10) + static_cast<char32_t>(digit);
  }
  if (i == first || i >= text.size() || text[i] != ';') return std::nullopt;
  // Only characters: no NUL, no lone surrogate, nothing past U+10FFFF.
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  return std::pair{code, i + 1};
}

}  // namespace

QString textValue(Bytes value, bool accountText) {
  // Longer values are cut by the record's field anyway.
  const std::size_t size = std::min(value.size(), kMaxTextValue);
  QString out;
  out.reserve(static_cast<qsizetype>(size));
  for (std::size_t i = 0; i < size;) {
    if (value[i] == '&') {
      if (const auto ref = reference(value.substr(i, size - i))) {
        const char32_t c = ref->first;
        if (QChar::requiresSurrogates(c)) {
          out += QChar(QChar::highSurrogate(c));
          out += QChar(QChar::lowSurrogate(c));
        } else {
          out += QChar(static_cast<char16_t>(c));
        }
        i += ref->second;
        continue;
      }
    }
    const auto byte = static_cast<unsigned char>(value[i]);
    // A raw control byte in an account's text is a blank, as it always was;
    // every character of the encoding is kept.
    out += QChar(accountText && byte < 32 ? u' ' : static_cast<char16_t>(byte));
    ++i;
  }
  return out;
}

std::optional<qint32> readInteger(Bytes value) {
  qint64 number = 0;
  bool negative = false;
  bool sign = false;
  int digits = 0;
  for (const char c : value) {
    if (c == ' ') continue;
    if ((c == '-' || c == '+') && !sign && digits == 0) {
      negative = c == '-';
      sign = true;
    } else if (c >= '0' && c <= '9') {
      number = number * 10 + (c - '0');
      if (++digits > 10) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (sign && digits == 0) return std::nullopt;
  if (negative) number = -number;
  if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
    return std::nullopt;
  return static_cast<qint32>(number);
}

template <>
const FieldTable<IdentRec>& fieldsOf() {
  using R = IdentRec;
  static const FieldTable<R> table = [] {
    FieldTable<R> t;
    t.id()
        .add("EndOfSetB", &R::EndOfSetB)
        .add("Name", &R::Name)
        .add("VersionI", &R::VersionI)
        .listedAs("Version")
        .add("CopyrightI", &R::CopyrightI)
        .listedAs("Copyright")
        .add("Author", &R::Author)
        .add("Flag1", &R::Flag1)
        .add("PortInDollarB", &R::PortInDollarB)
        .listedAs("bPortInDollar")
        .add("RapInDollarB", &R::RapInDollarB)
        .listedAs("bRapInDollar");
    return t;
  }();
  return table;
}

template <>
const FieldTable<AlgemeenRec>& fieldsOf() {
  using R = AlgemeenRec;
  static const FieldTable<R> table = [] {
    FieldTable<R> t;
    t.id()
        .add("EndOfSetB", &R::EndOfSetB)
        .add("CumDatum", &R::CumDatum)
        .add("Datum", &R::Datum, kFirstDatum, kLastDatum + 1)
        .add("NrOfSet", &R::NrOfSet)
        .add("SetDuur", &R::SetDuur)
        .add("PDuur", &R::PDuur)
        .add("Totaal", &R::Totaal)
        .add("Winst", &R::Winst)
        .add("Rendement", &R::Rendement)
        .add("ROTAIWinst", &R::ROTAIWinst)
        .add("ROTAISomCumInleg", &R::ROTAISomCumInleg)
        .listedAs("ROTAISomCumInlg")
        .add("ROTAISomGewInleg", &R::ROTAISomGewInleg)
        .listedAs("ROTAISomGewInlg")
        .add("ROTAIRendement", &R::ROTAIRendement)
        .add("Dollar", &R::Dollar);
    return t;
  }();
  return table;
}

template <>
const FieldTable<RekeningRec>& fieldsOf() {
  using R = RekeningRec;
  static const FieldTable<R> table = [] {
    FieldTable<R> t(true);
    t.id()
        .add("EndOfSetB", &R::EndOfSetB)
        .add("RekNaam", &R::RekNaam)
        .add("RekNummer", &R::RekNummer)
        .add("Valuta", &R::Valuta)
        .add("CredRente", &R::CredRente)
        .add("DebRente", &R::DebRente)
        .add("Saldo", &R::Saldo)
        .add("Waarde", &R::Waarde)
        .add("Rente", &R::Rente)
        .add("RenteCorrectie", &R::RenteCorrectie)
        .add("Kosten", &R::Kosten)
        .add("BTW", &R::BTW)
        .add("CumCRente", &R::CumCRente)
        .add("CumDRente", &R::CumDRente)
        .add("CumKosten", &R::CumKosten)
        .add("CumBTW", &R::CumBTW)
        .add("CredPerc", &R::CredPerc)
        .add("DivirOzevB", &R::DivirOzevB)
        .listedAs("bDivirOzev")
        .add("RividuDoriB", &R::RividuDoriB)
        .listedAs("bRividuDori");
    return t;
  }();
  return table;
}

template <>
const FieldTable<KoersRec>& fieldsOf() {
  using R = KoersRec;
  static const FieldTable<R> table = [] {
    FieldTable<R> t;
    t.id()
        .add("EndOfSetB", &R::EndOfSetB)
        .add("CumDatum", &R::CumDatum)
        .add("FDuur", &R::FDuur)
        // Ticker2 travels as the tail of Ticker; tickers hold no blanks.
        .custom(
            "Ticker",
            [](const R& r, char, std::string& out) {
              appendEscaped(out, r.Ticker.str());
              appendEscaped(out, r.Ticker2.str());
            },
            [](R& r, Bytes value) {
              r.Ticker = RemoveBlanks(textValue(value, false));
              return FieldProblem::None;
            },
            [](const R& r, const ListingStyle&) { return r.Ticker.str(); })
        .custom(
            "Ticker2", nullptr,
            [](R& r, Bytes value) {
              r.Ticker = r.Ticker.str() + RemoveBlanks(textValue(value, false));
              return FieldProblem::None;
            },
            [](const R& r, const ListingStyle&) { return r.Ticker2.str(); })
        .add("Koers", &R::Koers)
        .listedAfter("Valuta")
        .add("Country", &R::Country)
        .add("Valuta", &R::Valuta)
        .add("Aantal", &R::Aantal)
        .add("Delta", &R::Delta)
        .add("Flag1", &R::Flag1)
        .add("RatRente", &R::RatRente)
        .add("RatCumRente", &R::RatCumRente)
        .add("RatKosten", &R::RatKosten)
        .add("RatBTW", &R::RatBTW)
        .add("FRend", &R::FRend)
        .add("ROTAIFRend", &R::ROTAIFRend)
        .add("RekNr", &R::RekNr)
        // The file has Inleg before RefWrde and Reserve.
        .add("Inleg", &R::Inleg)
        .listedAfter("Reserve")
        .add("RefWrde", &R::RefWrde)
        .add("Reserve", &R::Reserve)
        .add("GewInleg", &R::GewInleg)
        .add("ROTAIGewInleg", &R::ROTAIGewInleg)
        .add("Kosten", &R::Kosten)
        .add("KostenProc", &R::KostenProc)
        .add("Dividend", &R::Dividend)
        .add("DivBel", &R::DivBel)
        .add("BTW", &R::BTW)
        .add("UpDr", &R::UpDr)
        .add("v", &R::v)
        .add("DownDr", &R::DownDr)
        .add("f", &R::f)
        .add("CumInleg", &R::CumInleg)
        .add("ROTAICumInleg", &R::ROTAICumInleg)
        .add("CumKosten", &R::CumKosten)
        .add("CumDividend", &R::CumDividend)
        .add("CumDivBel", &R::CumDivBel)
        .add("CumBTW", &R::CumBTW)
        .add("AdviesR", &R::AdviesR)
        .add("SplitRatio", &R::SplitRatio)
        .writtenWhen([](const R& r) {
          return (r.Flag1 & KoersFlag::Splits) != 0 && r.SplitRatio.value() != 0;
        })
        .unlisted();
    return t;
  }();
  return table;
}

}  // namespace pelmar::portfolio_file::detail

namespace pelmar {

std::vector<ListedField> ListedFields(const Record& record, const Language& language,
                                      DateFormat dates) {
  using namespace portfolio_file::detail;
  const ListingStyle style{language, dates};
  std::vector<ListedField> listed;
  std::visit(
      [&](const auto& r) {
        for (const auto* field : fieldsOf<std::decay_t<decltype(r)>>().listing())
          listed.push_back({field->label, field->show(r, style)});
      },
      record);
  return listed;
}

}  // namespace pelmar
