#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

#include "lang/outcome.h"
#include "prices/price_source.h"

namespace pelmar {

// What reading a service reply gave: its kind (a reply read and refused
// is Failed, with the reason beside it) and, when Ok, the newest day.
struct ReplyResult {
  FetchStatus status = FetchStatus::NotFound;
  QDate newest;
  bool operator==(const ReplyResult&) const = default;
};

// Whether a day fits the daily files, whose names hold a two-digit year:
// the hundred years ending tomorrow (each name then stands for one day
// only), and nothing after tomorrow.
bool DayFitsFiles(QDate day, QDate today);
// Whether a price text is a plain decimal number: digits, at most one
// point and digits after it ("12", "12.34"; not "1e308", "0x1F", "12.").
bool IsPlainDecimal(const QString& price);

// The address of a stock's history at the Dutch closing-price service:
// base + "Beurs/Slotkoersen/." + first letter + "/" + ticker, in lower case.
QString DutchPriceUrl(const QString& base, const QString& ticker);
// The address of a US stock's daily table from `start` to `end`.
QString UsPriceUrl(const QString& base, const QString& ticker, QDate start, QDate end);
// The symbol-lookup page for a company name or a ticker.
QString LookupUrl(const QString& base, const QString& query);

// Reads a Dutch service reply ("yymmdd: price" lines, the newest last) into
// download lines "yymmdd,price"; returns the fetch result. A line whose
// price is taken but whose date does not fit the files (DayFitsFiles for
// `today`) or whose price is no plain decimal number refuses the reply:
// Failed, no lines, and `refused` names the line. A newest day that cannot
// be read counts as not found.
ReplyResult ParseDutchReply(const QString& reply, QStringList& downloadLines, QDate today,
                            std::optional<Reason>& refused);
// Reads a US service table (a heading, then "date,…,price" rows, the newest
// first) into download lines; not found when no row had a readable date.
// Refused as the Dutch reply.
ReplyResult ParseUsReply(QString reply, QStringList& downloadLines, QDate today,
                         std::optional<Reason>& refused);

// The stock found on a symbol-lookup page: its count, and the ticker and
// company name when there is exactly one.
struct LookupResult {
  int count = 0;
  QString ticker;
  QString company;
};
LookupResult ParseLookupPage(const QString& page);

// The name padded with a blank and then dots and blanks to 23 characters
// (a longer name is not cut), so that log lines line up.
QString PadName(const QString& name);

// Whether a Dutch stock last downloaded on `last` has no new prices yet at
// the moment `now`: the same day, or before 20:00 the day after the last
// trading day (Friday's prices on a Monday).
bool NoNewDutchPrices(const QDateTime& now, QDate last);
// The same for a US stock whose table would start at `start`: `now`'s day
// moved back to a working day counts as today.
bool NoNewUsPrices(const QDateTime& now, QDate start);
// The last working day on or before the day.
QDate LastWorkingDay(QDate day);

}  // namespace pelmar
