#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"

namespace pelmar {

// What the progress window (and, in debugging mode, the debug view) shows
// while a portfolio is checked and read. Every hook may be left empty.
struct ReadProgress {
  // A line of the progress memo: "The portfolio is being read." ...
  std::function<void(const QString& text)> status;
  // The element name of the dataset being read.
  std::function<void(const QString& dataSetName)> dataSet;
  // With the "Debug" switch on: the lines of every record read. Returning
  // false ends debugging for the rest of the file (the switch stays as the
  // settings have it).
  std::function<bool(const QStringList& recordLines)> debugRecord;
};

// Reading and saving portfolio files for a session: the plausibility test,
// the reader that replaces the session's portfolio, and the save with its
// ".bak" copy.
namespace portfolio_files {
// Files up to this size are checked for balanced brackets before reading.
inline constexpr qint64 kCheckedFileSize = 100000;
// The largest portfolio file read: far past the most datasets a portfolio
// holds (a larger file, or a device, is no portfolio).
inline constexpr qint64 kMaxPortfolioFile = qint64(1) << 30;
// Files above this size are copied to ".bak" before they are replaced.
inline constexpr qint64 kBackupFileSize = 2000;
// A written portfolio smaller than this is refused as too small.
inline constexpr qint64 kMinSavedFileSize = 1000;
inline constexpr int kWriteAttempts = 3;
}  // namespace portfolio_files

// Tests and reads a ".xml" or ".bak" file; a file with unbalanced brackets
// gets the "not a valid xml file" message. Done when the file was read;
// otherwise bPortOpened is false and the portfolio in memory is the one
// before.
Outcome OpenPortfolioFile(Session& session, Prompter& prompter, const QString& fileName,
                          const ReadProgress& progress = {});
// The plausibility test: a file of up to kCheckedFileSize bytes holds as
// many "<" as ">". Larger files and files that cannot be opened pass.
bool IsValidXML(const QString& fileName);
// Replaces the session's portfolio by the file's, with the dataset of
// today appended, daily prices filled in, every dataset after the first
// recalculated, the last one current and bPortOpened set. A file that
// cannot be read leaves the portfolio in memory as it was, clears
// bPortOpened and fails with the reason (and line); the trace log says why.
Outcome ReadXMLFile(Session& session, Prompter& prompter, const QString& fileName,
                    const ReadProgress& progress = {});

// Writes the portfolio up to the write limit into the ".xml" file of the
// name (whatever its extension), first copying an existing file of more
// than kBackupFileSize bytes to ".bak". The old file is replaced only by a
// complete new one; when writing fails kWriteAttempts times it stays as it
// was and the user is warned.
Outcome SavePortfolio(Session& session, Prompter& prompter, const QString& fileName, int writeLimit,
                      bool showMessage);
// One attempt of the save: the whole file is written to a temporary file
// beside the target and renamed over it. With showMessage the number of
// datasets written is shown. Fails, with nothing on disk changed, when the
// file cannot be written or would be smaller than kMinSavedFileSize.
Outcome WriteXMLFile(Session& session, Prompter& prompter, const QString& fileName, int writeLimit,
                     bool showMessage);

// The write limit that writes every dataset, the dataset "Nieuw" too.
int WriteLimitAll(const Portfolio& portfolio);
// The write limit that writes all datasets but the last (the dataset
// "Nieuw"); a portfolio of one dataset still writes that one, and so does
// one opened without a dataset of today (it was too full for one).
int WriteLimitWithoutLast(const Session& session);

}  // namespace pelmar
