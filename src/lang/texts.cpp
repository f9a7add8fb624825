#include "lang/texts.h"

#include <iterator>

namespace pelmar {
namespace {

struct TextPair {
  const char* dutch;
  const char* english;
};

// A plain array: its size still follows the table, and clang deduces no
// std::array of this many elements (its fold expression nests too deep).
constexpr TextPair kTexts[] = {
#define PELMAR_TEXT(id, dutch, english) TextPair{dutch, english},
#include "lang/texts.def"
#undef PELMAR_TEXT
};
static_assert(std::size(kTexts) == static_cast<size_t>(TextId::Count));

}  // namespace

QString dutchText(TextId id) {
  return QString::fromUtf8(kTexts[static_cast<size_t>(id)].dutch);
}

QString englishText(TextId id) {
  return QString::fromUtf8(kTexts[static_cast<size_t>(id)].english);
}

}  // namespace pelmar
