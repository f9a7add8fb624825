#pragma once

#include <QString>

namespace pelmar {

// Identifies one text of the table in texts.def.
enum class TextId {
#define PELMAR_TEXT(id, dutch, english) id,
#include "lang/texts.def"
#undef PELMAR_TEXT
  Count
};

// The Dutch and the English text of one id, straight from the table.
QString dutchText(TextId id);
QString englishText(TextId id);

}  // namespace pelmar
