#pragma once

#include <QStringList>
#include <QTextStream>
#include <optional>

#include "lang/language.h"

namespace pelmar {

// Exit code of a setting the program refused (an unknown name, a value it
// cannot use).
constexpr int kSettingRefused = 6;

// pelmar-cli settings list | get NAME | set NAME VALUE, on the program's own
// settings store. `arguments` follow the word "settings". A change goes
// through the settings window's checks and steps and is stored at once.
int runSettingsVerb(const QStringList& arguments, std::optional<Language::Code> language,
                    QTextStream& out, QTextStream& err);

}  // namespace pelmar
