#pragma once

#include <QString>
#include <memory>

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"

namespace pelmar {

// One program per portfolio: while a portfolio is open its ".xml" file has
// a lock file beside it ("<name>.xml.lock", a QLockFile naming the program,
// its process and computer). A second program (a second window, pelmar-cli)
// that opens the file is told who holds it and opens it read-only or not at
// all; a read-only portfolio is never saved over its file, and no program
// saves over a file another one holds. A lock left by a killed process is
// taken over.

// The ".xml" file a name saves to, as the lock knows it: absolute, and
// through a symbolic link its target.
QString PortfolioLockKey(const QString& fileName);
// The lock file of that ".xml" file.
QString PortfolioLockFile(const QString& fileName);

// What opening a file found: its lock taken, or the file in use elsewhere
// and opened read-only. Becomes the session's when the file has been read.
struct OpeningLock {
  QString file;
  std::unique_ptr<FileLock> lock;
  bool readOnly = false;
  LockHolder holder;
};

// Takes the lock of the file about to be opened. The file the session
// already holds needs none. When another program holds it the prompter's
// portfolioInUse question decides: Yes opens read-only, No fails with
// PortfolioInUse (nothing changes).
Outcome LockForOpening(Session& session, Prompter& prompter, const QString& fileName,
                       OpeningLock& taken);
// The file has been read: its lock (or read-only state) becomes the
// session's, and the lock of the file open before goes.
void AdoptOpeningLock(Session& session, OpeningLock&& taken);

// Whether this session may write the portfolio to the ".xml" file `target`:
// a file it holds, yes; the file it opened read-only, never
// (PortfolioReadOnly); another file while another program holds it, no
// (PortfolioInUse). For a file the session does not hold, the lock is taken
// into `temporary` for the time of the write.
Outcome MayWritePortfolio(Session& session, const QString& target,
                          std::unique_ptr<FileLock>& temporary);
// The portfolio now lives in `target` (saved under a new name): that
// file's lock becomes the session's, the old file's goes, and the
// portfolio is no longer read-only.
void MovePortfolioLock(Session& session, const QString& target);
// No file is open any more (a new portfolio): the lock goes.
void ReleasePortfolioLock(Session& session);

// The arguments %1-%4 of the "in use" texts for a file and its holder.
QStringList InUseArgs(const Session& session, const QString& file, const LockHolder& holder);

}  // namespace pelmar
