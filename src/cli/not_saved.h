#pragma once

#include <QString>
#include <QTextStream>

#include "lang/outcome.h"

namespace pelmar {

class Session;

// After a failed save: prints the file and why, and returns the exit code
// (in use elsewhere, or opened read-only because it was: 8; else 4).
int reportNotSaved(const Session& session, const QString& file, const Outcome& saved,
                   QTextStream& err);

}  // namespace pelmar
