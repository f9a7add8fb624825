#include "model/portfolio_fields.h"

#include <limits>
#include <utility>

namespace pelmar::portfolio_file::detail {

QString boolText(bool value) {
  return value ? QStringLiteral("1") : QStringLiteral("0");
}

// A string field as the file holds it. "&" and "<" are escaped so that the
// file stays XML and the value cannot end early on reading; a control
// character would break the one-line-per-field layout and becomes a space.
QString escaped(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    if (c == QLatin1Char('&')) {
      out += QLatin1String("&amp;");
    } else if (c == QLatin1Char('<')) {
      out += QLatin1String("&lt;");
    } else if (c.unicode() < 32) {
      out += QLatin1Char(' ');
    } else {
      out += c;
    }
  }
  return out;
}

// The reverse of escaped(), in one pass; an "&" that starts no known
// entity stays as it is.
QString unescaped(const QString& text) {
  if (!text.contains(QLatin1Char('&'))) return text;
  static const std::pair<QLatin1String, QChar> kEntities[] = {
      {QLatin1String("&amp;"), QLatin1Char('&')},
      {QLatin1String("&lt;"), QLatin1Char('<')},
      {QLatin1String("&gt;"), QLatin1Char('>')}};
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      if (QStringView(text).mid(i).startsWith(entity)) {
        out += c;
        i += entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text.at(i++);
  }
  return out;
}

// An Integer, Word, Byte or Boolean value: a decimal integer; spaces are
// ignored and an empty value is a missing one (0). Nothing for any other
// text ("1.0", "x") or a value beyond 32 bits.
std::optional<qint32> readInteger(const QString& value) {
  const QString text = RemoveBlanks(value);
  if (text.isEmpty()) return 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    const bool sign = i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+'));
    if (!sign && !(c >= QLatin1Char('0') && c <= QLatin1Char('9'))) return std::nullopt;
  }
  bool ok = false;
  const qlonglong number = text.toLongLong(&ok, 10);
  if (!ok || number < std::numeric_limits<qint32>::min() ||
      number > std::numeric_limits<qint32>::max())
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
        .add("Datum", &R::Datum)
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
    FieldTable<R> t;
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
            [](const R& r, const Language&) { return escaped(r.Ticker.str() + r.Ticker2.str()); },
            [](R& r, const QString& value) {
              r.Ticker = RemoveBlanks(unescaped(value));
              return true;
            })
        .custom("Ticker2", nullptr,
                [](R& r, const QString& value) {
                  r.Ticker = r.Ticker.str() + RemoveBlanks(unescaped(value));
                  return true;
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
        .add("AdviesR", &R::AdviesR);
    return t;
  }();
  return table;
}

}  // namespace pelmar::portfolio_file::detail
