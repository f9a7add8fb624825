#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QStringList>
#include <optional>

#include "lang/outcome.h"

namespace pelmar {

// The order of the fields of a numeric date.
enum class DateOrder { YearMonthDay, DayMonthYear, MonthDayYear };
// "ymd", "dmy", "mdy" (any case); nothing for another text.
std::optional<DateOrder> dateOrderFromText(const QString& text);

// What the user gives where the file does not tell: the order of day and
// month, and the columns of the date and the close (from 0).
struct TableChoices {
  std::optional<DateOrder> dateOrder;
  int dateColumn = -1;
  int closeColumn = -1;
};

// A table of daily prices as quote sites, banks and spreadsheets export it,
// read whole.
struct PriceTable {
  QChar separator = u',';
  int headingLine = -1;  // from 0; -1 when no heading was found
  QStringList columns;
  int dateColumn = -1;
  int closeColumn = -1;
  std::optional<DateOrder> dateOrder;  // the one the dates were read in
  bool dateOrderFromFile = false;      // a date of the file settled it
  QList<QStringList> preview;          // the first lines as fields, from the heading on

  QStringList downloadLines;  // "yymmdd,close", oldest first
  QDate oldest;
  QDate newest;
  // Why the table cannot be read, with its line; `ask` says when the user can
  // mend it by choosing the columns or the date order.
  std::optional<Reason> refused;
  enum class Ask { Nothing, Columns, DateOrder };
  Ask ask = Ask::Nothing;
};

// Reads a CSV export. The heading is the first line (after any lines of
// metadata) with a date and a close column by their English or Dutch names
// ("Date"/"Datum", "Close"/"Close/Last"/"Price"/"Slot"/"Koers"/"Last"…, a
// close before an adjusted close), with ",", ";" or a tab between quoted or
// bare fields; the choices name the columns where no heading does. Dates
// are year-month-day, day-month-year or month-day-year (with "-", "/" or
// "."; month names in English or Dutch; a time of day after them is
// ignored), the order of day and month settled by any date of the file
// with a day above 12, else by the choices. Closes may carry currency signs
// and thousands separators; the decimal separator is the one the file's
// closes show (a comma in a ";" file when none shows). The rows may run
// newest or oldest first. Rows whose close is empty, "null", "-" or "N/A"
// are days without a price; any other row that cannot be read refuses the
// whole table with its line: a quote left open, other than the heading's
// number of fields (empty ones at the end aside: an unquoted decimal comma
// would shift the close), a day outside the hundred years ending tomorrow
// (`today` + 1), which the daily files' two-digit years cannot hold apart.
PriceTable ReadPriceTable(const QByteArray& bytes, const QString& fileName, QDate today,
                          const TableChoices& choices = {});

}  // namespace pelmar
