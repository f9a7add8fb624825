#include "reports/check_listing.h"

#include <type_traits>

#include "model/conversions.h"

namespace pelmar {
namespace {

constexpr int kListedRecords = 10;

// Writes "\t<label>:" and one or two tabs, so that every value starts at
// the same tab stop: labels of fewer than seven characters get two tabs.
class Block {
 public:
  Block(QString& out, const Language& language, DateFormat dates)
      : out_(out), language_(language), dates_(dates) {}

  void heading(const QString& text) { out_ += text + QChar('\n'); }

  void field(const char* label, const QString& value) { line(label, value); }
  void field(const char* label, bool value) {
    line(label, value ? QStringLiteral("True") : QStringLiteral("False"));
  }
  void field(const char* label, const Real48& value) {
    line(label, RealToStr(value, 2, 2, language_));
  }
  template <int N>
  void field(const char* label, const FixedText<N>& value) {
    line(label, value.str());
  }
  template <typename T>
  requires std::is_integral_v<T>
  void field(const char* label, T value) { line(label, QString::number(value)); }
  void date(const char* label, DateTime value) {
    line(label, formatDate(serialToDate(value), dates_));
  }

 private:
  void line(const char* label, const QString& value) {
    const QString head = QChar('\t') + QLatin1String(label) + QChar(':');
    out_ += head + (qstrlen(label) + 1 < 8 ? QStringLiteral("\t\t") : QStringLiteral("\t")) +
            value + QChar('\n');
  }

  QString& out_;
  const Language& language_;
  DateFormat dates_;
};

void list(Block& b, const IdentRec& r) {
  b.heading(QStringLiteral("IdentRec:"));
  b.field("ID", QString(QChar(IdentRec::Id)));
  b.field("EndOfSetB", r.EndOfSetB);
  b.field("Name", r.Name);
  b.field("Version", r.VersionI);
  b.field("Copyright", r.CopyrightI);
  b.field("Author", r.Author);
  b.field("Flag1", r.Flag1);
  b.field("bPortInDollar", r.PortInDollarB);
  b.field("bRapInDollar", r.RapInDollarB);
}

void list(Block& b, const AlgemeenRec& r) {
  b.heading(QStringLiteral("AlgemeenRec, DataSet ") + QString::number(r.NrOfSet) + QChar(':'));
  b.field("ID", QString(QChar(AlgemeenRec::Id)));
  b.field("EndOfSetB", r.EndOfSetB);
  b.date("CumDatum", r.CumDatum);
  b.date("Datum", r.Datum);
  b.field("NrOfSet", r.NrOfSet);
  b.field("SetDuur", r.SetDuur);
  b.field("PDuur", r.PDuur);
  b.field("Totaal", r.Totaal);
  b.field("Winst", r.Winst);
  b.field("Rendement", r.Rendement);
  b.field("ROTAIWinst", r.ROTAIWinst);
  b.field("ROTAISomCumInlg", r.ROTAISomCumInleg);
  b.field("ROTAISomGewInlg", r.ROTAISomGewInleg);
  b.field("ROTAIRendement", r.ROTAIRendement);
  b.field("Dollar", r.Dollar);
}

void list(Block& b, const RekeningRec& r) {
  b.heading(QStringLiteral("pRekRec:"));
  b.field("ID", QString(QChar(RekeningRec::Id)));
  b.field("EndOfSetB", r.EndOfSetB);
  b.field("RekNaam", r.RekNaam);
  b.field("RekNummer", r.RekNummer);
  b.field("Valuta", r.Valuta);
  b.field("CredRente", r.CredRente);
  b.field("DebRente", r.DebRente);
  b.field("Saldo", r.Saldo);
  b.field("Waarde", r.Waarde);
  b.field("Rente", r.Rente);
  b.field("RenteCorrectie", r.RenteCorrectie);
  b.field("Kosten", r.Kosten);
  b.field("BTW", r.BTW);
  b.field("CumCRente", r.CumCRente);
  b.field("CumDRente", r.CumDRente);
  b.field("CumKosten", r.CumKosten);
  b.field("CumBTW", r.CumBTW);
  b.field("CredPerc", r.CredPerc);
  b.field("bDivirOzev", r.DivirOzevB);
  b.field("bRividuDori", r.RividuDoriB);
}

void list(Block& b, const KoersRec& r) {
  b.heading(QStringLiteral("pKoersRec:"));
  b.field("ID", QString(QChar(KoersRec::Id)));
  b.field("EndOfSetB", r.EndOfSetB);
  b.date("CumDatum", r.CumDatum);
  b.field("FDuur", r.FDuur);
  b.field("Ticker", r.Ticker);
  b.field("Ticker2", r.Ticker2);
  b.field("Country", r.Country);
  b.field("Valuta", r.Valuta);
  b.field("Koers", r.Koers);
  b.field("Aantal", r.Aantal);
  b.field("Delta", r.Delta);
  b.field("Flag1", r.Flag1);
  b.field("RatRente", r.RatRente);
  b.field("RatCumRente", r.RatCumRente);
  b.field("RatKosten", r.RatKosten);
  b.field("RatBTW", r.RatBTW);
  b.field("FRend", r.FRend);
  b.field("ROTAIFRend", r.ROTAIFRend);
  b.field("RekNr", r.RekNr);
  b.field("RefWrde", r.RefWrde);
  b.field("Reserve", r.Reserve);
  b.field("Inleg", r.Inleg);
  b.field("GewInleg", r.GewInleg);
  b.field("ROTAIGewInleg", r.ROTAIGewInleg);
  b.field("Kosten", r.Kosten);
  b.field("KostenProc", r.KostenProc);
  b.field("Dividend", r.Dividend);
  b.field("DivBel", r.DivBel);
  b.field("BTW", r.BTW);
  b.field("UpDr", r.UpDr);
  b.field("v", r.v);
  b.field("DownDr", r.DownDr);
  b.field("f", r.f);
  b.field("CumInleg", r.CumInleg);
  b.field("ROTAICumInleg", r.ROTAICumInleg);
  b.field("CumKosten", r.CumKosten);
  b.field("CumDividend", r.CumDividend);
  b.field("CumDivBel", r.CumDivBel);
  b.field("CumBTW", r.CumBTW);
  b.field("AdviesR", r.AdviesR);
}

}  // namespace

QString CheckListing(const Portfolio& portfolio, const Language& language, DateFormat dates) {
  QString out;
  Block block(out, language, dates);
  const int count = std::min(portfolio.size(), kListedRecords);
  for (int i = 0; i < count; ++i)
    std::visit([&](const auto& record) { list(block, record); }, portfolio.records()[i]);
  return out;
}

}  // namespace pelmar
