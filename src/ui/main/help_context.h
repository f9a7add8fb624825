#pragma once

#include <QObject>
#include <QVariant>

namespace pelmar {

// The help context of a window part: the section of the help page that F1
// opens while the part (or a part inside it) has the focus.
inline constexpr char kHelpContextProperty[] = "helpContext";

inline void setHelpContext(QObject* object, int context) {
  object->setProperty(kHelpContextProperty, context);
}

}  // namespace pelmar
