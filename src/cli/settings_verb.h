#pragma once

#include <QStringList>
#include <QTextStream>
#include <optional>

#include "cli/exit_codes.h"
#include "lang/language.h"

namespace pelmar {

// pelmar-cli settings list | get NAME | set NAME VALUE, on the program's own
// settings store. `arguments` follow the word "settings". A change goes
// through the settings window's checks and steps and is stored at once.
int runSettingsVerb(const QStringList& arguments, std::optional<Language::Code> language,
                    QTextStream& out, QTextStream& err);

}  // namespace pelmar
