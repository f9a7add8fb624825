#pragma once

#include <QString>

#include "lang/language.h"

namespace pelmar {

// Qt's own texts (file dialogs, standard buttons, context menus) in the
// program's language: the system's Qt translations, else the copy
// installed in the program folder's "translations". English needs none.
// False when the language's catalogue was found nowhere.
bool UseQtTranslations(const Language& language, const QString& programFolder);

}  // namespace pelmar
