#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace pelmar {

// The three word processors a report can be opened in. On Windows they are
// the programs the registry names for Word, WordPad and Writer; on other
// systems the desktop's registered rich-text handler (xdg-open), AbiWord
// and LibreOffice Writer stand for them.
enum class WordProcessor { Word, WordPad, Writer };

struct ProgramLaunch {
  QString program;
  QStringList arguments;  // put before the document
};

// The program of a registry command line: a quoted "%ProgramFiles%" path
// becomes one under "c:\Program Files" (the variable is not expanded), and
// the program is the text between the first two double quotes. Empty when
// the line holds no quoted program.
QString ProgramFromCommandLine(const QString& commandLine);

// How the word processor is started; nothing when it is not installed.
std::optional<ProgramLaunch> FindWordProcessor(WordProcessor which);

// Starts the word processor on the document without waiting for it; false
// when it is not installed or could not be started.
bool OpenInWordProcessor(WordProcessor which, const QString& document);

}  // namespace pelmar
