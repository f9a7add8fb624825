#include "model/records.h"

#include "model/conversions.h"

namespace pelmar {

bool KoersRec::isPlaceholder() const {
  // The stored tickers of the placeholder row in Dutch and in English
  // files, with every blank removed; compared in place, since every pass
  // over the funds asks this.
  const auto equalsWithoutBlanks = [this](QLatin1String wanted) {
    qsizetype at = 0;
    for (const QChar c : Ticker.str()) {
      if (c == QLatin1Char(' ')) continue;
      if (at == wanted.size() || c != wanted.at(at)) return false;
      ++at;
    }
    return at == wanted.size();
  };
  return equalsWithoutBlanks(QLatin1String("[Nieuw]")) ||
         equalsWithoutBlanks(QLatin1String("[New]"));
}

InitialRecords InitialRecords::forTexts(const RecordTexts& texts) {
  InitialRecords initial;

  initial.DefaultAlgemeenRec.Dollar = 1.0;

  RekeningRec& rekening = initial.DefaultRekeningRec;
  rekening.RekNaam = texts.accountName;
  rekening.RekNummer = texts.accountNumber;
  rekening.Valuta = QStringLiteral("   ");
  rekening.CredRente = 3.0;
  rekening.DebRente = 6.0;

  KoersRec& koers = initial.DefaultKoersRec;
  koers.EndOfSetB = true;
  koers.Valuta = QStringLiteral("EUR");
  koers.RekNr = 1;
  koers.UpDr = 10.0;
  koers.DownDr = 10.0;
  koers.Country = texts.country;

  initial.placeholderTicker = texts.placeholderTicker;
  return initial;
}

}  // namespace pelmar
