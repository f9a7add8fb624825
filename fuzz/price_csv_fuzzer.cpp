// The CSV import: a file is read whole or refused with its line; what it
// gives are download lines of six digits and a plain price, days within
// the files' window, each day once.
#include <QSet>

#include "input_readers_fuzzer.h"
#include "prices/price_import.h"
#include "prices/price_replies.h"

using namespace pelmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QDate today(2026, 1, 5);
  const ImportedPrices read = ParsePriceCsv(fuzz::bytesOf(data, size), "f.csv", today);
  if (read.refused) {
    fuzz::require(read.downloadLines.isEmpty());
    fuzz::require(read.refused->line >= 1);
    return 0;
  }
  fuzz::require(!read.downloadLines.isEmpty());
  fuzz::require(DayFitsFiles(read.newest, today));
  QSet<QString> days;
  for (const QString& line : read.downloadLines) {
    fuzz::require(line.size() > 7 && line.at(6) == u',');
    fuzz::require(IsPlainDecimal(line.mid(7)));
    fuzz::require(!days.contains(line.left(6)));
    days.insert(line.left(6));
  }
  return 0;
}
