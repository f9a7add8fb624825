#include "model/portfolio_fields.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <utility>

namespace pelmar::portfolio_file::detail {

void appendEscaped(std::string& out, const QString& text) {
  // "&" and "<" are escaped so that the file stays XML and the value cannot
  // end early on reading; a control character would break the
  // one-line-per-field layout and becomes a space.
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u == '&') {
      out += "&amp;";
    } else if (u == '<') {
      out += "&lt;";
    } else if (u < 32) {
      out += ' ';
    } else {
      out += u < 256 ? static_cast<char>(u) : '?';
    }
  }
}

QString textValue(Bytes value, bool accountText) {
  static constexpr std::pair<Bytes, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};
  char buffer[kMaxTextValue];
  // Longer values are cut by the record's field anyway.
  const std::size_t size = std::min(value.size(), sizeof buffer);
  std::size_t out = 0;
  for (std::size_t i = 0; i < size;) {
    char c = value[i];
    if (c == '&') {
      const auto entity =
          std::find_if(std::begin(kEntities), std::end(kEntities),
                       [&](const auto& e) { return value.substr(i).starts_with(e.first); });
      if (entity != std::end(kEntities)) {
        buffer[out++] = entity->second;
        i += entity->first.size();
        continue;
      }
    }
    const auto byte = static_cast<unsigned char>(c);
    if (accountText && (byte < 32 || byte > 125)) c = ' ';
    buffer[out++] = c;
    ++i;
  }
  return QString::fromLatin1(buffer, static_cast<qsizetype>(out));
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
        .add("CopyrightI", &R::CopyrightI)
        .add("Author", &R::Author)
        .add("Flag1", &R::Flag1)
        .add("PortInDollarB", &R::PortInDollarB)
        .add("RapInDollarB", &R::RapInDollarB);
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
        .add("ROTAISomGewInleg", &R::ROTAISomGewInleg)
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
        .add("RividuDoriB", &R::RividuDoriB);
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
            })
        .custom("Ticker2", nullptr,
                [](R& r, Bytes value) {
                  r.Ticker = r.Ticker.str() + RemoveBlanks(textValue(value, false));
                  return FieldProblem::None;
                })
        .add("Koers", &R::Koers)
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
        });
    return t;
  }();
  return table;
}

}  // namespace pelmar::portfolio_file::detail
