// A download stock list: refused whole with its line, or lines of at most
// three fields whose tickers fit the daily files, which save and read back
// the same.
#include "input_readers_fuzzer.h"
#include "model/dates.h"
#include "prices/stock_list.h"

using namespace pelmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::optional<Reason> refused;
  const QStringList lines = ParseStockList(fuzz::bytesOf(data, size), "Stocks_nl.txt", refused);
  if (refused) {
    fuzz::require(lines.isEmpty() && refused->line >= 1);
    return 0;
  }
  QByteArray saved;
  for (const QString& line : lines) {
    fuzz::require(IsStockLine(line));
    const StockLine stock = StockLine::split(line);
    fuzz::require(stock.ticker.trimmed().isEmpty() || TickerFitsFiles(stock.ticker));
    saved += line.toLatin1() + "\r\n";
  }
  std::optional<Reason> again;
  fuzz::require(ParseStockList(saved, "Stocks_nl.txt", again) == lines && !again);
  (void)ConvertLastDates(lines, DateFormat::YearMonthDay, DateFormat::DayMonthYear);
  return 0;
}
