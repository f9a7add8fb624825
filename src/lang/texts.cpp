#include "lang/texts.h"

#include <array>

namespace pelmar {
namespace {

struct TextPair {
  const char* dutch;
  const char* english;
};

constexpr std::array kTexts{
#define PELMAR_TEXT(id, dutch, english) TextPair{dutch, english},
#include "lang/texts.def"
#undef PELMAR_TEXT
};
static_assert(kTexts.size() == static_cast<size_t>(TextId::Count));

}  // namespace

QString dutchText(TextId id) {
  return QString::fromUtf8(kTexts[static_cast<size_t>(id)].dutch);
}

QString englishText(TextId id) {
  return QString::fromUtf8(kTexts[static_cast<size_t>(id)].english);
}

}  // namespace pelmar
