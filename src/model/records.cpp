#include "model/records.h"

#include "model/conversions.h"

namespace pelmar {

bool KoersRec::isPlaceholder() const {
  // The stored tickers of the placeholder row in Dutch and in English
  // files, with every blank removed.
  const QString ticker = RemoveBlanks(Ticker.str());
  return ticker == QLatin1String("[Nieuw]") || ticker == QLatin1String("[New]");
}

char recordId(const Record& record) {
  return std::visit([](const auto& r) { return r.Id; }, record);
}

bool recordEndOfSet(const Record& record) {
  return std::visit([](const auto& r) { return r.EndOfSetB; }, record);
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
