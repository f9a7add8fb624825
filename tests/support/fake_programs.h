#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace pelmar::test {

// A system with only the programs a test puts there: PATH is a temporary
// folder of shell scripts and the applications' desktop entries are looked
// up in a temporary data folder, both restored when the object goes.
class FakePrograms {
 public:
  FakePrograms();
  ~FakePrograms();
  FakePrograms(const FakePrograms&) = delete;
  FakePrograms& operator=(const FakePrograms&) = delete;

  // A program that runs the shell script (without its "#!" line). Only the
  // shell's own commands are on PATH: others need their full path.
  QString add(const QString& name, const QByteArray& script);
  // The desktop entry `id` with its name and command line.
  void addDesktopEntry(const QString& id, const QString& name, const QString& exec);
  QString path(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
  QByteArray path_;
  QByteArray dataHome_;
  QByteArray dataDirs_;
};

}  // namespace pelmar::test
