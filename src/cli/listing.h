#pragma once

#include <QString>
#include <QTextStream>

namespace pelmar {

class Session;

// What open and run print: the dataset the portfolio was left on (date,
// total, profit, both returns) and per fund its figures and advice line,
// as text in the session's language or as JSON (with the true returns).
// The fund shown is the one selected; the records are left as they were.
void printDataSet(Session& session, const QString& fileName, bool json, QTextStream& out);

}  // namespace pelmar
