#pragma once

#include <QByteArray>
#include <QDate>
#include <QStringList>

#include "lang/outcome.h"

namespace pelmar {

// A table of historical prices as quote services export it, read whole.
struct ImportedPrices {
  QStringList downloadLines;  // "yymmdd,close", oldest first
  QDate newest;
  std::optional<Reason> refused;  // why the file cannot be read, with its line
};

// Reads a CSV export: a heading with a "Date" and a "Close" column (any
// order, any case), "," or ";" between fields, dates as 2009-03-05 or
// 05-03-2009 (also with "/" or "."), a point or a comma as decimal
// separator, quotes around fields allowed. Rows whose close is "null" or
// empty are days without a price and are passed over. Any other row that
// cannot be read refuses the whole file, naming the line: a row with more
// or fewer fields than the heading (a truncated row, an unquoted decimal
// comma), a quote left open, a date outside the hundred years ending
// tomorrow (`today` + 1), which the daily files' two-digit years cannot
// hold apart.
ImportedPrices ParsePriceCsv(const QByteArray& bytes, const QString& fileName, QDate today);

}  // namespace pelmar
