#include "support/fake_programs.h"

#include <QDir>
#include <QFile>

#include "support/portfolio_fixture.h"

namespace pelmar::test {

FakePrograms::FakePrograms()
    : path_(qgetenv("PATH")),
      dataHome_(qgetenv("XDG_DATA_HOME")),
      dataDirs_(qgetenv("XDG_DATA_DIRS")) {
  QDir(dir_.path()).mkpath(QStringLiteral("bin"));
  QDir(dir_.path()).mkpath(QStringLiteral("share/applications"));
  qputenv("PATH", QFile::encodeName(path(QStringLiteral("bin"))));
  qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("share"))));
  qputenv("XDG_DATA_DIRS", QFile::encodeName(path(QStringLiteral("none"))));
}

FakePrograms::~FakePrograms() {
  qputenv("PATH", path_);
  qputenv("XDG_DATA_HOME", dataHome_);
  qputenv("XDG_DATA_DIRS", dataDirs_);
}

QString FakePrograms::add(const QString& name, const QByteArray& script) {
  const QString file = path(QStringLiteral("bin/") + name);
  writeFile(file, "#!/bin/sh\n" + script + '\n');
  QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return file;
}

void FakePrograms::addDesktopEntry(const QString& id, const QString& name, const QString& exec) {
  writeFile(
      path(QStringLiteral("share/applications/") + id),
      ("[Desktop Entry]\nType=Application\nName=" + name + "\nName[nl]=Anders\nExec=" + exec + "\n")
          .toUtf8());
}

}  // namespace pelmar::test
