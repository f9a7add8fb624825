// Both price services' replies, as the download reads them: the first byte
// chooses the service. A refused reply gives no lines; an accepted one
// gives only days of the files' window and plain prices.
#include "input_readers_fuzzer.h"
#include "model/dates.h"
#include "prices/price_replies.h"

using namespace pelmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QDate today(2026, 1, 5);
  const bool us = size > 0 && (data[0] & 1) != 0;
  const QString text =
      fuzz::pageText(fuzz::bytesOf(size > 0 ? data + 1 : data, size > 0 ? size - 1 : 0));
  QStringList lines;
  std::optional<Reason> refused;
  const double result =
      us ? ParseUsReply(text, lines, today, refused) : ParseDutchReply(text, lines, today, refused);
  if (result == Fetch::Refused) {
    fuzz::require(refused.has_value() && lines.isEmpty());
    return 0;
  }
  fuzz::require(!refused);
  for (const QString& line : lines) {
    // The price follows the last comma (a date field that is no date may
    // hold one; such a line names no file and is never stored).
    const qsizetype comma = line.lastIndexOf(u',');
    fuzz::require(comma >= 0);
    fuzz::require(IsPlainDecimal(line.mid(comma + 1)));
  }
  // The newest day, when it came from a line of six digits, fits the files.
  const bool sixDigits = !lines.isEmpty() && lines.last().indexOf(u',') == 6;
  if (result > Fetch::Refused && (us || sixDigits))
    fuzz::require(DayFitsFiles(serialToDate(result), today));
  return 0;
}
