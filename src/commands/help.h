#pragma once

#include <QString>

namespace pelmar {

// The anchor of the help page section that answers a help context.
QString HelpAnchor(int helpContext);

}  // namespace pelmar
