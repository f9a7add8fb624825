#pragma once

#include <QDate>
#include <QHash>
#include <QString>

#include "lang/language.h"
#include "model/dates.h"
#include "model/portfolio.h"
#include "reports/report_document.h"

namespace pelmar {

// What a report needs besides the portfolio: the language and date format,
// the title of the settings, the portfolio's name, today, the program's
// euro/dollar rate and today's price of the currency index.
struct ReportContext {
  Language language;
  DateFormat dates = DateFormat::YearMonthDay;
  QString title;
  QString portfolioName;
  QDate today;
  // The euro value of one dollar as the program keeps it (DollarKoers).
  double currentDollar = 0;
  // Today's price of the currency-index ticker, 0 when none was found.
  double currencyIndexPrice = 0;
  // The funds (by record index) whose price is of an earlier day, with
  // that day: the portfolio overview marks them.
  QHash<int, QDate> earlierPriceDays;
};

// Helpers both reports share.
namespace report_text {

// The value as w,d text: at least `width` characters, thousands grouped
// (47.520,12 in Dutch, 47,520.12 in English) so that an amount reads at a
// glance; a grouped amount of the columns' size still fits its width.
QString Fixed(double value, int width, int decimals, const Language& language);
// A return as 8,2 text, or "  ******" above 99999.
QString Return(double value, const Language& language);
QString ShortDate(DateTime serial, DateFormat dates);
// "\tPELMAR, version 1.32a - title", then " - date 2024-01-31" when asked;
// " - title" only when the title is not blank.
QString TitleLine(const ReportContext& context, bool withDate);
// The footer of a printed page: the day the report was made, then two
// placeholders for the page's number and the number of pages.
QString Footer(const ReportContext& context);
// The line naming the report currency.
QString CurrencyLine(const ReportContext& context, bool inDollar);
// Closes a report: the remarks heading kept with a line for the user's
// remarks, which are body text.
void WriteRemarks(ReportWriter& writer, const QString& heading);

}  // namespace report_text

}  // namespace pelmar
