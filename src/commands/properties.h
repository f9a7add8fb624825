#pragma once

#include <QChar>
#include <QString>

#include "commands/session.h"

namespace pelmar {

// The portfolio's properties message.

// A byte count in short form: "999 ", "12,345 k", "1,234 M" with the
// given decimal separator.
QString ShortByteCount(qint64 bytes, QChar decimalSeparator);
// The lines of the properties message under its heading.
QString PropertiesText(const Session& session, const QString& fileName, qint64 fileSize);

}  // namespace pelmar
