#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "lang/outcome.h"

namespace pelmar {

// The three word processors a report can be opened in. On Windows they are
// the programs the registry names for Word, WordPad and Writer; on other
// systems the desktop's program for rich text (what xdg-open starts for
// application/rtf), AbiWord and LibreOffice Writer stand for them.
enum class WordProcessor { Word, WordPad, Writer };

struct ProgramLaunch {
  QString name;  // as the user knows it: "LibreOffice Writer"
  QString program;
  QStringList arguments;  // put before the document
};

// How a word processor is started on this system, or why it cannot be:
// its button is enabled only with a launch, and tells the reason otherwise.
struct WordProcessorProgram {
  std::optional<ProgramLaunch> launch;
  std::optional<Reason> missing;
};

// The program of a registry command line: a quoted "%ProgramFiles%" path
// becomes one under "c:\Program Files" (the variable is not expanded), and
// the program is the text between the first two double quotes. Empty when
// the line holds no quoted program.
QString ProgramFromCommandLine(const QString& commandLine);

WordProcessorProgram FindWordProcessor(WordProcessor which);

// How long a started word processor is watched: a failure within this time
// is reported, after it the program counts as started.
inline constexpr int kWordProcessorWatchMs = 10000;

// Starts the program on the document without waiting for it, and reports
// once, to `done` (dropped when `context` is gone), how the start went: done
// when the program is still running after `watchMs` or ended well before
// (a program that hands the document to one already running ends at once);
// failed when it could not be started, or ended with an error code, with
// the last line it wrote as its error. The program outlives the watch, and
// the program itself: it is never stopped from here.
void StartWordProcessor(const ProgramLaunch& launch, const QString& document, int watchMs,
                        const QObject* context, std::function<void(const Outcome&)> done);

}  // namespace pelmar
