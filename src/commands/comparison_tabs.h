#pragma once

#include <QStringList>

#include "lang/language.h"
#include "model/dates.h"
#include "model/portfolio.h"
#include "prices/settings.h"

namespace pelmar {

// The two comparison tabs set the current fund's computed figures beside
// those of the whole current dataset. Each tab is a list of lines of five
// ";"-separated fields: label; value A; suffix A; value B; suffix B.

// The five fields of one tab line; missing fields are empty.
struct TabLine {
  QString label;
  QString valueA;
  QString suffixA;
  QString valueB;
  QString suffixB;
};
TabLine SplitTabLine(const QString& line);

// The lines of tab ROTAC (the plain family, reserves counted) and tab
// ROTAI (the shares alone) for the current fund (pKoersRec) and dataset.
QStringList TabRotac(const Portfolio& portfolio, const Language& language);
QStringList TabRotai(const Portfolio& portfolio, const Language& language);
// The lines of the third tab: the time-weighted and money-weighted returns
// since the start, this year and over the last 12 months of the current fund
// and of the portfolio, and the day each holding's first period starts.
QStringList TabTrueReturns(const Portfolio& portfolio, const Language& language, DateFormat dates);

// The tabs in their order on the panel: the two return families, then the
// true returns.
enum class ReturnTab { Rotac = 1, Rotai = 2, TrueReturns = 3 };
// The tab of the return family the settings hold, selected at start-up.
ReturnTab StoredReturnTab(const Settings& settings);
// Clicking a family's tab makes it the settings' choice; the true returns
// belong to neither family and leave it.
void ChooseReturnTab(Settings& settings, ReturnTab tab);

}  // namespace pelmar
