#include "commands/word_processors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>

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

WordProcessorProgram missing(const QString& name) {
  return {std::nullopt, Reason{TextId::WordProcessorMissing, {name}}};
}

#ifdef Q_OS_WIN
// The command line under HKEY_CLASSES_ROOT\Applications\<exe>\shell\<verb>\command.
QString registeredCommand(const QString& exe, const QString& verb) {
  const QSettings key(QStringLiteral("HKEY_CLASSES_ROOT\\Applications\\") + exe +
                          QStringLiteral("\\shell\\") + verb + QStringLiteral("\\command"),
                      QSettings::NativeFormat);
  return key.value(QStringLiteral("Default")).toString();
}
#else
std::optional<ProgramLaunch> found(const QString& name, const QString& program,
                                   QStringList arguments = {}) {
  const QString path = QStandardPaths::findExecutable(program);
  if (path.isEmpty()) return std::nullopt;
  return ProgramLaunch{name, path, std::move(arguments)};
}

// The desktop's program for rich text: the application xdg-mime names for
// application/rtf, when its desktop entry is there and its program is
// installed. xdg-open starts it with the desktop's own rules.
WordProcessorProgram desktopRichTextProgram() {
  const WordProcessorProgram none{std::nullopt, Reason{TextId::WordProcessorNoHandler}};
  const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (xdgOpen.isEmpty() || xdgMime.isEmpty()) return none;
  QProcess query;
  query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                        QStringLiteral("application/rtf")});
  if (!query.waitForFinished(5000) || query.exitCode() != 0) return none;
  const QString entry = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
  const QString path = entry.isEmpty()
                           ? QString()
                           : QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) return none;
  QString name, exec;
  bool inEntry = false;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.startsWith(u'[')) inEntry = line == QLatin1String("[Desktop Entry]");
    if (!inEntry) continue;
    if (line.startsWith(QLatin1String("Name="))) name = line.mid(5);
    if (line.startsWith(QLatin1String("Exec="))) exec = line.mid(5);
  }
  const QStringList words = QProcess::splitCommand(exec);
  if (words.isEmpty() || QStandardPaths::findExecutable(words.front()).isEmpty()) return none;
  return {ProgramLaunch{name.isEmpty() ? entry : name, xdgOpen, {}}, std::nullopt};
}
#endif

}  // namespace

WordProcessorProgram FindWordProcessor(WordProcessor which) {
#ifdef Q_OS_WIN
  const QString name = which == WordProcessor::Word      ? QStringLiteral("Word")
                       : which == WordProcessor::WordPad ? QStringLiteral("WordPad")
                                                         : QStringLiteral("Writer");
  const QString exe = which == WordProcessor::Word      ? QStringLiteral("winword.exe")
                      : which == WordProcessor::WordPad ? QStringLiteral("wordpad.exe")
                                                        : QStringLiteral("writer.exe");
  // Writer's "open" command is asked first, the others' "edit" command.
  QStringList verbs{QStringLiteral("edit"), QStringLiteral("open")};
  if (which == WordProcessor::Writer) std::reverse(verbs.begin(), verbs.end());
  for (const QString& verb : verbs) {
    const QString program = ProgramFromCommandLine(registeredCommand(exe, verb));
    if (!program.isEmpty()) return {ProgramLaunch{name, program, {}}, std::nullopt};
  }
  return missing(name);
#else
  switch (which) {
    case WordProcessor::Word:
      return desktopRichTextProgram();
    case WordProcessor::WordPad:
      if (auto abiword = found(QStringLiteral("AbiWord"), QStringLiteral("abiword")))
        return {abiword, std::nullopt};
      return missing(QStringLiteral("AbiWord"));
    case WordProcessor::Writer: {
      const QString writer = QStringLiteral("LibreOffice Writer");
      const QStringList asWriter{QStringLiteral("--writer")};
      for (auto launch : {found(writer, QStringLiteral("lowriter")),
                          found(writer, QStringLiteral("libreoffice"), asWriter),
                          found(writer, QStringLiteral("soffice"), asWriter)})
        if (launch) return {launch, std::nullopt};
      return missing(writer);
    }
  }
  return {};
#endif
}

void StartWordProcessor(const ProgramLaunch& launch, const QString& document, int watchMs,
                        const QObject* context, std::function<void(const Outcome&)> done) {
  // Reported once, and only while the context lives.
  auto report = [context = QPointer<const QObject>(context), done = std::move(done),
                 reported = std::make_shared<bool>(false)](const Outcome& outcome) {
    if (*reported) return;
    *reported = true;
    if (context) done(outcome);
  };
  // The process is let go of, never deleted while the program runs: deleting
  // a QProcess stops its program, which would close the user's document with
  // Pelmar. Its output goes to files, since a pipe would break when Pelmar
  // ends first; the error output is read back when it fails.
  auto* process = new QProcess;
  const QString errors = document + QStringLiteral(".log");
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(errors);
  QStringList arguments = launch.arguments;
  arguments << QDir::toNativeSeparators(document);
  const auto lastLine = [errors] {
    QFile file(errors);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return QString();
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).split(u'\n');
    const auto last = std::find_if(lines.rbegin(), lines.rend(),
                                   [](const QString& line) { return !line.trimmed().isEmpty(); });
    return last == lines.rend() ? QString() : last->trimmed();
  };
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, report, name = launch.name](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     report(Outcome::failed(TextId::ReportNotOpened, {name}));
                     process->deleteLater();
                   });
  QObject::connect(
      process, &QProcess::finished, process,
      [process, report, lastLine, name = launch.name](int code, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && code == 0) {
          report(Outcome::done());
        } else {
          report(
              Outcome::failed(TextId::ReportOpenFailed, {name, QString::number(code), lastLine()}));
        }
        process->deleteLater();
      });
  QTimer::singleShot(watchMs, process, [report] { report(Outcome::done()); });
  process->start(launch.program, arguments);
}

}  // namespace pelmar
