#include "model/trace_log.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

const QDateTime kMoment(QDate(2024, 3, 5), QTime(14, 7, 9));

QStringList lines(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

TEST(TraceLog, NestedRoutinesIndentOneBlankPerLevel) {
  QTemporaryDir dir;
  TraceLog log([] { return kMoment; });
  log.setEnabled(true);
  log.LogInit(dir.filePath("Pelmar"));
  {
    TraceScope outer(log, "Pelmar.ReadXMLFile");
    {
      TraceScope inner(log, "Pelmar.AddDataSet");
      log.Log("datum gekozen");
      inner.exitEarly();
    }
  }
  EXPECT_EQ(log.level(), 0);
  EXPECT_EQ(lines(dir.filePath("Pelmar.log")),
            (QStringList{"2024-03-05 14:07:09 - Pelmar.ReadXMLFile - begin",
                         "2024-03-05 14:07:09 -  Pelmar.AddDataSet - begin",
                         "2024-03-05 14:07:09 -   datum gekozen",
                         "2024-03-05 14:07:09 -  Pelmar.AddDataSet - exit",
                         "2024-03-05 14:07:09 - Pelmar.ReadXMLFile - einde"}));
}

TEST(TraceLog, InitDeletesThePreviousFileAndAnUnwritableFileIsHarmless) {
  QTemporaryDir dir;
  const QString base = dir.filePath("Pelmar");
  test::writeFile(base + ".log", "vorige sessie\n");
  TraceLog log([] { return kMoment; });
  log.setEnabled(true);
  log.LogInit(base);
  EXPECT_FALSE(QFile::exists(base + ".log"));
  log.Log("nieuw");
  EXPECT_EQ(lines(base + ".log").size(), 1);

  log.LogInit(dir.filePath("no-such-folder/Pelmar"));
  log.enter("X.Y");
  log.leave("X.Y");
  EXPECT_EQ(log.level(), 0);

  // Switched off, it writes nothing and keeps no level.
  log.setEnabled(false);
  log.LogInit(dir.filePath("Off"));
  log.enter("X.Y");
  log.Log("iets");
  EXPECT_EQ(log.level(), 0);
  log.leave("X.Y");
  EXPECT_FALSE(QFile::exists(dir.filePath("Off.log")));
}

}  // namespace
}  // namespace pelmar
