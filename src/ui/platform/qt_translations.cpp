#include "ui/platform/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include "commands/desktop_rules.h"

namespace pelmar {

bool UseQtTranslations(const Language& language, const QString& programFolder) {
  // One translator for the whole run, replaced at each language switch.
  static QTranslator* translator = nullptr;
  if (translator) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  const QString catalogue = QtCatalogueFor(language);
  if (catalogue.isEmpty()) return true;
  auto* loaded = new QTranslator;
  for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                QDir(programFolder).filePath(QStringLiteral("translations"))}) {
    if (loaded->load(catalogue, folder)) {
      translator = loaded;
      QCoreApplication::installTranslator(translator);
      return true;
    }
  }
  delete loaded;
  return false;
}

}  // namespace pelmar
