#include <gtest/gtest.h>

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include "support/portfolio_fixture.h"

namespace {

QStringList filesUnder(const QString& folder) {
  QStringList names;
  QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) names.append(QDir(folder).relativeFilePath(it.next()));
  names.sort();
  return names;
}

// The example data shipped in data/Port and data/Prices is exactly what the
// generator makes: regenerating it changes nothing. When the program's
// file format or valuation changes on purpose, run pelmar-make-examples.
TEST(ExampleData, TheCommittedDataIsWhatTheGeneratorMakes) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QProcess generator;
  generator.start(QStringLiteral(PELMAR_MAKE_EXAMPLES_PATH), {dir.path()});
  ASSERT_TRUE(generator.waitForFinished(120000));
  ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();

  const QString shipped = QStringLiteral(PELMAR_SOURCE_DIR "/data");
  for (const QString sub : {"Port", "Prices"}) {
    const QStringList made = filesUnder(dir.filePath(sub));
    ASSERT_EQ(made, filesUnder(shipped + u'/' + sub)) << sub.toStdString();
    for (const QString& name : made) {
      const QString relative = sub + u'/' + name;
      ASSERT_EQ(pelmar::test::readFile(dir.filePath(relative)),
                pelmar::test::readFile(shipped + u'/' + relative))
          << relative.toStdString() << " differs: run pelmar-make-examples";
    }
  }
}

}  // namespace
