#include "support/test_environment.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

namespace pelmar::test {

QString isolateHome() {
  static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/pelmar-test-home-XXXXXX"));
  const QByteArray root = home.path().toLocal8Bit();
  setenv("HOME", root.constData(), 1);
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
    const QByteArray dir = root + '/' + var;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    setenv(var, dir.constData(), 1);
  }
  return home.path();
}

}  // namespace pelmar::test
