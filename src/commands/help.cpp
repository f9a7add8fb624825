#include "commands/help.h"

namespace pelmar {

QString HelpAnchor(int helpContext) {
  struct Group {
    int from;
    int to;
    const char* anchor;
  };
  static constexpr Group kGroups[] = {
      {31100, 31199, "file"},     {31200, 31299, "actions"}, {31400, 31499, "graphs"},
      {31500, 31599, "options"},  {31900, 31999, "help"},    {32000, 32999, "toolbar"},
      {33000, 33999, "fundlist"}, {34300, 34399, "grid"},    {34000, 34999, "fundpanel"},
      {50000, 50000, "about"},
  };
  for (const Group& group : kGroups) {
    if (helpContext >= group.from && helpContext <= group.to)
      return QString::fromLatin1(group.anchor);
  }
  return QStringLiteral("main");
}

}  // namespace pelmar
