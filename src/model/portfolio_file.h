#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <functional>

#include "lang/language.h"
#include "lang/outcome.h"
#include "model/portfolio.h"

namespace pelmar {

// The portfolio file: a line-oriented XML image of RecordList, one element
// per record and one line per field, ISO-8859-1 with CR LF line ends.
//
//   <?xml version="1.0" encoding="ISO-8859-1" ?>
//   <Pelmar_Data>
//   <IdentRec> ... </IdentRec>
//   <DataSet_1> <AlgemeenRec>, five <RekeningRec>, the <KoersRec>s </DataSet_1>
//   ...
//   </Pelmar_Data>
//
// Amounts and day numbers carry four decimals with the language's decimal
// separator; reading accepts either separator.
namespace portfolio_file {

// Lines longer than this are no portfolio lines: the reader refuses the
// file instead of holding an unbounded line in memory.
inline constexpr int kMaxLineLength = 64 * 1024;
// The most field lines the funds of one dataset may take (256 funds of 40,
// the split ratio included).
inline constexpr int kMaxFundFieldLines = 256 * 40;
// A general record whose Dollar is below this reads with kDefaultDollar.
inline constexpr double kMinDollar = 0.01;
inline constexpr double kDefaultDollar = 1.1;

// Writes the records of the portfolio up to the write limit: the datasets
// from the first on, stopping after the first dataset whose last record has
// an index of at least writeLimit - 1. VersionI and CopyrightI are the
// writing program's texts in the language; the dollar flags of the ident
// block are the portfolio's working copies. Returns the number of datasets
// written, or -1 when the device refused a write.
int write(QIODevice& out, const Portfolio& portfolio, int writeLimit, const Language& language);

// What the reader needs from the program around it.
struct ReadOptions {
  // Accounts named "Naam" or "Name" become this followed by their number.
  QString accountNamePrefix;
  // The market a fund gets when its Country is neither "nl" nor "us".
  QString defaultCountry;
  // The price of a fund without one (Koers below 0.0001) on the dataset's
  // date; a result of 0.0001 or less leaves the price as it is.
  std::function<double(const QString& ticker, DateTime datum)> priceFor;
  // Called with the element name of each dataset as its reading starts.
  std::function<void(const QString& dataSetName)> dataSetStarted;
  // The debug view: called with the lines of every block read; returning
  // false ends the debugging for the rest of the file.
  std::function<bool(const QStringList& blockLines)> debugBlock;
};

enum class ReadError {
  None,
  NoRoot,        // nothing but (empty) lines before the end: "te klein-1"
  NoFirstBlock,  // the file ends after the root line: "te klein-2"
  NoIdentBlock,  // the first block is not an IdentRec: "lijst aanmaken mislukt"
  Unreadable,    // anything else that is no portfolio; see ReadResult::reason
};

struct ReadResult {
  ReadError error = ReadError::None;
  int lineNumber = 0;  // the line where reading stopped (1-based)
  // Why the file was refused, in both languages, naming the line.
  Reason reason;
  // Datasets whose last fund was no placeholder row: one was added.
  int placeholdersAdded = 0;

  bool ok() const { return error == ReadError::None; }
};

// Reads a portfolio file into `into`, which must be empty; its dollar flags
// follow the ident block. On failure `into` holds a partial list and must be
// thrown away. Datasets are numbered 1, 2, 3 ... in file order and their
// dates cut to whole days; EndOfSetB follows each record's position. A
// dataset whose last fund is no placeholder row gets one (the initial
// record of `into`). Refused: a block of another record kind than its
// place holds, other than five accounts, a number or date that cannot be
// read or does not fit, a closing tag after a field, and anything but
// blank lines after the root's closing tag.
ReadResult read(QIODevice& in, Portfolio& into, const ReadOptions& options);

}  // namespace portfolio_file
}  // namespace pelmar
