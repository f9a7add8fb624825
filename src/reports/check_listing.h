#pragma once

#include <QString>

#include "lang/language.h"
#include "model/dates.h"
#include "model/portfolio.h"

namespace pelmar {

// The check listing: the raw fields of the first ten records of the
// portfolio (the identification record, the first general record, its
// accounts and first funds, or whatever stands there), one block per record,
// so that support can see what the file held. Lines end in "\n".
QString CheckListing(const Portfolio& portfolio, const Language& language, DateFormat dates);

}  // namespace pelmar
