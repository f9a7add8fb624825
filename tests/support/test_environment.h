#pragma once

#include <QString>

namespace pelmar::test {

// Points HOME and the XDG folders at a fresh temporary folder, so that no
// test reads or writes the tester's own settings, data or desktop. Call
// before the Qt application object is made. Returns the folder.
QString isolateHome();

}  // namespace pelmar::test
