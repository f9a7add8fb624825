#pragma once

#include <QStringList>

#include "lang/language.h"
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

// The tabs in their order on the panel; each stands for one return family.
enum class ReturnTab { Rotac = 1, Rotai = 2 };
// The tab of the return family the settings hold, selected at start-up.
ReturnTab StoredReturnTab(const Settings& settings);
// Clicking a tab makes its family the settings' choice.
void ChooseReturnTab(Settings& settings, ReturnTab tab);

}  // namespace pelmar
