#pragma once

#include <QString>
#include <QTextStream>

#include "commands/session.h"

namespace pelmar {

// `pelmar-cli report portfolio|actions FILE --out OUT`: builds the overview
// of the opened portfolio (the portfolio overview of its last dataset) and
// writes it as rich text (".rtf"), PDF (".pdf", which needs a
// QGuiApplication) or plain text (".txt"), chosen by OUT's extension.

// Whether the kind and the extension of OUT are ones the verb knows; the
// reason goes to err when not.
bool CheckReportArguments(const QString& kind, const QString& outFile, QTextStream& err);
// Writes the report; 0 when done, 4 when OUT could not be written.
int WriteReportCommand(Session& session, const QString& kind, const QString& outFile,
                       QTextStream& err);

}  // namespace pelmar
