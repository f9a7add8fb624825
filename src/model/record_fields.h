#pragma once

#include <QString>
#include <vector>

#include "lang/language.h"
#include "model/dates.h"
#include "model/records.h"

namespace pelmar {

// One line of the check listing: a field's label and its value as shown.
struct ListedField {
  QString label;
  QString value;
};

// The fields of the record as the check listing shows them, in its order,
// from the field table the portfolio file is read and written with: Booleans
// as "True" or "False", dates in the format, amounts with two decimals in
// the language's notation, integers in decimal, texts as stored.
std::vector<ListedField> ListedFields(const Record& record, const Language& language,
                                      DateFormat dates);

}  // namespace pelmar
