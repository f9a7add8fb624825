#include "ui/platform/word_processors.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

namespace pelmar {

QString ProgramFromCommandLine(const QString& commandLine) {
  QString line = commandLine;
  const QString programFiles = QStringLiteral("\"%ProgramFiles%");
  if (line.contains(programFiles, Qt::CaseInsensitive))
    line = QStringLiteral("\"c:\\Program Files") + line.mid(15);
  const qsizetype open = line.indexOf(u'"');
  const qsizetype close = open < 0 ? -1 : line.indexOf(u'"', open + 1);
  if (close < 0) return {};
  return line.mid(open + 1, close - open - 1);
}

namespace {

#ifdef Q_OS_WIN
// The command line under HKEY_CLASSES_ROOT\Applications\<exe>\shell\<verb>\command.
QString registeredCommand(const QString& exe, const QString& verb) {
  const QSettings key(QStringLiteral("HKEY_CLASSES_ROOT\\Applications\\") + exe +
                          QStringLiteral("\\shell\\") + verb + QStringLiteral("\\command"),
                      QSettings::NativeFormat);
  return key.value(QStringLiteral("Default")).toString();
}
#endif

std::optional<ProgramLaunch> found(const QString& name, QStringList arguments = {}) {
  const QString path = QStandardPaths::findExecutable(name);
  if (path.isEmpty()) return std::nullopt;
  return ProgramLaunch{path, std::move(arguments)};
}

}  // namespace

std::optional<ProgramLaunch> FindWordProcessor(WordProcessor which) {
#ifdef Q_OS_WIN
  const QString exe = which == WordProcessor::Word      ? QStringLiteral("winword.exe")
                      : which == WordProcessor::WordPad ? QStringLiteral("wordpad.exe")
                                                        : QStringLiteral("writer.exe");
  // Writer's "open" command is asked first, the others' "edit" command.
  QStringList verbs{QStringLiteral("edit"), QStringLiteral("open")};
  if (which == WordProcessor::Writer) std::reverse(verbs.begin(), verbs.end());
  for (const QString& verb : verbs) {
    const QString program = ProgramFromCommandLine(registeredCommand(exe, verb));
    if (!program.isEmpty()) return ProgramLaunch{program, {}};
  }
  return std::nullopt;
#else
  switch (which) {
    case WordProcessor::Word:
      return found(QStringLiteral("xdg-open"));
    case WordProcessor::WordPad:
      return found(QStringLiteral("abiword"));
    case WordProcessor::Writer:
      if (auto writer = found(QStringLiteral("lowriter"))) return writer;
      if (auto office = found(QStringLiteral("libreoffice"), {QStringLiteral("--writer")}))
        return office;
      return found(QStringLiteral("soffice"), {QStringLiteral("--writer")});
  }
  return std::nullopt;
#endif
}

bool OpenInWordProcessor(WordProcessor which, const QString& document) {
  const std::optional<ProgramLaunch> launch = FindWordProcessor(which);
  if (!launch) return false;
  QStringList arguments = launch->arguments;
  arguments << QDir::toNativeSeparators(document);
  return QProcess::startDetached(launch->program, arguments);
}

}  // namespace pelmar
